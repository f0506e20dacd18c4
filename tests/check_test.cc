// The check of a source folder: each kind of finding from the smallest change to the sample that
// provokes it, the sample's own report, and the agreement of a check with a conversion.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <algorithm>
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

class CheckTest : public testing::Test, public test::SampleFolders {
 protected:
  convert::CheckResult Check() { return convert::CheckSourceFolder(u"C:\\DATA\\B-12", tables_); }
  void Write(const char* name, std::u16string_view text) {
    test::WriteCp932(Source() / name, text);
  }
  convert::RunResult ConvertSample() {
    test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
    fs::create_directories(drives_.d() / "OUT");
    return Convert(host);
  }
};

// The findings of `result` in `file` at `line`.
std::vector<base::Finding> At(const convert::CheckResult& result, std::u16string_view file,
                              long long line) {
  std::vector<base::Finding> found;
  for (const base::Finding& finding : result.findings) {
    if (convert::FindingFileName(finding) == file && finding.line == line) found.push_back(finding);
  }
  return found;
}

std::string Dump(const convert::CheckResult& result) {
  return base::ToUtf8(convert::ReportText(u"B-12", result));
}

// One change to the sample and the one finding it must give.
struct Provoked {
  const char* what;
  const char* file;
  std::u16string text;  // the file's new content; empty removes the file
  long long line;
  Severity severity;
  std::u16string record;
  int field;
  std::u16string says;  // a part of the message
  std::string_view rule;
};

TEST_F(CheckTest, EachKindOfFindingComesFromTheSmallestChangeThatProvokesIt) {
  const Provoked cases[] = {
      {"a code not in its table", "X7.TXT",
       u"1,1,\"B-12\",0,0.00,0.80,0,0,99,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
       u"0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\"\"\r\n",
       1, Severity::kWarning, u"3030", 9, u"コード「99」が L8.TXT にない為、名前が @",
       "W-CODE-MISSING"},
      {"a text in a -1 field", "R41.TXT", u"1,3.50,1.25,abc,12.0,0,0,0,0,0,\"\"\r\n", 1,
       Severity::kWarning, u"3000", 4, u"「abc」は数値ではない為、-1 と書かれます",
       "W-NOT-A-NUMBER"},
      {"a number beyond single precision", "R41.TXT", u"1,3.50,1.25,1e50,12.0,0,0,0,0,0,\"\"\r\n",
       1, Severity::kWarning, u"3000", 4, u"範囲を超える数値の為、-1", "W-NUMBER-OUT-OF-RANGE"},
      {"a depth too wide", "G40.TXT", u"1,\"盛土\",0,123456789012,0.80,0,0,\"\"\r\n", 1,
       Severity::kWarning, u"3040", 4, u"上の桁が切れ、9012.00 と書かれます", "W-DEPTH-TOO-WIDE"},
      {"a depth in exponent form", "G40.TXT", u"1,\"盛土\",0,1e308,0.80,0,0,\"\"\r\n", 1,
       Severity::kWarning, u"3040", 4, u"「1e308」は数値ではない為、e308.00 と書かれます",
       "W-NOT-A-NUMBER"},
      {"a depth with a third decimal", "G40.TXT", u"1,\"盛土\",0,0.125,0.80,0,0,\"\"\r\n", 1,
       Severity::kWarning, u"3040", 4, u"小数第 3 位以下が切り捨てられ、0.12 と書かれます",
       "W-DECIMALS-CUT"},
      {"a merged depth too wide", "G71.TXT", u"1,123456789012,0,0,2.652\r\n", 1, Severity::kWarning,
       u"5000", 2, u"0528.00 と書かれます", "W-DEPTH-TOO-WIDE"},
      {"a second record at a merged depth", "G71.TXT", u"1,1.50,0,0,2.652\r\n2,1.50,0,0,2.7\r\n", 2,
       Severity::kWarning, u"5000", 2, u"記録が先にある為、この記録は使われません",
       "W-MERGED-DEPTH"},
      {"site depths out of order", "X1.TXT",
       u"1,11.60,\"洪積層\",\"更新世\"\r\n2,5.30,\"沖積層\",\"完新世\"\r\n", 2, Severity::kWarning,
       u"2000", 2, u"前の行の深度より浅い", "W-SITE-DEPTH-ORDER"},
      {"data after a Ctrl-Z", "G40.TXT",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n\x1A"
       u"2,x\r\n",
       2, Severity::kWarning, u"", 0, u"Ctrl-Z", "W-AFTER-CTRL-Z"},
      {"a control character copied", "G40.TXT", u"1,\"盛\x01土\",0,0.00,0.80,0,0,\"\"\r\n", 1,
       Severity::kWarning, u"3040", 0, u"制御文字 U+0001", "W-CONTROL-CHARACTER"},
      {"a date not yyyy/mm/dd", "N9.TXT", u"1,\"2004/8/5\",2.10\r\n", 1, Severity::kWarning,
       u"3020", 2, u"yyyy/mm/dd の形でない為", "W-DATE-FORM"},
      {"a negative reading", "X5.TXT", u"1,1.15,5,63.5,\"\",-5,10,2,10,2,10\r\n", 1,
       Severity::kWarning, u"4000", 6, u"負の打撃回数「-5」", "W-NEGATIVE-BLOWS"},
      {"a code in X7.TXT that is not a number", "X7.TXT",
       u"1,1,\"B-12\",0,0.00,0.80,0,0,ab,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
       u"0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,\"\"\r\n",
       1, Severity::kWarning, u"3030", 9, u"数値ではない為、読み飛ばされます",
       "W-CODE-NOT-A-NUMBER"},
      {"a rock code not in L1.TXT", "Titl01.txt",
       u"\"桜台地区道路改良工事に伴う地質調査業務委託\",\"B-12\",\"1\"\r\n"
       u"\"東京都緑野市桜台二丁目地内\",\"緑野市 建設部 道路課\"\r\n"
       u"\"東和地質調査株式会社  \",\"緑野支店\",\"\",\"0\"\r\n"
       u"2004,08,05,2004,08,20\r\n99,12.35,\"\",\"\"\r\n",
       5, Severity::kWarning, u"1013", 16, u"L1.TXT にない為", "W-CODE-MISSING"},
      {"a year before 1926", "Titl01.txt",
       u"\"桜台地区道路改良工事に伴う地質調査業務委託\",\"B-12\",\"1\"\r\n"
       u"\"東京都緑野市桜台二丁目地内\",\"緑野市 建設部 道路課\"\r\n"
       u"\"東和地質調査株式会社  \",\"緑野支店\",\"\",\"0\"\r\n"
       u"1900,08,05,2004,08,20\r\n4,12.35,\"\",\"\"\r\n",
       4, Severity::kWarning, u"1009", 10, u"1926 年より前", "W-TITLE-YEAR"},
      {"a note depth that is not a number", "X12.TXT", u"1,abc,\"表層\"\r\n", 1, Severity::kWarning,
       u"2002", 2, u"記事は一番浅い深度に付きます", "W-NOTE-DEPTH"},
      {"an end depth that does not fit", "X5.TXT", u"1,9999.50,5,63.5,\"\",1,100,2,10,2,10\r\n", 1,
       Severity::kWarning, u"4000", 0, u"終わりの深度", "W-END-DEPTH"},
      {"an absent file", "N9.TXT", u"", 0, Severity::kNotice, u"3020", 0,
       u"ファイルがない為、3020 の記録は書かれません", "N-FILE-LEFT-OUT"},
      {"a record cut short", "G40.TXT", u"1,\"盛土\",0\r\n", 1, Severity::kError, u"", 0,
       u"レコードの途中で終わっている", "E-RECORD-CUT-SHORT"},
  };
  for (const Provoked& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Source());
    test::CopyTree("samples/boreholes/B-12", Source());
    if (c.text.empty()) {
      fs::remove(Source() / c.file);
    } else {
      Write(c.file, c.text);
    }
    const convert::CheckResult result = Check();
    bool seen = false;
    for (const base::Finding& f : At(result, base::FromUtf8(c.file), c.line)) {
      seen = seen || (f.severity == c.severity && f.record == c.record && f.field == c.field &&
                      f.message.find(c.says) != std::u16string::npos && f.rule == c.rule);
    }
    EXPECT_TRUE(seen) << Dump(result);
  }
}

TEST_F(CheckTest, TheSampleReportListsItsFindingsAndAConversionCountsItsWarnings) {
  const convert::CheckResult result = Check();
  struct Expected {
    std::u16string file;
    long long line;
    Severity severity;
    std::u16string record;
  };
  const std::vector<Expected> expected = {
      {u"X3.TXT", 5, Severity::kWarning, u"2001"},   // code 15 not in L4.TXT
      {u"R30.TXT", 4, Severity::kWarning, u"3070"},  // code 9 not in L19.TXT
      {u"R41.TXT", 2, Severity::kNotice, u"3000"},   // a reading of 0 written -1
      {u"X7.TXT", 6, Severity::kWarning, u"3030"},   // code 13 not in L8.TXT
      {u"X5.TXT", 3, Severity::kNotice, u"4000"},    // the self-weight test's zeros
      {u"X5.TXT", 8, Severity::kWarning, u"4000"},   // "abc" as a reading
  };
  ASSERT_EQ(result.findings.size(), expected.size()) << Dump(result);
  for (size_t i = 0; i < expected.size(); ++i) {
    const base::Finding& f = result.findings[i];
    EXPECT_EQ(convert::FindingFileName(f), expected[i].file) << i;
    EXPECT_EQ(f.line, expected[i].line) << i;
    EXPECT_EQ(f.severity, expected[i].severity) << i;
    EXPECT_EQ(f.record, expected[i].record) << i;
  }
  EXPECT_NE(result.findings[4].message.find(u"19 件"), std::u16string::npos);
  EXPECT_FALSE(result.stop);
  EXPECT_EQ(result.Status(), 1);

  const convert::RunResult run = ConvertSample();
  ASSERT_EQ(run.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(run.message);
  EXPECT_EQ(run.warnings, result.ConversionWarnings());
}

// One odd value at a time in each field of each source file's first line: a conversion fails
// exactly when the check has an error, stops with the check's message, and counts the warnings the
// check lists.
TEST_F(CheckTest, AConversionCountsTheWarningsTheCheckListsForEveryOddValueInEveryField) {
  // "1,2" is an unquoted comma in a value: the records fall out of step with the lines.
  const char* const odd[] = {"abc", "0", "", "2.505", "123456", "\x82\x54" /* ５ */, "1,2"};
  std::vector<std::string> files;
  for (const fs::directory_entry& entry :
       fs::directory_iterator(test::RepositoryPath("samples/boreholes/B-12"))) {
    files.push_back(entry.path().filename().string());
  }
  std::sort(files.begin(), files.end());
  size_t tried = 0;
  for (const std::string& file : files) {
    const std::string original = test::ReadBytes(Source() / file);
    // The fields of the first line, as byte ranges (CP932 never has a comma as a trail byte).
    std::vector<std::pair<size_t, size_t>> fields;
    const size_t end = std::min(original.find("\r\n"), original.size());
    for (size_t at = 0; at <= end && !original.empty();) {
      const size_t comma = std::min(original.find(',', at), end);
      fields.emplace_back(at, comma);
      at = comma + 1;
    }
    for (const auto& [from, to] : fields) {
      for (const char* value : odd) {
        std::string changed = original;
        changed.replace(from, to - from, value);
        SCOPED_TRACE(file + ": " + changed.substr(0, changed.find("\r\n")));
        test::WriteBytes(Source() / file, changed);
        fs::remove_all(drives_.d() / "OUT");
        const convert::CheckResult result = Check();
        const convert::RunResult run = ConvertSample();
        ++tried;
        ASSERT_EQ(result.Count(Severity::kError) > 0, run.outcome == convert::RunOutcome::kFailed)
            << Dump(result) << base::ToUtf8(run.message);
        if (run.outcome == convert::RunOutcome::kFailed) {
          EXPECT_EQ(base::ToUtf8(result.stop_message), base::ToUtf8(run.message));
        } else {
          EXPECT_EQ(run.warnings, result.ConversionWarnings()) << Dump(result);
        }
      }
    }
    test::WriteBytes(Source() / file, original);
  }
  EXPECT_GT(tried, 500u);
}

// A finding of a record names the record's depth in metres as the converted file writes it (a
// layer's top and bottom), unless it is about a depth of the record itself or the record has none.
TEST_F(CheckTest, AFindingNamesTheDepthOfItsRecordUnlessItSpeaksOfThatDepth) {
  // The depth of the one finding at `line` of `file` (of `rule`, when given).
  auto depth_at = [](const convert::CheckResult& result, std::u16string_view file, long long line,
                     std::string_view rule = {}) -> std::string {
    std::vector<base::Finding> found = At(result, file, line);
    std::erase_if(found, [&](const base::Finding& f) { return !rule.empty() && f.rule != rule; });
    return found.size() == 1 ? base::ToUtf8(found[0].depth) : "(" + Dump(result) + ")";
  };
  const convert::CheckResult sample = Check();
  EXPECT_EQ(depth_at(sample, u"X7.TXT", 6), "8.40～11.60");
  EXPECT_EQ(depth_at(sample, u"X5.TXT", 8), "8.15");
  EXPECT_EQ(depth_at(sample, u"R41.TXT", 2), "6.50");
  EXPECT_EQ(depth_at(sample, u"X3.TXT", 5), "11.60");
  // A finding of the whole record (no field) names it too.
  Write("X5.TXT", u"1,1.15,5,63.5,\"\",1,10,2,10,2,10\r\n2,2.15,5,63.5,\"\",1,0,2,0,2,0\r\n");
  EXPECT_EQ(depth_at(Check(), u"X5.TXT", 2, "W-TEST-NO-INTERVAL"), "2.15");
  EXPECT_NE(base::ToUtf8(convert::FindingLine(At(sample, u"X5.TXT", 8).at(0)))
                .find("X5.TXT:8: 警告: 深度 8.15 m、貫入量「abc」は数値ではない為"),
            std::string::npos);

  // About the depth itself, a record of a depth that is no number, an open bottom, a title item.
  Write("G40.TXT",
        u"1,\"盛土\",0,123456789012,0.80,0,0,\"\"\r\n2,\"関\x01東\",0,abc,2.50,0,0,\"\"\r\n"
        u"3,\"沖\x01積\",0,2.50,,0,0,\"\"\r\n");
  Write("Titl01.txt",
        u"\"桜台\",\"B-12\",\"1\"\r\n\"東京都\",\"緑野市\"\r\n\"東和\",\"緑野支店\",\"\",\"0\"\r\n"
        u"2004,ab,05,2004,08,20\r\n4,12.35,\"\",\"\"\r\n");
  const convert::CheckResult changed = Check();
  const std::vector<base::Finding> too_wide = At(changed, u"G40.TXT", 1);
  ASSERT_FALSE(too_wide.empty()) << Dump(changed);
  EXPECT_EQ(too_wide[0].field, 4);
  EXPECT_EQ(base::ToUtf8(too_wide[0].depth), "");
  // The depth "abc" itself, and a control character of a record whose depth is no number.
  ASSERT_EQ(At(changed, u"G40.TXT", 2).size(), 2u) << Dump(changed);
  for (const base::Finding& f : At(changed, u"G40.TXT", 2)) {
    EXPECT_EQ(base::ToUtf8(f.depth), "") << base::ToUtf8(f.message);
  }
  EXPECT_EQ(depth_at(changed, u"G40.TXT", 3), "2.50");
  EXPECT_EQ(depth_at(changed, u"Titl01.txt", 4), "");
}

TEST_F(CheckTest, CheckingWritesNothingAnywhere) {
  const auto c_before = test::Snapshot(drives_.c());
  const auto d_before = test::Snapshot(drives_.d());
  Write("G40.TXT", u"1,\"盛土\",0\r\n");  // an error on the way does not change that either
  const auto c_changed = test::Snapshot(drives_.c());
  Check();
  EXPECT_EQ(test::Snapshot(drives_.c()), c_changed);
  EXPECT_EQ(test::Snapshot(drives_.d()), d_before);
  EXPECT_NE(c_changed, c_before);
}

TEST_F(CheckTest, EveryFileIsCheckedAndTheStopIsTheConversionsMessage) {
  // Three broken files: the depth list meets X1.TXT first, 3040 and 5010 come later.
  Write("G40.TXT", u"1,\"盛土\",0\r\n");
  test::WriteBytes(Source() / "G72.TXT", "1,1.50,\x82\r\n");  // a lead byte without its trail
  Write("X1.TXT", u"1,5.30,\"沖積層\"\r\n");
  const convert::CheckResult result = Check();
  EXPECT_EQ(result.Count(Severity::kError), 3u) << Dump(result);
  EXPECT_EQ(result.Status(), 2);
  ASSERT_TRUE(result.stop);
  EXPECT_EQ(convert::FindingFileName(result.findings[*result.stop]), u"X1.TXT");

  const convert::RunResult run = ConvertSample();
  EXPECT_EQ(run.outcome, convert::RunOutcome::kFailed);
  EXPECT_EQ(result.stop_message, run.message);
}

TEST_F(CheckTest, AMissingTableIsAnErrorOnlyWhereALookupNeedsIt) {
  fs::remove(Pattern() / "L19.TXT");
  const convert::CheckResult result = Check();
  ASSERT_TRUE(result.stop) << Dump(result);
  EXPECT_EQ(convert::FindingFileName(result.findings[*result.stop]), u"L19.TXT");
  const convert::RunResult run = ConvertSample();
  EXPECT_EQ(result.stop_message, run.message);

  // Without R30.TXT nothing looks L19.TXT up, so neither fails.
  fs::remove(Source() / "R30.TXT");
  EXPECT_FALSE(Check().stop);
}

// A pattern folder that is missing, or holds no table at all, is one error naming the folder, and
// the conversion stops with its own message about the first table it reads.
TEST_F(CheckTest, AMissingOrWrongPatternFolderIsOneErrorNamingTheFolder) {
  struct Case {
    const char* what;
    std::function<void()> make;
    std::u16string message;
  };
  const Case cases[] = {
      {"missing", [&] { fs::remove_all(Pattern()); },
       u"パターンのフォルダ「D:\\DOZORA」がない為、表を読めず変換できません。"},
      {"holding no table",
       [&] {
         fs::remove_all(Pattern());
         fs::create_directories(Pattern());
         test::WriteBytes(Pattern() / "README.TXT", "x");
       },
       u"パターンのフォルダ「D:\\DOZORA」に表 (KISHITU.TXT、L1.TXT など) がひとつもない為、"
       u"変換できません。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    source::PatternTables tables(u"D:\\DOZORA\\");
    const convert::CheckResult result = convert::CheckSourceFolder(u"C:\\DATA\\B-12", tables);
    ASSERT_EQ(result.Count(Severity::kError), 1u) << Dump(result);
    ASSERT_TRUE(result.stop) << Dump(result);
    const base::Finding& error = result.findings[*result.stop];
    EXPECT_EQ(*result.stop, 0u) << Dump(result);
    EXPECT_EQ(error.file, u"D:\\DOZORA");
    EXPECT_EQ(base::ToUtf8(error.message), base::ToUtf8(c.message));
    test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
    fs::create_directories(drives_.d() / "OUT");
    const convert::RunResult run = convert::RunConversion(host, tables, nullptr);
    EXPECT_EQ(run.outcome, convert::RunOutcome::kFailed);
    EXPECT_EQ(base::ToUtf8(result.stop_message), base::ToUtf8(run.message));
  }
}

// A file whose records fall out of step with its lines is blamed once, at the first line where a
// record begins in the middle of the line, with that line's fields: an error when the file ends
// inside a record, otherwise a warning in place of those about the values it shifts. A record
// split over whole lines is no finding.
TEST_F(CheckTest, RecordsOutOfStepWithTheLinesAreBlamedOnceAtTheFirstLineThatHoldsTooMany) {
  struct Case {
    const char* what;
    std::u16string text;
    Severity severity;  // of the one finding of the file
    long long line;     // the finding's line, 0 for no finding
    std::u16string says;
  };
  const std::u16string rest = u"3,\"沖積 シルト層\",0,2.50,5.30,0,0,\"\"\r\n";
  const std::u16string shifted =
      u"。この行から後のレコードは行の途中から読まれる為、値がずれて書かれます。";
  const Case cases[] = {
      {"a record split over whole lines",
       u"1,\"盛土\",0,0.00\r\n0.80,0,0,\"\"\r\n2,\"関東ローム層\",0,0.80,2.50,0,0,\"\"\r\n" + rest,
       Severity::kWarning, 0, u""},
      {"an unquoted comma in a value, the file ending inside a record",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,関東,ローム層,0,0.80,2.50,0,0,\"\"\r\n" + rest,
       Severity::kError, 2,
       u"ファイルがレコードの途中で終わっている為に変換できません。 この行の項目数が 9 個あります "
       u"(他の行は 8 個)"},
      {"a quoted comma among the fields counted",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,関東,\"ローム,層\",0,0.80,2.50,0,0,\"\"\r\n" + rest,
       Severity::kError, 2,
       u"ファイルがレコードの途中で終わっている為に変換できません。 この行の項目数が 9 個あります "
       u"(他の行は 8 個)"},
      {"a quoted comma is no field",
       u"1,\"盛,土\",0,0.00,0.80,0,0,\"\"\r\n2,\"関東ローム層\",0,0.80,2.50,0,0,\"\"\r\n" + rest,
       Severity::kWarning, 0, u""},
      {"the file ends inside a record without a line too long",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,\"関東ローム層\",0\r\n", Severity::kError, 2,
       u"ファイルがレコードの途中で終わっている為に変換できません。"},
      {"an unquoted comma in a value, a field missing on a later line",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,関東,ローム層,0,0.80,2.50,0,0,\"\"\r\n"
       u"3,\"沖積 シルト層\",0,2.50,5.30,0,0\r\n",
       Severity::kWarning, 2, u"この行の項目数が 9 個あります (他の行は 8 個)" + shifted},
      {"two unquoted commas in the last line but one, the last line short of two fields",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,関,東,ローム層,0,0.80,2.50,0,0,\"\"\r\n"
       u"3,\"沖積 シルト層\",0,2.50,5.30,0\r\n",
       Severity::kWarning, 2, u"この行の項目数が 10 個あります (他の行は 8 個)" + shifted},
      {"a comma too many on the first line, one too few on the second",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\",\"\"\r\n2,関東ローム層,0,0.80,2.50,0,0\r\n" + rest,
       Severity::kWarning, 1, u"この行の項目数が 9 個あります (他の行は 8 個)" + shifted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Write("G40.TXT", c.text);
    const convert::CheckResult result = Check();
    std::vector<base::Finding> found;
    for (const base::Finding& f : result.findings) {
      if (convert::FindingFileName(f) == u"G40.TXT") found.push_back(f);
    }
    fs::remove_all(drives_.d() / "OUT");
    const convert::RunResult run = ConvertSample();
    if (c.line == 0) {
      EXPECT_TRUE(found.empty()) << Dump(result);
    } else {
      ASSERT_EQ(found.size(), 1u) << Dump(result);
      EXPECT_EQ(found[0].severity, c.severity);
      EXPECT_EQ(found[0].line, c.line) << Dump(result);
      EXPECT_EQ(found[0].field, 0);
      EXPECT_EQ(base::ToUtf8(found[0].message), base::ToUtf8(c.says));
    }
    if (c.severity == Severity::kError) {
      EXPECT_EQ(base::ToUtf8(result.stop_message), base::ToUtf8(run.message));
    } else {
      ASSERT_NE(run.outcome, convert::RunOutcome::kFailed) << base::ToUtf8(run.message);
      EXPECT_EQ(run.warnings, result.ConversionWarnings()) << Dump(result);
    }
  }
}

TEST_F(CheckTest, CodedNotesBeyondTheLastSiteAndEmptyFilesAreReported) {
  Write("X1.TXT", u"1,5.30,\"沖積層\",\"完新世\"\r\n");
  test::WriteBytes(Source() / "X11.TXT", "");
  const convert::CheckResult result = Check();
  bool beyond = false, empty = false;
  for (const base::Finding& f : result.findings) {
    beyond = beyond || (convert::FindingFileName(f) == u"X3.TXT" && f.record == u"2001" &&
                        f.message.find(u"最後の現場の深度") != std::u16string::npos);
    empty =
        empty || (convert::FindingFileName(f) == u"X11.TXT" && f.severity == Severity::kNotice &&
                  f.message.find(u"ファイルが空の為") != std::u16string::npos);
  }
  EXPECT_TRUE(beyond) << Dump(result);
  EXPECT_TRUE(empty) << Dump(result);
}

// A file is left out when it is missing or holds no byte, whatever shape the steps found it in: one
// of only a Ctrl-Z holds a byte, a folder in a file's place and a file of bad bytes are errors, not
// left out. Each notice is the first of its file's findings, in the order the run opens the files.
TEST_F(CheckTest, OnlyMissingAndEmptyFilesAreLeftOutWhateverTheStepsMet) {
  fs::remove(Source() / "G71.TXT");
  test::WriteBytes(Source() / "N9.TXT", "");
  test::WriteBytes(Source() / "G73.TXT", "\x1A");
  fs::remove(Source() / "G81.TXT");
  fs::create_directory(Source() / "G81.TXT");
  test::WriteBytes(Source() / "X12.TXT", "1,\"\x82\"\r\n");  // a lead byte without its trail
  test::WriteBytes(Source() / "Titl02.txt", "");
  const convert::CheckResult result = Check();
  std::vector<std::string> told;
  for (const base::Finding& f : result.findings) {
    if (f.rule == "N-FILE-LEFT-OUT" || f.severity == Severity::kError) {
      told.push_back(base::ToUtf8(convert::FindingFileName(f)) + " " + std::string(f.rule) + " " +
                     base::ToUtf8(f.message.substr(0, 8)));
    }
  }
  const std::vector<std::string> expected = {
      "Titl02.txt N-FILE-LEFT-OUT ファイルが空の為",
      "X12.TXT E-NOT-SHIFT-JIS ファイルに Sh",
      "N9.TXT N-FILE-LEFT-OUT ファイルが空の為",
      "G71.TXT N-FILE-LEFT-OUT ファイルがない為",
      "G81.TXT E-FILE-UNREADABLE ファイルの代わり",
  };
  EXPECT_EQ(told, expected) << Dump(result);
  for (const char* file : {"N9.TXT", "G71.TXT", "Titl02.txt"}) {
    const std::vector<base::Finding> at = At(result, base::FromUtf8(file), 0);
    ASSERT_FALSE(at.empty()) << file;
    EXPECT_EQ(at[0].rule, "N-FILE-LEFT-OUT") << file << "\n" << Dump(result);
  }
}

TEST_F(CheckTest, AZeroNoticeSaysHowManyAndListsEveryLineItCounts) {
  Write("R41.TXT",
        u"1,3.50,1.25,0,12.0,0,0,0,0,0,\"\"\r\n2,6.50,2.10,4.8,35.5,0,0,0,0,0,\"\"\r\n"
        u"3,9.50,3.40,0,48.0,0,0,0,0,0,\"\"\r\n4,13.00,,0,420.0,0,0,0,0,0,\"LLT\"\r\n");
  const convert::CheckResult result = Check();
  const std::vector<base::Finding> found = At(result, u"R41.TXT", 1);
  ASSERT_EQ(found.size(), 1u) << Dump(result);
  EXPECT_EQ(found[0].severity, Severity::kNotice);
  EXPECT_NE(found[0].message.find(u"このファイルで 3 件、最初の行を示します。"),
            std::u16string::npos)
      << Dump(result);
  EXPECT_EQ(found[0].lines, (std::vector<long long>{1, 3, 4}));
  EXPECT_EQ(found[0].rule, "N-ZERO-WRITTEN");
  EXPECT_TRUE(found[0].message.starts_with(u"値 A の 0 が -1 と書かれます")) << Dump(result);
  // Other findings name one line and list none.
  for (const base::Finding& f : result.findings) {
    if (f.rule != "N-ZERO-WRITTEN") {
      EXPECT_TRUE(f.lines.empty());
    }
  }
}

TEST_F(CheckTest, NotesNoDepthTakesAreReported) {
  for (const char* name : {"X3.TXT", "R31.TXT", "R32.TXT", "R33.TXT", "R34.TXT", "R35.TXT",
                           "R30.TXT", "X11.TXT", "X1.TXT"}) {
    fs::remove(Source() / name);
  }
  const convert::CheckResult result = Check();
  const std::vector<base::Finding> x12 = At(result, u"X12.TXT", 0);
  ASSERT_EQ(x12.size(), 1u) << Dump(result);
  EXPECT_EQ(x12[0].severity, Severity::kWarning);
  EXPECT_NE(x12[0].message.find(u"記事は書かれません"), std::u16string::npos);
}

// The source folder is taken as a conversion takes it: resolved, then refused with the
// conversion's own message, or read when a conversion would read it.
TEST_F(CheckTest, TheFolderItselfIsRefusedAsTheConversionRefusesIt) {
  fs::create_directories(drives_.d() / "OUT");
  struct Case {
    std::u16string folder;
    std::u16string refusal;  // the conversion's message, empty when the folder is read
    bool as_given;           // the command line's text, not the window's box
  };
  const Case cases[] = {
      {u"C:\\DATA\\NONE", u"変換元フォルダが存在しない為に変換できません。\nC:\\DATA\\NONE", true},
      {u"C:\\", std::u16string(convert::kSourceRootMessage), true},
      {u"C:", std::u16string(convert::kSourceRootMessage), true},
      {u"  ", std::u16string(convert::kNoSourceMessage), true},
      {u"", std::u16string(convert::kNoSourceMessage), false},
      // "." and ".." are resolved before anything is looked up; a "." alone names no folder.
      {u".", u"変換元フォルダが存在しない為に変換できません。\n.", true},
      {u"C:\\DATA\\NONE\\..\\B-12", u"", true},
      {u"C:/DATA/./B-12/", u"", true},
      {u"C:\\DATA\\B-12\\..\\NONE",
       u"変換元フォルダが存在しない為に変換できません。\nC:\\DATA\\NONE", false},
      {u"  C:\\DATA\\B-12  ", u"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.folder));
    const convert::CheckResult result = convert::CheckSourceFolder(c.folder, tables_, c.as_given);
    test::ScriptedRunHost host(c.folder, u"D:\\OUT");
    host.as_given = c.as_given;
    fs::remove_all(drives_.d() / "OUT" / "B-12");
    const convert::RunResult run = Convert(host);
    if (c.refusal.empty()) {
      EXPECT_EQ(run.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(run.message);
      EXPECT_EQ(result.folder, u"C:\\DATA\\B-12");
      EXPECT_FALSE(result.stop) << Dump(result);
      EXPECT_FALSE(At(result, u"X7.TXT", 6).empty()) << Dump(result);
    } else {
      EXPECT_EQ(run.outcome, convert::RunOutcome::kRefused);
      EXPECT_EQ(base::ToUtf8(run.message), base::ToUtf8(c.refusal));
      ASSERT_EQ(result.findings.size(), 1u) << Dump(result);
      ASSERT_TRUE(result.stop);
      EXPECT_EQ(base::ToUtf8(result.stop_message), base::ToUtf8(c.refusal));
      EXPECT_EQ(result.findings[0].message, c.refusal);
    }
  }
}

#ifndef _WIN32
// A socket bound at `path`, left in the folder once the test's end of it is closed.
bool MakeSocket(const fs::path& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = path.string();
  if (name.size() >= sizeof address.sun_path) return false;
  name.copy(address.sun_path, name.size());
  const bool bound = bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return bound;
}
#endif

// A FIFO, a socket, a device or a link to one in place of a source file is an error of that file
// with the conversion's own message, at whichever step a conversion meets it first; the check
// never waits on it and never ends for it.
TEST_F(CheckTest, AFileThatIsNoRegularFileIsAnErrorWithTheConversionsMessage) {
#ifdef _WIN32
  GTEST_SKIP() << "FIFOs, sockets and device nodes are made on POSIX systems";
#else
  const fs::path elsewhere = drives_.c() / "elsewhere";
  struct Special {
    const char* what;
    const char* file;
    std::function<bool(const fs::path&)> make;
  };
  auto fifo = [](const fs::path& at) { return mkfifo(at.c_str(), 0600) == 0; };
  // Only root makes device nodes; anyone else links to one.
  auto device = [](const fs::path& at) {
    if (geteuid() != 0) return symlink("/dev/null", at.c_str()) == 0;
    return mknod(at.c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
  };
  auto linked = [&](std::function<bool(const fs::path&)> make, int links) {
    return [=](const fs::path& at) {
      fs::path target = elsewhere / ("t" + std::to_string(links) + at.filename().string());
      if (!make(target)) return false;
      for (int k = 1; k < links; ++k) {
        const fs::path link = target.string() + ".link";
        fs::create_symlink(target, link);
        target = link;
      }
      fs::create_symlink(target, at);
      return true;
    };
  };
  const Special cases[] = {
      {"a FIFO read for the depth list", "X1.TXT", fifo},
      {"a FIFO only the depth list reads", "X11.TXT", fifo},
      {"a FIFO of the last group", "G72.TXT", fifo},
      {"a socket", "R41.TXT", MakeSocket},
      {"a device", "X12.TXT", device},
      {"a link to a FIFO", "X3.TXT", linked(fifo, 1)},
      {"a link to a link to a device", "Titl01.txt", linked(device, 2)},
      {"a link to a link to a socket", "N8.TXT", linked(MakeSocket, 2)},
  };
  for (const Special& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(Source());
    fs::remove_all(elsewhere);
    fs::create_directories(elsewhere);
    test::CopyTree("samples/boreholes/B-12", Source());
    fs::remove(Source() / c.file);
    ASSERT_TRUE(c.make(Source() / c.file));

    const convert::CheckResult result = Check();
    const std::vector<base::Finding> at = At(result, base::FromUtf8(c.file), 0);
    ASSERT_EQ(at.size(), 1u) << Dump(result);
    EXPECT_EQ(at[0].severity, Severity::kError);
    EXPECT_EQ(at[0].message, u"ファイルを読み込めない為に変換できません。");
    EXPECT_EQ(result.Status(), 2);
    ASSERT_TRUE(result.stop) << Dump(result);
    EXPECT_EQ(result.findings[*result.stop].file, at[0].file);
    // The other files are still read: the sample's own warnings are there.
    EXPECT_FALSE(At(result, u"X7.TXT", 6).empty()) << Dump(result);

    const convert::RunResult run = ConvertSample();
    EXPECT_EQ(run.outcome, convert::RunOutcome::kFailed);
    EXPECT_EQ(result.stop_message, run.message);
  }
#endif
}

// A value's control characters come out of the text report as visible escapes, so a source value
// can neither move the terminal's cursor nor colour what follows; a message's own line breaks
// become blanks, as before.
TEST_F(CheckTest, TheTextReportWritesControlCharactersAsVisibleEscapes) {
  test::WriteCp932(Source() / "R41.TXT", std::u16string(u"1,3.50,1.25,") + u'\x1b' + u"[2J" +
                                             u'\x07' + u'\x7f' + u",12.0,0,0,0,0,0,\"\"\r\n");
  const convert::CheckResult result = Check();
  const std::u16string report = convert::ReportText(
      u"B-\x1b"
      u"12",
      result);
  EXPECT_NE(report.find(u"「\\x1b[2J\\x07\\x7f」は数値ではない為"), std::u16string::npos)
      << base::ToUtf8(report);
  EXPECT_NE(report.find(u"B-\\x1b12: エラー 0 件"), std::u16string::npos) << base::ToUtf8(report);
  for (char16_t c : report) {
    EXPECT_TRUE(c == u'\n' || (c >= 0x20 && c != 0x7F)) << int(c);
  }

  const base::Finding refusal{Severity::kError,
                              u"C:\\DATA\\B\x1b"
                              u"12",
                              0,
                              0,
                              {},
                              std::u16string(convert::kSourceMissingMessage) + u"\nC:\\\r\x1f"};
  EXPECT_EQ(
      convert::FindingLine(refusal),
      u"B\\x1b12: エラー: " + std::u16string(convert::kSourceMissingMessage) + u" C:\\\\x0d\\x1f");
}

}  // namespace
}  // namespace tjvx
