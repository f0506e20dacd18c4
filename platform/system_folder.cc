#include "platform/system_folder.h"

#include <cstdlib>
#include <filesystem>

#include "platform/drives.h"

#ifdef _WIN32
#include <windows.h>
#endif

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

}  // namespace tjvx::platform
