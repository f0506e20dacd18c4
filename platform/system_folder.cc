#include "platform/system_folder.h"

#include <cstdlib>
#include <filesystem>

#include "platform/drives.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {

std::u16string SystemFolder() {
#ifdef _WIN32
  // TJVX_SYSDIR stands in for the system folder, which users without administrator rights
  // cannot write to (and the tests must not).
  if (const wchar_t* sysdir = _wgetenv(L"TJVX_SYSDIR"); sysdir != nullptr && *sysdir != L'\0') {
    return Drives().FromHost(std::filesystem::path(sysdir));
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return std::u16string(buffer, buffer + n);
#else
  std::filesystem::path folder;
  if (const char* sysdir = std::getenv("TJVX_SYSDIR"); sysdir != nullptr && *sysdir != '\0') {
    folder = sysdir;
  } else if (const char* config = std::getenv("XDG_CONFIG_HOME");
             config != nullptr && *config != '\0') {
    folder = std::filesystem::path(config) / "tjvx";
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
    folder = std::filesystem::path(home) / ".config" / "tjvx";
  } else {
    return {};
  }
  return Drives().FromHost(folder);
#endif
}

std::u16string Wow64SystemFolder() {
#ifdef _WIN32
  if (const wchar_t* sysdir = _wgetenv(L"TJVX_SYSDIR"); sysdir != nullptr && *sysdir != L'\0') {
    return {};
  }
  wchar_t buffer[MAX_PATH + 1] = {};
  // 0 on 32-bit Windows, which has no WOW64 folder.
  UINT n = GetSystemWow64DirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return {};
  return std::u16string(buffer, buffer + n);
#else
  return {};
#endif
}

namespace {

fs::path FindProgramFolder() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return fs::path(buffer.substr(0, length)).parent_path();
    buffer.resize(buffer.size() * 2);
  }
#else
  std::error_code ec;
  fs::path program = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : program.parent_path();
#endif
}

}  // namespace

fs::path ProgramFolder() {
  // The program does not move while it runs; every run of a batch asks for its folder.
  static const fs::path folder = FindProgramFolder();
  return folder;
}

std::vector<std::u16string> SettingsFolders() {
  std::vector<std::u16string> folders;
  for (std::u16string folder : {SystemFolder(), Wow64SystemFolder()}) {
    if (!folder.empty()) folders.push_back(std::move(folder));
  }
  if (const fs::path program = ProgramFolder(); !program.empty()) {
    folders.push_back(Drives().FromHost(program));
  }
  return folders;
}

}  // namespace tjvx::platform
