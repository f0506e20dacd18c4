#include "text/natural_order.h"

#include <algorithm>

#include "base/ascii.h"

namespace tjvx::text {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The end of the run of digits starting at `at`.
size_t DigitRunEnd(std::u16string_view text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// Two runs of digits by their values, however long: without their leading zeros the shorter run is
// the smaller number, and runs of one length compare digit by digit.
int CompareNumbers(std::u16string_view a, std::u16string_view b) {
  a.remove_prefix(std::min(a.find_first_not_of(u'0'), a.size()));
  b.remove_prefix(std::min(b.find_first_not_of(u'0'), b.size()));
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  const int order = a.compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// Natural order without the final tie-break: negative, zero or positive.
int NaturalCompare(std::u16string_view a, std::u16string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      const size_t a_end = DigitRunEnd(a, i), b_end = DigitRunEnd(b, j);
      if (int order = CompareNumbers(a.substr(i, a_end - i), b.substr(j, b_end - j))) return order;
      i = a_end;
      j = b_end;
      continue;
    }
    const char16_t x = base::AsciiUpper(a[i]), y = base::AsciiUpper(b[j]);
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  // One name is the beginning of the other: the shorter one first.
  const bool a_left = i < a.size(), b_left = j < b.size();
  return a_left == b_left ? 0 : a_left ? 1 : -1;
}

}  // namespace

bool NaturalLess(std::u16string_view a, std::u16string_view b) {
  if (const int order = NaturalCompare(a, b)) return order < 0;
  return a < b;
}

}  // namespace tjvx::text
