#ifndef TJVX_BASE_ASCII_H_
#define TJVX_BASE_ASCII_H_

#include <algorithm>
#include <string_view>

// ASCII letter case, as Windows compares the fixed file names of a borehole folder.
namespace tjvx::base {

// Whether `c` is one of A-Z or a-z; no other letter counts.
template <typename Char>
constexpr bool IsAsciiLetter(Char c) {
  return (c >= Char('A') && c <= Char('Z')) || (c >= Char('a') && c <= Char('z'));
}

// `c` with a-z turned to A-Z; every other character as it is.
template <typename Char>
constexpr Char AsciiUpper(Char c) {
  return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// Whether two texts are equal when a-z and A-Z count as one.
constexpr bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// Whether `text` ends in `end`, a-z and A-Z counting as one.
constexpr bool EndsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view end) {
  return text.size() >= end.size() &&
         EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

}  // namespace tjvx::base

#endif  // TJVX_BASE_ASCII_H_
