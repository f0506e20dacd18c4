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
enum ReportColumn : int { kSeverityColumn, kFileColumn, kLineColumn, kRuleColumn, kMessageColumn };
inline constexpr int kReportColumnCount = 5;
inline constexpr std::array<std::u16string_view, kReportColumnCount> kReportHeadings = {
    u"種別", u"ファイル", u"行", u"規則", u"内容"};
// The line numbers stand at the right of their column and keep this gap (pixels at 96 dpi)
// before the message.
inline constexpr int kLineColumnGap = 8;

// The text of `line`'s row in `column`: its severity word, its file, its line number (none for
// the whole file), its rule, or its message: the report's line without what the other columns
// show ("X7.TXT:12: 警告: " before it, " [W-CODE-MISSING]" after it), the whole line where it does
// not start so.
std::u16string ReportCell(const CheckReport::Line& line, ReportColumn column);

// What the dialog shows under the list for the row chosen: its rule's help (the ID and title, the
// cause and what to do); empty for a row of no rule.
std::u16string ReportHelp(const CheckReport::Line& line);

// The colours a row stands out in, where it has its own: an error's text red on pink, a warning on
// yellow; a notice is written as any list's row.
struct RowColours {
  std::optional<Rgb> text;
  std::optional<Rgb> ground;
};
RowColours ReportRowColours(base::Severity severity);

}  // namespace tjvx::form

#endif  // TJVX_FORM_REPORT_TABLE_H_
