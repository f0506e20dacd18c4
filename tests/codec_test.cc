#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/cp932.h"

namespace tjvx::platform {
namespace {

TEST(Cp932, MapsTheThreeWindowsCharactersBothWays) {
  const std::string bytes = "\x81\x60\x81\x8F\x81\x5F";
  EXPECT_EQ(DecodeCp932(bytes, u"f"), u"\uFF5E\uFFE5\uFF3C");
  EXPECT_EQ(EncodeCp932(u"～￥＼", u"f"), bytes);
}

TEST(Cp932, RoundTripsUserDefinedAndExtensionCharacters) {
  // A user-defined character, a NEC circled digit, an IBM kanji, half-width kana and ASCII.
  const std::string bytes = "\xF0\x40\x87\x40\xFB\xFC\xB6\xDE\\~A";
  std::u16string text = DecodeCp932(bytes, u"f");
  EXPECT_EQ(text, u"\uE000①髙ｶﾞ\\~A");
  EXPECT_EQ(EncodeCp932(text, u"f"), bytes);
}

TEST(Cp932, CountsBytesPerCharacter) {
  EXPECT_EQ(Cp932ByteCount(u'A'), 1);
  EXPECT_EQ(Cp932ByteCount(u'ｼ'), 1);
  EXPECT_EQ(Cp932ByteCount(u'シ'), 2);
  EXPECT_EQ(Cp932ByteCount(u'\u3000'), 2);
}

TEST(Cp932, RefusesABadByteNamingFileLineAndOffset) {
  // 0x81 0x20 is a lead byte with a trail byte out of range, on line 3 at byte offset 9.
  const std::string bytes = "ab\r\ncd\nx\x81 y";
  try {
    DecodeCp932(bytes, u"C:\\DATA\\X1.TXT");
    FAIL() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kBadCharacter);
    EXPECT_EQ(error.file(), u"C:\\DATA\\X1.TXT");
    EXPECT_EQ(error.line(), 3);
    EXPECT_EQ(error.offset(), 8);
    EXPECT_EQ(error.Message(),
              u"ファイルに Shift-JIS でないバイトがある為に変換できません。\n"
              u"C:\\DATA\\X1.TXT\n(3 行目、バイト位置 8)");
  }
}

TEST(Cp932, RefusesALeadByteCutOffAtTheEnd) {
  try {
    DecodeCp932("ok\r\r\x82", u"f");
    FAIL() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.line(), 3);  // a lone CR ends a line too
    EXPECT_EQ(error.offset(), 4);
  }
}

TEST(Cp932, RefusesACharacterItCannotWriteAndLeavesTheBufferAsItWas) {
  EXPECT_THROW(EncodeCp932(u"\u00E9", u"f"), base::Error);
  std::string out = "ab";
  EXPECT_THROW(AppendCp932(u"あい\u00E9う", u"f", out), base::Error);
  EXPECT_EQ(out, "ab");
}

TEST(Cp932, TellsWithoutEncodingWhetherItCanWriteAText) {
  // The check asks this of every line, and encodes only a line it refuses, to fail as a
  // conversion fails: the two must agree.
  const std::u16string texts[] = {u"",
                                  u"A\\~",
                                  u"あい",
                                  u"ｶﾞ",
                                  u"\uE000①髙",
                                  u"～￥＼",
                                  u"あい\u00E9う",
                                  u"\U0001F600",
                                  std::u16string(1, char16_t{0xD800})};
  for (const std::u16string& text : texts) {
    bool writes = true;
    try {
      EncodeCp932(text, u"f");
    } catch (const base::Error&) {
      writes = false;
    }
    EXPECT_EQ(Cp932CanWrite(text), writes) << testing::PrintToString(text);
  }
  EXPECT_FALSE(Cp932CanWrite(u"あい\u00E9う"));
}

}  // namespace
}  // namespace tjvx::platform
