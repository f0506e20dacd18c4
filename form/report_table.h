#ifndef TJVX_FORM_REPORT_TABLE_H_
#define TJVX_FORM_REPORT_TABLE_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "base/findings.h"
#include "form/look.h"
#include "form/view.h"

// The check's report as both windows list it: a row per finding, in columns.
namespace tjvx::form {

// The columns of the list, in their order, and their headings.
enum ReportColumn : int { kSeverityColumn, kFileColumn, kLineColumn, kMessageColumn };
inline constexpr int kReportColumnCount = 4;
inline constexpr std::array<std::u16string_view, kReportColumnCount> kReportHeadings = {
    u"種別", u"ファイル", u"行", u"内容"};
// The line numbers stand at the right of their column and keep this gap (pixels at 96 dpi)
// before the message.
inline constexpr int kLineColumnGap = 8;

// The text of `line`'s row in `column`: its severity word, its file, its line number (none for
// the whole file), or its message: the report's line without what the columns before it show
// ("X7.TXT:12: 警告: "), the whole line where it does not start so.
std::u16string ReportCell(const CheckReport::Line& line, ReportColumn column);

// The colours a row stands out in, where it has its own: an error's text red on pink, a warning on
// yellow; a notice is written as any list's row.
struct RowColours {
  std::optional<Rgb> text;
  std::optional<Rgb> ground;
};
RowColours ReportRowColours(base::Severity severity);

}  // namespace tjvx::form

#endif  // TJVX_FORM_REPORT_TABLE_H_
