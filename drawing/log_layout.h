#ifndef TJVX_DRAWING_LOG_LAYOUT_H_
#define TJVX_DRAWING_LOG_LAYOUT_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "converted/model.h"

// The log of one converted file as shapes on pages. LayOutLog decides every position; the back
// ends (the SVG writer, the windows' painters) only paint what it decided. Lengths are millimetres
// on paper, y grows downwards, and each page has its own origin at its top left corner.
namespace tjvx::drawing {

// An sRGB colour 0xRRGGBB; kNoColour paints nothing.
using Colour = std::uint32_t;
inline constexpr Colour kNoColour = 0xFF000000u;
inline constexpr Colour kBlack = 0x000000u;
inline constexpr Colour kWhite = 0xFFFFFFu;

enum class Paper : std::uint8_t {
  kNone,  // one page as long as the log
  kA4,    // 210 x 297 mm portrait pages
  kA3,    // 297 x 420 mm portrait pages
};

struct LayoutOptions {
  // The scale is 1:scale; at 1:100 one metre of depth is 10 mm on paper. A value outside
  // kMinScale..kMaxScale is taken as the nearer end (Drawing::scale says which was used).
  int scale = 100;
  Paper paper = Paper::kNone;
};
inline constexpr int kMinScale = 10;
inline constexpr int kMaxScale = 10000;

// Which region of the log a shape belongs to, so tests and painters can pick shapes out.
enum class Region : std::uint8_t {
  kTitle,      // the title block from the header records, on every page
  kHeader,     // the captions above the columns, on every page
  kFrame,      // the lines around and between the columns
  kScale,      // the depth scale in metres
  kDepths,     // the depth and thickness of each 3030 layer at its bottom
  kUnits,      // 2000 units
  kLayers,     // 3030 layers: the pattern strip and the names beside it
  kIntervals,  // 3040 intervals
  kNames,      // 3070 names
  kNotes,      // 2001 descriptions with their 2002 lines
  kReadings,   // 4000 readings and lengths
  kGraph,      // 4000 N values against depth
  kMarks,      // 3000, 3010, 3020, 5000, 5010
  kFooter,     // the counts of what could not be drawn
  kLegend,     // the fills of the layer names
};

// The hatch patterns laid over a fill. Drawing::hatches holds one definition of each.
enum class HatchKind : std::uint8_t {
  kDiagonal,      // lines rising to the right
  kBackDiagonal,  // lines falling to the right
  kCross,         // both diagonals
  kHorizontal,
  kVertical,
  kDots,
  kCircles,
};

struct Hatch {
  std::string id;  // its name, for painters and as the class of its strokes in SVG ("hatch-dots")
  HatchKind kind = HatchKind::kDiagonal;
  Colour colour = kBlack;
  double spacing = 1.5;     // mm between lines or dots
  double line_width = 0.1;  // mm
};

// A fill of a layer: a colour and an optional hatch (an index in Drawing::hatches, -1 for none).
struct Fill {
  Colour colour = kWhite;
  int hatch = -1;
  bool operator==(const Fill&) const = default;
};

// The shapes keep their narrow members last, so that a log's hundreds of thousands of them take
// no room for padding; their constructors take the members in the order a reader thinks of them.
struct Box {
  double x = 0, y = 0, width = 0, height = 0;
  double stroke_width = 0.2;
  Colour stroke = kNoColour;
  Fill fill{kNoColour, -1};
  Region region = Region::kFrame;

  Box() = default;
  Box(Region region, double x, double y, double width, double height, Colour stroke,
      double stroke_width, Fill fill)
      : x(x), y(y), width(width), height(height), stroke_width(stroke_width), stroke(stroke),
        fill(fill), region(region) {}
};

struct Line {
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  double width = 0.15;
  Colour stroke = kBlack;
  Region region = Region::kFrame;
  bool dashed = false;

  Line() = default;
  Line(Region region, double x1, double y1, double x2, double y2, Colour stroke, double width,
       bool dashed)
      : x1(x1), y1(y1), x2(x2), y2(y2), width(width), stroke(stroke), region(region),
        dashed(dashed) {}
};

// A point of the N graph: a dot, or a triangle pointing right for a value beyond the axis.
enum class MarkShape : std::uint8_t { kDot, kRightTriangle };
struct Mark {
  Region region = Region::kGraph;
  MarkShape shape = MarkShape::kDot;
  double x = 0, y = 0;  // the centre; the tip for a triangle
  double size = 1.2;    // diameter, or the triangle's length and height
  Colour fill = kBlack;
};

enum class Anchor : std::uint8_t { kStart, kMiddle, kEnd };
// A line of text. Its characters are the piece [begin, begin + length) of Drawing::chars
// (Drawing::TextOf), so that the hundreds of thousands of texts of a long log take no memory of
// their own.
struct Text {
  double x = 0;
  double y = 0;     // the baseline
  double size = 2;  // the font size (em) in mm
  std::uint32_t begin = 0, length = 0;
  Colour colour = kBlack;
  Region region = Region::kFrame;
  Anchor anchor = Anchor::kStart;

  Text() = default;
  Text(Region region, double x, double y, double size, Anchor anchor, Colour colour,
       std::uint32_t begin, std::uint32_t length)
      : x(x), y(y), size(size), begin(begin), length(length), colour(colour), region(region),
        anchor(anchor) {}
};

// One sheet. Painted in this order: boxes, lines, marks, texts, so texts stay legible.
struct Page {
  double width = 0, height = 0;
  double top_depth = 0;  // the depth in metres at Drawing::log_top on this page
  std::vector<Box> boxes;
  std::vector<Line> lines;
  std::vector<Mark> marks;
  std::vector<Text> texts;
};

struct LegendEntry {
  std::u16string name;
  Fill fill;
};

// A value that is present in the converted file and cannot be drawn: a text where a number
// belongs, a line whose values cannot be told apart (its whole text), a reading without a counted
// length, a 2002 line no 2001 entry owns. Placeholders ("@", "-1", "99999") are empty values and
// never lost.
struct LostValue {
  int code = 0;        // the record's code
  long long line = 0;  // its line in the file
  std::u16string value;
  bool operator==(const LostValue&) const = default;
};

// What the drawing leaves out. `values`: the lost values (Drawing::lost lists them). `cut_texts`:
// texts that did not fit their room and were cut with "…" or left out.
struct Omissions {
  long long values = 0;
  long long cut_texts = 0;
  bool operator==(const Omissions&) const = default;
};

// Where a 2001 note block was put, in mm below the log's top depth as if the log were one page:
// the interval it describes, and the top and bottom of its lines. `leader`: it was pushed below
// the block above and a leader runs from its interval's top to it. `drawn` is false for a block
// left out for want of room.
// Room between two note blocks, so each reads as a block of its own.
inline constexpr double kNoteBlockGap = 1.2;
struct NoteBlockPlace {
  double interval_top = 0, interval_bottom = 0;
  double top = 0, bottom = 0;
  bool leader = false;
  bool drawn = true;
};

struct Drawing {
  int scale = 100;             // 1:scale, as used
  double mm_per_metre = 10;    // 1000 / scale
  double log_top = 0;          // y of the page's top depth on every page
  double page_body = 0;        // mm of log on one page; 0 when the log is one page
  double deepest = 0;          // the log's bottom in metres (open-ended layers end here)
  std::vector<Hatch> hatches;  // every hatch a Fill may name
  std::vector<Page> pages;
  std::vector<LegendEntry> legend;  // the layer names with their fills, in order of appearance
  Omissions omitted;
  std::vector<LostValue> lost;  // in the order of their lines
  std::vector<NoteBlockPlace> note_blocks;  // in the order of their intervals
  double log_bottom = 0;  // the y of Drawing::deepest below the log's top depth, in mm
  std::u16string chars;  // the characters of every page's texts, one after another

  std::u16string_view TextOf(const Text& text) const {
    return std::u16string_view(chars).substr(text.begin, text.length);
  }
};

// The log of a converted file, left to right: depth scale, 2000 units, 3030 layers (pattern strip
// and names), 3040 intervals, 3070 names, 2001/2002 notes, 4000 readings, the N graph, and the
// 3000/3010/3020/5000/5010 marks, 190 mm wide whatever the scale; under it the counts of what
// could not be drawn and the legend. Pure: the records in, shapes out, in one pass over them.
Drawing LayOutLog(const converted::ConvertedFile& file, const LayoutOptions& options);

// The log of the converted file at `path`, read one record at a time so that only what the log
// shows is held, never the file's records. Throws converted::ReadRefusal.
Drawing LayOutLogAt(std::u16string_view path, const LayoutOptions& options);

// A lost value as the footer and the command line list it: "記録 4000 (12 行目): abc", control
// characters shown as U+FFFD.
std::u16string LostValueText(const LostValue& lost);

// The y of a depth on the page whose top depth is `page.top_depth`.
inline double DepthY(const Drawing& drawing, const Page& page, double depth) {
  return drawing.log_top + (depth - page.top_depth) * drawing.mm_per_metre;
}

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_LAYOUT_H_
