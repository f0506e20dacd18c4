#ifndef TJVX_SOURCE_SETTINGS_H_
#define TJVX_SOURCE_SETTINGS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_host.h"

namespace tjvx::source {

// The settings file's name.
inline constexpr std::u16string_view kSettingsFileName = u"DozoraV5.ini";

inline constexpr std::u16string_view kNoPatternFolderMessage = u" DOZORA の設定がありません.";

// The pattern folder named on the second line of the first DozoraV5.ini found in `folders`
// (Windows form), with a trailing "\", or empty when there is no settings file or the first one
// found has no second line. A folder given relative to the settings file ("samples\DOZORA\") is
// taken from the settings file's own folder, so an unpacked package works wherever it lands.
// Settings files are only read.
std::u16string ReadPatternFolder(const std::vector<std::u16string>& folders);
// The same over the settings folders of the system: the system folder, the WOW64 system folder,
// then the program's folder.
std::u16string ReadPatternFolder();

// The start-up check: the pattern folder when the setting names an existing folder; otherwise the
// message " DOZORA の設定がありません." is shown and nothing is returned, and the program ends.
std::optional<std::u16string> StartupPatternFolder(base::MessageHost& host);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_SETTINGS_H_
