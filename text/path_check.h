#ifndef TJVX_TEXT_PATH_CHECK_H_
#define TJVX_TEXT_PATH_CHECK_H_

#include <string>
#include <string_view>

#include "base/message_host.h"

// The destination folder check of a run.
namespace tjvx::text {

inline constexpr std::u16string_view kDriveMessage =
    u"規定値のドライブ名が正しくありません。ドライブ名は１文字のアルファベットと \":\" "
    u"でなければいけません。  例 \"C:\", \"D:\"...";

// Whether a destination folder path is acceptable: an absolute path on a drive that can be made
// current, without "*", "?" or blanks, whose folder names with a dot follow the 8.3 rule. The path
// is rewritten on the way (trimmed, "\" after the drive, a trailing "\"), whatever the outcome. A
// bad drive part is reported through `host`; other rejections are left to the caller.
// `as_given`: the path is checked as written, without the first trim, so that a blank the user
// typed around it (on the command line, where a path is taken exactly) is refused, not dropped.
bool CheckPath(std::u16string& path, base::MessageHost& host, bool as_given = false);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_PATH_CHECK_H_
