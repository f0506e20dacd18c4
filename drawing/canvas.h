#ifndef TJVX_DRAWING_CANVAS_H_
#define TJVX_DRAWING_CANVAS_H_

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "drawing/log_layout.h"
#include "drawing/sheet.h"
#include "drawing/text_fit.h"

namespace tjvx::drawing {

// Whether `piece` lies among the drawing's characters.
bool IsAmong(const Drawing& drawing, std::u16string_view piece);

// A black text of `chars`. A piece of the drawing's characters is shown where it lies; any other
// text is appended to them, which may move them: no other piece of them may be held across it.
Text KeptText(Drawing& drawing, Region region, double x, double y, double size, Anchor anchor,
              std::u16string_view chars);

// Places shapes given in log coordinates (y in mm from the log's top depth, growing without end)
// on pages: each page holds `body` mm of log below Drawing::log_top. Boxes and lines that cross
// a page's end are cut there and go on at the next page's top; a text sits on the page of its
// top, and Fit keeps a line of text from crossing a page's end.
class Canvas {
 public:
  Canvas(Drawing& drawing, double page_width, double page_height, double body)
      : drawing_(drawing), page_width_(page_width), page_height_(page_height), body_(body) {}

  int PageOf(double y) const {
    if (body_ == kInfinity || y <= 0) return 0;
    return static_cast<int>(std::floor(y / body_ + kEpsilon));
  }
  double PageStart(int page) const { return page == 0 ? 0 : page * body_; }
  double PageEnd(int page) const { return body_ == kInfinity ? kInfinity : (page + 1) * body_; }

  // `y`, or the next page's top when a `height` from `y` would cross a page's end.
  double Fit(double y, double height) const {
    const double end = PageEnd(PageOf(y));
    return y + height > end + kEpsilon ? end : y;
  }

  // The longest piece of [top, bottom] that lies on one page.
  std::pair<double, double> LongestPiece(double top, double bottom) const {
    std::pair<double, double> best{top, top};
    if (bottom <= top) return best;
    for (int page = PageOf(top); page <= PageOf(bottom - kEpsilon); ++page) {
      const double a = std::max(top, PageStart(page)), b = std::min(bottom, PageEnd(page));
      if (b - a > best.second - best.first + kEpsilon) best = {a, b};
    }
    return best;
  }

  Page& At(int page) {
    while (static_cast<int>(drawing_.pages.size()) <= page) {
      Page& added = drawing_.pages.emplace_back();
      added.width = page_width_;
      added.height = page_height_;
      added.top_depth =
          PageStart(static_cast<int>(drawing_.pages.size()) - 1) / drawing_.mm_per_metre;
    }
    return drawing_.pages[page];
  }

  double PageY(int page, double y) const { return drawing_.log_top + y - PageStart(page); }

  void AddBox(Region region, Span span, double top, double bottom, Colour stroke,
              double stroke_width, Fill fill) {
    if (bottom <= top) return;
    for (int page = PageOf(top); page <= PageOf(bottom - kEpsilon); ++page) {
      const double a = std::max(top, PageStart(page)), b = std::min(bottom, PageEnd(page));
      if (b <= a) continue;
      At(page).boxes.push_back(
          Box{region, span.x, PageY(page, a), span.width, b - a, stroke, stroke_width, fill});
    }
  }

  void AddLine(Region region, double x1, double y1, double x2, double y2, Colour stroke,
               double width, bool dashed = false) {
    if (y2 < y1) {
      std::swap(x1, x2);
      std::swap(y1, y2);
    }
    if (y1 == y2) {
      const int page = PageOf(y1);
      At(page).lines.push_back(
          Line{region, x1, PageY(page, y1), x2, PageY(page, y2), stroke, width, dashed});
      return;
    }
    for (int page = PageOf(y1); page <= PageOf(std::max(y1, y2 - kEpsilon)); ++page) {
      const double a = std::max(y1, PageStart(page)), b = std::min(y2, PageEnd(page));
      if (b < a) continue;
      auto x_at = [&](double y) { return x1 + (x2 - x1) * (y - y1) / (y2 - y1); };
      At(page).lines.push_back(
          Line{region, x_at(a), PageY(page, a), x_at(b), PageY(page, b), stroke, width, dashed});
    }
  }

  void AddMark(Region region, MarkShape shape, double x, double y, double size) {
    const int page = PageOf(y);
    At(page).marks.push_back(Mark{region, shape, x, PageY(page, y), size, kBlack});
  }

  Drawing& drawing() { return drawing_; }

  // Texts fitted into a box (FitText), whose lines are good until the next texts are fitted: a
  // cut is counted, and room is made among the drawing's characters for the lines (MakeRoomFor).
  FittedLines& FitTexts(std::span<const std::u16string_view> texts, double width, double height,
                        double size, double min_size);
  // The lines fitted last, for a caller that fits texts itself (FitText into them) and then
  // makes room for their lines.
  FittedLines& fitted() { return fitted_; }

  // Room among the drawing's characters for those of `lines` that are not yet among them, so
  // that adding them one by one moves none of the lines that are; when the room is made, those
  // lines are moved with the characters.
  void MakeRoomFor(std::vector<std::u16string_view>& lines);

  // A line of text whose line box starts at `top`.
  void AddText(Region region, double x, double top, double size, Anchor anchor,
               std::u16string_view text) {
    const int page = PageOf(top);
    At(page).texts.push_back(
        KeptText(drawing_, region, x, PageY(page, top) + kBaselineDrop * size, size, anchor, text));
  }

 private:
  Drawing& drawing_;
  double page_width_, page_height_, body_;
  FittedLines fitted_;
  std::vector<size_t> line_places_;  // where fitted lines lie among the drawing's characters
};

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_CANVAS_H_
