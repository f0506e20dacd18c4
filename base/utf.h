#ifndef TJVX_BASE_UTF_H_
#define TJVX_BASE_UTF_H_

#include <string>
#include <string_view>

namespace tjvx::base {

// Conversions between the program's UTF-16 text and UTF-8 (the console, host paths, messages of
// exceptions); an ASCII text is widened as it is.
std::u16string FromAscii(std::string_view text);

// The decimal digits of `value`, a "-" before them when it is negative ("-12").
std::u16string Digits(long long value);

// Host names need not be UTF-8 (a folder copied with its CP932 bytes: "X\x82\xa0"). Each byte of
// `text` that is not part of well-formed UTF-8 becomes one of the lone surrogates U+DC80..U+DCFF,
// which ToUtf8 turns back into that byte, so every host name comes back byte for byte and two
// names never become one.
std::u16string FromUtf8(std::string_view text);
std::string ToUtf8(std::u16string_view text);
// Appends ToUtf8(text) to `out`.
void AppendUtf8(std::string& out, std::u16string_view text);
// Appends the UTF-8 form of the code point `c` (up to U+10FFFF; a surrogate is written as it is).
void AppendUtf8(std::string& out, char32_t c);

}  // namespace tjvx::base

#endif  // TJVX_BASE_UTF_H_
