#ifndef TJVX_TEXT_PATH_CHECK_H_
#define TJVX_TEXT_PATH_CHECK_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/message_host.h"

// Common support routines: path validation and the pattern-folder setting.
namespace TRCOMSUB {

inline constexpr std::u16string_view kDriveMessage =
    u"規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" "
    u"でなければいけません。  例 \"C:\", \"D:\"...";
inline constexpr std::u16string_view kNoPatternFolderMessage = u" DOZORA の設定がありません.";

// Bytes of the text in CP932 (a character CP932 cannot write counts 2).
int ByteLength(std::u16string_view text);
// `length` bytes of the text's CP932 form from 1-based byte `start`, read back as text; a byte that
// does not make a character on its own reads as U+FFFD.
std::u16string ByteMid(std::u16string_view text, int start, int length);

// Whether a destination folder path is acceptable: an absolute path on a drive that can be made
// current, without "*", "?" or blanks, whose folder names with a dot follow the 8.3 rule. The path
// is rewritten on the way (trimmed, "\" after the drive, a trailing "\"), whatever the outcome. A
// bad drive part is reported through `host`; other rejections are left to the caller.
bool CheckPath(std::u16string& path, tjvx::MessageHost& host);

// The pattern folder named on the second line of DozoraV5.ini in the system folder, with a
// trailing "\", or empty when the settings file is missing, empty or has no second line. The
// settings file is only read.
std::u16string ReadPatternFolder();

// The start-up check: the pattern folder when the setting names an existing folder; otherwise the
// message " DOZORA の設定がありません." is shown and nothing is returned, and the program ends.
std::optional<std::u16string> StartupPatternFolder(tjvx::MessageHost& host);

}  // namespace TRCOMSUB

#endif  // TJVX_TEXT_PATH_CHECK_H_
