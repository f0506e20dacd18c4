// The exact text of a check's report: the line of a finding in each of its forms (its rule, the
// depth of its record, what to do), the stop under its finding and the summary line.

#include "convert/check_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/utf.h"
#include "source/rules.h"

namespace tjvx {
namespace {

using base::Severity;

TEST(CheckReport, AFindingLineNamesOnlyTheLineRecordAndFieldItHas) {
  const std::u16string folder = u"C:\\DATA\\B-12\\";
  struct Case {
    base::Finding finding;
    std::u16string line;
  };
  const Case cases[] = {
      // The rule after the severity, the record's depth first and what to do last: the finding's
      // own fix, else its rule's.
      {{Severity::kWarning,
        folder + u"X3.TXT",
        5,
        5,
        u"2001",
        u"コード「15」が L4.TXT にない為。",
        {},
        "W-CODE-MISSING",
        u"L4.TXT にコード 15 を加えてください。",
        u"3.20"},
       u"X3.TXT:5: 警告: 深度 3.20 m、コード「15」が L4.TXT にない為。L4.TXT にコード 15 を加えて"
       u"ください。 (記録 2001、項目 5) [W-CODE-MISSING]"},
      {{Severity::kNotice,
        folder + u"X5.TXT",
        3,
        9,
        u"4000",
        u"貫入量の 0 が -1 と書かれます。",
        {3, 4},
        "N-ZERO-WRITTEN",
        {},
        u"3.15"},
       u"X5.TXT:3: 通知: 深度 3.15 m、貫入量の 0 が -1 と書かれます。" +
           std::u16string(source::rules::kZeroWritten.fix) +
           u" (記録 4000、項目 9) [N-ZERO-WRITTEN]"},
      {{Severity::kWarning,
        folder + u"X7.TXT",
        2,
        0,
        u"",
        u"層が逆です。",
        {},
        "W-LAYER-INVERTED",
        u"直してください。",
        u"5.30～2.50"},
       u"X7.TXT:2: 警告: 深度 5.30～2.50 m、層が逆です。直してください。 [W-LAYER-INVERTED]"},
      {{Severity::kError,
        folder + u"G40.TXT",
        1,
        0,
        u"",
        u"途中で終わっています。\nこの行",
        {},
        "E-RECORD-CUT-SHORT",
        u"直してください。"},
       u"G40.TXT:1: エラー: 途中で終わっています。 この行 直してください。 [E-RECORD-CUT-SHORT]"},
      // A finding of no rule, and without a fix: its message alone.
      {{Severity::kWarning, folder + u"X3.TXT", 5, 5, u"2001", u"コード「15」が L4.TXT にない為。"},
       u"X3.TXT:5: 警告: コード「15」が L4.TXT にない為。 (記録 2001、項目 5)"},
      {{Severity::kNotice, folder + u"R41.TXT", 2, 0, u"3000", u"0 の値が -1 と書かれます。"},
       u"R41.TXT:2: 通知: 0 の値が -1 と書かれます。 (記録 3000)"},
      {{Severity::kWarning, folder + u"Titl01.txt", 4, 10, u"", u"1926 年より前の為。"},
       u"Titl01.txt:4: 警告: 1926 年より前の為。 (項目 10)"},
      {{Severity::kError, folder + u"G40.TXT", 1, 0, u"", u"レコードの途中で終わっています。"},
       u"G40.TXT:1: エラー: レコードの途中で終わっています。"},
      {{Severity::kNotice, folder + u"N9.TXT", 0, 0, u"3020", u"ファイルがない為。"},
       u"N9.TXT: 通知: ファイルがない為。 (記録 3020)"},
      {{Severity::kWarning, folder + u"X12.TXT", 0, 2, u"", u"記事。"},
       u"X12.TXT: 警告: 記事。 (項目 2)"},
      {{Severity::kNotice, folder + u"X11.TXT", 0, 0, u"", u"ファイルが空の為。"},
       u"X11.TXT: 通知: ファイルが空の為。"},
      {{Severity::kError, folder + u"X1.TXT", 3, 0, u"", u"変換できません。\nC:\\DATA"},
       u"X1.TXT:3: エラー: 変換できません。 C:\\DATA"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(base::ToUtf8(convert::FindingLine(c.finding)), base::ToUtf8(c.line));
  }
}

TEST(CheckReport, TheStopStandsUnderItsFindingAndTheCountsCloseTheReport) {
  convert::CheckResult result;
  result.folder = u"C:\\DATA\\B-12";
  result.findings = {
      {Severity::kWarning, u"C:\\DATA\\B-12\\X3.TXT", 5, 5, u"2001", u"一つ目。"},
      {Severity::kError, u"C:\\DATA\\B-12\\G40.TXT", 1, 0, u"", u"二つ目。"},
      {Severity::kNotice, u"C:\\DATA\\B-12\\N9.TXT", 0, 0, u"3020", u"三つ目。"},
      // The plausibility rules' findings are counted apart.
      {Severity::kWarning,
       u"C:\\DATA\\B-12\\X7.TXT",
       2,
       5,
       u"",
       u"四つ目。",
       {},
       "W-LAYER-GAP",
       u"直す。"},
      {Severity::kNotice,
       u"C:\\DATA\\B-12\\X5.TXT",
       9,
       0,
       u"",
       u"五つ目。",
       {},
       "N-BLOWS-OVER-50",
       u"確かめる。"},
  };
  result.stop = 1;
  result.stop_message = u"ファイルの終わりを越えて読もうとしました。\nC:\\DATA\\B-12\\G40.TXT";
  EXPECT_EQ(base::ToUtf8(convert::ReportText(u"B-12", result)),
            "X3.TXT:5: 警告: 一つ目。 (記録 2001、項目 5)\n"
            "G40.TXT:1: エラー: 二つ目。\n"
            "    変換はこのエラーで止まります:\n"
            "    ファイルの終わりを越えて読もうとしました。\n"
            "    C:\\DATA\\B-12\\G40.TXT\n"
            "N9.TXT: 通知: 三つ目。 (記録 3020)\n"
            "X7.TXT:2: 警告: 四つ目。直す。 (項目 5) [W-LAYER-GAP]\n"
            "X5.TXT:9: 通知: 五つ目。確かめる。 [N-BLOWS-OVER-50]\n"
            "B-12: エラー 1 件、警告 1 件、通知 1 件、妥当性 2 件\n");
  EXPECT_EQ(result.Count(Severity::kWarning), 2u);
  EXPECT_EQ(result.Plausibility(Severity::kWarning), 1u);
  EXPECT_EQ(result.Plausibility(), 2u);

  // Without findings the report is the summary line alone.
  EXPECT_EQ(base::ToUtf8(convert::ReportText(u"samples/B-12", convert::CheckResult{})),
            "samples/B-12: エラー 0 件、警告 0 件、通知 0 件、妥当性 0 件\n");
}

}  // namespace
}  // namespace tjvx
