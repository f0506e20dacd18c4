#include "source/fcopysub.h"

#include "common/text.h"
#include "platform/cp932.h"
#include "platform/files.h"

namespace FCOPYSUB {

std::optional<tjvx::FieldReader> OpenSourceFile(std::u16string_view path) {
  std::optional<std::uintmax_t> size = tjvx::platform::FileSize(path);
  if (!size || *size == 0) return std::nullopt;
  std::optional<std::string> bytes = tjvx::platform::ReadFileBytes(path);
  if (!bytes || bytes->empty()) return std::nullopt;
  // A Ctrl-Z ends the file; it is never part of a two-byte character.
  size_t eof = bytes->find('\x1A');
  if (eof != std::string::npos) bytes->resize(eof);
  std::u16string file(path);
  return tjvx::FieldReader(tjvx::platform::DecodeCp932(*bytes, file), file);
}

std::u16string NormaliseField(int kind, std::u16string_view value) {
  switch (kind) {
    case kText: {
      if (tjvx::Trim(value).empty()) return u"@";
      std::u16string result(value);
      for (char16_t& c : result) {
        if (c == u' ' || c == u'\u3000') c = u'_';
      }
      return result;
    }
    case kNumber:
    case kBottomDepth:
      if (tjvx::Trim(value).empty() || tjvx::NumericValue(value) == 0.0f) {
        return kind == kNumber ? u"-1" : u"9999";
      }
      return std::u16string(value);
    default:
      return std::u16string(value);
  }
}

void FormatFixedPoint(std::u16string& text, int integer_width, int decimal_width) {
  if (tjvx::Trim(text).empty()) return;
  std::u16string integer_digits, fraction_digits;
  bool fraction = false;
  int count = 1;
  for (char16_t c : text) {
    if (c == u' ') continue;
    if (c == u'.') {
      fraction = true;
      continue;
    }
    if (!fraction) {
      integer_digits += c;
    } else {
      fraction_digits += c;
      if (++count > 2) break;
    }
  }
  std::u16string fraction_field =
      (fraction_digits + std::u16string(decimal_width, u'0')).substr(0, decimal_width);
  std::u16string padded = std::u16string(integer_width, u' ') + integer_digits;
  std::u16string integer_field = padded.substr(padded.size() - integer_width);
  text = decimal_width == 0 ? integer_field : integer_field + u"." + fraction_field;
}

std::u16string DepthText(std::u16string_view value) {
  std::u16string text(value);
  FormatFixedPoint(text, 4, 2);
  return std::u16string(tjvx::TrimLeft(text));
}

}  // namespace FCOPYSUB
