#include "drawing/text_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

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
constexpr double AsciiEm(char16_t c) {
  if (c == u' ') return 0.33;
  if (c == u'M' || c == u'W' || c == u'm' || c == u'w' || c == u'@' || c == u'%') return 0.95;
  if (c >= u'A' && c <= u'Z') return 0.72;
  return 0.6;
}

// The widths of the ASCII characters, looked up rather than worked out for each character.
constexpr auto kAsciiEms = [] {
  std::array<double, 0x80> ems{};
  for (char16_t c = 0; c < 0x80; ++c) ems[c] = AsciiEm(c);
  return ems;
}();

// The width of the character starting at `i` (a surrogate pair is as wide as its first half).
double Em(std::u16string_view text, size_t i) {
  const char16_t c = text[i];
  if (c < 0x80) return kAsciiEms[c];
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

// Breaks `paragraph` into the lines WrapText gives and hands each to `take` as a piece of the
// paragraph, until `take` returns false. The line being filled is the piece [start, end) of the
// paragraph: a blank is dropped only while the line is empty, so the line never has a gap.
// Whether the paragraph, from its first character that is not blank, fits on one line, measured
// as BreakLines measures it, without looking for breaks: the width only grows as characters are
// added, so the paragraph is one line when its whole width fits. The first character counts as not
// fitting when it alone is too wide (BreakLines places it).
bool FitsOnOneLine(std::u16string_view paragraph, size_t first, double width, double size) {
  // No character is wider than one size, so a paragraph of few enough code units fits without
  // being measured (the margin is far above what rounding the sum of the widths could add).
  constexpr double kMargin = 1e-9;
  if (static_cast<double>(paragraph.size()) * size <= width * (1 - kMargin)) return true;
  double whole_width = 0;
  for (size_t measured = first; measured < paragraph.size();
       measured += CharLength(paragraph, measured)) {
    whole_width += Em(paragraph, measured) * size;
    if (whole_width > width) return false;
  }
  return true;
}

// Breaks `paragraph` into the lines WrapText gives and hands each to `take` as a piece of the
// paragraph, until `take` returns false. The line being filled is the piece [start, end) of the
// paragraph: a blank is dropped only while the line is empty, so the line never has a gap.
template <typename Take>
void BreakLines(std::u16string_view paragraph, double width, double size, Take&& take) {
  // Most paragraphs fit on one line; leading blanks are dropped.
  size_t first = 0;
  while (first < paragraph.size() && IsBlank(paragraph[first])) ++first;
  if (FitsOnOneLine(paragraph, first, width, size)) {
    const std::u16string_view line = TrimBlanksRight(paragraph.substr(first));
    if (!line.empty()) take(line);
    return;
  }

  constexpr size_t kNowhere = std::u16string::npos;
  size_t start = 0, end = 0;
  double line_width = 0;
  // Where the line breaks best: before its last blank (dropped, so the next line starts after it),
  // or after its last comma or full stop when that leaves at least half a line.
  size_t break_at = kNowhere, next_at = kNowhere;
  // Ends the line at `at` and starts the next one at `rest`, with the width of what it already
  // holds measured afresh. False when `take` wants no more lines.
  auto finish_line = [&](size_t at, size_t rest) {
    const bool more = take(TrimBlanksRight(paragraph.substr(start, at - start)));
    start = std::min(rest, end);
    line_width = TextWidth(paragraph.substr(start, end - start), size);
    break_at = next_at = kNowhere;
    return more;
  };
  for (size_t i = 0; i < paragraph.size();) {
    const char16_t c = paragraph[i];
    const double w = Em(paragraph, i) * size;
    i += CharLength(paragraph, i);
    if (IsBlank(c)) {
      // No line starts with a blank.
      if (start == end || line_width + w > width) {
        if (start != end && !finish_line(end, end)) return;
        start = end = i;
        continue;
      }
    }
    while (start != end && line_width + w > width) {
      if (break_at != kNowhere && break_at > start) {
        if (!finish_line(break_at, next_at)) return;
      } else if (kClosingMarks.find(c) != std::u16string_view::npos &&
                 start + LastCharStart(paragraph.substr(start, end - start)) > start) {
        // The character before the mark goes down with it; when even that does not make room,
        // the mark hangs at the end of the line.
        const size_t last = start + LastCharStart(paragraph.substr(start, end - start));
        if (!finish_line(last, last)) return;
        if (line_width + w > width) break;
      } else {
        if (!finish_line(end, end)) return;
      }
    }
    if (IsBlank(c)) {
      break_at = end;
      next_at = end + 1;
    }
    end = i;
    line_width += w;
    if (kPhraseEnds.find(c) != std::u16string_view::npos && line_width >= width / 2) {
      break_at = next_at = end;
    }
  }
  if (!TrimBlanksRight(paragraph.substr(start, end - start)).empty()) finish_line(end, end);
}

}  // namespace

double TextWidth(std::u16string_view text, double size) {
  double ems = 0;
  for (size_t i = 0; i < text.size(); i += CharLength(text, i)) ems += Em(text, i);
  return ems * size;
}

std::vector<std::u16string> WrapText(std::u16string_view paragraph, double width, double size) {
  std::vector<std::u16string> lines;
  BreakLines(paragraph, width, size, [&](std::u16string_view line) {
    lines.emplace_back(line);
    return true;
  });
  return lines;
}

namespace {

// Room in height is compared with this slack, so that lines that fill it exactly fit.
constexpr double kSlack = 1e-9;

// The steps of fitting paragraphs into a box of `width` x `height` (FitText), into `fitted`.
class BoxFitter {
 public:
  BoxFitter(std::span<const std::u16string_view> paragraphs, double width, double height,
            FittedLines& fitted)
      : paragraphs_(paragraphs), width_(width), height_(height), fitted_(fitted) {}

  // Whether some paragraph has a line: a text of nothing but blanks has none.
  bool HasLines() const {
    return std::any_of(paragraphs_.begin(), paragraphs_.end(), [](std::u16string_view paragraph) {
      return !TrimBlanksRight(paragraph).empty();
    });
  }

  // Each paragraph takes at least its width over the column's lines (wrapping only adds lines), so
  // a size whose least count of lines cannot fit is passed over without wrapping at it (CannotFit).
  // Only sizes above the smallest are passed over, so the widths are measured only when there are
  // some.
  void MeasureWidths(bool sizes_to_pass_over) {
    std::vector<double>& em_widths = fitted_.widths;
    em_widths.clear();
    if (!sizes_to_pass_over) return;
    em_widths.reserve(paragraphs_.size());
    for (const std::u16string_view paragraph : paragraphs_) {
      em_widths.push_back(TextWidth(paragraph, 1.0));
    }
  }

  bool CannotFit(double at) const {
    double least = 0;
    for (double em : fitted_.widths) least += std::max(1.0, std::ceil(em * at / width_ - 1e-9));
    return least * at * kLineSpacing > height_ + kSlack;
  }

  // Whether every line fits at a size: the lines are counted up to the first that does not fit.
  bool FitsAt(double at) const {
    if (height_ == std::numeric_limits<double>::infinity()) return true;
    size_t count = 0;
    bool fits = true;
    for (const std::u16string_view paragraph : paragraphs_) {
      BreakLines(paragraph, width_, at, [&](std::u16string_view) {
        fits = LinesFit(++count, at);
        return fits;
      });
      if (!fits) return false;
    }
    return LinesFit(count, at);  // no lines at all fit only a box that is not less than empty
  }

  // The first `most` lines at a size, as pieces of the paragraphs.
  void TakeLines(double at, size_t most) {
    fitted_.size = at;
    for (const std::u16string_view paragraph : paragraphs_) {
      if (fitted_.lines.size() == most) break;
      BreakLines(paragraph, width_, at, [&](std::u16string_view line) {
        if (fitted_.lines.size() == most) return false;
        fitted_.lines.push_back(line);
        return true;
      });
    }
  }

  // The last line cut short enough to end with "…" inside the width.
  void CutLastLine() {
    if (fitted_.lines.empty()) return;
    std::u16string_view last = fitted_.lines.back();
    while (!last.empty() &&
           TextWidth(last, fitted_.size) + TextWidth(kEllipsis, fitted_.size) > width_) {
      last = last.substr(0, LastCharStart(last));
    }
    fitted_.cut_line.assign(last).append(kEllipsis);
    fitted_.lines.back() = fitted_.cut_line;
  }

 private:
  bool LinesFit(size_t count, double at) const {
    return static_cast<double>(count) * at * kLineSpacing <= height_ + kSlack;
  }

  std::span<const std::u16string_view> paragraphs_;
  double width_, height_;
  FittedLines& fitted_;
};

}  // namespace

void FitText(std::span<const std::u16string_view> paragraphs, double width, double height,
             double size, double min_size, FittedLines& fitted) {
  fitted.lines.clear();
  fitted.cut = false;
  BoxFitter box(paragraphs, width, height, fitted);
  // When not even one line fits at the smallest size and none would be kept, a text that has a
  // line is cut to nothing whatever its size, as the steps below would find size by size.
  const double least_room = std::floor((height + kSlack) / (min_size * kLineSpacing));
  if (min_size * kLineSpacing > height + kSlack && least_room <= 0 && box.HasLines()) {
    fitted.size = min_size;
    fitted.cut = true;
    return;
  }
  box.MeasureWidths(size > min_size);
  for (int step = 0;; ++step) {
    const double at = std::max(min_size, size * (1.0 - 0.1 * step));
    if (at > min_size && box.CannotFit(at)) continue;
    if (box.FitsAt(at)) {
      box.TakeLines(at, std::numeric_limits<size_t>::max());
      return;
    }
    if (at <= min_size) break;
  }
  // Even the smallest size leaves lines over: keep what fits, the last line marked as cut.
  fitted.cut = true;
  const size_t kept = least_room > 0 ? static_cast<size_t>(least_room) : 0;
  box.TakeLines(min_size, kept);
  fitted.lines.resize(kept);
  box.CutLastLine();
}

FittedText FitText(std::vector<std::u16string> paragraphs, double width, double height, double size,
                   double min_size) {
  const std::vector<std::u16string_view> views(paragraphs.begin(), paragraphs.end());
  FittedLines lines;
  FitText(views, width, height, size, min_size, lines);
  FittedText fitted;
  fitted.size = lines.size;
  fitted.cut = lines.cut;
  fitted.lines.assign(lines.lines.begin(), lines.lines.end());
  return fitted;
}

}  // namespace tjvx::drawing
