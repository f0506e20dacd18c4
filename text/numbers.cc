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
// 10^-4 to 10^6, the nearest doubles.
constexpr double kTenToThe[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};

// The digits from `p` up to `end`, with at most one point among them, read as one integer
// (exact while there are at most 15 of them); `stop` is where something else stands, or `end`.
struct DigitRun {
  uint64_t mantissa = 0;
  size_t digits = 0;
  size_t decimals = 0;  // digits after the point
  const char16_t* stop = nullptr;
};

[[gnu::always_inline]] inline DigitRun ScanDigits(const char16_t* p, const char16_t* end) {
  const char16_t* const start = p;
  const char16_t* point = nullptr;
  uint64_t mantissa = 0;
  // The digit as a 64-bit difference, so that it adds to the mantissa as it is; the point is the
  // difference that wraps around below 0.
  constexpr uint64_t kPoint = static_cast<uint64_t>(u'.') - u'0';
  for (; p < end; ++p) {
    const uint64_t digit = static_cast<uint64_t>(*p) - u'0';
    if (digit <= 9) {
      mantissa = mantissa * 10 + digit;
    } else if (digit == kPoint && point == nullptr) {
      point = p;
    } else {
      break;
    }
  }
  const size_t decimals = point != nullptr ? static_cast<size_t>(p - point - 1) : 0;
  return {mantissa, static_cast<size_t>(p - start) - (point != nullptr ? 1 : 0), decimals, p};
}

// An exponent "e5", "E-3" from `p` to exactly `end`.
bool IsExponent(const char16_t* p, const char16_t* end) {
  if (p == end || (*p != u'e' && *p != u'E')) return false;
  ++p;
  if (p < end && (*p == u'+' || *p == u'-')) ++p;
  if (p == end) return false;
  for (; p < end; ++p) {
    if (!IsDigit(*p)) return false;
  }
  return true;
}

// A numeric text with more digits than a double holds exactly, or an exponent, read as a double
// by std::from_chars and rounded to single precision; 0 beyond single precision's range. Kept out
// of line, so that the short decimals read by the hundred thousand need no room for its text.
[[gnu::noinline]] float ReadLongNumber(std::u16string_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (size_t k = text[0] == u'+' ? 1 : 0; k < text.size(); ++k) {
    ascii += text[k] == u'E' ? 'e' : static_cast<char>(text[k]);
  }
  double value = 0.0;
  auto [read_to, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec != std::errc() || read_to != ascii.data() + ascii.size()) return 0.0f;
  const float single = static_cast<float>(value);
  return std::isfinite(single) ? single : 0.0f;
}

}  // namespace

float NumericValue(std::u16string_view text) {
  // Codes of one digit are the most common fields of all.
  if (text.size() == 1) return IsDigit(text[0]) ? static_cast<float>(text[0] - u'0') : 0.0f;
  const char16_t* p = text.data();
  const char16_t* end = p + text.size();
  // Codes and depths are read by the hundred thousand, mostly plain decimals ("05", "12.35")
  // without blanks or a sign: those are read in one pass over their digits.
  DigitRun run = ScanDigits(p, end);
  bool negative = false;
  if (run.stop != end) {
    while (p < end && *p == u' ') ++p;
    while (end > p && end[-1] == u' ') --end;
    negative = p < end && *p == u'-';
    run = ScanDigits(p + (p < end && (*p == u'+' || *p == u'-') ? 1 : 0), end);
  }
  if (run.digits == 0) return 0.0f;
  // An integer of at most 15 digits and a power of ten up to 1e15 are both exact doubles, so
  // their quotient is the correctly rounded double of the decimal, the same double std::from_chars
  // gives.
  if (run.stop == end && run.digits <= 15) {
    // Signed, which converts in one step: 15 digits are far below its bound.
    const auto digits = static_cast<double>(static_cast<int64_t>(run.mantissa));
    const double value = run.decimals == 0 ? digits : digits / kPowersOfTen[run.decimals];
    return static_cast<float>(negative ? -value : value);
  }
  if (run.stop != end && !IsExponent(run.stop, end)) return 0.0f;
  return ReadLongNumber(std::u16string_view(p, static_cast<size_t>(end - p)));
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

namespace {

// "%.7G" of `value` where it takes the fixed form, written from `out`; the end of what was written,
// or nullptr for a value that takes the exponent form (beyond 1E-4 to 1E7 once rounded). The seven
// digits are those of |value| × 10^(6 − e) for the value's decimal exponent e, rounded half to even
// as printf rounds: the product is exact in double precision, for a float has 24 bits and 10^10,
// the largest power taken, 24 bits beside its power of two.
char* FixedSevenDigits(float value, char* out) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (!(magnitude >= 1e-4 && magnitude < 1e7)) return nullptr;
  // No float lies between a power of ten and its nearest double, so the comparisons are exact.
  int exponent = 6;
  while (magnitude < kTenToThe[exponent + 4]) --exponent;
  auto digits = static_cast<uint64_t>(
      std::nearbyint(magnitude * kPowersOfTen[static_cast<size_t>(6 - exponent)]));
  if (digits == 10'000'000) {  // rounded up to the next power of ten
    digits = 1'000'000;
    if (++exponent == 7) return nullptr;
  }
  char seven[7];
  for (int k = 6; k >= 0; --k, digits /= 10) seven[k] = static_cast<char>('0' + digits % 10);
  int last = 6;  // the last digit kept: trailing zeros of the fraction are dropped
  while (last > exponent && last > 0 && seven[last] == '0') --last;
  if (value < 0.0f) *out++ = '-';
  if (exponent < 0) {
    *out++ = '0';
    *out++ = '.';
    for (int k = exponent + 1; k < 0; ++k) *out++ = '0';
    for (int k = 0; k <= last; ++k) *out++ = seven[k];
    return out;
  }
  for (int k = 0; k <= exponent; ++k) *out++ = seven[k];
  if (last > exponent) {
    *out++ = '.';
    for (int k = exponent + 1; k <= last; ++k) *out++ = seven[k];
  }
  return out;
}

}  // namespace

std::u16string SingleToPlainText(float value) {
  if (value == 0.0f) return u"0";
  // Whole numbers of up to seven digits, such as counts, print as their digits under "%.7G" too.
  char buf[64];
  char* end;
  if (std::fabs(value) < 1e7f && value == std::trunc(value)) {
    end = std::to_chars(buf, buf + sizeof buf, static_cast<long>(value)).ptr;
  } else {
    end = FixedSevenDigits(value, buf);
  }
  if (end == nullptr) {
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
