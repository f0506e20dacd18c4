// Fuzz target: the text routines every field goes through.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "source/depth_list.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"
#include "text/widths.h"

namespace tjvx::fuzz {
namespace {

// The input's text: bytes as UTF-16LE code units when the control byte's top bit is set, else one
// character a byte, 0xA1..0xDF taken as the half-width katakana CP932 gives them.
std::u16string TextOf(uint8_t control, const uint8_t* data, size_t size) {
  std::u16string text;
  if (control & 0x80) {
    for (size_t i = 0; i + 1 < size; i += 2)
      text += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  } else {
    for (size_t i = 0; i < size; ++i) {
      const uint8_t b = data[i];
      text += (b >= 0xA1 && b <= 0xDF) ? static_cast<char16_t>(0xFF61 + b - 0xA1)
                                       : static_cast<char16_t>(b);
    }
  }
  return text;
}

bool IsBlanks(std::u16string_view text) { return text::Trim(text).empty(); }

}  // namespace

int TextRoutines(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t control = data[0];
  const int integer_width = data[1] % 13;
  const int decimal_width = (data[1] >> 4) % 7;
  const std::u16string text = TextOf(control, data + 2, size - 2);

  const float value = text::NumericValue(text);
  TJVX_FUZZ_CHECK(std::isfinite(value));
  // The short answer for plain decimals is the value's answer.
  TJVX_FUZZ_CHECK(text::IsNonZeroNumber(text) == (value != 0.0f));
  // Seven digits as printf writes them, whether made from the digits or by the library: for the
  // value and for the input's first four bytes taken as a float's bits (a zero, -0 too, is "0").
  float bits_value = value;
  if (size >= 6) std::memcpy(&bits_value, data + 2, sizeof bits_value);
  for (float single : {value, bits_value}) {
    if (!std::isfinite(single) || single == 0.0f) continue;
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.7G", static_cast<double>(single));
    std::string expected = printed;
    if (expected.starts_with("0.")) expected.erase(0, 1);
    if (expected.starts_with("-0.")) expected.erase(1, 1);
    const std::u16string written = text::SingleToPlainText(single);
    TJVX_FUZZ_CHECK(written == std::u16string(expected.begin(), expected.end()));
  }
  // A number as the log program writes it reads back as nearly the same number.
  const float again = text::NumericValue(text::SingleToText(value));
  TJVX_FUZZ_CHECK(std::fabs(again - value) <= std::fabs(value) * 1e-6f);
  // The shortest decimal of a depth reads back as exactly that depth.
  TJVX_FUZZ_CHECK(text::NumericValue(source::ShortestText(value)) == value);

  std::u16string fixed = text;
  text::FormatFixedPoint(fixed, integer_width, decimal_width);
  if (IsBlanks(text)) {
    TJVX_FUZZ_CHECK(fixed == text);
  } else {
    const size_t width = integer_width + (decimal_width == 0 ? 0 : decimal_width + 1);
    TJVX_FUZZ_CHECK(fixed.size() == width);
  }
  text::DepthText(text);

  const std::u16string as_text = text::NormaliseField(text::kText, text);
  if (IsBlanks(text)) {
    TJVX_FUZZ_CHECK(as_text == u"@");
  } else {
    TJVX_FUZZ_CHECK(as_text.size() == text.size());
    TJVX_FUZZ_CHECK(as_text.find_first_of(u" \u3000") == std::u16string::npos);
  }
  // A number is written as it stands but for its surrounding blanks, and so holds none.
  const std::u16string as_number = text::NormaliseField(text::kNumber, text);
  TJVX_FUZZ_CHECK(value == 0.0f ? as_number == u"-1" : as_number == text::Trim(text));
  TJVX_FUZZ_CHECK(as_number.find(u' ') == std::u16string::npos);
  const std::u16string as_depth = text::NormaliseField(text::kBottomDepth, text);
  TJVX_FUZZ_CHECK(as_depth == u"9999" || as_depth == text::Trim(text));
  // A held text is one value: never empty, no half-width blank, its other characters kept.
  std::u16string held = u"a";  // appended to a line being built
  text::AppendHeldText(held, text);
  TJVX_FUZZ_CHECK(held.size() > 1 && held.find(u' ') == std::u16string::npos);
  TJVX_FUZZ_CHECK(IsBlanks(text) ? held == u"a@" : held.size() == text::Trim(text).size() + 1);
  TJVX_FUZZ_CHECK(text::NormaliseField(control % 5, text).size() <= text.size() + 4);

  const std::u16string full = text::ToFullWidth(text);
  TJVX_FUZZ_CHECK(full.size() <= text.size());
  for (char16_t c : full) {
    // Nothing half-width that has a full-width form is left.
    TJVX_FUZZ_CHECK(!(c >= u'0' && c <= u'Z'));
    TJVX_FUZZ_CHECK(!(c >= 0xFF61 && c <= 0xFF9F));
  }
  const int width = text::DisplayWidth(text);
  TJVX_FUZZ_CHECK(width >= static_cast<int>(text.size()) &&
                  width <= 2 * static_cast<int>(text.size()));
  TJVX_FUZZ_CHECK(text::ByteLength(text) == width);
  const std::u16string piece = text::ByteMid(text, control % 8, data[1] % 8);
  TJVX_FUZZ_CHECK(piece.size() <= 8);
  return 0;
}

}  // namespace tjvx::fuzz

TJVX_FUZZ_ENTRY(tjvx::fuzz::TextRoutines)
