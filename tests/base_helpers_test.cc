// The small helpers of base/ that every layer shares: ASCII case, the pieces of a Windows-form
// path, and decimal digits.
#include <gtest/gtest.h>

#include "base/ascii.h"
#include "base/utf.h"
#include "base/windows_path.h"

namespace tjvx::base {
namespace {

TEST(AsciiCase, TurnsOnlyAsciiLettersToUpperCase) {
  EXPECT_EQ(AsciiUpper(u'a'), u'A');
  EXPECT_EQ(AsciiUpper(u'z'), u'Z');
  EXPECT_EQ(AsciiUpper(u'Z'), u'Z');
  EXPECT_EQ(AsciiUpper(u'{'), u'{');    // one past z
  EXPECT_EQ(AsciiUpper(u'`'), u'`');    // one before a
  EXPECT_EQ(AsciiUpper(u'ａ'), u'ａ');  // full-width letters keep their case
  EXPECT_EQ(AsciiUpper(L'q'), L'Q');
  EXPECT_TRUE(IsAsciiLetter(u'A') && IsAsciiLetter(u'z'));
  EXPECT_FALSE(IsAsciiLetter(u'@') || IsAsciiLetter(u'[') || IsAsciiLetter(u'`') ||
               IsAsciiLetter(u'{') || IsAsciiLetter(u'Ａ') || IsAsciiLetter(u'1'));
  EXPECT_TRUE(EqualsIgnoringAsciiCase(u"Kishitu.txt", u"KISHITU.TXT"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"ｋ.TXT", u"Ｋ.TXT"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase(u"X1.TXT", u"X1.TXT "));
}

TEST(WindowsPath, KnowsADriveByItsLetterAndColon) {
  EXPECT_TRUE(StartsWithDrive(u"C:"));
  EXPECT_TRUE(StartsWithDrive(u"c:\\DATA"));
  EXPECT_TRUE(StartsWithDrive(u"C:B-12"));
  EXPECT_TRUE(StartsWithDrive(std::string_view("z:/srv")));
  EXPECT_FALSE(StartsWithDrive(u"C"));
  EXPECT_FALSE(StartsWithDrive(u"1:\\"));
  EXPECT_FALSE(StartsWithDrive(u"Ｃ:\\"));
  EXPECT_FALSE(StartsWithDrive(u"\\\\server\\share"));
  EXPECT_FALSE(StartsWithDrive(std::string_view("/srv/data")));
}

TEST(WindowsPath, LastNameIsWhatFollowsTheLastBackslash) {
  EXPECT_EQ(LastName(u"C:\\DATA\\B-12"), u"B-12");
  EXPECT_EQ(LastName(u"C:\\DATA\\"), u"");
  EXPECT_EQ(LastName(u"B-12"), u"B-12");
  EXPECT_EQ(LastName(u"C:"), u"C:");
  EXPECT_EQ(LastName(u""), u"");
}

TEST(WindowsPath, TrailingBackslashesGoButNotBelowWhatIsKept) {
  EXPECT_EQ(WithoutTrailingBackslashes(u"C:\\DATA\\\\"), u"C:\\DATA");
  EXPECT_EQ(WithoutTrailingBackslashes(u"D:\\"), u"D:");
  EXPECT_EQ(WithoutTrailingBackslashes(u"\\\\"), u"");
  EXPECT_EQ(WithoutTrailingBackslashes(u"C:\\\\", 3), u"C:\\");
  EXPECT_EQ(WithoutTrailingBackslashes(u"C:\\B-12\\", 3), u"C:\\B-12");
  EXPECT_EQ(WithoutTrailingBackslashes(u"\\\\", 1), u"\\");
  EXPECT_EQ(WithoutTrailingBackslashes(u"C:\\DATA"), u"C:\\DATA");
}

TEST(Digits, WritesTheDecimalDigitsWithTheSign) {
  EXPECT_EQ(Digits(0), u"0");
  EXPECT_EQ(Digits(3030), u"3030");
  EXPECT_EQ(Digits(-12), u"-12");
  EXPECT_EQ(Digits(9223372036854775807LL), u"9223372036854775807");
}

}  // namespace
}  // namespace tjvx::base
