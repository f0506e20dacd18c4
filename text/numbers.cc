#include "text/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/cp932.h"

namespace tjvx {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Powers of ten exact in double precision.
constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Full-width forms of U+FF61..U+FF9F, in code order.
constexpr char16_t kFullWidthKana[] = {
    u'。', u'「', u'」', u'、', u'・', u'ヲ', u'ァ', u'ィ', u'ゥ', u'ェ', u'ォ', u'ャ', u'ュ',
    u'ョ', u'ッ', u'ー', u'ア', u'イ', u'ウ', u'エ', u'オ', u'カ', u'キ', u'ク', u'ケ', u'コ',
    u'サ', u'シ', u'ス', u'セ', u'ソ', u'タ', u'チ', u'ツ', u'テ', u'ト', u'ナ', u'ニ', u'ヌ',
    u'ネ', u'ノ', u'ハ', u'ヒ', u'フ', u'ヘ', u'ホ', u'マ', u'ミ', u'ム', u'メ', u'モ', u'ヤ',
    u'ユ', u'ヨ', u'ラ', u'リ', u'ル', u'レ', u'ロ', u'ワ', u'ン', u'゛', u'゜'};
static_assert(sizeof(kFullWidthKana) / sizeof(kFullWidthKana[0]) == 0xFF9F - 0xFF61 + 1);

constexpr char16_t kVoicedMark = u'\uFF9E';
constexpr char16_t kSemiVoicedMark = u'\uFF9F';

// Kana whose voiced form follows them directly in the code chart; ハ..ホ also have a semi-voiced
// form two places on. Only combinations that CP932 can write are made.
constexpr std::u16string_view kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::u16string_view kSemiVoiceable = u"ハヒフヘホ";

char16_t Voiced(char16_t kana) {
  if (kana == u'ウ') return u'ヴ';
  return kVoiceable.find(kana) != std::u16string_view::npos ? static_cast<char16_t>(kana + 1) : 0;
}

char16_t SemiVoiced(char16_t kana) {
  return kSemiVoiceable.find(kana) != std::u16string_view::npos ? static_cast<char16_t>(kana + 2)
                                                                : 0;
}

}  // namespace

std::u16string_view TrimLeft(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  return text.substr(start);
}

std::u16string_view TrimRight(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return text.substr(0, end);
}

std::u16string_view Trim(std::u16string_view text) { return TrimRight(TrimLeft(text)); }

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

void AppendFullWidth(std::u16string& out, std::u16string_view text) {
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'0' && c <= u'Z') {
      out += static_cast<char16_t>(c - u'0' + 0xFF10);
    } else if (c >= 0xFF61 && c <= 0xFF9F) {
      char16_t full = kFullWidthKana[c - 0xFF61];
      if (i + 1 < text.size()) {
        char16_t combined = 0;
        if (text[i + 1] == kVoicedMark) combined = Voiced(full);
        if (text[i + 1] == kSemiVoicedMark) combined = SemiVoiced(full);
        if (combined != 0) {
          full = combined;
          ++i;
        }
      }
      out += full;
    } else {
      out += c;
    }
  }
}

std::u16string ToFullWidth(std::u16string_view text) {
  std::u16string out;
  AppendFullWidth(out, text);
  return out;
}

int DisplayWidth(std::u16string_view text) {
  int width = 0;
  for (char16_t c : text) width += c < 0x80 ? 1 : platform::Cp932ByteCount(c);  // ASCII: 1 byte
  return width;
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

std::u16string FromAscii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c;
    size_t len;
    if (b < 0x80) {
      c = b, len = 1;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, len = 2;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, len = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, len = 4;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    if (i + len > text.size()) {
      out += u'\uFFFD';
      break;
    }
    for (size_t k = 1; k < len; ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    i += len;
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

}  // namespace tjvx
