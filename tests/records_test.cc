// Record writers, each fed with source text and, where it names codes, tables on a temporary drive.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <random>

#include "base/error.h"
#include "base/utf.h"
#include "convert/header.h"
#include "convert/interval_tests.h"
#include "convert/layers.h"
#include "convert/merged_records.h"
#include "convert/site_notes.h"
#include "source/depth_list.h"
#include "tests/test_support.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::u16string>;

source::FieldReader Source(std::u16string text) {
  return source::FieldReader(std::move(text), u"test");
}

class RecordsTest : public testing::Test {
 protected:
  RecordsTest() : tables_(u"D:\\P\\") {}
  void Table(const char* name, std::u16string_view text) {
    test::WriteCp932(drives_.d() / "P" / name, text);
  }

  test::TempDrives drives_;
  source::PatternTables tables_;
  convert::LineCollector out_;
};

TEST_F(RecordsTest, Header1009WritesEraYears) {
  source::TitleLists titles;
  auto era = [&](std::u16string y1, std::u16string y2) {
    titles.t1[10] = y1, titles.t1[11] = u"08", titles.t1[12] = u"05";
    titles.t1[13] = y2, titles.t1[14] = u"", titles.t1[15] = u"5";
    return convert::EraDateLine(titles);
  };
  EXPECT_EQ(era(u"2004", u"2005"), u"平成 16 08 05 17 -1 5");
  EXPECT_EQ(era(u"1988", u"1989"), u"昭和 63 08 05 64 -1 5");
  EXPECT_EQ(era(u"1989", u"1989"), u"平成 1 08 05 1 -1 5");
  EXPECT_EQ(era(u"1926", u"1926"), u"昭和 1 08 05 1 -1 5");
  EXPECT_EQ(era(u"1925", u"2004"), u"平成 -1 -1 -1 -1 -1 -1");
  EXPECT_EQ(era(u"", u""), u"平成 -1 -1 -1 -1 -1 -1");
  EXPECT_EQ(era(u"2004", u""), u"平成 16 08 05 -1 -1 5");
  EXPECT_EQ(era(u"2004", u"abc"), u"平成 16 08 05 -1 -1 5");
}

TEST_F(RecordsTest, HeaderHasItsFixedRecordsAndTheRockNameLine) {
  Table("L1.TXT", u"4,泥岩\r\n4,二番目\r\n");
  source::TitleLists titles;
  titles.t1[16] = u"04";
  titles.t1[17] = u"12.5";
  titles.t2[12] = u"1", titles.t2[13] = u"", titles.t2[14] = u"0";
  titles.t1[6] = u"東和 ", titles.t1[7] = u"地質 支店  ";
  convert::WriteHeader(titles, tables_, out_);
  ASSERT_EQ(out_.lines.size(), 20u);
  EXPECT_EQ(out_.lines[0], u"GTJ Ge201");
  EXPECT_EQ(out_.lines[4], u"1003 @");
  EXPECT_EQ(out_.lines[6], u"1005 東和地質_支店");
  EXPECT_EQ(out_.lines[14], u"1013 泥岩_12.5 1 -1 -1");
  EXPECT_EQ(out_.lines[16], u"1015 @ @");
  EXPECT_EQ(out_.lines[18], u"1017 -1 -1 10.000 rockpat.asg");
  EXPECT_EQ(out_.lines[19], u"1018 @ @");

  // An elevation that formats to -1 drops the rock name.
  titles.t1[17] = u"0";
  out_.lines.clear();
  convert::WriteHeader(titles, tables_, out_);
  EXPECT_EQ(out_.lines[14], u"1013 @ 1 -1 -1");
}

TEST(DepthList, MergesEqualDepthsAndNumbersThem) {
  std::vector<source::DepthEntry> list = source::MergeDepths({1.00f, 0.50f, 1.00f, 2.25f, -0.0f});
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0].text, u"0");
  EXPECT_EQ(list[1].text, u"0.5");
  EXPECT_EQ(list[2].text, u"1");
  EXPECT_EQ(list[3].text, u"2.25");
  EXPECT_EQ(list[3].number, 4);
  EXPECT_EQ(source::ShortestText(-0.5f), u"-0.5");
  EXPECT_EQ(source::ShortestText(text::NumericValue(u"12.30")), u"12.3");
}

TEST(DepthList, ATextIsTheShortestDecimalThatReadsBack) {
  // Short decimals are written without std::to_chars; every depth must get the text it gives:
  // decimals of up to three places, on both sides of where the shortcut stops (16384), and numbers
  // of any bits.
  auto expected = [](float value) -> std::u16string {
    if (value == 0.0f) return u"0";
    char buffer[64];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return base::FromAscii(std::string_view(buffer, static_cast<size_t>(end - buffer)));
  };
  std::vector<float> values;
  for (int k = -20000; k <= 20000; ++k) values.push_back(static_cast<float>(k) / 1000.0f);
  for (int k = 0; k <= 2000000; k += 7) {
    values.push_back(static_cast<float>(k) / 100.0f);
    values.push_back(-static_cast<float>(k) / 100.0f);
  }
  std::mt19937 random(20261210);
  for (int k = 0; k < 100000; ++k) {
    const uint32_t bits = static_cast<uint32_t>(random());
    const float value = std::bit_cast<float>(bits);
    if (std::isfinite(value)) values.push_back(value);
    values.push_back(std::bit_cast<float>((bits & 0x807FFFFFu) | 0x46000000u));  // 8192..16384
    values.push_back(std::bit_cast<float>((bits & 0x807FFFFFu) | 0x46800000u));  // 16384..32768
  }
  for (float value : values) {
    ASSERT_EQ(base::ToUtf8(source::ShortestText(value)), base::ToUtf8(expected(value))) << value;
  }
}

TEST(DepthList, MergesAnyRunsAsSortingWould) {
  // Member files give ascending runs with repeats; the list must be the sorted distinct depths
  // however many runs there are (beyond sixteen they are sorted instead of merged).
  std::mt19937 random(8);
  for (int round = 0; round < 300; ++round) {
    std::vector<float> depths;
    const int runs = static_cast<int>(random() % 24);
    for (int r = 0; r < runs; ++r) {
      float depth = -0.0f;
      for (int n = static_cast<int>(random() % 12); n > 0; --n) {
        depths.push_back(depth);
        depth += static_cast<float>(random() % 3) * 0.25f;
      }
    }
    std::vector<float> expected = depths;
    std::sort(expected.begin(), expected.end());
    expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
    const std::vector<source::DepthEntry> list = source::MergeDepths(depths);
    ASSERT_EQ(list.size(), expected.size());
    for (size_t k = 0; k < list.size(); ++k) {
      EXPECT_EQ(list[k].value, expected[k]);
      EXPECT_EQ(list[k].number, static_cast<int>(k) + 1);
    }
  }
}

TEST(DepthList, CollectsTheMemberFilesOfEachMode) {
  test::TempDrives drives;
  test::WriteCp932(drives.c() / "B" / "X3.TXT", u"1,1.00,,,,,\r\n2,0.50,,,,,\r\n");
  test::WriteCp932(drives.c() / "B" / "X1.TXT", u"1,1.0,a,b\r\n2,2.25,a,b\r\n");
  test::WriteCp932(drives.c() / "B" / "N8.TXT", u"1,2004/01/01,3.5\r\n");
  test::WriteCp932(drives.c() / "B" / "G71.TXT", u"1,abc,,,\r\n");
  auto texts = [](const std::vector<source::DepthEntry>& list) {
    Lines t;
    for (const auto& e : list) t.push_back(e.text);
    return t;
  };
  EXPECT_EQ(texts(source::CollectDepths(u"C:\\B", 1)), (Lines{u"0.5", u"1", u"2.25"}));
  // N8.TXT has its depth in field 3; a depth that is not a number counts as 0.
  EXPECT_EQ(texts(source::CollectDepths(u"C:\\B", 2)), (Lines{u"0", u"3.5"}));
  EXPECT_EQ(std::distance(fs::directory_iterator(drives.c() / "B"), {}), 4);
}

TEST(FoldNote, FoldsByWidthButCutsByCharacters) {
  EXPECT_EQ(convert::FoldNote(std::u16string(68, u'a')), (Lines{std::u16string(68, u'a')}));
  EXPECT_EQ(convert::FoldNote(std::u16string(69, u'a')), (Lines{std::u16string(68, u'a'), u"￥a"}));
  // 34 full-width characters are 68 columns: one line.
  EXPECT_EQ(convert::FoldNote(std::u16string(34, u'岩')).size(), 1u);
  // 35 full-width characters are 70 columns but only 35 characters: still one piece.
  EXPECT_EQ(convert::FoldNote(std::u16string(35, u'岩')), (Lines{std::u16string(35, u'岩')}));
  EXPECT_EQ(convert::FoldNote(std::u16string(70, u'岩')),
            (Lines{std::u16string(68, u'岩'), u"￥岩岩"}));
  EXPECT_EQ(convert::FoldNote(u"a b"), (Lines{u"a_b"}));
  EXPECT_EQ(convert::FoldNote(u""), (Lines{u"@"}));
}

TEST_F(RecordsTest, SiteRecordsCountTheDepthListEntriesPassed) {
  auto depths = source::MergeDepths({0.5f, 1.0f, 1.5f, 2.0f});
  std::optional<source::FieldReader> x1 = Source(u"1,1.00,現場,\r\n2,2.0,\"  a b \",c\r\n");
  EXPECT_EQ(convert::WriteSiteRecords(x1, depths, out_), u"2.0");
  EXPECT_EQ(out_.lines, (Lines{u"2000 1.00 現場 @ 2", u"2000 2.00 a_b_c @ 2"}));
}

TEST_F(RecordsTest, SiteTextsJoinTheirItemsAsOneValue) {
  auto depths = source::MergeDepths({1.0f, 2.0f, 3.0f, 4.0f});
  std::optional<source::FieldReader> x1 =
      Source(u"1,1.0,\"  \",\"  \"\r\n2,2.0,\"　a\",\" b　c \"\r\n3,3.0,,\" d e\"\r\n4,4.0,f,\r\n");
  convert::WriteSiteRecords(x1, depths, out_);
  EXPECT_EQ(out_.lines, (Lines{u"2000 1.00 @ @ 1", u"2000 2.00 _a_b_c @ 1", u"2000 3.00 d_e @ 1",
                               u"2000 4.00 f @ 1"}));
}

TEST_F(RecordsTest, NotesTakeTheNextCodedLineOnceTheDepthPassesIt) {
  Table("L4.TXT", u"1,暗\r\n2,褐\r\n3,灰\r\n");
  auto depths = source::MergeDepths({1.0f, 2.0f, 3.0f, 4.0f});
  convert::NoteSources sources;
  sources.coded[0] = Source(u"1,1.00,0102,,03,,\r\n2,3.00,03,,,,\r\n");
  sources.x12 = Source(
      u"1,1.00,短い注記\r\n"
      u"2,2.5," +
      std::u16string(30, u'あ') +
      u"\r\n3,2.5,続き\r\n"
      u"4,9.0,最後の注記\r\n");
  convert::WriteNotesRecords(sources, depths, u"3.0", tables_, out_);
  EXPECT_EQ(out_.lines, (Lines{
                            u"2001 1.00 @ 暗褐～灰 @ @ @ @ @ -1 1",
                            u"2001 2.00 @ 灰 @ @ @ @ @ -1 0",
                            // The last entry written takes the notes still pending.
                            u"2001 3.00 @ 灰 @ @ @ @ @ -1 2",
                            u"2002 短い注記",
                            u"2002 " + std::u16string(30, u'あ') + u"続き",
                            u"2002 最後の注記",
                        }));
}

TEST_F(RecordsTest, NotesOutOfOrderGoUnderTheirEntriesInTheFilesOrder) {
  auto depths = source::MergeDepths({1.0f, 2.0f, 3.0f});
  convert::NoteSources sources;
  // A long note folds into two lines, both counted by its entry and written under it.
  sources.x12 = Source(u"1,2.0,b\r\n2,1.0,a\r\n3,3.0," + std::u16string(70, u'c') +
                       u"\r\n4,0.5,\"x y\"\r\n5,2.0,d\r\n6,1.0,\"\"\r\n");
  convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out_);
  EXPECT_EQ(out_.lines, (Lines{
                            u"2001 1.00 @ @ @ @ @ @ @ -1 3",
                            u"2001 2.00 @ @ @ @ @ @ @ -1 2",
                            u"2001 3.00 @ @ @ @ @ @ @ -1 2",
                            u"2002 a",
                            u"2002 x_y",
                            u"2002 @",
                            u"2002 b",
                            u"2002 d",
                            u"2002 " + std::u16string(68, u'c'),
                            u"2002 ￥cc",
                        }));
}

TEST_F(RecordsTest, NotesWithOnlyX3PresentShowAtInTheOtherFields) {
  Table("L4.TXT", u"1,暗\r\n");
  auto depths = source::MergeDepths({1.0f, 2.0f});
  convert::NoteSources sources;
  sources.coded[0] = Source(u"1,1.00,01,,,,\r\n");
  convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out_);
  // At 2.00 the file has ended: depth 99999, and the note becomes "@".
  EXPECT_EQ(out_.lines, (Lines{u"2001 1.00 @ 暗 @ @ @ @ @ -1 0", u"2001 2.00 @ @ @ @ @ @ @ -1 0"}));
}

TEST_F(RecordsTest, LegendCodesMatchByValueAndEmptyPositionsMatchCodeZero) {
  Table("L13.TXT", u"0,空\r\n1,緩い\r\n1,後勝ち\r\n");
  Table("L17.TXT", u"7,略,ｼﾙﾄ\r\n");
  auto depths = source::MergeDepths({1.0f});
  convert::NoteSources sources;
  sources.coded[1] = Source(u"1,1.0,01,,,,\r\n");  // group 2 empty: code 0
  sources.coded[5] = Source(u"1,1.0,7,,,\r\n");
  convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out_);
  EXPECT_EQ(out_.lines[0], u"2001 1.00 @ @ 後勝ち～空 @ @ @ シルト -1 0");
}

TEST_F(RecordsTest, LegendNamesOfOneGroupAreMadeFullWidthAsOneText) {
  // A half-width kana ending one code's name and a voiced mark beginning the next combine, as in
  // the group's joined text; across the wave dash they do not.
  Table("L4.TXT", u"1,ｶ\r\n2,ﾞﾎ\r\n3,ﾊ\r\n4,ﾟ\r\n5,N1\r\n");
  auto depths = source::MergeDepths({1.0f, 2.0f, 3.0f});
  convert::NoteSources sources;
  sources.coded[0] = Source(u"1,1.0,0102,,04,,\r\n2,2.0,030405,,,,\r\n3,3.0,0501,,0201,,\r\n");
  convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"2001 1.00 @ ガホ～゜ @ @ @ @ @ -1 0", u"2001 2.00 @ パＮ１ @ @ @ @ @ -1 0",
                   u"2001 3.00 @ Ｎ１カ～゛ホカ @ @ @ @ @ -1 0"}));
}

TEST_F(RecordsTest, LegendNamesAreHeldAsOneValueOfTheLine) {
  // Blanks around the names go and blanks inside become "_".
  Table("L13.TXT", u"1,\" a b \"\r\n2,\"c d\"\r\n3,\"  \"\r\n4,e\r\n");
  auto depths = source::MergeDepths({1.0f, 2.0f, 3.0f, 4.0f});
  convert::NoteSources sources;
  sources.coded[1] = Source(u"1,1.0,1,,2,\r\n2,2.0,,,2,\r\n3,3.0,3,,3,\r\n4,4.0,4,,1,\r\n");
  convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"2001 1.00 @ @ a_b_～c_d @ @ @ @ -1 0", u"2001 2.00 @ @ ～c_d @ @ @ @ -1 0",
                   u"2001 3.00 @ @ ～ @ @ @ @ -1 0", u"2001 4.00 @ @ e～_a_b @ @ @ @ -1 0"}));
}

TEST_F(RecordsTest, Records3000Then3010FromTwoPasses) {
  source::FieldReader r41 = Source(
      u"1,1.5,3,0,7,,,,,,\r\n"
      u"2,2.25,,abc,08,,,,,,\r\n");
  convert::WriteRecords3000And3010(r41, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"3000 1.50 -1 7", u"3000 2.25 -1 08", u"3010 1.50 3", u"3010 2.25 -1"}));
}

TEST_F(RecordsTest, Records3000WriteANegativeNumberAsItStands) {
  // Only blank, zero and not a number take the field's default.
  source::FieldReader r41 = Source(u"1,3.5,-0.5,-2.5,12.0,,,,,,\r\n");
  convert::WriteRecords3000And3010(r41, out_);
  EXPECT_EQ(out_.lines, (Lines{u"3000 3.50 -2.5 12.0", u"3010 3.50 -0.5"}));
}

TEST_F(RecordsTest, Records3020TakeMonthAndDay) {
  source::FieldReader n9 = Source(u"1,2004/08/05,2.5\r\n2,2004/8/5,3\r\n3,,4\r\n");
  convert::WriteRecords3020(n9, out_);
  EXPECT_EQ(out_.lines, (Lines{u"3020 2.50 08 05", u"3020 3.00 -1 -1", u"3020 4.00 -1 -1"}));
}

TEST_F(RecordsTest, Records3030NameEachNonZeroCodeInFullWidth) {
  Table("L8.TXT", u"5,ｼﾙﾄ,x\r\n7,N値10A b,x\r\n5,後,x\r\n");
  std::u16string codes = u"0,0,5,0,0,0,07,0,0,0,0,0,0,0,0,0,0,0,0,99";
  std::u16string rest;
  for (int i = 0; i < 40; ++i) rest += u",";
  // The record is split over three lines.
  source::FieldReader x7 = Source(u"1,a,b,c,1.5,\r\n0,x\r\n" + codes + rest + u"\r\n");
  convert::WriteRecords3030(x7, tables_, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"3030 1.50 9999 シルト", u"3030 1.50 9999 Ｎ値１０Ａ_b", u"3030 1.50 9999 @"}));
}

TEST_F(RecordsTest, Records3040FormatTheBottomDepthBeforeItsDefault) {
  source::FieldReader g40 = Source(u"1,関東 ローム,,0.8,2.5,,,\r\n2,,,2.5,0,,,\r\n");
  convert::WriteRecords3040(g40, out_);
  EXPECT_EQ(out_.lines, (Lines{u"3040 0.80 2.50 関東_ローム", u"3040 2.50 9999 @"}));
}

TEST_F(RecordsTest, Records3070JoinTheLastMatchingNames) {
  Table("L19.TXT", u"1,強 風化\r\n2,中\r\n2,中風化\r\nx,空欄\r\n");
  source::FieldReader r30 = Source(u"1,1,1,,2,\r\n2,2,9,,2,\r\n3,3,,,9,\r\n4,4,9,,9,\r\n");
  convert::WriteRecords3070(r30, tables_, out_);
  EXPECT_EQ(out_.lines, (Lines{u"3070 1.00 強_風化～中風化", u"3070 2.00 ～中風化",
                               u"3070 3.00 空欄", u"3070 4.00 @"}));
}

TEST_F(RecordsTest, Records3070TakeTheLastNameOfARepeatedFirstCode) {
  Table("L19.TXT", u"1,a\r\n1,b\r\n");
  source::FieldReader r30 = Source(u"1,1,1,,0,\r\n");
  convert::WriteRecords3070(r30, tables_, out_);
  EXPECT_EQ(out_.lines, Lines{u"3070 1.00 b"});
}

TEST_F(RecordsTest, CodeTablesMatchCodesByValueWhateverTheirSize) {
  // Small whole codes and the rest (large, fractional, negative) are kept apart; both give the
  // first and the last entry of a code.
  Table("L19.TXT", u"5,a\r\n05,b\r\n2000,c\r\n2000.0,d\r\n1.5,e\r\n-3,f\r\n0,g\r\n-0,h\r\n");
  const source::CodeTable& table = tables_.Get(source::TableId::kL19);
  EXPECT_EQ(table.First(5.0f), u"a");
  EXPECT_EQ(table.Last(5.0f), u"b");
  EXPECT_EQ(table.First(2000.0f), u"c");
  EXPECT_EQ(table.Last(2000.0f), u"d");
  EXPECT_EQ(table.Last(1.5f), u"e");
  EXPECT_EQ(table.First(-3.0f), u"f");
  EXPECT_EQ(table.First(-0.0f), u"g");
  EXPECT_EQ(table.Last(0.0f), u"h");
  EXPECT_FALSE(table.First(4.0f).has_value());
  EXPECT_FALSE(table.Last(1023.0f).has_value());
  EXPECT_FALSE(table.First(5000.0f).has_value());
}

TEST_F(RecordsTest, Records4000SumTheEndDepthInSinglePrecision) {
  source::FieldReader x5 = Source(
      u"1,1.5,x,y,z,5,10,7,10,9,10\r\n"
      u"2,2.45,,,,1,156,1,118,1,116\r\n"
      u"3,0,,,,-3,10,0,10,abc,10\r\n"
      u"4,2,,,,1,10,1,15,1,5\r\n"
      u"5,2.5,,,,1,abc,1,49.9,1,\r\n");
  convert::WriteRecords4000(x5, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"4000 1.50 1.80 10 10 10 5 7 9", u"4000 2.45 6.34 156 118 116 1 1 1",
                   u"4000 0.00 .30 10 10 10 -1 -1 -1", u"4000 2.00 2.30 10 15 5 1 1 1",
                   u"4000 2.50 2.99 -1 49.9 -1 1 1 1"}));
}

TEST_F(RecordsTest, Records4000DivideEachLengthByAHundredRatherThanMultiply) {
  // 10 / 100 and 10 * 0.01 differ in single precision: the division gives .10, not .09.
  source::FieldReader x5 = Source(u"1,0,,,,1,10,1,,1,\r\n2,0,,,,1,99,1,,1,\r\n");
  convert::WriteRecords4000(x5, out_);
  EXPECT_EQ(out_.lines, (Lines{u"4000 0.00 .10 10 -1 -1 1 1 1", u"4000 0.00 .99 99 -1 -1 1 1 1"}));
  EXPECT_EQ(convert::EndDepth(u"0", {u"10", u"", u""}), u".10");
}

TEST_F(RecordsTest, Records5000MergeTheMembersByDepth) {
  convert::MergedMembers members = {Source(u"1,2004/08/05,1.0\r\n2,\"\",3\r\n"),
                                    Source(u"1,2.0,,,v\r\n2,1.50,,,\r\n"), std::nullopt,
                                    std::nullopt};
  convert::WriteRecords5000(members, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"5000 1.00 08 05 @ @ @ @ @ @ @", u"5000 1.50 -1 -1 @ @ @ @ @ @ @",
                   u"5000 2.00 -1 -1 v @ @ @ @ @ @", u"5000 3.00 -1 -1 @ @ @ @ @ @ @"}));
}

TEST_F(RecordsTest, Records5000TakeTheFirstRecordAtADepthWhereverItStands) {
  convert::MergedMembers members = {Source(u"1,2004/8/5,2.0\r\n"), std::nullopt,
                                    Source(u"1,3.0,a,b\r\n2,1.5,c,d\r\n3,1.50,e,f\r\n"),
                                    Source(u"1,1.5,x,,z\r\n")};
  convert::WriteRecords5000(members, out_);
  EXPECT_EQ(out_.lines, (Lines{u"5000 1.50 -1 -1 @ c d x @ @ z", u"5000 2.00 -1 -1 @ @ @ @ @ @ @",
                               u"5000 3.00 -1 -1 @ a b @ @ @ @"}));
}

TEST_F(RecordsTest, Records5010NameBothCodes) {
  Table("L18.TXT", u"3,ｼﾙﾄ\r\n3,後\r\n");
  Table("L18B.TXT", u"1,混り\r\n");
  source::FieldReader g72 = Source(
      u"1,1.5,0,3,,1,,T-1\r\n"
      u"2,2,,,,1,,\r\n"
      u"3,3,1.2,9,,,,x\r\n");
  convert::WriteRecords5010(g72, tables_, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"5010 1.50 0 T-1 シルト／混り", u"5010 2.00 -1 @ 混り", u"5010 3.00 1.2 x @"}));
}

TEST_F(RecordsTest, Records5010TrimTheLeftOfQuotedValues) {
  Table("L18.TXT", u"9,x\r\n");
  Table("L18B.TXT", u"9,y\r\n");
  source::FieldReader g72 = Source(u"1,1,\" 5\",,,,,\r\n");
  convert::WriteRecords5010(g72, tables_, out_);
  EXPECT_EQ(out_.lines, Lines{u"5010 1.00 5 @ @"});
}

TEST_F(RecordsTest, AMissingTableIsAnErrorOnlyWhenALookupNeedsIt) {
  source::FieldReader no_codes = Source(u"1,1.5,,,,,,\r\n");
  convert::WriteRecords5010(no_codes, tables_, out_);
  EXPECT_EQ(out_.lines, (Lines{u"5010 1.50 -1 @ @"}));
  source::FieldReader coded = Source(u"1,1.5,,4,,,,\r\n");
  EXPECT_THROW(convert::WriteRecords5010(coded, tables_, out_), base::Error);  // L18.TXT is missing
}

// The 5000 scan as the log program does it: for every depth of the list, every member file is
// read again from its start, with a stop flag, until a record at the depth, a deeper record or
// its end. Members are given as parsed records.
using Records = std::vector<std::vector<std::u16string>>;

Lines RescanModel(const std::array<Records, 4>& members) {
  constexpr size_t kDepthField[] = {2, 1, 1, 1};
  std::vector<float> all;
  for (size_t m = 0; m < 4; ++m) {
    for (const auto& r : members[m]) all.push_back(text::NumericValue(r[kDepthField[m]]));
  }
  Lines lines;
  for (const source::DepthEntry& d : source::MergeDepths(all)) {
    std::u16string date;
    std::array<std::u16string, 6> v;  // G71, G73 A, B, G81 A, B, C
    for (size_t m = 0; m < 4; ++m) {
      if (members[m].empty()) continue;
      bool stop = false;
      float last = 0;
      for (size_t i = 0;;) {
        if (stop) {
          if (d.value < last) {
            if (m == 0) date = u"-1 -1";
            if (m == 1) v[0] = u"@";
            if (m == 2) v[1] = v[2] = u"@";
            if (m == 3) v[3] = v[4] = v[5] = u"@";
          }
          break;
        }
        if (i == members[m].size()) {
          last = 999999;
          stop = true;
          continue;
        }
        const auto& r = members[m][i++];
        auto at = [](const std::u16string& x) { return x.empty() ? std::u16string(u"@") : x; };
        if (m == 1) v[0] = at(r[4]);
        if (m == 2) v[1] = at(r[2]), v[2] = at(r[3]);
        if (m == 3) v[3] = at(r[2]), v[4] = at(r[3]), v[5] = at(r[4]);
        last = text::NumericValue(r[kDepthField[m]]);
        if (d.value == last) {
          if (m == 0)
            date =
                r[1].empty() ? u"-1 -1" : text::DatePart(r[1], 6) + u" " + text::DatePart(r[1], 9);
          stop = true;
        }
        if (d.value < last) stop = true;
      }
    }
    auto def = [](const std::u16string& x, std::u16string_view d) {
      return x.empty() ? std::u16string(d) : x;
    };
    lines.push_back(u"5000 " + text::DepthText(d.text) + u" " + def(date, u"-1 -1") + u" " +
                    def(v[0], u"@") + u" " + def(v[1], u"@") + u" " + def(v[2], u"@") + u" " +
                    def(v[3], u"@") + u" " + def(v[4], u"@") + u" @ " + def(v[5], u"@"));
  }
  return lines;
}

TEST_F(RecordsTest, Records5000AgreeWithTheRescanningScanOnAscendingFiles) {
  std::mt19937 random(12345);
  constexpr size_t kFields[] = {3, 5, 4, 5};
  for (int round = 0; round < 300; ++round) {
    // Member files in ascending depth order, with repeated depths, "1.5" and "1.50" spellings,
    // empty values and empty dates; some members missing.
    std::array<Records, 4> parsed;
    convert::MergedMembers members;
    for (size_t m = 0; m < 4; ++m) {
      int n = std::uniform_int_distribution<int>(0, 10)(random);
      int centimetres = 0;
      std::u16string text;
      for (int i = 0; i < n; ++i) {
        centimetres += std::uniform_int_distribution<int>(0, 3)(random) * 25;
        std::u16string depth = base::FromAscii(
            std::to_string(centimetres / 100) + "." + std::to_string(centimetres % 100 / 10) +
            (centimetres % 10 != 0 || random() % 2 ? std::to_string(centimetres % 10) : ""));
        std::vector<std::u16string> r(kFields[m]);
        r[0] = base::FromAscii(std::to_string(i + 1));
        for (size_t f = 1; f < kFields[m]; ++f) {
          r[f] = random() % 4 == 0 ? u"" : base::FromAscii(std::to_string(random() % 100));
        }
        if (m == 0) {
          r[1] = random() % 4 == 0 ? u""
                                   : base::FromAscii("2004/0" + std::to_string(1 + random() % 9) +
                                                     "/1" + std::to_string(random() % 10));
          r[2] = depth;
        } else {
          r[1] = depth;
        }
        for (size_t f = 0; f < r.size(); ++f) text += (f ? u",\"" : u"\"") + r[f] + u"\"";
        text += u"\r\n";
        parsed[m].push_back(std::move(r));
      }
      if (n > 0) members[m] = Source(text);
    }
    convert::LineCollector out;
    convert::WriteRecords5000(members, out);
    ASSERT_EQ(out.lines, RescanModel(parsed)) << "round " << round;
  }
}

TEST_F(RecordsTest, Records5000KeepRecordsThatFollowADeeperOne) {
  // Out of depth order: the rescanning scan would lose 1.00 behind 2.00.
  convert::MergedMembers members = {std::nullopt, Source(u"1,2.00,,,b\r\n2,1.00,,,a\r\n"),
                                    std::nullopt, std::nullopt};
  convert::WriteRecords5000(members, out_);
  EXPECT_EQ(out_.lines,
            (Lines{u"5000 1.00 -1 -1 a @ @ @ @ @ @", u"5000 2.00 -1 -1 b @ @ @ @ @ @"}));
}

// ---- A value of a converted line never carries a half-width blank ----
// The other program splits a line at its blanks, so a blank inside a value would shift every later
// value. Numbers written as they stand drop their surrounding blanks; texts and names written as
// held drop them too, take their default when nothing is left and write each blank inside as "_",
// keeping full-width blanks. A blank depth stays an empty value. One table per record group: the
// source record(s) and the line(s) they give.

struct LinesCase {
  std::u16string source;
  Lines lines;
};

// Writes each case's source through `write` and compares its lines.
template <typename Write>
void ExpectLines(const std::vector<LinesCase>& cases, Write write) {
  for (const LinesCase& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.source));
    source::FieldReader reader = Source(c.source);
    convert::LineCollector out;
    write(reader, out);
    EXPECT_EQ(out.lines, c.lines);
  }
}

TEST_F(RecordsTest, HeaderNumbersAndTheRockNameCarryNoBlank) {
  Table("L1.TXT", u"1,\"泥 岩\"\r\n2,\" 泥岩 \"\r\n3,\"   \"\r\n4,\"泥　岩\"\r\n");
  struct Item {
    int list;  // 1: Titl01.txt, 2: Titl02.txt
    size_t index;
    std::u16string value;
  };
  struct Case {
    std::vector<Item> items;
    std::u16string line;
  };
  const Case cases[] = {
      {{{2, 5, u" 35 "}, {2, 6, u"41 "}, {2, 7, u" 2.5"}}, u"1006 35 41 2.5"},
      {{{2, 8, u" 139"}, {2, 9, u"  "}, {2, 10, u"0 "}}, u"1007 139 -1 -1"},
      {{{1, 10, u"2004 "},
        {1, 11, u" 08"},
        {1, 12, u"5 "},
        {1, 13, u" 2005"},
        {1, 14, u"1 2"},
        {1, 15, u" 9 "}},
       u"1009 平成 16 08 5 17 -1 9"},
      {{{1, 16, u"1"}, {1, 17, u" 12.5 "}, {2, 12, u"1 "}, {2, 13, u" 2"}, {2, 14, u" 3 "}},
       u"1013 泥_岩_12.5 1 2 3"},
      {{{1, 16, u"2"}, {1, 17, u"12.5"}}, u"1013 泥岩_12.5 -1 -1 -1"},
      // A name of blanks only is written as its default, "@".
      {{{1, 16, u"3"}, {1, 17, u"12.5"}}, u"1013 @_12.5 -1 -1 -1"},
      {{{1, 16, u"4"}, {1, 17, u"12.5"}}, u"1013 泥　岩_12.5 -1 -1 -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.line));
    source::TitleLists titles;
    for (const Item& item : c.items) {
      (item.list == 1 ? titles.t1[item.index] : titles.t2[item.index]) = item.value;
    }
    convert::LineCollector out;
    convert::WriteHeader(titles, tables_, out);
    const size_t code = static_cast<size_t>(std::stoi(base::ToUtf8(c.line.substr(0, 4))));
    ASSERT_EQ(out.lines.size(), 20u);
    EXPECT_EQ(out.lines[code - 1000 + 1], c.line);
  }
}

TEST_F(RecordsTest, Notes2001NamesCarryNoBlank) {
  Table("L4.TXT", u"1,\"暗 い\"\r\n2,褐\r\n3,\" 灰 \"\r\n4,\"  \"\r\n5,\"青　灰\"\r\n");
  const std::vector<LinesCase> cases = {
      {u"1,1.00,0102,,,,\r\n", {u"2001 1.00 @ 暗_い褐 @ @ @ @ @ -1 0"}},
      {u"1,1.00,03,,01,,\r\n", {u"2001 1.00 @ 灰_～暗_い @ @ @ @ @ -1 0"}},
      {u"1,1.00,04,,,,\r\n", {u"2001 1.00 @ @ @ @ @ @ @ -1 0"}},
      {u"1,1.00,05,,,,\r\n", {u"2001 1.00 @ 青　灰 @ @ @ @ @ -1 0"}},
  };
  const std::vector<source::DepthEntry> depths = source::MergeDepths({1.0f});
  ExpectLines(cases, [&](source::FieldReader& x3, convert::LineSink& out) {
    convert::NoteSources sources;
    sources.coded[0] = std::move(x3);
    convert::WriteNotesRecords(sources, depths, std::nullopt, tables_, out);
  });
}

TEST_F(RecordsTest, Records3000And3010NumbersCarryNoBlank) {
  ExpectLines(
      {
          {u"1,1.5,\" 3 \",\" 5\",\"7 \",,,,,,\r\n", {u"3000 1.50 5 7", u"3010 1.50 3"}},
          {u"1,1.5,\"0 \",\" 1 2 \",\"\t7\",,,,,,\r\n", {u"3000 1.50 -1 -1", u"3010 1.50 -1"}},
          // A blank depth stays an empty value.
          {u"1,\"  \",3,5,7,,,,,,\r\n", {u"3000  5 7", u"3010  3"}},
      },
      [](source::FieldReader& r41, convert::LineSink& out) {
        convert::WriteRecords3000And3010(r41, out);
      });
}

TEST_F(RecordsTest, Records3020MonthAndDayCarryNoBlank) {
  ExpectLines(
      {
          {u"1,\"2004/08/5 \",2.5\r\n", {u"3020 2.50 08 5"}},
          {u"1,\"2004/ 8/05\",1\r\n", {u"3020 1.00 8 05"}},
          {u"1,\"2004/  /  \",1\r\n", {u"3020 1.00 -1 -1"}},
          {u"1,2004/08/05,\"  \"\r\n", {u"3020  08 05"}},
      },
      [](source::FieldReader& n9, convert::LineSink& out) { convert::WriteRecords3020(n9, out); });
}

TEST_F(RecordsTest, Records3070NamesCarryNoBlank) {
  Table("L19.TXT", u"1,\"強 風化\"\r\n2,\" 中 \"\r\n3,\"   \"\r\n4,\"強　風化\"\r\n");
  ExpectLines(
      {
          {u"1,1,1,,0,\r\n", {u"3070 1.00 強_風化"}},
          {u"1,1,1,,2,\r\n", {u"3070 1.00 強_風化～_中"}},
          {u"1,1,3,,0,\r\n", {u"3070 1.00 @"}},  // names of blanks only, as no name at all
          {u"1,1,7,,0,\r\n", {u"3070 1.00 @"}},
          {u"1,1,3,,3,\r\n", {u"3070 1.00 ～"}},
          {u"1,1,4,,0,\r\n", {u"3070 1.00 強　風化"}},
      },
      [&](source::FieldReader& r30, convert::LineSink& out) {
        convert::WriteRecords3070(r30, tables_, out);
      });
}

TEST_F(RecordsTest, Records4000NumbersCarryNoBlank) {
  ExpectLines(
      {
          {u"1,1.5,,,,\" 5 \",\" 10\",\"7 \",10,9,\" 10 \"\r\n",
           {u"4000 1.50 1.80 10 10 10 5 7 9"}},
      },
      [](source::FieldReader& x5, convert::LineSink& out) { convert::WriteRecords4000(x5, out); });
}

TEST_F(RecordsTest, Records5000ValuesCarryNoBlank) {
  struct Case {
    std::array<std::u16string, 4> members;  // N8, G71, G73, G81; empty for a missing file
    std::u16string line;
  };
  const Case cases[] = {
      {{u"1,\"2004/08/5 \",1\r\n", u"1,1,,,\"a b\"\r\n", u"1,1,\" x \",\"  \"\r\n",
        u"1,1,\"p q \",\"\",\"　r\"\r\n"},
       u"5000 1.00 08 5 a_b x @ p_q @ @ 　r"},
      {{u"", u"1,1,,,\"" + std::u16string(100000, u' ') + u"\"\r\n", u"", u""},
       u"5000 1.00 -1 -1 @ @ @ @ @ @ @"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.line));
    convert::MergedMembers members;
    for (size_t m = 0; m < 4; ++m) {
      if (!c.members[m].empty()) members[m] = Source(c.members[m]);
    }
    convert::LineCollector out;
    convert::WriteRecords5000(members, out);
    EXPECT_EQ(out.lines, Lines{c.line});
  }
}

TEST_F(RecordsTest, Records5010ValuesAndNamesCarryNoBlank) {
  Table("L18.TXT", u"3,\" ｼﾙﾄ \"\r\n4,\"  \"\r\n");
  Table("L18B.TXT", u"1,\"混 り\"\r\n");
  ExpectLines(
      {
          {u"1,1,\" 5 \",,,,,\" a b \"\r\n", {u"5010 1.00 5 a_b @"}},
          {u"1,2,\"  \",,,,,\"  \"\r\n", {u"5010 2.00 -1 @ @"}},
          {u"1,3,\"1 2\",3,,1,,\"x　y\"\r\n", {u"5010 3.00 1_2 x　y シルト_／混_り"}},
          {u"1,4,0,4,,,,x\r\n", {u"5010 4.00 0 x @"}},
      },
      [&](source::FieldReader& g72, convert::LineSink& out) {
        convert::WriteRecords5010(g72, tables_, out);
      });
}

}  // namespace
}  // namespace tjvx
