#ifndef TJVX_PLATFORM_SYSTEM_FOLDER_H_
#define TJVX_PLATFORM_SYSTEM_FOLDER_H_

#include <string>
#include <string_view>

namespace tjvx::platform {

// The system folder in Windows form: the host folder named by TJVX_SYSDIR when that is set, else
// on Windows the Windows system folder, elsewhere $XDG_CONFIG_HOME/tjvx, else ~/.config/tjvx.
std::u16string SystemFolder();

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_SYSTEM_FOLDER_H_
