#include "text/widths.h"

#include "base/error.h"
#include "platform/cp932.h"

namespace tjvx::text {
namespace {

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

std::string LenientCp932(std::u16string_view text) {
  std::string bytes;
  for (char16_t c : text) {
    try {
      platform::AppendCp932(std::u16string_view(&c, 1), {}, bytes);
    } catch (const base::Error&) {
      bytes += '?';
    }
  }
  return bytes;
}

}  // namespace

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

int ByteLength(std::u16string_view text) { return DisplayWidth(text); }

std::u16string ByteMid(std::u16string_view text, int start, int length) {
  if (start < 1 || length <= 0) return {};
  // Only the characters up to the piece's last byte are encoded: every run asks for the second
  // byte of a destination path.
  const size_t needed = static_cast<size_t>(start) - 1 + static_cast<size_t>(length);
  std::string bytes;
  for (size_t i = 0; i < text.size() && bytes.size() < needed; ++i) {
    bytes += LenientCp932(text.substr(i, 1));
  }
  if (static_cast<size_t>(start) > bytes.size()) return {};
  std::string piece = bytes.substr(start - 1, length);
  try {
    return platform::DecodeCp932(piece, {});
  } catch (const base::Error&) {
    std::u16string out;
    for (char b : piece) {
      try {
        out += platform::DecodeCp932(std::string(1, b), {});
      } catch (const base::Error&) {
        out += u'\uFFFD';
      }
    }
    return out;
  }
}

}  // namespace tjvx::text
