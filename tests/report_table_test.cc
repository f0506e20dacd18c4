// The check's report as both windows list it: the text of each cell of a finding's row and the
// colours that mark a row.

#include "form/report_table.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"
#include "convert/check_report.h"
#include "convert/run.h"

namespace tjvx::form {
namespace {

using base::Severity;

// A finding's row as the window's logic makes it.
CheckReport::Line RowOf(const base::Finding& finding) {
  return {finding.severity, std::u16string(convert::FindingFileName(finding)), finding.line,
          convert::FindingLine(finding)};
}

TEST(ReportCell, SplitsAFindingsLineIntoSeverityFileLineAndMessage) {
  const CheckReport::Line row = RowOf({Severity::kWarning, u"C:\\DATA\\B-12\\X3.TXT", 5, 5, u"2001",
                                       u"コード「15」が L4.TXT にない為。"});
  EXPECT_EQ(ReportCell(row, kSeverityColumn), u"警告");
  EXPECT_EQ(ReportCell(row, kFileColumn), u"X3.TXT");
  EXPECT_EQ(ReportCell(row, kLineColumn), u"5");
  EXPECT_EQ(ReportCell(row, kMessageColumn),
            u"コード「15」が L4.TXT にない為。 (記録 2001、項目 5)");

  // A finding of the whole file has no line number; an error's message keeps its second line.
  const CheckReport::Line whole =
      RowOf({Severity::kNotice, u"C:\\DATA\\B-12\\N9.TXT", 0, 0, u"3020", u"ファイルがない為。"});
  EXPECT_EQ(ReportCell(whole, kSeverityColumn), u"通知");
  EXPECT_EQ(ReportCell(whole, kLineColumn), u"");
  EXPECT_EQ(ReportCell(whole, kMessageColumn), u"ファイルがない為。 (記録 3020)");
  const CheckReport::Line error = RowOf({Severity::kError, u"C:\\DATA\\B-12\\X1.TXT", 123456789012,
                                         0, u"", u"変換できません。\nC:\\DATA"});
  EXPECT_EQ(ReportCell(error, kSeverityColumn), u"エラー");
  EXPECT_EQ(ReportCell(error, kLineColumn), u"123456789012");
  EXPECT_EQ(ReportCell(error, kMessageColumn), u"変換できません。 C:\\DATA");
}

TEST(ReportCell, ALineThatDoesNotStartWithItsColumnsIsTheMessageWhole) {
  // Another line number, another severity, or no ": " after the file: nothing is cut.
  const std::u16string texts[] = {u"G40.TXT:2: エラー: 途中で終わっています。",
                                  u"G40.TXT:1: 警告: 途中で終わっています。",
                                  u"G40.TXT:1 エラー: 途中で終わっています。"};
  for (const std::u16string& text : texts) {
    const CheckReport::Line row{Severity::kError, u"G40.TXT", 1, text};
    EXPECT_EQ(ReportCell(row, kMessageColumn), text) << base::ToUtf8(text);
  }
  // A line that is only its columns leaves an empty message.
  EXPECT_EQ(ReportCell({Severity::kError, u"G40.TXT", 1, u"G40.TXT:1: エラー: "}, kMessageColumn),
            u"");
}

TEST(ReportRowColours, MarkErrorsAndWarningsButNotNotices) {
  const RowColours error = ReportRowColours(Severity::kError);
  const RowColours warning = ReportRowColours(Severity::kWarning);
  const RowColours notice = ReportRowColours(Severity::kNotice);
  ASSERT_TRUE(error.text && error.ground && warning.ground);
  EXPECT_FALSE(warning.text);
  EXPECT_FALSE(notice.text || notice.ground);
  EXPECT_NE(*error.text, *error.ground);
  EXPECT_NE(*error.ground, *warning.ground);
}

}  // namespace
}  // namespace tjvx::form
