#include "text/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/cp932.h"

namespace tjvx::text {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Powers of ten exact in double precision.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

}  // namespace

float NumericValue(std::u16string_view text) {
  // Codes and depths are read by the hundred thousand: one or two digits, the most common fields,
  // are read at once, and the rest through pointers.
  if (text.size() == 1) return IsDigit(text[0]) ? static_cast<float>(text[0] - u'0') : 0.0f;
  if (text.size() == 2 && IsDigit(text[0]) && IsDigit(text[1])) {  // two-digit codes: "05", "12"
    return static_cast<float>((text[0] - u'0') * 10 + (text[1] - u'0'));
  }
  // Plain decimals such as depths ("12.35", "0.80", "120"): one pass as long as the text, with
  // the same result as the general reading below.
  if (text.size() <= 15) {
    uint64_t mantissa = 0;
    size_t point = text.size();
    bool plain = true;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto digit = static_cast<unsigned>(text[i] - u'0');
      if (digit <= 9) {
        mantissa = mantissa * 10 + digit;
      } else if (text[i] == u'.' && point == text.size()) {
        point = i;
      } else {
        plain = false;
        break;
      }
    }
    const bool has_point = point < text.size();
    if (plain && text.size() > (has_point ? 1u : 0u)) {
      const size_t decimals = has_point ? text.size() - point - 1 : 0;
      const double value = decimals == 0 ? static_cast<double>(mantissa)
                                         : static_cast<double>(mantissa) / kPowersOfTen[decimals];
      return static_cast<float>(value);
    }
  }
  const char16_t* p = text.data();
  const char16_t* end = p + text.size();
  while (p < end && *p == u' ') ++p;
  while (end > p && end[-1] == u' ') --end;
  text = std::u16string_view(p, static_cast<size_t>(end - p));
  const size_t n = text.size();
  bool negative = false;
  if (p < end && (*p == u'+' || *p == u'-')) negative = *p++ == u'-';
  // The digits as one integer; exact while there are at most 15 of them.
  uint64_t mantissa = 0;
  const char16_t* digits = p;
  while (p < end && IsDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - u'0');
  const size_t int_digits = static_cast<size_t>(p - digits);
  size_t frac_digits = 0;
  if (p < end && *p == u'.') {
    digits = ++p;
    while (p < end && IsDigit(*p)) mantissa = mantissa * 10 + static_cast<uint64_t>(*p++ - u'0');
    frac_digits = static_cast<size_t>(p - digits);
  }
  if (int_digits == 0 && frac_digits == 0) return 0.0f;
  bool exponent = false;
  if (p < end && (*p == u'e' || *p == u'E')) {
    exponent = true;
    ++p;
    if (p < end && (*p == u'+' || *p == u'-')) ++p;
    digits = p;
    while (p < end && IsDigit(*p)) ++p;
    if (p == digits) return 0.0f;
  }
  if (p != end) return 0.0f;

  // Most fields are short decimals: an integer of at most 15 digits and a power of ten up to
  // 1e15 are both exact doubles, so their quotient is the correctly rounded double of the decimal,
  // the same double the general reading below gives.
  if (!exponent && int_digits + frac_digits <= 15) {
    const double value = frac_digits == 0
                             ? static_cast<double>(mantissa)
                             : static_cast<double>(mantissa) / kPowersOfTen[frac_digits];
    return static_cast<float>(negative ? -value : value);
  }
  std::string ascii;
  ascii.reserve(n);
  for (size_t k = text[0] == u'+' ? 1 : 0; k < n; ++k) {
    ascii += text[k] == u'E' ? 'e' : static_cast<char>(text[k]);
  }
  double value = 0.0;
  auto [read_to, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || read_to != ascii.data() + ascii.size()) return 0.0f;
  float single = static_cast<float>(value);
  if (!std::isfinite(single)) return 0.0f;
  return single;
}

size_t NumericEnd(std::u16string_view s, size_t at) {
  size_t i = at, digits = 0;
  const size_t n = s.size();
  if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
  for (; i < n && IsDigit(s[i]); ++i) ++digits;
  if (i < n && s[i] == u'.') {
    for (++i; i < n && IsDigit(s[i]); ++i) ++digits;
  }
  if (digits == 0) return kNoNumber;
  if (i < n && (s[i] == u'e' || s[i] == u'E')) {
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) ++i;
    const size_t exponent = i;
    while (i < n && IsDigit(s[i])) ++i;
    if (i == exponent) return kNoNumber;
  }
  return i;
}

bool IsNumericText(std::u16string_view text) {
  size_t at = 0, end = text.size();
  while (at < end && text[at] == u' ') ++at;
  while (end > at && text[end - 1] == u' ') --end;
  const std::u16string_view number = text.substr(at, end - at);
  return NumericEnd(number, 0) == number.size();
}

bool IsZeroText(std::u16string_view text) {
  if (!IsNumericText(text)) return false;
  for (char16_t c : text) {
    if (c == u'e' || c == u'E') break;
    if (c >= u'1' && c <= u'9') return false;
  }
  return true;
}

std::u16string SingleToPlainText(float value) {
  if (value == 0.0f) return u"0";
  // Whole numbers of up to seven digits, such as counts, print as their digits under "%.7G" too.
  char buf[64];
  char* end;
  if (std::fabs(value) < 1e7f && value == std::trunc(value)) {
    end = std::to_chars(buf, buf + sizeof buf, static_cast<long>(value)).ptr;
  } else {
    // "%.7G": to_chars with a precision writes what printf's "%.7g" writes; the exponent letter is
    // then made a capital.
    end = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                        std::chars_format::general, 7)
              .ptr;
    for (char* c = buf; c != end; ++c) {
      if (*c == 'e') *c = 'E';
    }
  }
  // Drop the zero before the point: "0.3" becomes ".3", "-0.3" becomes "-.3".
  std::string_view text(buf, static_cast<size_t>(end - buf));
  std::u16string out;
  out.reserve(text.size());
  if (text.starts_with("0.")) {
    text.remove_prefix(1);
  } else if (text.starts_with("-0.")) {
    out += u'-';
    text.remove_prefix(2);
  }
  out.append(text.begin(), text.end());
  return out;
}

std::u16string SingleToText(float value) {
  std::u16string text = SingleToPlainText(value);
  if (!(value < 0.0f)) text.insert(text.begin(), u' ');
  return text;
}

}  // namespace tjvx::text
