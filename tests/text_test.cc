#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/utf.h"
#include "text/numbers.h"
#include "text/widths.h"

namespace tjvx {
namespace {

TEST(NumericValue, ReadsEveryNumericForm) {
  EXPECT_EQ(text::NumericValue(u"12"), 12.0f);
  EXPECT_EQ(text::NumericValue(u"  -3.25 "), -3.25f);
  EXPECT_EQ(text::NumericValue(u"+7."), 7.0f);
  EXPECT_EQ(text::NumericValue(u".5"), 0.5f);
  EXPECT_EQ(text::NumericValue(u"1.5E2"), 150.0f);
  EXPECT_EQ(text::NumericValue(u"25e-1"), 2.5f);
  EXPECT_EQ(text::NumericValue(u"05"), text::NumericValue(u"5"));
  EXPECT_EQ(text::NumericValue(u"1.5"), text::NumericValue(u"1.50"));
}

TEST(NumericValue, GivesTheSingleOfTheCorrectlyRoundedDoubleWhateverItsForm) {
  // Plain decimals are read digit by digit, others through the general reading: both must give
  // the float of the double the C library reads, also at 15 and 16 digits and with a sign, blanks
  // or an exponent around the same digits.
  for (const char* digits : {"0.1", "12.35", "05", "99999", "123456789012345", "1234567890123456",
                             "9007199254740993", "0.000000000000001", "1.00000000000000001",
                             "3.4028235e38", "7.006492e-46", "0.30000000000000004"}) {
    for (const std::string& form : {std::string(digits), " " + std::string(digits) + "  ",
                                    "-" + std::string(digits), "+" + std::string(digits)}) {
      const float expected = static_cast<float>(std::strtod(form.c_str(), nullptr));
      EXPECT_EQ(text::NumericValue(base::FromAscii(form)), expected) << form;
    }
  }
}

TEST(NumericValue, RoundsToSinglePrecision) {
  EXPECT_EQ(text::NumericValue(u"0.1"), 0.1f);
  EXPECT_NE(static_cast<double>(text::NumericValue(u"0.1")), 0.1);
}

TEST(NumericValue, AnythingElseIsZero) {
  for (std::u16string_view text : {u"", u"   ", u"abc", u"1,5", u"1.2.3", u".", u"-", u"1e", u"1e+",
                                   u"e5", u"１２", u"1 2", u"\t1", u"1e39", u"-1e39"}) {
    EXPECT_EQ(text::NumericValue(text), 0.0f) << std::string(text.begin(), text.end());
  }
}

TEST(IsNonZeroNumber, SaysWhatTheValueSaysForEveryForm) {
  // Plain decimals are answered from their digits, the rest through NumericValue: both must agree
  // with the value at the edges of the digit rule (15 and 16 digits, a value too small or too
  // large for single precision, a point without digits) and for what is no plain decimal.
  const std::u16string tiny = u"0." + std::u16string(60, u'0') + u"1";
  const std::u16string huge = u"9" + std::u16string(40, u'0');
  std::vector<std::u16string_view> forms = {u"0",  u"00", u"0.",  u".0", u"0.00", u"1",
                                            u"01", u"10", u"0.5", u".5", u"5.",   u"12.35"};
  // At the edges of the 15 digits read exactly.
  for (std::u16string_view text :
       {u"000000000000001", u"0.00000000000001", u"0.000000000000001", u"0.0000000000000000001",
        u"999999999999999", u"9999999999999999"}) {
    forms.push_back(text);
  }
  forms.insert(forms.end(), {u"",    u".",  u"..",  u"1.2.3", u"-0",  u"-1",  u"+0",    u"+2",
                             u"-.0", u" 1", u"1 ",  u" 0 ",   u"1e5", u"0e5", u"1e-50", u"1E+39",
                             u"１",  u"０", u"1,5", u"abc",   u"\t1", u"1x"});
  forms.push_back(tiny);
  forms.push_back(huge);
  for (std::u16string_view text : forms) {
    EXPECT_EQ(text::IsNonZeroNumber(text), text::NumericValue(text) != 0.0f) << base::ToUtf8(text);
  }
}

TEST(ToFullWidth, WidensDigitsCapitalsAndKana) {
  EXPECT_EQ(text::ToFullWidth(u"ｼﾙﾄ"), u"シルト");
  EXPECT_EQ(text::ToFullWidth(u"N10A"), u"Ｎ１０Ａ");
  // Both ends of the widened range.
  EXPECT_EQ(text::ToFullWidth(u"0Z"), u"０Ｚ");
  EXPECT_EQ(text::ToFullWidth(u"abc xyz"), u"abc xyz");
  EXPECT_EQ(text::ToFullWidth(u"｢ｱ｣､｡･ｰ"), u"「ア」、。・ー");
}

TEST(HostNames, ComeBackByteForByteWhetherOrNotTheyAreUtf8) {
  // CP932 bytes of あ and い, a stray trail byte, an overlong form, an encoded surrogate, a
  // sequence cut short, and well-formed text around them.
  const std::string names[] = {"X\x82\xa0",       "X\x82\xa2",       "\x80",
                               "\xc0\xaf",        "\xed\xb2\x82",    "\xe3\x81",
                               "B-12 ボーリング", "\xf0\x9f\x98\x80"};
  std::vector<std::u16string> decoded;
  for (const std::string& name : names) {
    decoded.push_back(base::FromUtf8(name));
    EXPECT_EQ(base::ToUtf8(decoded.back()), name);
  }
  // Two names that differ stay two names.
  EXPECT_NE(decoded[0], decoded[1]);
  EXPECT_EQ(decoded[6], u"B-12 ボーリング");
  EXPECT_EQ(decoded[7], u"\U0001F600");
}

TEST(ToFullWidth, CombinesVoicedMarksWhereTheKanaExists) {
  EXPECT_EQ(text::ToFullWidth(u"ｶﾞﾊﾟﾎﾞｳﾞ"), u"ガパボヴ");
  // No combined form: the mark is widened on its own.
  EXPECT_EQ(text::ToFullWidth(u"ｱﾞﾅﾟ"), u"ア゛ナ゜");
  EXPECT_EQ(text::ToFullWidth(u"ﾞ"), u"゛");
}

TEST(ByteMid, TakesBytesOfTheWholeTextsEncodingWhereverThePieceEnds) {
  // A, あ (two bytes), ｱ (one), a character CP932 has not (each of its halves a "?"), B.
  const std::u16string text = u"Aあｱ\U0001F600B";
  EXPECT_EQ(text::ByteMid(text, 1, 1), u"A");
  EXPECT_EQ(text::ByteMid(text, 2, 2), u"あ");
  EXPECT_EQ(text::ByteMid(text, 2, 1), u"\uFFFD");  // half of あ
  EXPECT_EQ(text::ByteMid(text, 4, 1), u"ｱ");
  EXPECT_EQ(text::ByteMid(text, 5, 2), u"??");
  EXPECT_EQ(text::ByteMid(text, 6, 5), u"?B");
  EXPECT_EQ(text::ByteMid(text, 7, 1), u"B");
  EXPECT_EQ(text::ByteMid(text, 8, 1), u"");
  EXPECT_EQ(text::ByteMid(text, 0, 1), u"");
  EXPECT_EQ(text::ByteMid(text, 1, 0), u"");
}

TEST(DisplayWidth, CountsCp932Bytes) {
  EXPECT_EQ(text::DisplayWidth(u"ab"), 2);
  EXPECT_EQ(text::DisplayWidth(u"ｼﾙﾄ"), 3);
  EXPECT_EQ(text::DisplayWidth(u"シルト　"), 8);
}

TEST(SingleToText, WritesSevenSignificantDigitsWithTheRuntimesBlanks) {
  EXPECT_EQ(text::SingleToText(0.3f), u" .3");
  EXPECT_EQ(text::SingleToText(-0.5f), u"-.5");
  EXPECT_EQ(text::SingleToText(12.0f), u" 12");
  EXPECT_EQ(text::SingleToText(0.0f), u" 0");
  EXPECT_EQ(text::SingleToText(6.3399997f), u" 6.34");
  EXPECT_EQ(text::SingleToText(1.0f / 3.0f), u" .3333333");
  // Beyond seven digits or below 1E-4 the exponent form, with a capital E.
  EXPECT_EQ(text::SingleToText(1.5e-5f), u" 1.5E-05");
  EXPECT_EQ(text::SingleToText(-12345678.0f), u"-1.234568E+07");
  EXPECT_EQ(text::SingleToPlainText(16.0f), u"16");
}

TEST(SingleToText, IsWhatPrintfWritesUnderSevenDigitsForEveryKindOfFloat) {
  // The fixed form is made from the digits directly, the exponent form by the library: both must
  // give what "%.7G" gives (without the zero before the point), at the edges of the fixed form,
  // where rounding carries into a new digit, at exact halves and over the whole range.
  std::vector<float> values = {1e-4f,      9.99999e-5f, 9.999999e-5f, 1.0000001e-4f, 0.1f,
                               0.05f,      9999999.0f,  9999998.5f,   999999.94f,    999999.97f,
                               1234567.5f, 1234568.5f,  8388607.5f,   0.99999997f,   9.9999996f,
                               1.5e-5f,    123.456f,    -0.00123f,    -999999.94f,   3.4e38f};
  for (int k = 1; k < 300000; k += 7) values.push_back(static_cast<float>(k) / 100.0f);
  uint32_t bits = 12345;
  for (int k = 0; k < 400000; ++k) {
    bits = bits * 1664525u + 1013904223u;
    // Every other one with its power of two between 2^-14 and 2^24, around the fixed form.
    const uint32_t exponent = 113 + (bits >> 8) % 38;
    const uint32_t pattern = k % 2 == 0 ? bits : (bits & 0x807FFFFFu) | exponent << 23;
    float value;
    std::memcpy(&value, &pattern, sizeof value);
    if (std::isfinite(value)) values.push_back(value);
  }
  int wrong = 0;
  for (float value : values) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.7G", static_cast<double>(value));
    std::string expected = printed;
    if (expected.starts_with("0.")) expected.erase(0, 1);
    if (expected.starts_with("-0.")) expected.erase(1, 1);
    const std::string written = base::ToUtf8(text::SingleToPlainText(value));
    if (written != expected && ++wrong <= 10) {
      ADD_FAILURE() << printed << " written as " << written;
    }
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace
}  // namespace tjvx
