#ifndef TJVX_SOURCE_SETTINGS_H_
#define TJVX_SOURCE_SETTINGS_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/message_host.h"

namespace tjvx::source {

inline constexpr std::u16string_view kNoPatternFolderMessage = u" DOZORA の設定がありません.";

// The pattern folder named on the second line of DozoraV5.ini in the system folder, with a
// trailing "\", or empty when the settings file is missing, empty or has no second line. The
// settings file is only read.
std::u16string ReadPatternFolder();

// The start-up check: the pattern folder when the setting names an existing folder; otherwise the
// message " DOZORA の設定がありません." is shown and nothing is returned, and the program ends.
std::optional<std::u16string> StartupPatternFolder(base::MessageHost& host);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_SETTINGS_H_
