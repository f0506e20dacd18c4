#ifndef TJVX_DRAWING_SHEET_H_
#define TJVX_DRAWING_SHEET_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>

#include "drawing/log_layout.h"

// The measures of the log's sheet that its parts share: margins and rows, font sizes, strokes and
// colours, and the columns. Lengths are millimetres on paper.
namespace tjvx::drawing {

inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
inline constexpr double kEpsilon = 1e-6;

// The sheet: 190 mm of drawing fit the width of an A4 page inside 10 mm margins.
inline constexpr double kMargin = 10;
inline constexpr double kDrawingWidth = 190;
inline constexpr double kTitleRowHeight = 6;
inline constexpr int kTitleRows = 5;
inline constexpr double kHeaderGap = 2;
inline constexpr double kHeaderHeight = 10;
inline constexpr double kLogTop =
    kMargin + kTitleRowHeight * kTitleRows + kHeaderGap + kHeaderHeight;

// Font sizes in mm (2.5 mm is about 7 points).
inline constexpr double kTitleValueSize = 2.6;
inline constexpr double kCaptionSize = 2.0;
inline constexpr double kNameSize = 2.2;
inline constexpr double kNoteSize = 2.0;
inline constexpr double kSmallSize = 1.8;
inline constexpr double kMinSize = 1.5;

// Stroke widths and colours.
inline constexpr double kFrameWidth = 0.25;
inline constexpr double kThinWidth = 0.12;
inline constexpr Colour kLabelShade = 0xEEEEEE;
inline constexpr Colour kGridColour = 0x9E9E9E;
inline constexpr Colour kLeaderColour = 0x404040;

// A note's leader runs from its depth at the column's left edge to the text, in this room.
inline constexpr double kLeaderRoom = 2.6;
inline constexpr double kPadding = 0.5;
// Room kept between two texts pushed one under the other.
inline constexpr double kTextGap = 0.4;

// The N graph: 0..50 over kAxisWidth, then a strip for the values written beside the points.
inline constexpr double kAxisPad = 2;
inline constexpr double kAxisWidth = 24;
inline constexpr double kAxisMax = 50;

// The columns, left to right, with their widths in mm (190 in all).
enum ColumnId {
  kScaleColumn,
  kDepthColumn,
  kUnitColumn,
  kPatternColumn,
  kLayerNameColumn,
  kIntervalColumn,
  kNameColumn,
  kNoteColumn,
  kReadingColumn,
  kGraphColumn,
  kMarkColumn,
  kColumnCount
};
inline constexpr std::array<double, kColumnCount> kColumnWidths = {10, 11, 12, 10, 22, 14,
                                                                   11, 36, 12, 32, 20};

struct Span {
  double x = 0, width = 0;
  double right() const { return x + width; }
  double middle() const { return x + width / 2; }
};

// The columns' places across the sheet, whose drawing starts at `left`.
class Columns {
 public:
  explicit Columns(double left) : left_(left) {
    double x = 0;
    for (int i = 0; i < kColumnCount; ++i) {
      spans_[i] = Span{x + left, kColumnWidths[i]};
      x += kColumnWidths[i];
    }
  }
  Span operator[](int id) const { return spans_[id]; }
  // The drawing's left edge.
  double left() const { return left_; }
  // The x of an N value on the graph's axis; a value beyond its end stands at the end.
  double AxisX(double n) const {
    return spans_[kGraphColumn].x + kAxisPad + std::min(n, kAxisMax) * kAxisWidth / kAxisMax;
  }

 private:
  double left_;
  std::array<Span, kColumnCount> spans_;
};

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_SHEET_H_
