// The findings of a check for values that do not reach the converted file as they stand, one table
// per record group: a source line, and the one finding it must give at that line or none. Each
// case is also converted, whose warning count must be the check's.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "convert/check_report.h"
#include "convert/run.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;
using base::Severity;

// A source line and what a check says of it; `says` empty when nothing is said at that line.
struct LineCase {
  const char* what;
  std::u16string text;  // the line(s) put between the file's fixed beginning and end
  long long line;       // the line the finding names
  Severity severity;
  int field;
  std::u16string says;  // a part of the message
};

class CheckChangesTest : public testing::Test, public test::SampleFolders {
 protected:
  // Puts each case's text into `file` of the sample, between `before` and `after`, and expects
  // exactly the case's finding at its line, with `record`. `also` changes other files of the
  // sample first.
  void Expect(const char* file, std::u16string_view record, std::u16string_view before,
              std::u16string_view after, const std::vector<LineCase>& cases,
              const std::function<void()>& also = {}) {
    for (const LineCase& c : cases) {
      SCOPED_TRACE(c.what);
      fs::remove_all(Source());
      fs::remove_all(drives_.d() / "OUT");
      test::CopyTree("samples/boreholes/B-12", Source());
      if (also) also();
      test::WriteCp932(Source() / file, std::u16string(before) + c.text + std::u16string(after));
      const convert::CheckResult result = convert::CheckSourceFolder(u"C:\\DATA\\B-12", tables_);
      const std::string dump = base::ToUtf8(convert::ReportText(u"B-12", result));
      // The plausibility rules' findings have tests of their own.
      std::vector<const base::Finding*> at;
      for (const base::Finding& f : result.findings) {
        const source::Rule* rule = convert::RuleOf(f);
        if (convert::FindingFileName(f) == base::FromUtf8(file) && f.line == c.line &&
            !(rule != nullptr && rule->plausibility)) {
          at.push_back(&f);
        }
      }
      if (c.says.empty()) {
        EXPECT_TRUE(at.empty()) << dump;
      } else {
        EXPECT_EQ(at.size(), 1u) << dump;
        if (at.size() != 1) continue;
        EXPECT_EQ(at[0]->severity, c.severity) << dump;
        EXPECT_EQ(at[0]->record, record) << dump;
        EXPECT_EQ(at[0]->field, c.field) << dump;
        EXPECT_NE(at[0]->message.find(c.says), std::u16string::npos) << dump;
      }
      test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
      fs::create_directories(drives_.d() / "OUT");
      const convert::RunResult run = Convert(host);
      EXPECT_EQ(run.warnings, result.ConversionWarnings()) << dump;
    }
  }
};

TEST_F(CheckChangesTest, TheDatesOf1009) {
  const std::u16string before =
      u"\"桜台地区道路改良工事に伴う地質調査業務委託\",\"B-12\",\"1\"\r\n"
      u"\"東京都緑野市桜台二丁目地内\",\"緑野市 建設部 道路課\"\r\n"
      u"\"東和地質調査株式会社  \",\"緑野支店\",\"\",\"0\"\r\n";
  const std::u16string after = u"\r\n4,12.35,\"\",\"\"\r\n";
  const Severity W = Severity::kWarning, N = Severity::kNotice;
  Expect(
      "Titl01.txt", u"1009", before, after,
      {
          {"two dates", u"2004,08,05,2004,08,20", 4, W, 0, u""},
          {"a month written as it stands", u"2004,8.5,05,2004,08,20", 4, W, 0, u""},
          {"no second date", u"2004,08,05,,,", 4, W, 0, u""},
          {"no date", u",,,,,", 4, W, 0, u""},
          {"a month not a number", u"2004,ab,05,2004,08,20", 4, W, 11,
           u"「ab」は数値ではない為、-1 と書かれます"},
          {"a day of 0", u"2004,08,0,2004,08,20", 4, N, 12, u"日の 0 が -1"},
          {"a second day not a number", u"2004,08,05,2004,08,x", 4, W, 15, u"「x」は数値ではない"},
          {"a second year not a number", u"2004,08,05,abc,08,20", 4, W, 13,
           u"「abc」は数値ではない為、-1 と書かれます"},
          {"a second year of 0", u"2004,08,05,0,08,20", 4, N, 13, u"年の 0 が -1"},
          {"a second year before the era", u"2004,08,05,1985,08,20", 4, W, 13,
           u"年号 (平成) では 0 以下の年になる為、-3 と書かれます"},
          {"a second year of era year 0", u"2004,08,05,1988,08,20", 4, W, 13,
           u"0 以下の年になる為、-1 と書かれます"},
          {"a second year before Showa", u"1988,08,05,1925,08,20", 4, W, 13,
           u"年号 (昭和) では 0 以下の年になる為、-1 と書かれます"},
          {"a second year not whole", u"2004,08,05,2004.5,08,20", 4, W, 13,
           u"整数ではない為、年号の年が 16.5 と書かれます"},
          {"a second year too long", u"2004,08,05,123456789012,08,20", 4, W, 13,
           u"桁が多すぎる為、年号の年が 1.234568E+11 と書かれます"},
          {"a year not whole", u"2004.5,08,05,2004,08,20", 4, W, 10,
           u"「2004.5」は整数ではない為、年号の年が 16.5 と書かれます"},
          {"a year too long", u"123456789012,08,05,2004,08,20", 4, W, 10,
           u"桁が多すぎる為、年号の年が 1.234568E+11 と書かれます"},
          {"a year before 1926", u"1900,08,05,2004,08,20", 4, W, 10,
           u"「1900」は 1926 年より前の為、日付がすべて -1 と書かれます"},
          {"a year not a number", u"abc,08,05,2004,08,20", 4, W, 10,
           u"「abc」は数値ではない為、日付がすべて -1"},
          {"a year beyond single precision", u"1e50,08,05,2004,08,20", 4, W, 10,
           u"扱える範囲を超える数値の為、日付がすべて -1"},
          {"a blank year before a date", u",08,05,2004,08,20", 4, W, 10,
           u"年が空の為、月、日と 2 つ目の日付も書かれず"},
          {"a year of 0 before a date", u"0,08,05,2004,08,20", 4, W, 10, u"年が 0 の為"},
          {"a year of 0 alone", u"0,,,,,", 4, N, 10, u"年の 0 が -1"},
      });
}

TEST_F(CheckChangesTest, TheRockNameOf1013) {
  const std::u16string before =
      u"\"桜台地区道路改良工事に伴う地質調査業務委託\",\"B-12\",\"1\"\r\n"
      u"\"東京都緑野市桜台二丁目地内\",\"緑野市 建設部 道路課\"\r\n"
      u"\"東和地質調査株式会社  \",\"緑野支店\",\"\",\"0\"\r\n"
      u"2004,08,05,2004,08,20\r\n";
  const Severity W = Severity::kWarning;
  Expect("Titl01.txt", u"1013", before, u"\r\n",
         {
             {"a name and an elevation", u"4,12.35,\"\",\"\"", 5, W, 0, u""},
             {"no name and no elevation", u",-1,\"\",\"\"", 5, W, 0, u""},
             {"an elevation of -1", u"4,-1,\"\",\"\"", 5, W, 17,
              u"標高「-1」が -1 と書かれる為、岩種の名前「泥岩」は書かれず、@ と書かれます"},
             {"an elevation of 0", u"4,0,\"\",\"\"", 5, W, 17, u"標高「0」が -1 と書かれる為"},
             {"an elevation not a number", u"4,abc,\"\",\"\"", 5, W, 17,
              u"標高「abc」が -1 と書かれる為"},
             {"a blank elevation", u"4,,\"\",\"\"", 5, W, 17, u"標高が空の為、岩種の名前「泥岩」"},
             {"no elevation item", u"4", 5, W, 16, u"標高が空の為"},
             {"a code not in L1.TXT", u"99,-1,\"\",\"\"", 5, W, 16, u"L1.TXT にない為"},
         });
}

// An X7.TXT record whose first code field holds `code`.
std::u16string X7Record(std::u16string_view code) {
  std::u16string line = u"1,1,\"B-12\",0,0.00,0.80,0,0," + std::u16string(code);
  for (int i = 10; i <= 67; ++i) line += u",0";
  return line + u",\"\"";
}

TEST_F(CheckChangesTest, CodesThatAreNoCodeOrSkipped) {
  const Severity W = Severity::kWarning;
  Expect("X7.TXT", u"3030", u"", u"\r\n",
         {
             {"a code", X7Record(u"2"), 1, W, 0, u""},
             {"a code of 0", X7Record(u"0"), 1, W, 0, u""},
             {"a code of 00", X7Record(u"00"), 1, W, 0, u""},
             {"a blank code", X7Record(u""), 1, W, 0, u""},
             {"a full-width number", X7Record(u"５"), 1, W, 9,
              u"「５」は数値ではない為、読み飛ばされます (全角の数字は数値として読まれません)"},
             {"a letter", X7Record(u"a"), 1, W, 9, u"「a」は数値ではない為、読み飛ばされます。"},
         });
  Expect("G72.TXT", u"5010", u"", u"\r\n",
         {
             {"two codes", u"1,1.50,85.3,5,0,1,0,\"T-1\"", 1, W, 0, u""},
             {"a first code of 0", u"1,1.50,85.3,0,0,1,0,\"T-1\"", 1, W, 0, u""},
             {"a second code of 0", u"1,1.50,85.3,5,0,0,0,\"T-1\"", 1, W, 0, u""},
             {"a code not in L18.TXT", u"1,1.50,85.3,99,0,1,0,\"T-1\"", 1, W, 4,
              u"コード「99」が L18.TXT にない為"},
         });
}

TEST_F(CheckChangesTest, DatesWhoseMonthAndDayAreNotWritten) {
  const Severity W = Severity::kWarning;
  Expect("N9.TXT", u"3020", u"", u",2.10\r\n",
         {
             {"yyyy/mm/dd", u"1,\"2004/08/05\"", 1, W, 0, u""},
             {"other separators", u"1,\"2004-08-05\"", 1, W, 0, u""},
             {"year, month and day marks", u"1,\"2004年08月05日\"", 1, W, 0, u""},
             {"no date", u"1,\"\"", 1, W, 0, u""},
             {"one-digit month and day", u"1,\"2004/8/5\"", 1, W, 2,
              u"日付「2004/8/5」が yyyy/mm/dd の形でない為、月と日が -1 -1 と書かれます"},
             {"a one-digit month", u"1,\"2004-8-15\"", 1, W, 2, u"月と日が -1 5 と書かれます"},
             {"no digits", u"1,\"abcdefghij\"", 1, W, 2, u"日付「abcdefghij」"},
         });
  Expect(
      "N8.TXT", u"5000", u"", u",1.5\r\n",
      {
          {"other separators", u"1,\"2004-08-06\"", 1, W, 0, u""},
          {"one-digit month and day", u"1,\"2004/8/6\"", 1, W, 2, u"月と日が -1 -1 と書かれます"},
      });
}

TEST_F(CheckChangesTest, DepthsMadeFromValuesAndBlankMemberDepths) {
  const Severity W = Severity::kWarning;
  Expect(
      "X5.TXT", u"4000", u"", u"\r\n",
      {
          {"lengths", u"1,1.15,5,63.5,\"\",1,10,2,10,2,10", 1, W, 0, u""},
          {"a sum finer than the depth form", u"1,1.15,5,63.5,\"\",1,0.5,2,10,2,10", 1, W, 0, u""},
          {"a length whose sum takes an exponent", u"1,1.15,5,63.5,\"\",1,123456789012,2,10,2,10",
           1, W, 0, u"終わりの深度が深度の形 (4 桁.2 桁) に収まらない為、1.23 と書かれます"},
      });
  Expect("G71.TXT", u"5000", u"", u"\r\n",
         {
             {"a depth", u"1,1.50,0,0,2.652", 1, W, 0, u""},
             {"a blank depth without values", u"1,,0,0,", 1, W, 0, u""},
             {"a blank depth", u"1,,0,0,2.652", 1, W, 2,
              u"深度が空の為、この記録の値は深度 0.00 の行に書かれます"},
         });
}

// The lines of the sample's X1.TXT, X3.TXT and X11.TXT, to be put around a case.
const std::u16string kSite1 = u"1,5.30,\"沖積層\",\"完新世\"\r\n";
const std::u16string kSite3 = u"3,15.00,\"基盤岩\",\"新第三紀\"\r\n";
const std::u16string kNotes1to2 = u"1,0.80,\"0103\",0,\"\",0,0\r\n2,2.50,\"03\",0,\"0603\",0,0\r\n";
const std::u16string kNotes4to6 =
    u"4,8.40,\"04\",0,\"\",0,0\r\n5,11.60,\"0304\",0,\"15\",0,0\r\n6,15.00,\"010504\",0,\"\",0,"
    u"0\r\n";

// An X11.TXT record at `depth`.
std::u16string WaterLevel(std::u16string_view depth) {
  return u"1," + std::u16string(depth) + u",\"2004/08/05\",\"孔内水位\",\"初期水位\"";
}

TEST_F(CheckChangesTest, DepthsThatReachTheFileOnlyThroughTheDepthList) {
  const Severity W = Severity::kWarning;
  Expect("X11.TXT", u"2001", u"", u"\r\n",
         {
             {"a depth", WaterLevel(u"2.10"), 1, W, 0, u""},
             {"the last site depth", WaterLevel(u"15.00"), 1, W, 0, u""},
             {"a depth with a zero third decimal", WaterLevel(u"2.100"), 1, W, 0, u""},
             {"a depth not a number", WaterLevel(u"abc"), 1, W, 2,
              u"深度「abc」は数値ではない為、深度 0 とされます。"},
             {"a depth with a third decimal", WaterLevel(u"2.105"), 1, W, 2,
              u"「2.105」は小数第 3 位以下が切り捨てられ、2.10 と書かれます。"},
             {"a depth deeper than the last site depth", WaterLevel(u"20.00"), 1, W, 2,
              u"深度「20.00」が最後の現場の深度 (X1.TXT) より深い為、2001 に書かれません。"},
         });
  // With a site this deep a depth of five integer digits gets a 2001 record.
  Expect("X11.TXT", u"2001", u"", u"\r\n",
         {{"five integer digits", WaterLevel(u"12345.5"), 1, W, 2,
           u"「12345.5」は桁が多すぎる為に上の桁が切れ、2345.50 と書かれます。"}},
         [&] {
           test::WriteCp932(Source() / "X1.TXT",
                            kSite1 + kSite3 + u"4,99999,\"基盤岩\",\"新第三紀\"\r\n");
         });
  Expect(
      "X3.TXT", u"2001", kNotes1to2, u"\r\n" + kNotes4to6,
      {
          {"a depth", u"3,5.30,\"0104\",0,\"\",0,0", 3, W, 0, u""},
          {"a depth with a third decimal", u"3,5.305,\"0104\",0,\"\",0,0", 3, W, 2,
           u"「5.305」は小数第 3 位以下が切り捨てられ、5.30 と書かれます。"},
          {"the depth of the line before", u"3,2.50,\"0104\",0,\"\",0,0", 3, W, 2,
           u"深度「2.50」が前の行の深度と同じ為、この行の名前は正しい深度の 2001 に付きません。"},
      });
  const std::u16string notes1to5 = kNotes1to2 + u"3,5.30,\"0104\",0,\"\",0,0\r\n" +
                                   u"4,8.40,\"04\",0,\"\",0,0\r\n5,11.60,\"0304\",0,\"15\",0,0\r\n";
  Expect("X3.TXT", u"2001", notes1to5, u"\r\n",
         {
             {"the last site depth", u"6,15.00,\"010504\",0,\"\",0,0", 6, W, 0, u""},
             {"the last record deeper than the last site depth", u"6,20.00,\"010504\",0,\"\",0,0",
              6, W, 2,
              u"深度「20.00」が最後の現場の深度 (X1.TXT) より深い為、この行の名前は最後の 2001 "
              u"に付きます。"},
             {"records deeper than the last site depth",
              u"6,16.00,\"010504\",0,\"\",0,0\r\n7,20.00,\"04\",0,\"\",0,0", 6, W, 2,
              u"この行の名前は最後の 2001 に付き、後の行は 2001 に書かれません。"},
         });
  Expect("R32.TXT", u"2001", u"1,0.80,\"\",0,\"\",0\r\n2,2.50,3,0,\"\",0\r\n",
         u"\r\n4,11.60,\"\",0,\"\",0\r\n5,15.00,5,0,\"\",0\r\n",
         {
             {"a depth", u"3,5.30,2,0,3,0", 3, W, 0, u""},
             {"a depth with a third decimal", u"3,5.309,2,0,3,0", 3, W, 2,
              u"「5.309」は小数第 3 位以下が切り捨てられ、5.30 と書かれます。"},
             {"the depth of the line before", u"3,2.50,2,0,3,0", 3, W, 2, u"前の行の深度と同じ為"},
         });
  Expect("X1.TXT", u"2000", kSite1, u"\r\n" + kSite3,
         {
             {"a depth", u"2,11.60,\"洪積層\",\"更新世\"", 2, W, 0, u""},
             {"the depth of the line before", u"2,5.30,\"洪積層\",\"更新世\"", 2, W, 2,
              u"深度「5.30」が前の行の深度と同じ為、2000 の最後の数 (深度の番号) が正しく数えられ"
              u"ません。"},
         });
  Expect(
      "X1.TXT", u"2000", kSite1 + u"2,15.00,\"洪積層\",\"更新世\"\r\n", u"\r\n",
      {
          {"the deepest last", u"3,20.00,\"基盤岩\",\"新第三紀\"", 3, W, 0, u""},
          {"a last depth above the one before", u"3,11.60,\"基盤岩\",\"新第三紀\"", 3, W, 2,
           u"深度「11.60」が前の行の深度より浅い為、2000 の最後の数 (深度の番号) が正しく数えられ"
           u"ません。最後の行の深度の為、これより深い 2001 (深度「15.00」まで) は書かれません。"},
      });
  Expect("X1.TXT", u"2000", u"1,15.00,\"沖積層\",\"完新世\"\r\n2,5.30,\"洪積層\",\"更新世\"\r\n",
         u"\r\n",
         {{"a last depth above an earlier one", u"3,11.60,\"基盤岩\",\"新第三紀\"", 3, W, 2,
           u"深度「11.60」は最後の行の深度の為、これより深い 2001 (深度「15.00」まで) "
           u"は書かれません。"}});
  Expect("X12.TXT", u"2002", u"", u"\r\n",
         {
             {"a note at a depth", u"1,3.00,\"表層\"", 1, W, 0, u""},
             {"a note at the last depth", u"1,15.00,\"表層\"", 1, W, 0, u""},
             {"a note depth not a number", u"1,abc,\"表層\"", 1, W, 2,
              u"深度「abc」は数値ではない為、記事は一番浅い深度に付きます。"},
             {"a note deeper than the last depth", u"1,20.00,\"表層\"", 1, W, 2,
              u"深度「20.00」が最後の 2001 の深度より深い為、記事は最後の 2001 に付きます。"},
         });
}

}  // namespace
}  // namespace tjvx
