#include "drawing/text_fit.h"

#include <algorithm>
#include <cmath>

namespace tjvx::drawing {
namespace {

constexpr std::u16string_view kEllipsis = u"…";
// Marks that close a phrase; a line never starts with one.
constexpr std::u16string_view kClosingMarks = u"、。，．）」』】〕ー・：；！？)]},.:;!?";

// Marks after which a line breaks best.
constexpr std::u16string_view kPhraseEnds = u"、。，";

bool IsBlank(char16_t c) { return c == u' ' || c == u'\u3000'; }

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Code units of the character starting at `i`: 2 for a surrogate pair, else 1.
size_t CharLength(std::u16string_view text, size_t i) {
  return IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]) ? 2 : 1;
}

// Width of one character in font sizes. Latin letters and digits of the Gothic faces are narrower
// than these; the figures are their widest, so a measured text never spills.
double Em(std::u16string_view text, size_t i) {
  const char16_t c = text[i];
  if (c == u' ') return 0.33;
  if (c < 0x80) {
    if (c == u'M' || c == u'W' || c == u'm' || c == u'w' || c == u'@' || c == u'%') return 0.95;
    if (c >= u'A' && c <= u'Z') return 0.72;
    return 0.6;
  }
  if (c >= 0xFF61 && c <= 0xFF9F) return 0.55;  // half-width kana
  if (c < 0x2000) return 0.7;                   // Latin-1, Greek, Cyrillic
  return 1.0;  // CJK, full-width forms, symbols, characters beyond the basic plane
}

std::u16string_view TrimBlanksRight(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Index where the last character of `text` starts.
size_t LastCharStart(std::u16string_view text) {
  size_t i = text.size() - 1;
  if (i > 0 && IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) --i;
  return i;
}

}  // namespace

double TextWidth(std::u16string_view text, double size) {
  double ems = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ems += Em(text, i);
  return ems * size;
}

std::vector<std::u16string> WrapText(std::u16string_view paragraph, double width, double size) {
  constexpr size_t kNowhere = std::u16string::npos;
  std::vector<std::u16string> lines;
  std::u16string line;
  double line_width = 0;
  // Where `line` breaks best: before its last blank (dropped, so the next line starts after it),
  // or after its last comma or full stop when that leaves at least half a line.
  size_t break_at = kNowhere, next_at = kNowhere;
  auto finish_line = [&](size_t end, size_t rest) {
    std::u16string next = line.substr(std::min(rest, line.size()));
    line.resize(end);
    lines.emplace_back(TrimBlanksRight(line));
    line = std::move(next);
    line_width = TextWidth(line, size);
    break_at = next_at = kNowhere;
  };
  for (size_t i = 0; i < paragraph.size();) {
    const size_t length = CharLength(paragraph, i);
    const std::u16string_view c = paragraph.substr(i, length);
    const double w = Em(paragraph, i) * size;
    i += length;
    if (IsBlank(c[0])) {
      if (line.empty()) continue;  // no line starts with a blank
      if (line_width + w > width) {
        finish_line(line.size(), line.size());
        continue;
      }
    }
    while (!line.empty() && line_width + w > width) {
      if (break_at != kNowhere && break_at > 0) {
        finish_line(break_at, next_at);
      } else if (kClosingMarks.find(c[0]) != std::u16string_view::npos && LastCharStart(line) > 0) {
        // The character before the mark goes down with it; when even that does not make room,
        // the mark hangs at the end of the line.
        const size_t last = LastCharStart(line);
        finish_line(last, last);
        if (line_width + w > width) break;
      } else {
        finish_line(line.size(), line.size());
      }
    }
    if (IsBlank(c[0])) {
      break_at = line.size();
      next_at = line.size() + 1;
    }
    line.append(c);
    line_width += w;
    if (kPhraseEnds.find(c[0]) != std::u16string_view::npos && line_width >= width / 2) {
      break_at = next_at = line.size();
    }
  }
  if (!TrimBlanksRight(line).empty()) finish_line(line.size(), line.size());
  return lines;
}

FittedText FitText(const std::vector<std::u16string>& paragraphs, double width, double height,
                   double size, double min_size) {
  constexpr double kSlack = 1e-9;
  // Each paragraph takes at least its width over the column's lines (wrapping only adds lines),
  // so a size whose least count of lines cannot fit is passed over without wrapping at it.
  std::vector<double> em_widths;
  em_widths.reserve(paragraphs.size());
  for (const std::u16string& paragraph : paragraphs) em_widths.push_back(TextWidth(paragraph, 1.0));
  auto cannot_fit = [&](double at) {
    double least = 0;
    for (double em : em_widths) least += std::max(1.0, std::ceil(em * at / width - 1e-9));
    return least * at * kLineSpacing > height + kSlack;
  };
  FittedText fitted;
  for (int step = 0;; ++step) {
    fitted.size = std::max(min_size, size * (1.0 - 0.1 * step));
    if (fitted.size > min_size && cannot_fit(fitted.size)) continue;
    fitted.lines.clear();
    for (const std::u16string& paragraph : paragraphs) {
      for (std::u16string& line : WrapText(paragraph, width, fitted.size)) {
        fitted.lines.push_back(std::move(line));
      }
    }
    if (static_cast<double>(fitted.lines.size()) * fitted.size * kLineSpacing <= height + kSlack) {
      return fitted;
    }
    if (fitted.size <= min_size) break;
  }
  // Even the smallest size leaves lines over: keep what fits, the last line marked as cut.
  fitted.cut = true;
  const double room = std::floor((height + kSlack) / (fitted.size * kLineSpacing));
  fitted.lines.resize(room > 0 ? static_cast<size_t>(room) : 0);
  if (fitted.lines.empty()) return fitted;
  std::u16string& last = fitted.lines.back();
  while (!last.empty() &&
         TextWidth(last, fitted.size) + TextWidth(kEllipsis, fitted.size) > width) {
    last.resize(LastCharStart(last));
  }
  last.append(kEllipsis);
  return fitted;
}

}  // namespace tjvx::drawing
