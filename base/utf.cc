#include "base/utf.h"

#include <string>

namespace tjvx::base {

std::u16string FromAscii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Digits(long long value) { return FromAscii(std::to_string(value)); }

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // a byte b that is not UTF-8 becomes U+DC00 + b

bool IsEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// The length of the well-formed UTF-8 sequence at the start of `text` and its code point, or 0
// when the first byte does not begin one (a stray trail byte, an overlong form, a surrogate, a
// code point past U+10FFFF, a sequence cut short).
size_t WellFormed(std::string_view text, char32_t& code) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b = byte(0);
  if (b < 0x80) {
    code = b;
    return 1;
  }
  size_t length;
  char32_t lowest;
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, code = b & 0x1F, lowest = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, code = b & 0x0F, lowest = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, code = b & 0x07, lowest = 0x10000;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(k) & 0x3F);
  }
  if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Writes the code point `c` in UTF-8 at `p`, one to four bytes; returns the end of them.
inline char* PutUtf8(char32_t c, char* p) {
  auto put = [&p](char32_t byte) { *p++ = static_cast<char>(byte); };
  if (c < 0x80) {
    put(c);
  } else if (c < 0x800) {
    put(0xC0 | (c >> 6));
    put(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    put(0xE0 | (c >> 12));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  } else {
    put(0xF0 | (c >> 18));
    put(0x80 | ((c >> 12) & 0x3F));
    put(0x80 | ((c >> 6) & 0x3F));
    put(0x80 | (c & 0x3F));
  }
  return p;
}

// Writes `text` in UTF-8 from `p` on, where there is room for three bytes a unit (a surrogate pair
// takes four for its two); returns the end of what was written. A pair is one code point, and a
// unit that stands for a byte of a host name that was not UTF-8 is that byte.
char* PutUtf8(std::u16string_view text, char* p) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      *p++ = static_cast<char>(c);
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (IsEscapedByte(c)) {
      *p++ = static_cast<char>(c - kEscapeBase);
      continue;
    }
    p = PutUtf8(c, p);
  }
  return p;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t c) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(PutUtf8(c, bytes) - bytes));
}

std::string ToUtf8(std::u16string_view text) {
  // Room for the most the text can take, made at once and cut to what was written: the reports
  // of a check run to megabytes, of Japanese mostly.
  std::string out(3 * text.size(), '\0');
  out.resize(static_cast<size_t>(PutUtf8(text, out.data()) - out.data()));
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  // ASCII, most of every text, is copied through a pointer into room made for it at once.
  size_t i = 0;
  while (i < text.size()) {
    size_t ascii = i;
    while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
    if (ascii > i) {
      const size_t start = out.size();
      out.resize(start + (ascii - i));
      char* p = out.data() + start;
      for (; i < ascii; ++i) *p++ = static_cast<char>(text[i]);
      continue;
    }
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsEscapedByte(c)) {
      out += static_cast<char>(c - kEscapeBase);  // a byte of a host name that was not UTF-8
      ++i;
      continue;
    }
    AppendUtf8(out, c);
    ++i;
  }
}

std::u16string FromUtf8(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const size_t length = WellFormed(text.substr(i), c);
    if (length == 0) {
      out += static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(text[i]));
      ++i;
      continue;
    }
    i += length;
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

}  // namespace tjvx::base
