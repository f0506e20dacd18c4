#include <gtest/gtest.h>

#include <optional>
#include <string>

#ifndef _WIN32
#include <iconv.h>
#endif

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

#ifndef _WIN32
// The system's converter asked one code at a time: what the tables must hold, however they were
// filled. Nothing when it refuses the code or does not give exactly one character for it.
std::optional<std::string> AskOneByOne(const char* to, const char* from, const std::string& in) {
  iconv_t cd = iconv_open(to, from);
  char* src = const_cast<char*>(in.data());
  size_t left = in.size();
  char out[8];
  char* dst = out;
  size_t room = sizeof out;
  const size_t r = iconv(cd, &src, &left, &dst, &room);
  iconv_close(cd);
  if (r != 0 || left != 0) return std::nullopt;
  return std::string(out, static_cast<size_t>(dst - out));
}

std::optional<std::u16string> Decoded(const std::string& bytes) {
  try {
    return DecodeCp932(bytes, u"f");
  } catch (const base::Error&) {
    return std::nullopt;
  }
}

TEST(Cp932, EveryCodeReadsAndWritesAsTheSystemConverterAnswersItAlone) {
  int pairs = 0;
  for (int lead = 0; lead < 256; ++lead) {
    for (int trail = -1; trail < 256; ++trail) {
      // Every single byte, and every two bytes starting with a lead byte.
      std::string bytes(1, static_cast<char>(lead));
      const bool is_lead = !AskOneByOne("UTF-16LE", "CP932", bytes) &&
                           Decoded(bytes) == std::nullopt && lead >= 0x81;
      if (trail >= 0) {
        if (!is_lead || trail < 0x40 || trail > 0xFC) continue;
        bytes += static_cast<char>(trail);
      }
      const std::optional<std::string> expected = AskOneByOne("UTF-16LE", "CP932", bytes);
      const std::optional<std::u16string> actual = Decoded(bytes);
      if (trail < 0 && is_lead) continue;  // a lead byte alone is cut short
      const bool one_character = expected && expected->size() == 2;
      ASSERT_EQ(actual.has_value(), one_character) << lead << " " << trail;
      if (!one_character) continue;
      ++pairs;
      const char16_t c = static_cast<char16_t>(static_cast<unsigned char>((*expected)[0]) |
                                               static_cast<unsigned char>((*expected)[1]) << 8);
      ASSERT_EQ(*actual, std::u16string(1, c)) << lead << " " << trail;
      // The code written for the character is the one the converter gives for it alone.
      const std::optional<std::string> code = AskOneByOne("CP932", "UTF-16LE", *expected);
      if (code) {
        ASSERT_EQ(EncodeCp932(*actual, u"f"), *code) << lead << " " << trail;
      } else {
        ASSERT_THROW(EncodeCp932(*actual, u"f"), base::Error) << lead << " " << trail;
      }
    }
  }
  EXPECT_GT(pairs, 7000);  // the single bytes and the two-byte codes of every row
}
#endif

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
