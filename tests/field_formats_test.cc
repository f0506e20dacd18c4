#include "text/field_formats.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "base/error.h"
#include "base/utf.h"
#include "source/code_table.h"
#include "source/source_files.h"
#include "tests/test_support.h"
#include "text/numbers.h"

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

TEST(DepthText, OfEveryShortDecimalIsTheFixedPointFormWithoutLeadingBlanksAndLosesNothing) {
  // Depths of up to five integer digits and three decimals, with and without a point: the
  // depth form must be the fixed-point form without its leading blanks, and tell exactly what it
  // lost.
  const std::u16string_view digits = u"0907";
  for (size_t int_digits = 0; int_digits <= 5; ++int_digits) {
    for (int decimals = -1; decimals <= 3; ++decimals) {  // -1: no point
      std::u16string value;
      for (size_t k = 0; k < int_digits; ++k) value += digits[k % digits.size()];
      if (decimals >= 0) value += u'.';
      for (int k = 0; k < decimals; ++k) value += digits[(k + 1) % digits.size()];
      std::u16string line = u"x";
      const text::ValueChange change = text::AppendDepthText(line, value);
      const std::u16string fixed = Formatted(value, 4, 2);
      const std::u16string_view expected =
          std::u16string_view(fixed).substr(std::min(fixed.find_first_not_of(u' '), fixed.size()));
      EXPECT_EQ(line, u"x" + std::u16string(expected)) << base::ToUtf8(value);
      const bool too_wide = int_digits > 4;  // even a cut "0" is told
      const bool cut = decimals > 2 && value.back() != u'0';
      EXPECT_EQ(change != text::ValueChange::kNone, value.empty() ? false : too_wide || cut)
          << base::ToUtf8(value);
    }
  }
}

TEST(DepthText, OfASumIsTheSameWithOrWithoutTheBlankBeforeIt) {
  // An end depth is laid out from the sum as the log program writes it, which puts a blank before
  // a number that is not negative: the depth form must pass over that blank, changes told alike.
  for (float sum : {0.3f, 1.8f, 6.3399997f, 12.345678f, 1234.5f, 12345.67f, 99999.99f, 1e-5f,
                    1.234568e9f, 3e38f, -0.5f, -12.25f}) {
    const std::u16string plain = text::SingleToPlainText(sum);
    std::u16string with_blank, without_blank;
    const text::ValueChange a = text::AppendMadeDepthText(with_blank, text::SingleToText(sum));
    const text::ValueChange b = text::AppendMadeDepthText(without_blank, plain);
    EXPECT_EQ(with_blank, without_blank) << base::ToUtf8(plain);
    EXPECT_EQ(a, b) << base::ToUtf8(plain);
  }
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

TEST_F(OpenSourceFileTest, AFixedFileIsOpenedInItsFolderByItsName) {
  tjvx::test::WriteCp932(drives_.c() / "B-12" / "titl02.txt", u"\"表題\"\r\n");
  EXPECT_EQ(source::SourcePath(u"C:\\B-12", source::FileId::kTitle2), u"C:\\B-12\\Titl02.txt");
  std::optional<source::FieldReader> reader =
      source::OpenSourceFile(u"C:\\B-12", source::FileId::kTitle2);
  ASSERT_TRUE(reader.has_value());
  EXPECT_EQ(reader->ReadField(), u"表題");
  EXPECT_FALSE(source::OpenSourceFile(u"C:\\B-12", source::FileId::kX1).has_value());
}

// Each file of the two folders has one name, and a name finds its file in its own folder only,
// in any letter case.
TEST(FileCatalogue, EachFileHasOneNameFoundInItsOwnFolderInAnyLetterCase) {
  std::set<std::u16string_view> names;
  const auto source_files = source::SourceFolderFiles();
  const auto pattern_files = source::PatternFolderFiles();
  EXPECT_EQ(source_files.size() + pattern_files.size(), source::kFileCount);
  for (const auto& [folder, other, in_pattern] :
       {std::tuple{source_files, pattern_files, false}, {pattern_files, source_files, true}}) {
    for (source::FileId file : folder) {
      const std::u16string_view name = source::FileName(file);
      EXPECT_TRUE(names.insert(name).second) << base::ToUtf8(name);
      EXPECT_EQ(source::InPatternFolder(file), in_pattern) << base::ToUtf8(name);
      std::u16string lower(name);
      for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? c + 32 : c;
      EXPECT_EQ(source::FileNamed(folder, lower), file) << base::ToUtf8(name);
      EXPECT_EQ(source::FileNamed(other, name), std::nullopt) << base::ToUtf8(name);
    }
  }
  EXPECT_EQ(source::FileNamed(source_files, u"X1.TXT "), std::nullopt);
  EXPECT_EQ(source::FileNamed(source_files, u"X1"), std::nullopt);
  EXPECT_EQ(source::TableFileName(source::TableId::kL18B), u"L18B.TXT");
}

}  // namespace
}  // namespace tjvx
