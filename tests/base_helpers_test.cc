// The small helpers of base/ that every layer shares: ASCII case, the pieces of a Windows-form
// path, decimal digits, and the message box's styles.
#include <gtest/gtest.h>

#include "base/ascii.h"
#include "base/message_host.h"
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

TEST(MessageStyle, KeepsTheClassicValuesOfItsButtonsAndIcon) {
  // The values hosts have always been given.
  EXPECT_EQ(kMsgOk, 0);
  EXPECT_EQ(kMsgYesNoQuestion, 36);
  EXPECT_EQ(kMsgExclamation, 48);
  EXPECT_EQ(kMsgInformation, 64);
  EXPECT_EQ(MessageStyle::FromValue(16), MessageStyle(MessageButtons::kOk, MessageIcon::kStop));
  EXPECT_EQ(MessageStyle::FromValue(4), MessageStyle(MessageButtons::kYesNo, MessageIcon::kNone));
  // Every style reads back from its value.
  for (MessageButtons buttons : {MessageButtons::kOk, MessageButtons::kYesNo}) {
    for (MessageIcon icon : {MessageIcon::kNone, MessageIcon::kStop, MessageIcon::kQuestion,
                             MessageIcon::kExclamation, MessageIcon::kInformation}) {
      const MessageStyle style(buttons, icon);
      EXPECT_EQ(MessageStyle::FromValue(style.value()), style) << style.value();
    }
  }
  // Other buttons (1: OK and Cancel) are read as OK, other icons (128) as none.
  EXPECT_EQ(MessageStyle::FromValue(1 + 48),
            MessageStyle(MessageButtons::kOk, MessageIcon::kExclamation));
  EXPECT_EQ(MessageStyle::FromValue(4 + 128),
            MessageStyle(MessageButtons::kYesNo, MessageIcon::kNone));
}

TEST(MessageStyle, AnswersOkOrYesOrNo) {
  const MessageStyle ok = MessageStyle::FromValue(kMsgExclamation);
  const MessageStyle yes_no = MessageStyle::FromValue(kMsgYesNoQuestion);
  EXPECT_EQ(ok.Answer(false), kAnswerOk);
  EXPECT_EQ(ok.Answer(true), kAnswerOk);
  EXPECT_EQ(yes_no.Answer(true), kAnswerYes);
  EXPECT_EQ(yes_no.Answer(false), kAnswerNo);
}

}  // namespace
}  // namespace tjvx::base
