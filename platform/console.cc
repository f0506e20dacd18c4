#include "platform/console.h"

#include <cstdio>

#include "base/utf.h"

#ifdef _WIN32
// windows.h first: shellapi.h needs its declarations.
// clang-format off
#include <windows.h>
#include <io.h>
#include <shellapi.h>
// clang-format on
#else
#include <unistd.h>
#endif

namespace tjvx::platform {

bool StandardInputIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stdin)) != 0;
#else
  return isatty(STDIN_FILENO) != 0;
#endif
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count); wide != nullptr) {
    for (int i = 0; i < count; ++i) {
      std::wstring w = wide[i];
      arguments.push_back(base::ToUtf8(std::u16string(w.begin(), w.end())));
    }
    LocalFree(wide);
    return arguments;
  }
#endif
  for (int i = 0; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

void UseUtf8Console() {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
#endif
}

}  // namespace tjvx::platform
