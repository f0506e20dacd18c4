#ifndef TJVX_PLATFORM_SYSTEM_FOLDER_H_
#define TJVX_PLATFORM_SYSTEM_FOLDER_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tjvx::platform {

// The system folder in Windows form: the host folder named by TJVX_SYSDIR when that is set, else
// on Windows the Windows system folder, elsewhere $XDG_CONFIG_HOME/tjvx, else ~/.config/tjvx.
std::u16string SystemFolder();

// The folder 32-bit programs see as the system folder on 64-bit Windows (SysWOW64): a 32-bit
// program that wrote its settings into the system folder wrote them there. Empty elsewhere, and
// when TJVX_SYSDIR stands in for the system folder.
std::u16string Wow64SystemFolder();

// The folder of the running program (host form), or empty when it cannot be told.
std::filesystem::path ProgramFolder();

// The folders the settings file is looked for in, in order, in Windows form: the system folder,
// the WOW64 system folder where there is one, then the program's own folder.
std::vector<std::u16string> SettingsFolders();

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_SYSTEM_FOLDER_H_
