// The paths of the command line's arguments in Windows form.

#include <cctype>
#include <filesystem>
#include <string>

#include "base/utf.h"
#include "base/windows_path.h"
#include "cli/command_line.h"
#include "platform/drives.h"
#include "text/path_components.h"

namespace tjvx::cli {
std::u16string WindowsForm(const std::string& argument) {
  if (base::StartsWithDrive(argument)) return text::ResolvePath(base::FromUtf8(argument));
  if (argument.find_first_not_of(' ') == std::string::npos) return base::FromUtf8(argument);
  return platform::Drives().FromHost(std::filesystem::path(argument));
}

std::optional<std::u16string> BackslashNameRefusal(const std::string& argument) {
  if (platform::kBackslashSeparates || base::StartsWithDrive(argument)) return std::nullopt;
  for (const std::filesystem::path& name : std::filesystem::path(argument)) {
    if (name.native().find('\\') != std::string::npos) {
      return std::u16string(kBackslashNameMessage) + u"\n" + base::FromUtf8(argument);
    }
  }
  return std::nullopt;
}

}  // namespace tjvx::cli
