// The plausibility rules of the check, each from the smallest change to the sample that provokes
// it, next to the changes it must let pass (an open bottom, one layer of several codes, the limit
// itself, a blank date …). The sample itself is plausible.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/utf.h"
#include "convert/check.h"
#include "convert/check_report.h"
#include "convert/run.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;

// A finding a case must give: its rule, where, and a part of what it says.
struct Expected {
  std::string_view rule;
  const char* file;
  long long line;
  int field;
  std::u16string says;
};

struct Case {
  const char* what;
  const char* file;                // the file the case writes
  std::u16string text;             // its new content
  std::vector<Expected> expected;  // every plausibility finding; none for a case that passes
  std::function<void(const fs::path& source)> also = {};  // other changes to the sample
};

// An X7.TXT record of a layer from `top` to `bottom` with one code.
std::u16string Layer(int number, std::u16string_view top, std::u16string_view bottom,
                     std::u16string_view code = u"2") {
  std::u16string record = base::FromAscii(std::to_string(number)) + u"," +
                          base::FromAscii(std::to_string(number)) + u",\"B-12\",0," +
                          std::u16string(top) + u"," + std::u16string(bottom) + u",0,0," +
                          std::u16string(code);
  for (int field = 10; field <= 67; ++field) record += u",0";
  return record + u",\"\"\r\n";
}

// An X5.TXT test at `depth` of three intervals: readings and lengths.
std::u16string TestRecord(std::u16string_view depth, std::u16string_view intervals) {
  return u"1," + std::u16string(depth) + u",5,63.5,\"\"," + std::u16string(intervals) + u"\r\n";
}

// Titl01.txt with the two survey dates of its fourth line.
std::u16string Titles(std::u16string_view dates) {
  return u"\"桜台地区道路改良工事に伴う地質調査業務委託\",\"B-12\",\"1\"\r\n"
         u"\"東京都緑野市桜台二丁目地内\",\"緑野市 建設部 道路課\"\r\n"
         u"\"東和地質調査株式会社  \",\"緑野支店\",\"\",\"0\"\r\n" +
         std::u16string(dates) + u"\r\n4,12.35,\"\",\"\"\r\n";
}

class PlausibilityTest : public testing::Test, public test::SampleFolders {
 protected:
  convert::CheckResult Check() { return convert::CheckSourceFolder(u"C:\\DATA\\B-12", tables_); }

  // Each case on a fresh copy of the sample: exactly its plausibility findings, and a conversion
  // whose warning count leaves them out.
  void Expect(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      fs::remove_all(Source());
      fs::remove_all(drives_.d() / "OUT");
      test::CopyTree("samples/boreholes/B-12", Source());
      if (c.also) c.also(Source());
      test::WriteCp932(Source() / c.file, c.text);
      const convert::CheckResult result = Check();
      const std::string dump = base::ToUtf8(convert::ReportText(u"B-12", result));
      std::vector<const base::Finding*> found;
      for (const base::Finding& f : result.findings) {
        const source::Rule* rule = convert::RuleOf(f);
        if (rule != nullptr && rule->plausibility) found.push_back(&f);
      }
      ASSERT_EQ(found.size(), c.expected.size()) << dump;
      for (size_t k = 0; k < found.size(); ++k) {
        const base::Finding& f = *found[k];
        const Expected& e = c.expected[k];
        EXPECT_EQ(f.rule, e.rule) << dump;
        EXPECT_EQ(convert::FindingFileName(f), base::FromUtf8(e.file)) << dump;
        EXPECT_EQ(f.line, e.line) << dump;
        EXPECT_EQ(f.field, e.field) << dump;
        EXPECT_NE(f.message.find(e.says), std::u16string::npos) << dump;
        EXPECT_FALSE(convert::FixOf(f).empty());
      }
      EXPECT_EQ(result.Plausibility(), c.expected.size());
      // A conversion judges no plausibility: its warnings are the check's others.
      test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\OUT");
      fs::create_directories(drives_.d() / "OUT");
      const convert::RunResult run = Convert(host);
      if (run.outcome == convert::RunOutcome::kConverted) {
        EXPECT_EQ(run.warnings, result.ConversionWarnings()) << dump;
      }
    }
  }
};

TEST_F(PlausibilityTest, TheSampleIsPlausible) {
  const convert::CheckResult result = Check();
  EXPECT_EQ(result.Plausibility(), 0u) << base::ToUtf8(convert::ReportText(u"B-12", result));
}

TEST_F(PlausibilityTest, ALayersBottomMustBeBelowItsTopUnlessItIsOpen) {
  Expect({
      {"a layer upside down in G40.TXT",
       "G40.TXT",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,\"関東ローム層\",0,2.50,0.80,0,0,\"\"\r\n",
       {{"W-LAYER-INVERTED", "G40.TXT", 2, 5, u"下端深度 0.80 m が上端深度 2.50 m と同じか浅い"}}},
      {"a layer of no thickness in X7.TXT",
       "X7.TXT",
       Layer(1, u"0.00", u"0.80") + Layer(2, u"0.80", u"0.80") + Layer(3, u"0.80", u"2.50"),
       {{"W-LAYER-INVERTED", "X7.TXT", 2, 6, u"下端深度 0.80 m が上端深度 0.80 m"}}},
      {"open bottoms, blank and 0",
       "X7.TXT",
       Layer(1, u"0.00", u"0.80") + Layer(2, u"0.80", u"") + Layer(3, u"5.00", u"0") +
           Layer(4, u"9.00", u"0.00"),
       {}},
      {"an inverted layer of several codes is told once",
       "X7.TXT",
       Layer(1, u"0.80", u"0.50", u"2") + Layer(2, u"0.80", u"0.50", u"3"),
       {{"W-LAYER-INVERTED", "X7.TXT", 1, 6, u"下端深度 0.50 m"}}},
  });
}

TEST_F(PlausibilityTest, ConsecutiveLayersOfX7MeetWithoutGapOrOverlap) {
  Expect({
      {"a gap",
       "X7.TXT",
       Layer(1, u"0.00", u"0.80") + Layer(2, u"1.00", u"2.50"),
       {{"W-LAYER-GAP", "X7.TXT", 2, 5, u"0.80～1.00 m に層がありません"}}},
      {"an overlap",
       "X7.TXT",
       Layer(1, u"0.00", u"0.80") + Layer(2, u"0.50", u"2.50"),
       {{"W-LAYER-OVERLAP", "X7.TXT", 2, 5, u"前の層 (1 行) の下端深度 0.80 m より浅く"}}},
      {"depths written differently are one depth",
       "X7.TXT",
       Layer(1, u"0", u"0.8") + Layer(2, u"0.80", u"2.5") + Layer(3, u"2.50", u"5.30"),
       {}},
      {"one layer of several codes is no overlap",
       "X7.TXT",
       Layer(1, u"0.00", u"0.80", u"2") + Layer(2, u"0.00", u"0.80", u"3") +
           Layer(3, u"0.80", u"2.50"),
       {}},
      {"after an open bottom nothing is compared",
       "X7.TXT",
       Layer(1, u"0.00", u"") + Layer(2, u"5.00", u"8.00"),
       {}},
      {"G40.TXT is not compared layer to layer",
       "G40.TXT",
       u"1,\"盛土\",0,0.00,0.80,0,0,\"\"\r\n2,\"関東ローム層\",0,1.00,2.50,0,0,\"\"\r\n",
       {}},
  });
}

TEST_F(PlausibilityTest, NoDepthLiesBelowTheBottomOfTheBorehole) {
  // The sample's bottom is 15.00 m: X1.TXT's last site depth and G40.TXT's last bottom.
  Expect({
      {"a value below the bottom",
       "R41.TXT",
       u"1,16.00,1.25,4.8,12.0,0,0,0,0,0,\"\"\r\n",
       {{"W-BELOW-BOTTOM", "R41.TXT", 1, 2, u"深度 16.00 m が孔底の深度 15.00 m"}}},
      {"a value at the bottom", "R41.TXT", u"1,15.00,1.25,4.8,12.0,0,0,0,0,0,\"\"\r\n", {}},
      {"a test below the bottom",
       "X5.TXT",
       TestRecord(u"15.15", u"1,10,2,10,2,10"),
       {{"W-BELOW-BOTTOM", "X5.TXT", 1, 2, u"深度 15.15 m"}}},
      {"a date below the bottom",
       "N8.TXT",
       u"1,\"2004/08/06\",15.5\r\n",
       {{"W-BELOW-BOTTOM", "N8.TXT", 1, 3, u"深度 15.50 m"}}},
      {"a level below the bottom",
       "N9.TXT",
       u"1,\"2004/08/05\",20\r\n",
       {{"W-BELOW-BOTTOM", "N9.TXT", 1, 3, u"深度 20.00 m"}}},
      {"a sample below the bottom",
       "G72.TXT",
       u"1,15.01,85.3,5,0,\"\",0,\"T-1\"\r\n",
       {{"W-BELOW-BOTTOM", "G72.TXT", 1, 2, u"深度 15.01 m"}}},
      {"each merged member",
       "G81.TXT",
       u"1,1.50,85.3,52.1,33.2\r\n2,30,1,1,1\r\n",
       {{"W-BELOW-BOTTOM", "G81.TXT", 2, 2, u"深度 30.00 m"}}},
      {"a deeper layer bottom makes the bottom",
       "R41.TXT",
       u"1,16.00,1.25,4.8,12.0,0,0,0,0,0,\"\"\r\n",
       {},
       [](const fs::path& source) {
         test::WriteCp932(source / "G40.TXT", u"1,\"泥岩\",0,0.00,20.00,0,0,\"\"\r\n");
       }},
      {"no bottom without site depths or layer bottoms",
       "R41.TXT",
       u"1,99.00,1.25,4.8,12.0,0,0,0,0,0,\"\"\r\n",
       {},
       [](const fs::path& source) {
         fs::remove(source / "X1.TXT");
         fs::remove(source / "G40.TXT");
         test::WriteCp932(source / "X7.TXT", Layer(1, u"0.00", u""));
       }},
  });
}

TEST_F(PlausibilityTest, ATestCountsItsBlowsAsTheLogDoes) {
  Expect({
      {"no interval with a length",
       "X5.TXT",
       TestRecord(u"1.15", u"1,0,2,,2,abc"),
       {{"W-TEST-NO-INTERVAL", "X5.TXT", 1, 0, u"貫入量が 0 より大きい区間がない"}}},
      {"51 blows",
       "X5.TXT",
       TestRecord(u"1.15", u"20,10,20,10,11,10"),
       {{"N-BLOWS-OVER-50", "X5.TXT", 1, 0,
         u"打撃回数の合計 51 回が本打ちの上限 50 回を超えます"}}},
      {"50 blows, the limit itself", "X5.TXT", TestRecord(u"1.15", u"20,10,20,10,10,10"), {}},
      {"50 blows in fewer centimetres", "X5.TXT", TestRecord(u"1.15", u"50,8,0,0,0,0"), {}},
      // A -1 is no blow, not one; 0 + 30 + 20 is the limit.
      {"a reading of -1 counts as 0", "X5.TXT", TestRecord(u"1.15", u"-1,10,30,10,20,10"), {}},
      {"blows of an interval that does not count",
       "X5.TXT",
       TestRecord(u"1.15", u"30,10,30,0,30,0"),
       {}},
  });
  // The notice counts apart, and as a notice: the exit status stays as the warnings make it.
  fs::remove_all(Source());
  test::CopyTree("samples/boreholes/B-12", Source());
  test::WriteCp932(Source() / "X5.TXT", TestRecord(u"1.15", u"30,10,30,10,30,10"));
  const convert::CheckResult result = Check();
  EXPECT_EQ(result.Plausibility(base::Severity::kNotice), 1u);
  EXPECT_EQ(result.Plausibility(base::Severity::kWarning), 0u);
}

TEST_F(PlausibilityTest, DatesAreCalendarDatesAndTheSurveyDatesInOrder) {
  Expect({
      {"month 13, day 40",
       "N9.TXT",
       u"1,\"2004/13/40\",2.10\r\n",
       {{"W-DATE-NOT-IN-CALENDAR", "N9.TXT", 1, 2, u"日付「2004/13/40」は暦にない日付です"}}},
      {"29 February of a common year",
       "N8.TXT",
       u"1,\"2003/02/29\",1.5\r\n",
       {{"W-DATE-NOT-IN-CALENDAR", "N8.TXT", 1, 2, u"2003/02/29"}}},
      {"29 February of 1900",
       "N8.TXT",
       u"1,\"1900/02/29\",1.5\r\n",
       {{"W-DATE-NOT-IN-CALENDAR", "N8.TXT", 1, 2, u"1900/02/29"}}},
      {"leap days", "N8.TXT", u"1,\"2004/02/29\",1.5\r\n2,\"2000/02/29\",3.15\r\n", {}},
      {"a blank date", "N8.TXT", u"1,\"\",1.5\r\n", {}},
      {"a date in another form, but in the calendar", "N9.TXT", u"1,\"2004/8/5\",2.10\r\n", {}},
      {"day 31 of a month of 30",
       "N9.TXT",
       u"1,\"2004-04-31\",2.10\r\n",
       {{"W-DATE-NOT-IN-CALENDAR", "N9.TXT", 1, 2, u"2004-04-31"}}},
      {"a title date not in the calendar",
       "Titl01.txt",
       Titles(u"2004,13,05,2004,08,20"),
       {{"W-DATE-NOT-IN-CALENDAR", "Titl01.txt", 4, 10, u"日付 2004/13/05 は暦にない日付です"}}},
      {"the second title date",
       "Titl01.txt",
       Titles(u"2004,08,05,2003,02,29"),
       {{"W-DATE-NOT-IN-CALENDAR", "Titl01.txt", 4, 13, u"日付 2003/02/29"}}},
      {"the survey dates the wrong way round",
       "Titl01.txt",
       Titles(u"2004,08,20,2004,08,05"),
       {{"W-DATES-REVERSED", "Titl01.txt", 4, 10,
         u"1 つ目の日付 2004/08/20 が 2 つ目の日付 2004/08/05 より後です"}}},
      {"one survey date", "Titl01.txt", Titles(u"2004,08,20,,,"), {}},
      {"a survey date not in numbers is told of as the title's own",
       "Titl01.txt",
       Titles(u"2004,ab,20,2004,08,05"),
       {}},
  });
}

// The rules read each file as the run's steps read it, from its start: the records before a fault
// count, a file the steps could not read gives none, and the letter case of a name is no matter.
TEST_F(PlausibilityTest, TheRulesReadEachFileAsTheStepsReadIt) {
  Expect({
      {"the records before one cut short",
       "N8.TXT",
       u"1,\"2003/02/29\",1.5\r\n2,\"2004/08/07\"\r\n",
       {{"W-DATE-NOT-IN-CALENDAR", "N8.TXT", 1, 2, u"2003/02/29"}}},
      {"a merged member read on its own after another member's fault",
       "G81.TXT",
       u"1,1.50,85.3,52.1,33.2\r\n2,30,1,1,1\r\n",
       {{"W-BELOW-BOTTOM", "G81.TXT", 2, 2, u"深度 30.00 m"}},
       [](const fs::path& source) {
         test::WriteCp932(source / "N8.TXT", u"1,\"2004/08/06\",1.5\r\n2\r\n");
       }},
      {"a file that is no Shift-JIS holds no records",
       "R41.TXT",
       u"1,16.00,1.25,4.8,12.0,0,0,0,0,0,\"\"\r\n",
       {{"W-BELOW-BOTTOM", "R41.TXT", 1, 2, u"深度 16.00 m"}},
       [](const fs::path& source) {
         test::WriteBytes(source / "X5.TXT",
                          "1,16.15,5,63.5,\"\",1,10,2,10,2,10\r\n2,\x81\x20\r\n");
       }},
      {"files named in another letter case",
       "x7.txt",
       Layer(1, u"0.00", u"0.80") + Layer(2, u"0.80", u"2.50") + Layer(3, u"3.00", u"5.30"),
       {{"W-LAYER-GAP", "X7.TXT", 3, 5, u"2.50～3.00 m に層がありません"}},
       [](const fs::path& source) {
         for (const fs::directory_entry& file : fs::directory_iterator(source)) {
           std::string name = file.path().filename().string();
           for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
           fs::rename(file.path(), source / name);
         }
       }},
  });
}

// Without L8.TXT the writer of X7.TXT stops at its first record, so the run never comes to the
// line that puts its records out of step; the rules still judge the layers from the first up to
// that line, and nobody tells of the line, as a conversion would not.
TEST_F(PlausibilityTest, AFileTheStepsLeftEarlyIsJudgedWholeButToldOfNoFurther) {
  std::u16string out_of_step = Layer(3, u"2.50", u"5.30", u"2,9");
  std::u16string short_one = Layer(4, u"5.30", u"8.40");
  short_one.erase(short_one.find(u",0,\"\""), 2);
  test::WriteCp932(Source() / "X7.TXT", Layer(1, u"0.00", u"0.80") + Layer(2, u"1.00", u"2.50") +
                                            out_of_step + short_one + Layer(5, u"8.40", u"2.00"));
  fs::remove(Pattern() / "L8.TXT");
  const convert::CheckResult result = Check();
  const std::string dump = base::ToUtf8(convert::ReportText(u"B-12", result));
  std::vector<std::pair<std::string_view, long long>> found;
  for (const base::Finding& f : result.findings) {
    if (convert::FindingFileName(f) == u"X7.TXT" || convert::FindingFileName(f) == u"L8.TXT") {
      found.emplace_back(f.rule, f.line);
    }
  }
  EXPECT_EQ(found, (std::vector<std::pair<std::string_view, long long>>{{"W-LAYER-GAP", 2},
                                                                        {"E-TABLE-MISSING", 0}}))
      << dump;
}

}  // namespace
}  // namespace tjvx
