#include "text/field_formats.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "source/source_files.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

std::u16string Formatted(std::u16string text, int integer_width, int decimal_width) {
  text::FormatFixedPoint(text, integer_width, decimal_width);
  return text;
}

TEST(FormatFixedPoint, LaysOutIntegerAndFractionColumns) {
  EXPECT_EQ(Formatted(u"12.345", 5, 2), u"   12.34");
  EXPECT_EQ(Formatted(u"12.345", 5, 3), u"   12.340");
  EXPECT_EQ(Formatted(u"7", 3, 1), u"  7.0");
  EXPECT_EQ(Formatted(u".5", 2, 2), u"  .50");
  EXPECT_EQ(Formatted(u" 1 .5", 4, 2), u"   1.50");
}

TEST(FormatFixedPoint, CutsLongIntegerPartsFromTheLeft) {
  EXPECT_EQ(Formatted(u"123456", 4, 0), u"3456");
  EXPECT_EQ(Formatted(u"-12.5", 4, 2), u" -12.50");
}

TEST(FormatFixedPoint, LeavesBlankTextAlone) {
  EXPECT_EQ(Formatted(u"   ", 4, 2), u"   ");
  EXPECT_EQ(Formatted(u"", 4, 2), u"");
}

TEST(DepthText, IsTheFixedPointFormWithoutLeadingBlanks) {
  EXPECT_EQ(text::DepthText(u"1.5"), u"1.50");
  EXPECT_EQ(text::DepthText(u"12.345"), u"12.34");
  EXPECT_EQ(text::DepthText(u"3"), u"3.00");
  EXPECT_EQ(text::DepthText(u""), u"");
}

TEST(NormaliseField, TextKindReplacesEveryBlankAndMarksEmptyText) {
  EXPECT_EQ(text::NormaliseField(text::kText, u"A B　C"), u"A_B_C");
  EXPECT_EQ(text::NormaliseField(text::kText, u"  "), u"@");
  EXPECT_EQ(text::NormaliseField(text::kText, u""), u"@");
  EXPECT_EQ(text::NormaliseField(text::kText, u" x "), u"_x_");
}

TEST(NormaliseField, NumberKindsDefaultEmptyZeroAndNonNumbers) {
  for (std::u16string_view value : {u"abc", u"0", u"", u"0.00", u"  "}) {
    EXPECT_EQ(text::NormaliseField(text::kNumber, value), u"-1");
    EXPECT_EQ(text::NormaliseField(text::kBottomDepth, value), u"9999");
  }
  EXPECT_EQ(text::NormaliseField(text::kNumber, u"3.5"), u"3.5");
  EXPECT_EQ(text::NormaliseField(text::kNumber, u"08"), u"08");
  EXPECT_EQ(text::NormaliseField(9, u" a b"), u" a b");
}

class OpenSourceFileTest : public testing::Test {
 protected:
  tjvx::test::TempDrives drives_;
};

TEST_F(OpenSourceFileTest, MissingAndEmptyFilesAreAlikeAndNothingIsCreated) {
  EXPECT_FALSE(source::OpenSourceFile(u"C:\\B-12\\X1.TXT").has_value());
  EXPECT_FALSE(std::filesystem::exists(drives_.c() / "B-12"));
  tjvx::test::WriteBytes(drives_.c() / "B-12" / "X1.TXT", "");
  EXPECT_FALSE(source::OpenSourceFile(u"C:\\B-12\\X1.TXT").has_value());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(drives_.c() / "B-12"), {}), 1);
}

TEST_F(OpenSourceFileTest, FindsFilesWhateverTheirLetterCase) {
  tjvx::test::WriteCp932(drives_.c() / "b-12" / "x1.txt", u"1,2.5,ｻｲﾄ,\"現場\"\r\n");
  std::optional<source::FieldReader> reader = source::OpenSourceFile(u"C:\\B-12\\X1.TXT");
  ASSERT_TRUE(reader.has_value());
  EXPECT_EQ(reader->ReadRecord(4),
            (std::vector<std::u16string_view>{u"1", u"2.5", u"ｻｲﾄ", u"現場"}));
}

TEST_F(OpenSourceFileTest, AFolderInTheFilesPlaceIsAnError) {
  std::filesystem::create_directories(drives_.c() / "B-12" / "X1.TXT");
  try {
    source::OpenSourceFile(u"C:\\B-12\\X1.TXT");
    FAIL() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kNotAFile);
  }
}

}  // namespace
}  // namespace tjvx
