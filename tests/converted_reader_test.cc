// Reading converted files back: refusals, the grammar of every record code, values holding
// blanks, and the round trip over files the converter itself makes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>

#include "base/error.h"
#include "base/utf.h"
#include "convert/run.h"
#include "converted/reader.h"
#include "platform/cp932.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;
using converted::ConvertedFile;
using converted::ReadRefusal;
using converted::Record;
using Kind = ReadRefusal::Kind;
using converted::Values;
using Texts = std::vector<std::u16string>;

// The first line and a whole header: 20 lines, so the first group record stands on line 21.
constexpr std::u16string_view kHeader =
    u"GTJ Ge201\r\n"
    u"1000 題名\r\n1001 B-1\r\n1002 場所\r\n1003 @\r\n1004 発注者\r\n1005 請負者\r\n"
    u"1006 35 31 24.8\r\n1007 139 27 12.5\r\n1008 担当者\r\n1009 平成 16 08 05 16 08 20\r\n"
    u"1010 工法\r\n1011 YBM-05型\r\n1012 X=1 Y=2 IX系 T.P.\r\n1013 泥岩_12.35 66 15.00 90\r\n"
    u"1014 ﾛｰﾀﾘｰ式\r\n1015 油圧_フィード @\r\n1016 ｺｱﾁｭｰﾌﾞ @\r\n"
    u"1017 -1 -1 10.000 rockpat.asg\r\n1018 @ @\r\n";

std::u16string WithHeader(std::u16string_view records) {
  return std::u16string(kHeader) + std::u16string(records);
}

ConvertedFile Read(std::u16string_view text) {
  return converted::ReadConvertedFile(text, u"D:\\OUT\\B-1");
}

// The record of one group line read after the header.
Record GroupLine(std::u16string_view line) {
  ConvertedFile file = Read(WithHeader(std::u16string(line) + u"\r\n"));
  EXPECT_EQ(file.records.size(), 20u);
  return file.records.back();
}

// The header with `rest` after the code and blank of `code`, read; the record of that code.
Record HeaderLine(int code, std::u16string_view rest) {
  std::u16string text(kHeader);
  const std::u16string start = u"\n" + base::FromAscii(std::to_string(code)) + u" ";
  const size_t at = text.find(start) + start.size();
  text.replace(at, text.find(u'\r', at) - at, rest);
  return Read(text).records.at(static_cast<size_t>(code - 1000));
}

std::optional<ReadRefusal> RefusalOf(std::u16string_view text) {
  try {
    Read(text);
  } catch (const ReadRefusal& refusal) {
    return refusal;
  }
  return std::nullopt;
}

void ExpectRefused(std::u16string_view text, Kind kind, long long line) {
  const std::optional<ReadRefusal> refusal = RefusalOf(text);
  ASSERT_TRUE(refusal.has_value()) << "read without refusal";
  EXPECT_EQ(refusal->reason(), kind) << base::ToUtf8(refusal->Message());
  EXPECT_EQ(refusal->line(), line) << base::ToUtf8(refusal->Message());
}

// A record as its line holds it after the code and blank.
std::u16string TextOf(const Record& record) {
  if (const auto kept = record.kept_text()) return std::u16string(*kept);
  std::u16string text;
  for (const std::u16string_view value : record.values) {
    if (!text.empty()) text += u' ';
    text += value;
  }
  return text;
}

// The first record of `code` whose text begins with `start`.
const Record* Find(const ConvertedFile& file, int code, std::u16string_view start) {
  for (const Record& record : file.records) {
    if (record.code == code && TextOf(record).starts_with(start)) return &record;
  }
  ADD_FAILURE() << "no record " << code << " beginning " << base::ToUtf8(start);
  return nullptr;
}

long long KeptLines(const ConvertedFile& file) {
  return std::count_if(file.records.begin(), file.records.end(),
                       [](const Record& record) { return !record.Drawable(); });
}

// ---- refusals ----

TEST(ConvertedFormat, GivesEachRecordCodeItsCountOfValues) {
  // The free text of 1013, 3070, 5000 and 5010 counts as one value; 9999 is no record code.
  const std::pair<int, size_t> counts[] = {{1000, 1},  {1009, 7}, {1013, 4}, {1017, 4},
                                           {2001, 10}, {3070, 2}, {4000, 8}, {5000, 10},
                                           {5010, 4},  {9999, 0}, {999, 0},  {2003, 0}};
  for (const auto& [code, count] : counts) EXPECT_EQ(converted::ValueCount(code), count) << code;
}

TEST(ConvertedRefusal, TheFirstLineMustBeGtjGe201) {
  ExpectRefused(u"", Kind::kFirstLine, 1);
  ExpectRefused(u"GTJ Ge200\r\n", Kind::kFirstLine, 1);
  ExpectRefused(u"GTJ Ge201 \r\n", Kind::kFirstLine, 1);
  std::u16string text = WithHeader(u"");
  text[0] = u'g';
  ExpectRefused(text, Kind::kFirstLine, 1);
}

TEST(ConvertedRefusal, EveryLineEndsInCrLfAndHoldsNoOtherLineBreak) {
  ExpectRefused(u"GTJ Ge201\n1000 a\r\n", Kind::kLineEnd, 1);
  ExpectRefused(u"GTJ Ge201", Kind::kLineEnd, 1);
  ExpectRefused(WithHeader(u"2002 a\n"), Kind::kLineEnd, 21);
  ExpectRefused(WithHeader(u"2002 a\r\r\n"), Kind::kLineEnd, 21);
  ExpectRefused(WithHeader(u"2002 a\rb\r\n"), Kind::kLineEnd, 21);
  ExpectRefused(WithHeader(u"2002 a\r\n\n"), Kind::kLineEnd, 22);
  ExpectRefused(WithHeader(u"2002 a\r\n2002 b"), Kind::kLineEnd, 22);
}

TEST(ConvertedRefusal, EveryLineBeginsWithAKnownCodeAndABlank) {
  for (std::u16string_view line : {u"", u"2002", u"2002\tx", u"9999 x", u"1019 x", u"3050 x",
                                   u"0200 x", u" 2002 x", u"２００２ x", u"200 x"}) {
    SCOPED_TRACE(base::ToUtf8(line));
    ExpectRefused(WithHeader(std::u16string(line) + u"\r\n"), Kind::kUnknownCode, 21);
  }
}

TEST(ConvertedRefusal, HeaderRecordsComeOnceEachInOrderAndNoneIsMissing) {
  std::u16string text(kHeader);
  ExpectRefused(text.substr(0, text.find(u"1006")), Kind::kMissingHeader, 8);
  // 1003 and 1004 left out: the first one missing is named.
  const size_t from = text.find(u"1003"), to = text.find(u"1005");
  const std::optional<ReadRefusal> missing = RefusalOf(text.substr(0, from) + text.substr(to));
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->reason(), Kind::kMissingHeader);
  EXPECT_EQ(missing->line(), 5);
  EXPECT_EQ(missing->cause(), u"ヘッダーの記録 1003 がありません。");
  // A group before the header's end.
  ExpectRefused(text.substr(0, text.find(u"1018")) + u"2002 a\r\n", Kind::kMissingHeader, 20);
  // A header record twice, or once more after the groups.
  ExpectRefused(text.substr(0, to) + u"1004 b\r\n" + text.substr(to), Kind::kOrder, 7);
  ExpectRefused(WithHeader(u"2002 a\r\n1000 b\r\n"), Kind::kOrder, 22);
}

TEST(ConvertedRefusal, GroupsComeInTheWritersOrderEachAnyNumberOfTimes) {
  EXPECT_EQ(Read(WithHeader(u"2000 1.00 a @ 1\r\n2000 2.00 b @ 1\r\n2002 c\r\n3070 1.00 x\r\n"
                            u"5010 1.00 -1 @ @\r\n"))
                .records.size(),
            24u);
  ExpectRefused(WithHeader(u"3000 1.00 1 2\r\n3010 1.00 3\r\n3000 2.00 1 2\r\n"), Kind::kOrder, 23);
  ExpectRefused(WithHeader(u"5010 1.00 -1 @ @\r\n5000 1.00 -1 -1 @ @ @ @ @ @ @\r\n"), Kind::kOrder,
                22);
  const std::optional<ReadRefusal> refusal =
      RefusalOf(WithHeader(u"2002 a\r\n3000 1.00 1 2\r\n2001 1.00 @ a b c d e f -1 0\r\n"));
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->cause(), u"記録コードの順序が正しくありません（3000 の後に 2001）。");
}

TEST(ConvertedRefusal, TheMessageNamesTheCauseTheFileAndTheLine) {
  const std::optional<ReadRefusal> refusal = RefusalOf(u"GTJ Ge200\r\n");
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->file(), u"D:\\OUT\\B-1");
  EXPECT_EQ(refusal->Message(),
            u"変換済みファイルを読み込めません。\n1 行目が GTJ Ge201 ではありません。\n"
            u"D:\\OUT\\B-1\n(1 行目)");
  EXPECT_STREQ(refusal->what(), base::ToUtf8(refusal->Message()).c_str());
}

TEST(ConvertedRefusal, BytesThatAreNotCp932AreRefusedAtTheirLine) {
  const std::string bytes =
      platform::EncodeCp932(WithHeader(u"2002 a\r\n"), u"t") + "2002 \x82\r\n";
  try {
    converted::ReadConvertedBytes(bytes, u"B-1");
    ADD_FAILURE() << "read without refusal";
  } catch (const ReadRefusal& refusal) {
    EXPECT_EQ(refusal.reason(), Kind::kBadBytes);
    EXPECT_EQ(refusal.line(), 22);
    EXPECT_EQ(refusal.cause(), u"CP932 (Shift-JIS) でないバイトがあります（バイト位置 " +
                                   base::FromAscii(std::to_string(bytes.size() - 3)) + u"）。");
  }
}

// The reader encodes again only the codes of the lead bytes 0x87, 0xED, 0xEE and 0xFA..0xFC; the
// system's codec must give every other code back as it was.
TEST(ConvertedRefusal, ACodeTheConverterNeverWritesIsRefusedAndOnlySharedLeadBytesHaveOne) {
  auto comes_back = [](const std::string& code) {
    try {
      return platform::EncodeCp932(platform::DecodeCp932(code, u"t"), u"t") == code;
    } catch (const base::Error&) {
      return true;  // not CP932: refused as such
    }
  };
  for (int b = 0; b < 0x100; ++b) {
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) continue;
    EXPECT_TRUE(comes_back(std::string(1, static_cast<char>(b)))) << b;
  }
  std::optional<std::string> other;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (lead > 0x9F && lead < 0xE0) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      if (comes_back(code)) continue;
      EXPECT_TRUE(lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA)
          << std::hex << lead << ' ' << trail;
      if (!other) other = code;
    }
  }
  ASSERT_TRUE(other.has_value()) << "CP932 has codes that read as one character";
  const std::string head = platform::EncodeCp932(WithHeader(u"2002 a\r\n2002 "), u"t");
  try {
    converted::ReadConvertedBytes(head + *other + "\r\n", u"B-1");
    ADD_FAILURE() << "read without refusal";
  } catch (const ReadRefusal& refusal) {
    EXPECT_EQ(refusal.reason(), Kind::kOtherCode);
    EXPECT_EQ(refusal.line(), 22);
    EXPECT_NE(refusal.cause().find(u"バイト位置 " + base::FromAscii(std::to_string(head.size()))),
              std::u16string::npos);
  }
}

// ---- the grammar of each record code ----

TEST(ConvertedGrammar, HeaderRecordsHaveTheirValuesAtTheirIndices) {
  const ConvertedFile file = Read(kHeader);
  ASSERT_EQ(file.records.size(), 19u);
  const Values expected[] = {
      {u"題名"},
      {u"B-1"},
      {u"場所"},
      {u"@"},
      {u"発注者"},
      {u"請負者"},
      {u"35", u"31", u"24.8"},
      {u"139", u"27", u"12.5"},
      {u"担当者"},
      {u"平成", u"16", u"08", u"05", u"16", u"08", u"20"},
      {u"工法"},
      {u"YBM-05型"},
      {u"X=1", u"Y=2", u"IX系", u"T.P."},
      {u"泥岩_12.35", u"66", u"15.00", u"90"},
      {u"ﾛｰﾀﾘｰ式"},
      {u"油圧_フィード", u"@"},
      {u"ｺｱﾁｭｰﾌﾞ", u"@"},
      {u"-1", u"-1", u"10.000", u"rockpat.asg"},
      {u"@", u"@"},
  };
  for (size_t i = 0; i < 19; ++i) {
    SCOPED_TRACE(1000 + i);
    EXPECT_EQ(file.records[i].code, static_cast<int>(1000 + i));
    EXPECT_EQ(file.records[i].line, static_cast<long long>(i + 2));
    EXPECT_TRUE(file.records[i].Drawable());
    EXPECT_EQ(file.records[i].values, expected[i]);
  }
}

TEST(ConvertedGrammar, HeaderLinesOutOfTheirGrammarAreKeptAsText) {
  for (auto [code, line] : std::initializer_list<std::pair<int, std::u16string_view>>{
           {1000, u"題名 副題"},      // a text never holds a blank
           {1003, u"x"},              // the fixed "@"
           {1006, u"35 31"},          // a number too few
           {1007, u"139 27 12.5 1"},  // a number too many
           {1009, u"平成 16 08 05 16 08 x"},
           {1013, u"泥岩_12.35 66 15.00"},  // no rock name before the three numbers
           {1013, u"泥岩 66 x 90"},
           {1015, u"油圧 x"},
           {1017, u"-1 -1 10.000 other.asg"},
           {1018, u"@ @ @"},
       }) {
    SCOPED_TRACE(base::ToUtf8(line));
    const Record record = HeaderLine(code, line);
    EXPECT_FALSE(record.Drawable());
    EXPECT_EQ(record.kept_text(), line);
    EXPECT_TRUE(record.values.empty());
  }
}

TEST(ConvertedGrammar, EachGroupCodeHasItsValuesAtTheirIndices) {
  const std::pair<std::u16string_view, Values> cases[] = {
      {u"2000 5.30 沖積層_完新世 @ 5", {u"5.30", u"沖積層_完新世", u"@", u"5"}},
      {u"2001 0.80 @ 暗褐 緩い @ 湿潤～含水中位 腐植臭 完新世 -1 1",
       {u"0.80", u"@", u"暗褐", u"緩い", u"@", u"湿潤～含水中位", u"腐植臭", u"完新世", u"-1",
        u"1"}},
      {u"2002 ￥部は指圧で崩れない。", {u"￥部は指圧で崩れない。"}},
      {u"3000 6.50 -1 35.5", {u"6.50", u"-1", u"35.5"}},
      {u"3010 13.00 -1", {u"13.00", u"-1"}},
      {u"3020 2.10 08 05", {u"2.10", u"08", u"05"}},
      {u"3030 11.60 9999 塩ビ管ＶＰ５０Ａ", {u"11.60", u"9999", u"塩ビ管ＶＰ５０Ａ"}},
      {u"3040 0.00 0.80 盛土", {u"0.00", u"0.80", u"盛土"}},
      {u"3070 13.50 ～弱風化", {u"13.50", u"～弱風化"}},
      {u"4000 8.15 8.34 10 -1 10 6 7 8", {u"8.15", u"8.34", u"10", u"-1", u"10", u"6", u"7", u"8"}},
      {u"4000 -0.50 .50 1E+02 1.5e-1 +3 1. .5 -1",
       {u"-0.50", u".50", u"1E+02", u"1.5e-1", u"+3", u"1.", u".5", u"-1"}},
      {u"5000 3.15 08 07 2.583 @ @ 62.0 @ @ NP",
       {u"3.15", u"08", u"07", u"2.583", u"@", u"@", u"62.0", u"@", u"@", u"NP"}},
      {u"5000 6.20 -1 -1 @ 24.1 1.91 @ @ @ @",
       {u"6.20", u"-1", u"-1", u"@", u"24.1", u"1.91", u"@", u"@", u"@", u"@"}},
      {u"5010 3.15 62.0 T-2 シルト／混り", {u"3.15", u"62.0", u"T-2", u"シルト／混り"}},
      {u"5010 9.15 0 S-4 @", {u"9.15", u"0", u"S-4", u"@"}},
  };
  for (const auto& [line, values] : cases) {
    SCOPED_TRACE(base::ToUtf8(line));
    const Record record = GroupLine(line);
    EXPECT_EQ(record.code, std::stoi(base::ToUtf8(line.substr(0, 4))));
    EXPECT_EQ(record.line, 21);
    EXPECT_TRUE(record.Drawable());
    EXPECT_EQ(record.values, values);
  }
}

// Lines the converter writes from odd sources: a blank depth, a depth laid out from a text that is
// not a number, a number with a blank the source quoted, a count past seven digits.
TEST(ConvertedGrammar, GroupLinesWhoseValuesCannotBeToldApartOrDrawnAreKeptAsText) {
  for (std::u16string_view line : {
           u"2000  沖積層_完新世 @ 5",          // blank depth
           u"2000 5.30 沖積層_完新世 @ 1E+07",  // a count in exponent form
           u"2000 5.30 沖積層_完新世 x 5",      // not the fixed "@"
           u"2001 0.80 @ 暗褐 緩い @ 湿潤 腐植臭 完新世 -2 1",
           u"2002 表層 5cm",                     // a note never holds a blank
           u"3000 abc.00 -1 35.5",               // depth of "abc"
           u"3000 e308.00 -1 35.5",              // depth of "1e308", cut to four columns
           u"3000 6.50 4.8  12.0",               // "4.8 " quoted with its blank
           u"3000 6.50 -1 35.5 ",                // trailing blank
           u"3010 13.00",                        // a value too few
           u"3010 13.00 -1 -1",                  // a value too many
           u"3020 2.10 8  05",                   // month "8 "
           u"3030 0.80 ２.50 ローム",            // a full-width digit
           u"3070 12.00",                        // no blank before the names
           u"3070  強風化",                      // blank depth
           u"4000 1.15 E+07.00 10 10 10 1 2 2",  // end depth of a sum past seven digits
           u"4000 1.15 1.45 10 10 10 1 2",       // a reading too few
           u"5000 1.50 08 06 2.652 48.2 1.52 85.3 52.1 x 33.2",  // not the fixed "@"
           u"5000 1.50 08 06 2.652 48.2 1.52 85.3 52.1 @ ",      // an empty value
           u"5000 1.50 8/ 06 @ @ @ @ @ @ @",
           u"5010 1.50 abc T-1 ローム",  // a value that is not a number
           u"5010 1.50 85.3  ローム",    // an empty label
       }) {
    SCOPED_TRACE(base::ToUtf8(line));
    const Record record = GroupLine(line);
    EXPECT_FALSE(record.Drawable());
    EXPECT_EQ(record.kept_text(), line.substr(5));
    EXPECT_TRUE(record.values.empty());
  }
}

// Files written before blanks inside table names and G71/G72 values became "_" hold those blanks,
// and are still read. Where a grammar has its free text, a blank in it is told apart; six names in
// one line (2001) are not; and a blank inside a value beside the free text cannot be seen: it
// moves a piece into the free text unless it moves a fixed value.
TEST(ConvertedGrammar, BlanksInsideValuesOfEarlierFiles) {
  // Told apart.
  EXPECT_EQ(
      GroupLine(u"5000 1.50 08 06 2 652 48.2 1.52 85.3 52.1 @ 33.2").values,
      (Values{u"1.50", u"08", u"06", u"2 652", u"48.2", u"1.52", u"85.3", u"52.1", u"@", u"33.2"}));
  EXPECT_EQ(GroupLine(u"5000 1.50 08 06   48.2 1.52 85.3 52.1 @ 33.2").values[3], u" ");
  EXPECT_EQ(HeaderLine(1013, u"泥 岩_12.35 66 15.00 90").values,
            (Values{u"泥 岩_12.35", u"66", u"15.00", u"90"}));
  EXPECT_EQ(GroupLine(u"3070 12.00 強 風化～中 風化 ").values,
            (Values{u"12.00", u"強 風化～中 風化 "}));
  EXPECT_EQ(GroupLine(u"3070 12.00 ").values, (Values{u"12.00", u""}));
  EXPECT_EQ(GroupLine(u"5010 9.15 0 S-4 礫 石／混 り").values,
            (Values{u"9.15", u"0", u"S-4", u"礫 石／混 り"}));
  // Kept as text.
  EXPECT_FALSE(GroupLine(u"2001 0.80 @ 暗 褐 緩い @ 湿潤 腐植臭 完新世 -1 1").Drawable());
  EXPECT_FALSE(GroupLine(u"5000 3.15 08 07 2.583 @ @ 62.0 @ @ N P").Drawable());
  // Not seen: a G73 value "4 8.2" and a label "T 1".
  EXPECT_EQ(GroupLine(u"5000 1.50 08 06 2.652 4 8.2 1.52 85.3 52.1 @ 33.2").values[3], u"2.652 4");
  EXPECT_EQ(GroupLine(u"5010 1.50 85.3 T 1 ローム").values,
            (Values{u"1.50", u"85.3", u"T", u"1 ローム"}));
}

// ---- writing back ----

TEST(ConvertedWriteBack, WritesTheValuesJoinedByTheGrammarAndKeptTextAsItIs) {
  ConvertedFile file =
      Read(WithHeader(u"3070 12.00 強 風化\r\n4000 1.15 E+07.00 1 1 1 1 1 1\r\n"
                      u"5000 1.50 08 06 2 652 48.2 1.52 85.3 52.1 @ 33.2\r\n"));
  file.records[19].values.Set(0, u"12.50");
  file.records[21].values.Set(3, u"2.652");
  const std::string bytes = converted::WriteBack(file);
  EXPECT_EQ(bytes, platform::EncodeCp932(
                       WithHeader(u"3070 12.50 強 風化\r\n4000 1.15 E+07.00 1 1 1 1 1 1\r\n"
                                  u"5000 1.50 08 06 2.652 48.2 1.52 85.3 52.1 @ 33.2\r\n"),
                       u"t"));
}

TEST(ConvertedWriteBack, RefusesAModelItsGrammarCannotWrite) {
  ConvertedFile file = Read(WithHeader(u"3010 13.00 -1\r\n"));
  file.records.back().values.pop_back();
  try {
    converted::WriteBack(file);
    ADD_FAILURE() << "written";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kOutOfRange);
    EXPECT_EQ(error.line(), 21);
    EXPECT_EQ(error.detail(), u"記録 3010 の値が 1 個あります（2 個のはずです）。");
  }
  file.records.back().code = 3050;
  EXPECT_THROW(converted::WriteBack(file), base::Error);
}

// ---- round trips over files the converter makes ----

// Records read from a file view its text; a copy of the file, or of a record, stays whole after
// the original is gone, and changed values are the record's own.
TEST(ConvertedValues, ReadValuesOutliveTheirFileAndChangedOnesAreTheirOwn) {
  ConvertedFile copy;
  Record record;
  {
    const ConvertedFile file =
        Read(WithHeader(u"3070 12.00 強 風化\r\n5010 9.15 0 S-4 礫 石／混り\r\n"));
    copy = file;
    record = file.records[20];
  }
  EXPECT_EQ(copy.records[19].values, (Values{u"12.00", u"強 風化"}));
  EXPECT_EQ(record.values, (Values{u"9.15", u"0", u"S-4", u"礫 石／混り"}));

  // Longer and shorter values move the ones after them; the first and the last have no blank
  // on one side.
  Values values = record.values;
  values.Set(1, u"62.0");
  values.Set(0, u"1");
  values.Set(3, u"");
  EXPECT_EQ(values, (Values{u"1", u"62.0", u"S-4", u""}));
  EXPECT_EQ(values.text(), u"1 62.0 S-4 ");
  values.pop_back();
  values.push_back(u"ローム");
  EXPECT_EQ(values.text(), u"1 62.0 S-4 ローム");
  EXPECT_EQ(record.values[3], u"礫 石／混り") << "the copy's change stays with the copy";

  Values kept = Values::Kept(u"3.15 abc");
  EXPECT_TRUE(kept.kept());
  EXPECT_TRUE(kept.empty());
  EXPECT_EQ(kept.text(), u"3.15 abc");
  EXPECT_FALSE(kept == (Values{u"3.15", u"abc"}));
  kept.push_back(u"3.15");
  EXPECT_FALSE(kept.kept()) << "a value pushed drops the kept text";
  EXPECT_EQ(kept.text(), u"3.15");

  Values full{u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"10"};
  EXPECT_THROW(full.push_back(u"11"), std::length_error);
  EXPECT_THROW(full.Set(10, u"x"), std::out_of_range);
}

TEST(ConvertedRoundTrip, TheGoldenFileReadsWhollyDrawableAndWritesBackByteForByte) {
  const std::string bytes = test::ReadBytes(test::RepositoryPath("tests/golden/sample/B-12"));
  const ConvertedFile file = converted::ReadConvertedBytes(bytes, u"B-12");
  EXPECT_EQ(static_cast<long long>(file.records.size()),
            std::count(bytes.begin(), bytes.end(), '\n') - 1);
  EXPECT_EQ(KeptLines(file), 0);
  EXPECT_EQ(converted::WriteBack(file), bytes);
  const Record* merged = Find(file, 5000, u"1.50");
  ASSERT_NE(merged, nullptr);
  EXPECT_EQ(merged->values[3], u"2.652");
  EXPECT_EQ(merged->values[9], u"33.2");
  std::u16string why;
  EXPECT_TRUE(converted::RoundTrips(bytes, &why)) << base::ToUtf8(why);
}

TEST(ConvertedRoundTrip, RoundTripsTellsWhyNot) {
  std::u16string why;
  EXPECT_FALSE(converted::RoundTrips("GTJ Ge201\r\n1000 a\r\n", &why, u"B-1"));
  EXPECT_EQ(why,
            u"変換済みファイルを読み込めません。\nヘッダーの記録 1001 がありません。\nB-1\n"
            u"(3 行目)");
}

// Reading a file record by record, a piece at a time, hands over the records that reading it
// whole gives, or refuses it for the same cause at the same line, wherever in the file the fault
// stands: in the first piece, in a later one, at a piece's end, or in a line longer than a piece.
TEST(ConvertedRecordByRecord, GivesTheRecordsAndRefusalsOfTheWholeFile) {
  test::TempDrives drives;
  std::u16string many;
  for (int i = 0; i < 6000; ++i) {
    many += u"3010 " + base::FromAscii(std::to_string(i)) + u".00 -1\r\n";
  }
  const std::u16string body = many + u"4000 1.15 1.45 10 10 10 3 4 5\r\n2002 " +
                              std::u16string(40000, u'岩') + u"\r\n5010 9.15 0 S-4 礫\r\n";
  const std::string good = platform::EncodeCp932(WithHeader(body), u"t");
  ASSERT_GT(good.size(), 2u << 16) << "more than two pieces";

  auto with = [&](size_t at, std::string_view in_place_of, std::string_view put) {
    std::string bytes = good;
    EXPECT_EQ(bytes.substr(at, in_place_of.size()), in_place_of);
    return bytes.replace(at, in_place_of.size(), put);
  };
  const size_t later = good.find("3010 5000.00");
  const size_t last = good.find("5010 ");
  const std::vector<std::pair<const char*, std::string>> files = {
      {"whole", good},
      {"empty", ""},
      {"first line", with(0, "GTJ", "GTX")},
      {"bad byte later", with(later + 5, "5", "\x85")},
      {"lone LF later", with(later + 12, " -1\r\n", " -1\n")},
      {"unknown code later", with(later, "3010", "3011")},
      {"out of order at the end", with(last, "5010", "3000")},
      {"no CR LF at the end", good.substr(0, good.size() - 2)},
      {"header only", good.substr(0, good.find("3010 0.00"))},
      {"header cut short", good.substr(0, good.find("1018 "))},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    test::WriteBytes(drives.d() / "OUT" / "B-1", bytes);
    std::optional<ReadRefusal> whole_refusal, piece_refusal;
    ConvertedFile whole;
    try {
      whole = converted::ReadConvertedFileAt(u"D:\\OUT\\B-1");
    } catch (const ReadRefusal& refusal) {
      whole_refusal = refusal;
    }
    size_t count = 0, same = 0;
    try {
      converted::ForEachRecordAt(u"D:\\OUT\\B-1", [&](const Record& record) {
        if (count < whole.records.size()) {
          const Record& expected = whole.records[count];
          if (record.code == expected.code && record.line == expected.line &&
              record.values == expected.values) {
            ++same;
          }
        }
        ++count;
      });
    } catch (const ReadRefusal& refusal) {
      piece_refusal = refusal;
    }
    ASSERT_EQ(piece_refusal.has_value(), whole_refusal.has_value());
    if (whole_refusal) {
      EXPECT_EQ(piece_refusal->reason(), whole_refusal->reason());
      EXPECT_EQ(piece_refusal->line(), whole_refusal->line());
      EXPECT_EQ(piece_refusal->Message(), whole_refusal->Message());
    } else {
      EXPECT_EQ(count, whole.records.size());
      EXPECT_EQ(same, count);
    }
  }
}

TEST(ConvertedRoundTrip, AFileIsReadFromAWindowsPathOrAHostPath) {
  test::TempDrives drives;
  const std::string bytes = platform::EncodeCp932(WithHeader(u"2002 a\r\n"), u"t");
  test::WriteBytes(drives.d() / "OUT" / "B-1", bytes);
  ConvertedFile file = converted::ReadConvertedFileAt(u"D:\\OUT\\B-1");
  EXPECT_EQ(file.file, u"D:\\OUT\\B-1");
  EXPECT_EQ(file.records.size(), 20u);
#ifndef _WIN32  // there a host path is a Windows path, and the test's drive C: hides the real one
  file = converted::ReadConvertedFileAt(base::FromUtf8((drives.d() / "OUT" / "B-1").string()));
  EXPECT_EQ(file.file, u"D:\\OUT\\B-1");
  EXPECT_EQ(converted::WriteBack(file), bytes);
#endif
  for (auto [path, kind] :
       {std::pair{u"D:\\OUT\\B-2", Kind::kNoFile}, std::pair{u"D:\\OUT", Kind::kUnreadable}}) {
    try {
      converted::ReadConvertedFileAt(path);
      ADD_FAILURE() << "read " << base::ToUtf8(path);
    } catch (const ReadRefusal& refusal) {
      EXPECT_EQ(refusal.reason(), kind);
      EXPECT_EQ(refusal.file(), path);
      EXPECT_EQ(refusal.line(), 0);
    }
  }
}

class ConvertedRoundTripOfRuns : public testing::Test, public test::SampleFolders {
 protected:
  // Replaces `from` in a file of the source or pattern folder by `to`.
  static void Edit(const fs::path& path, std::u16string_view from, std::u16string_view to) {
    std::u16string text = platform::DecodeCp932(test::ReadBytes(path), u"t");
    const size_t at = text.find(from);
    ASSERT_NE(at, std::u16string::npos) << path << ": " << base::ToUtf8(from);
    text.replace(at, from.size(), to);
    test::WriteCp932(path, text);
  }

  // Converts into D:\ and reads the converted file, checking that it writes back as it is.
  ConvertedFile ConvertAndReadBack() {
    test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\");
    const convert::RunResult result = Convert(host);
    EXPECT_EQ(result.outcome, convert::RunOutcome::kConverted) << base::ToUtf8(result.message);
    const std::string bytes = test::ReadBytes(drives_.d() / "B-12");
    ConvertedFile file = converted::ReadConvertedFileAt(u"D:\\B-12");
    EXPECT_EQ(converted::WriteBack(file), bytes);
    return file;
  }
};

TEST_F(ConvertedRoundTripOfRuns, TheBundledSample) {
  const ConvertedFile file = ConvertAndReadBack();
  EXPECT_EQ(file.records.size(), 97u);
  EXPECT_EQ(KeptLines(file), 0);
}

// Blanks inside table names and member values are written as "_", so those lines stay drawable;
// only depths that are not numbers are kept as text.
TEST_F(ConvertedRoundTripOfRuns, ASampleWithOddValuesKeepsWhatCannotBeDrawnAsText) {
  Edit(Source() / "G71.TXT", u"1.50,0,0,2.652", u"1.50,0,0,\"2 652\"");
  Edit(Source() / "G81.TXT", u"62.0,,NP", u"62.0,,\"N P\"");
  Edit(Source() / "R41.TXT", u"2,6.50,", u"2,abc,");
  Edit(Source() / "R41.TXT", u"3,9.50,", u"3,1e308,");
  Edit(Source() / "N9.TXT", u"2.10", u"\"\"");
  Edit(Pattern() / "L1.TXT", u"\"泥岩\"", u"\"泥 岩\"");
  Edit(Pattern() / "L19.TXT", u"\"強風化\"", u"\"強 風化\"");
  Edit(Pattern() / "L4.TXT", u"\"暗\"", u"\"暗 い\"");
  Edit(Pattern() / "L18.TXT", u"\"礫\"", u"\"礫 石\"");
  const ConvertedFile file = ConvertAndReadBack();

  const Record* record = Find(file, 1013, u"泥_岩");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values, (Values{u"泥_岩_12.35", u"66", u"15.00", u"90"}));
  record = Find(file, 2001, u"0.80");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values[2], u"暗_い褐");
  EXPECT_EQ(record->values[3], u"緩い");
  record = Find(file, 5000, u"1.50");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values[3], u"2_652");
  EXPECT_EQ(record->values[4], u"48.2");
  record = Find(file, 5000, u"3.15");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values[9], u"N_P");
  record = Find(file, 3070, u"12.00");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values[1], u"強_風化～中風化");
  record = Find(file, 5010, u"9.15");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->values[3], u"礫_石／混り");
  // Kept as text: depths of "abc", "1e308" and a blank.
  std::vector<std::u16string> kept;
  for (const Record& r : file.records) {
    if (!r.Drawable())
      kept.push_back(base::FromAscii(std::to_string(r.code)) + u" " +
                     std::u16string(*r.kept_text()));
  }
  EXPECT_EQ(kept, (Texts{
                      u"3000 abc.00 -1 35.5",
                      u"3000 e308.00 -1 48.0",
                      u"3010 abc.00 2.10",
                      u"3010 e308.00 3.40",
                      u"3020  08 05",
                  }));
}

// Fields of the sample's source files replaced, a few at a time, by odd values: blank, quoted
// blanks, not numbers, numbers past the columns, full-width digits.
TEST_F(ConvertedRoundTripOfRuns, SamplesWithOddFieldsWriteBackAsTheyAre) {
  constexpr std::u16string_view kOdd[] = {
      u"",           u"\"\"",  u"\" \"",  u"abc",    u"1e308",    u"\"2 652\"",
      u"\" 12.5 \"", u"-0.5",  u"０．５", u"0",      u"\"@\"",    u"123456.789",
      u"\"a　b\"",   u"1.5e3", u".5",     u"\"-1\"", u"\"1 2 3\""};
  std::vector<std::pair<fs::path, std::u16string>> files;
  for (const auto& entry : fs::directory_iterator(Source())) {
    files.emplace_back(entry.path(), platform::DecodeCp932(test::ReadBytes(entry.path()), u"t"));
  }
  std::sort(files.begin(), files.end());
  std::mt19937 random(1);
  auto pick = [&random](size_t n) { return static_cast<size_t>(random() % n); };
  int converted_runs = 0;
  long long kept_lines = 0;
  for (int run = 0; run < 30; ++run) {
    for (const auto& [path, text] : files) test::WriteCp932(path, text);
    for (int change = 0; change < 4; ++change) {
      const fs::path& path = files[pick(files.size())].first;
      std::u16string now = platform::DecodeCp932(test::ReadBytes(path), u"t");
      // A field of a line: the text between two commas or a comma and a line end.
      std::vector<size_t> ends;
      for (size_t i = 0; i < now.size(); ++i) {
        if (now[i] == u',' || now[i] == u'\r') ends.push_back(i);
      }
      if (ends.empty()) continue;
      const size_t end = ends[pick(ends.size())];
      size_t start = end;
      while (start > 0 && now[start - 1] != u',' && now[start - 1] != u'\n') --start;
      now.replace(start, end - start, kOdd[pick(std::size(kOdd))]);
      test::WriteCp932(path, now);
    }
    test::ScriptedRunHost host(u"C:\\DATA\\B-12", u"D:\\");
    if (Convert(host).outcome != convert::RunOutcome::kConverted) continue;
    ++converted_runs;
    const std::string bytes = test::ReadBytes(drives_.d() / "B-12");
    std::u16string why;
    EXPECT_TRUE(converted::RoundTrips(bytes, &why)) << "run " << run << ": " << base::ToUtf8(why);
    kept_lines += KeptLines(converted::ReadConvertedBytes(bytes, u"B-12"));
  }
  EXPECT_GT(converted_runs, 15);
  EXPECT_GT(kept_lines, 0) << "the odd values reach the converted files";
}

// The whole-conversion fuzz inputs, carved into a source and a pattern folder as
// fuzz/whole_conversion.cc carves them (entries of a name byte, a two-byte little-endian length
// and the content; byte / 36 of 5 puts a folder in the file's place, of 6 removes the file).
TEST(ConvertedRoundTrip, EveryFileConvertedFromTheFuzzInputsWritesBackAsItIs) {
  static constexpr const char* kNames[] = {
      "X1.TXT",  "X3.TXT",   "X5.TXT",     "X7.TXT",      "X11.TXT",   "X12.TXT",
      "R30.TXT", "R31.TXT",  "R32.TXT",    "R33.TXT",     "R34.TXT",   "R35.TXT",
      "R41.TXT", "N8.TXT",   "N9.TXT",     "G40.TXT",     "G71.TXT",   "G72.TXT",
      "G73.TXT", "G81.TXT",  "Titl01.txt", "Titl02.txt",  "L1.TXT",    "L4.TXT",
      "L8.TXT",  "L13.TXT",  "L14.TXT",    "L15.TXT",     "L16.TXT",   "L17.TXT",
      "L18.TXT", "L18B.TXT", "L19.TXT",    "KISHITU.TXT", "SHITU.TXT", "MAJIRI.TXT"};
  static_assert(std::size(kNames) == 36);
  constexpr size_t kSourceNames = 22;
  test::TempDrives drives;
  const fs::path source = drives.c() / "B", pattern = drives.d() / "P", out = drives.d() / "OUT";
  int inputs = 0, converted_files = 0;
  for (const char* folder : {"tests/fuzzFail/whole_conversion", "fuzz/corpus/whole_conversion"}) {
    if (!fs::is_directory(test::RepositoryPath(folder))) continue;
    for (const auto& entry : fs::directory_iterator(test::RepositoryPath(folder))) {
      SCOPED_TRACE(entry.path().string());
      ++inputs;
      for (const fs::path& f : {source, pattern, out}) {
        fs::remove_all(f);
        fs::create_directories(f);
      }
      test::CopyTree("samples/DOZORA", pattern);
      const std::string data = test::ReadBytes(entry.path());
      for (size_t i = 0; i + 3 <= data.size();) {
        const auto name_byte = static_cast<unsigned char>(data[i]);
        const size_t length = std::min<size_t>(
            static_cast<unsigned char>(data[i + 1]) | static_cast<unsigned char>(data[i + 2]) << 8,
            data.size() - i - 3);
        const std::string_view content(data.data() + i + 3, length);
        i += 3 + length;
        const size_t index = name_byte % std::size(kNames);
        const fs::path file = (index < kSourceNames ? source : pattern) / kNames[index];
        fs::remove_all(file);
        if (name_byte / std::size(kNames) == 5) {
          fs::create_directory(file);
        } else if (name_byte / std::size(kNames) != 6) {
          test::WriteBytes(file, content);
        }
      }
      test::ScriptedRunHost host(u"C:\\B", u"D:\\OUT");
      source::PatternTables tables(u"D:\\P\\");
      if (convert::RunConversion(host, tables, nullptr).outcome !=
          convert::RunOutcome::kConverted) {
        continue;
      }
      ++converted_files;
      std::u16string why;
      EXPECT_TRUE(converted::RoundTrips(test::ReadBytes(out / "B"), &why)) << base::ToUtf8(why);
    }
  }
  EXPECT_GT(inputs, 0);
  EXPECT_GT(converted_files, 0);
}

}  // namespace
}  // namespace tjvx
