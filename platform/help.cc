#include "platform/help.h"

#include "platform/system_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// windows.h first: shellapi.h builds on its types.
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

extern char** environ;
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {
namespace {

#ifdef _WIN32
constexpr char kPathSeparator = ';';
#else
constexpr char kPathSeparator = ':';
#endif

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The help file in `folder`, found whatever the letter case of its name.
std::optional<fs::path> HelpFileIn(const fs::path& folder) {
  std::error_code ec;
  fs::path exact = folder / kHelpFileName;
  if (fs::is_regular_file(exact, ec)) return exact;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    if (SameNameIgnoringCase(it->path().filename().string(), kHelpFileName) &&
        it->is_regular_file(ec2)) {
      return it->path();
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<fs::path> FindHelpFile(const fs::path& program_folder,
                                     std::string_view path_variable) {
  if (!program_folder.empty()) {
    if (std::optional<fs::path> found = HelpFileIn(program_folder)) return found;
  }
  while (!path_variable.empty()) {
    size_t end = path_variable.find(kPathSeparator);
    std::string_view folder = path_variable.substr(0, end);
    if (!folder.empty()) {
      if (std::optional<fs::path> found = HelpFileIn(fs::path(std::string(folder)))) return found;
    }
    if (end == std::string_view::npos) break;
    path_variable.remove_prefix(end + 1);
  }
  return std::nullopt;
}

std::optional<fs::path> FindHelpFile() {
  const char* path = std::getenv("PATH");
  return FindHelpFile(ProgramFolder(), path != nullptr ? path : "");
}

std::optional<fs::path> FindManual() {
  std::vector<fs::path> candidates;
  if (const fs::path program = ProgramFolder(); !program.empty()) {
    candidates.push_back(program / kManualFileName);
    candidates.push_back(program.parent_path() / "share" / "doc" / "tjvx" / kManualFileName);
  }
#ifdef TJVX_SOURCE_MANUAL
  // A program run from its build folder finds the manual in the source tree.
  candidates.push_back(fs::path(TJVX_SOURCE_MANUAL));
#endif
  for (const fs::path& candidate : candidates) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

namespace {

#ifndef _WIN32
// Starts the desktop's opener for `file` and reaps it in the background, so the window goes on.
bool StartOpener(const std::string& file) {
  std::string argument = file;
  char opener[] = "xdg-open";
  char* argv[] = {opener, argument.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, opener, nullptr, nullptr, argv, environ) != 0) return false;
  std::thread([child] {
    int status = 0;
    waitpid(child, &status, 0);
  }).detach();
  return true;
}
#endif

}  // namespace

bool OpenDocument(const fs::path& file) {
#ifdef _WIN32
  HINSTANCE result =
      ShellExecuteW(nullptr, L"open", file.wstring().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
#else
  return StartOpener(file.string());
#endif
}

bool ShowHelp(const fs::path& help_file, int context, void* window) {
#ifdef _WIN32
  HWND handle = static_cast<HWND>(window);
  if (context == kHelpOnHelp) return WinHelpA(handle, nullptr, HELP_HELPONHELP, 0) != FALSE;
  if (context == kHelpContents) {
    return WinHelpA(handle, help_file.string().c_str(), HELP_CONTENTS, 0) != FALSE;
  }
  return WinHelpA(handle, help_file.string().c_str(), HELP_CONTEXT,
                  static_cast<ULONG_PTR>(context)) != FALSE;
#else
  (void)context;
  (void)window;
  return StartOpener(help_file.string());
#endif
}

}  // namespace tjvx::platform
