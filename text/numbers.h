#ifndef TJVX_TEXT_NUMBERS_H_
#define TJVX_TEXT_NUMBERS_H_

#include <string>
#include <string_view>

namespace tjvx::text {

// The number of a text in single precision when the text is numeric, else 0. Numeric means, after
// trimming blanks: [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?. The decimal is read
// as a double and rounded to single precision; a value beyond single precision range gives 0.
// Every comparison of codes and depths goes through this, so "05" equals "5" and 1.5 equals 1.50.
float NumericValue(std::u16string_view text);

// Whether NumericValue(text) is a number other than 0. Asked of most number fields, whose value
// is then not needed: a plain decimal (digits and at most one point, as most fields hold) is
// answered from its digits alone, inline.
inline bool IsNonZeroNumber(std::u16string_view text) {
  unsigned digits_or = 0;  // the digits OR-ed together: 0 when all are 0
  size_t points = 0;
  for (const char16_t c : text) {
    const auto digit = static_cast<unsigned>(c - u'0');
    if (digit <= 9) {
      digits_or |= digit;
    } else if (c == u'.' && points == 0) {
      points = 1;
    } else {
      return NumericValue(text) != 0.0f;
    }
  }
  // At most 15 digits are read exactly, and such a number is far inside single precision's
  // range: it is 0 exactly when all its digits are.
  const size_t digits = text.size() - points;
  if (digits == 0 || digits > 15) return NumericValue(text) != 0.0f;
  return digits_or != 0;
}

// Whether `text` is numeric as NumericValue reads it (the grammar above), whatever its size.
bool IsNumericText(std::u16string_view text);

// Where the numeric text (the grammar above, without blanks) that starts at `at` in `s` ends, read
// as far as it goes, or kNoNumber when none starts there.
inline constexpr size_t kNoNumber = std::u16string_view::npos;
size_t NumericEnd(std::u16string_view s, size_t at);
// Whether a numeric text is a zero ("0", "-0.00", "0e5").
bool IsZeroText(std::u16string_view text);

// A single-precision number as the log program's runtime writes it: up to seven significant digits
// in the shortest form, a leading blank when not negative, no zero before the point below 1
// (0.3 gives " .3", -0.5 gives "-.5", 12 gives " 12").
std::u16string SingleToText(float value);

// A single-precision number without the leading blank of SingleToText.
std::u16string SingleToPlainText(float value);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_NUMBERS_H_
