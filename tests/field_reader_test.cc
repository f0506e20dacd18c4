#include "source/field_reader.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace tjvx {
namespace {

using Fields = std::vector<std::u16string_view>;

std::vector<std::u16string> AllFields(std::u16string text) {
  FieldReader reader(std::move(text), u"t");
  std::vector<std::u16string> fields;
  while (!reader.AtEnd()) fields.emplace_back(reader.ReadField());
  return fields;
}

TEST(FieldReader, QuotedFieldsKeepCommasAndBlanksAndDropWhatFollowsTheQuote) {
  FieldReader reader(u"  \"a, b \" junk ,  c d  ,\"x\"\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"a, b ", u"c d", u"x"}));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldReader, QuoteWithoutItsEndStopsAtTheLineEnd) {
  FieldReader reader(u"1,\"open\r\n2\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"open", u"2"}));
}

TEST(FieldReader, ATrailingCommaPromisesOneMoreEmptyField) {
  FieldReader reader(u"1,2,\r\n3,4,\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"2", u""}));
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"3", u"4", u""}));
  EXPECT_TRUE(reader.AtEnd());
  FieldReader quoted(u"\"a\",\r\nb\r\n", u"t");
  EXPECT_EQ(quoted.ReadRecord(3), (Fields{u"a", u"", u"b"}));
}

TEST(FieldReader, RecordsSpanLinesWhateverTheLineEnds) {
  EXPECT_EQ(AllFields(u"1,2\r\n3\n4\r5"),
            (std::vector<std::u16string>{u"1", u"2", u"3", u"4", u"5"}));
  FieldReader reader(u"1,2,\r\n\r\n3", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"2", u""}));
  EXPECT_EQ(reader.ReadRecord(1), (Fields{u"3"}));
}

TEST(FieldReader, BlankLinesBetweenRecordsAreSkipped) {
  FieldReader reader(u"1,a\r\n  \t \r\n\r\n2,b\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"1", u"a"}));
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"2", u"b"}));
  EXPECT_EQ(reader.line(), 5);
}

TEST(FieldReader, CtrlZAndTrailingBlankLinesEndTheFile) {
  FieldReader reader(
      u"1,a\r\n\r\n   \r\n\x1A"
      u"2,b\r\n",
      u"t");
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"1", u"a"}));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldReader, ARecordCutShortNamesTheFileAndTheRecordsLine) {
  FieldReader reader(u"1,a,b\r\n\r\n2,c\r\n", u"D:\\B\\X1.TXT");
  reader.ReadRecord(3);
  try {
    reader.ReadRecord(3);
    FAIL() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.kind(), Error::Kind::kRecordCutShort);
    EXPECT_EQ(error.file(), u"D:\\B\\X1.TXT");
    EXPECT_EQ(error.line(), 3);
  }
}

TEST(FieldReader, SkipLineDropsTheRestOfTheLine) {
  FieldReader reader(u"[x],y\r\n\"C:\\P,Q\\\",1\r\n", u"t");
  reader.SkipLine();
  EXPECT_EQ(reader.ReadField(), u"C:\\P,Q\\");
}

TEST(FieldReader, FieldsSurviveMovingTheReader) {
  FieldReader reader(u"ab,cd", u"t");
  std::u16string_view first = reader.ReadField();
  FieldReader moved = std::move(reader);
  EXPECT_EQ(first, u"ab");
  EXPECT_EQ(moved.ReadField(), u"cd");
}

}  // namespace
}  // namespace tjvx
