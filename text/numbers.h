#ifndef TJVX_TEXT_NUMBERS_H_
#define TJVX_TEXT_NUMBERS_H_

#include <string>
#include <string_view>

namespace tjvx {

// Half-width blank handling: only U+0020 counts as a blank for trimming, as in the log program.
std::u16string_view TrimLeft(std::u16string_view text);
std::u16string_view TrimRight(std::u16string_view text);
std::u16string_view Trim(std::u16string_view text);

// The number of a text in single precision when the text is numeric, else 0. Numeric means, after
// trimming blanks: [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?. The decimal is read
// as a double and rounded to single precision; a value beyond single precision range gives 0.
// Every comparison of codes and depths goes through this, so "05" equals "5" and 1.5 equals 1.50.
float NumericValue(std::u16string_view text);

// Half-width "0".."Z" and half-width katakana become their full-width forms; a half-width kana
// followed by a voiced or semi-voiced mark becomes the one combined kana where CP932 has it.
std::u16string ToFullWidth(std::u16string_view text);
// ToFullWidth(text) appended to `out`.
void AppendFullWidth(std::u16string& out, std::u16string_view text);

// Columns the text takes on a fixed-pitch screen: its CP932 byte count (half-width 1, full-width
// 2).
int DisplayWidth(std::u16string_view text);

// A single-precision number as the log program's runtime writes it: up to seven significant digits
// in the shortest form, a leading blank when not negative, no zero before the point below 1
// (0.3 gives " .3", -0.5 gives "-.5", 12 gives " 12").
std::u16string SingleToText(float value);

// A single-precision number without the leading blank of SingleToText.
std::u16string SingleToPlainText(float value);

std::u16string FromAscii(std::string_view text);
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);

}  // namespace tjvx

#endif  // TJVX_TEXT_NUMBERS_H_
