#ifndef TJVX_BASE_ASCII_H_
#define TJVX_BASE_ASCII_H_

#include <algorithm>
#include <string_view>

// ASCII letter case, as Windows compares the fixed file names of a borehole folder.
namespace tjvx::base {

// `c` with a-z turned to A-Z; every other character as it is.
constexpr char16_t AsciiUpper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

// Whether two texts are equal when a-z and A-Z count as one.
constexpr bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return AsciiUpper(x) == AsciiUpper(y); });
}

}  // namespace tjvx::base

#endif  // TJVX_BASE_ASCII_H_
