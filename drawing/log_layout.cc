#include "drawing/log_layout.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "base/utf.h"
#include "drawing/canvas.h"
#include "drawing/fills.h"
#include "drawing/log_footer.h"
#include "drawing/log_records.h"
#include "drawing/page_furniture.h"
#include "drawing/text_fit.h"

namespace tjvx::drawing {
namespace {

// A depth with two decimals, as the records write it ("23.45").
std::u16string TwoDecimalDepth(double depth) {
  const long long hundredths = std::llround(depth * 100);
  const long long cents = hundredths % 100;
  return base::Digits(hundredths / 100) + u"." + (cents < 10 ? u"0" : u"") + base::Digits(cents);
}

class LogLayout {
 public:
  // The characters of the contents' texts become the drawing's: the texts shown as they are
  // refer to them where they lie.
  LogLayout(LogContents contents, const LayoutOptions& options)
      : contents_(std::move(contents)),
        paper_(options.paper),
        page_width_(paper_ == Paper::kA3 ? 297 : 210),
        columns_((page_width_ - kDrawingWidth) / 2) {
    drawing_.chars = std::move(contents_.chars);
    drawing_.scale = std::clamp(options.scale, kMinScale, kMaxScale);
    drawing_.mm_per_metre = 1000.0 / drawing_.scale;
    drawing_.log_top = kLogTop;
    drawing_.deepest = contents_.deepest;
    drawing_.hatches = HatchSet();
    drawing_.omitted = contents_.omitted;
    drawing_.lost = std::move(contents_.lost);
  }

  // Lays the log out once.
  Drawing Run() {
    double page_height = 0, body = kInfinity;
    if (paper_ != Paper::kNone) {
      page_height = paper_ == Paper::kA4 ? 297 : 420;
      body = page_height - kLogTop - kMargin;
      drawing_.page_body = body;
    }
    Canvas canvas(drawing_, page_width_, page_height, body);
    canvas_ = &canvas;
    if (paper_ == Paper::kNone) MakeRoom(canvas.At(0));
    MakeRoomForChars();
    PageFurniture furniture(canvas, contents_.title, columns_);

    const double log_bottom = Y(contents_.deepest);
    drawing_.log_bottom = log_bottom;
    double log_end = log_bottom;
    LayOutIntervals(Region::kUnits, contents_.units, column(kUnitColumn));
    LayOutLayers();
    log_end = std::max(log_end, LayOutDepths());
    LayOutIntervals(Region::kIntervals, contents_.intervals, column(kIntervalColumn));
    log_end = std::max(
        log_end, LayOutNotes(Region::kNames, column(kNameColumn), contents_.names, kSmallSize));
    LayOutNoteBlocks(log_bottom);
    log_end = std::max(log_end, LayOutTests());
    log_end = std::max(
        log_end, LayOutNotes(Region::kMarks, column(kMarkColumn), contents_.marks, kSmallSize));
    LayOutFrame(log_end);
    const double end = LayOutFooterAndLegend(canvas, columns_.left(), log_end);

    const int pages = canvas.PageOf(end - kEpsilon) + 1;
    canvas.At(pages - 1);
    if (paper_ == Paper::kNone) drawing_.pages[0].height = kLogTop + end + kMargin;
    furniture.AddToPages(log_bottom);
    return std::move(drawing_);
  }

 private:
  // A log without paper is one page, with room made at once for about as many shapes as its
  // contents give: a list that grew step by step would pass through ever larger copies of itself,
  // each on fresh memory.
  void MakeRoom(Page& page) const {
    constexpr size_t kFurniture =
        4096;  // the title, the captions, the scale, the frame, the footer
    size_t notes = 0, texts = 0;
    for (const std::vector<DepthNote>* list :
         {&contents_.names, &contents_.readings, &contents_.marks}) {
      notes += list->size();
      for (const DepthNote& note : *list) texts += note.texts.count;
    }
    // The lines of the descriptions are long: most of them take two lines or more.
    notes += contents_.notes.size();
    for (const NoteBlock& block : contents_.notes) texts += 2 * block.texts.count;
    size_t intervals = 0;
    for (const std::vector<Interval>* list :
         {&contents_.units, &contents_.layers, &contents_.intervals}) {
      intervals += list->size();
      for (const Interval& interval : *list) texts += interval.names.count;
    }
    const size_t tests = contents_.tests.size();
    // The depth column's two lines and two texts a layer; the scale's ticks, ten a metre at most.
    const size_t layers = contents_.layers.size();
    const auto ticks = static_cast<size_t>(std::min(contents_.deepest, kMaxDepth) * 10) + 1;
    page.boxes.reserve(intervals + layers + kFurniture);
    page.lines.reserve(2 * notes + tests + 2 * layers + ticks + kFurniture);
    page.marks.reserve(tests);
    page.texts.reserve(texts + tests + 2 * layers + kFurniture);
  }

  // Room for the characters of the drawing's texts besides those of the contents: the N values,
  // the depths of notes pushed off their page, the cut lines and the blocks every page repeats;
  // room never written takes no memory.
  void MakeRoomForChars() {
    constexpr size_t kFurniture = 65536;
    const size_t notes = contents_.names.size() + 2 * contents_.notes.size() +
                         contents_.readings.size() + contents_.marks.size();
    // A layer's depth and thickness take about 12 characters too.
    drawing_.chars.reserve(drawing_.chars.size() +
                           12 * (notes + contents_.tests.size() + contents_.layers.size()) +
                           kFurniture);
  }

  Span column(ColumnId id) const { return columns_[id]; }
  double Y(double depth) const { return depth * drawing_.mm_per_metre; }

  // Text `i` of the contents, among the drawing's characters.
  std::u16string_view TextAt(size_t i) const {
    const size_t begin = i == 0 ? 0 : contents_.text_ends[i - 1];
    return std::u16string_view(drawing_.chars).substr(begin, contents_.text_ends[i] - begin);
  }

  // The texts of a run of the contents, as paragraphs_.
  std::span<std::u16string_view> TextsOf(TextRun run) {
    paragraphs_.clear();
    for (size_t i = run.first; i < run.first + run.count; ++i) paragraphs_.push_back(TextAt(i));
    return paragraphs_;
  }

  // The names of an interval, fitted into the room its box has below the texts above it, centred
  // in the longest piece of that room on one page. Returns the bottom of the texts.
  double IntervalNames(Region region, Span span, double top, double bottom, double cursor,
                       TextRun names) {
    if (names.empty()) return cursor;
    const auto [a, b] = canvas_->LongestPiece(std::max(top, cursor), bottom);
    const FittedLines& fitted = canvas_->FitTexts(TextsOf(names), span.width - 2 * kPadding,
                                                  b - a - 2 * kTextGap, kNameSize, kMinSize);
    if (fitted.lines.empty()) return cursor;
    const double line_height = fitted.size * kLineSpacing;
    double y = a + (b - a - line_height * static_cast<double>(fitted.lines.size())) / 2;
    for (const std::u16string_view line : fitted.lines) {
      canvas_->AddText(region, span.middle(), y, fitted.size, Anchor::kMiddle, line);
      y += line_height;
    }
    return y;
  }

  // The depth column: above the bottom of each layer its depth, then its thickness, the last line
  // ending at the bottom; an open-ended layer has neither. Labels that would overlap are pushed
  // down, with a leader from the layer's bottom. Returns the bottom of the last label.
  double LayOutDepths() {
    const Span span = column(kDepthColumn);
    const double line_height = kSmallSize * kLineSpacing;
    double cursor = 0;
    for (const Interval& layer : contents_.layers) {
      if (layer.open_ended) continue;
      const double y = Y(layer.bottom);
      const double wanted = y - 2 * line_height;
      const double top = canvas_->Fit(std::max({wanted, cursor, 0.0}), 2 * line_height);
      canvas_->AddLine(Region::kDepths, span.x, y, span.x + 1.2, y, kBlack, kThinWidth);
      if (top > wanted + kEpsilon) {
        canvas_->AddLine(Region::kDepths, span.x + 1.2, y, span.x + kLeaderRoom - 0.3,
                         top + 2 * line_height, kLeaderColour, kThinWidth);
      } else {
        canvas_->AddLine(Region::kDepths, span.x + 1.2, y, span.right(), y, kBlack, kThinWidth);
      }
      const double x = span.right() - kPadding;
      canvas_->AddText(Region::kDepths, x, top, kSmallSize, Anchor::kEnd,
                       TwoDecimalDepth(layer.bottom));
      canvas_->AddText(Region::kDepths, x, top + line_height, kSmallSize, Anchor::kEnd,
                       TwoDecimalDepth(layer.bottom - layer.top));
      cursor = top + 2 * line_height;
    }
    return cursor;
  }

  // Boxes outlined on white with their names inside (2000 units, 3040 intervals).
  void LayOutIntervals(Region region, const std::vector<Interval>& spans, Span box) {
    double cursor = 0;
    for (const Interval& span : spans) {
      const double top = Y(span.top), bottom = Y(span.bottom);
      canvas_->AddBox(region, box, top, bottom, kBlack, kThinWidth, Fill{kWhite, -1});
      cursor = IntervalNames(region, box, top, bottom, cursor, span.names);
    }
  }

  // The layers: the pattern strip in the fill of the first name, the names beside it on a pale
  // shade of the same colour. A layer without a name is left white.
  void LayOutLayers() {
    const Span pattern = column(kPatternColumn), names = column(kLayerNameColumn);
    double cursor = 0;
    for (const Interval& layer : contents_.layers) {
      Fill fill{kWhite, -1};
      Fill shade{kWhite, -1};
      if (!layer.names.empty()) {
        const std::u16string_view first_name = TextAt(layer.names.first);
        bool is_new = false;
        fill = fills_.For(first_name, &is_new);
        if (is_new) drawing_.legend.push_back({std::u16string(first_name), fill});
        shade = Fill{Lighten(fill.colour, 0.6), -1};
      }
      const double top = Y(layer.top), bottom = Y(layer.bottom);
      canvas_->AddBox(Region::kLayers, pattern, top, bottom, kBlack, kThinWidth, fill);
      canvas_->AddBox(Region::kLayers, names, top, bottom, kBlack, kThinWidth, shade);
      cursor = IntervalNames(Region::kLayers, names, top, bottom, cursor, layer.names);
    }
  }

  // Texts at depths, in depth order, each block pushed below the one before it when they would
  // overlap, with a leader from its depth at the column's edge to its first line. One pass. A
  // block pushed off its depth's page starts with its depth ("〔23.45m〕"), and its leader is
  // drawn only when the block begins on the next page, so no leader crosses more than one page
  // end. Returns the bottom of the last block.
  double LayOutNotes(Region region, Span span, const std::vector<DepthNote>& notes, double size,
                     double gap = kTextGap) {
    const double text_width = span.width - kLeaderRoom - kPadding;
    const double line_height = size * kLineSpacing;
    double cursor = 0;
    for (const DepthNote& note : notes) {
      if (note.texts.empty()) continue;
      const double depth_y = Y(note.depth);
      const double first_top =
          canvas_->Fit(std::max({depth_y - line_height / 2, cursor, 0.0}), line_height);
      const int pages_away = canvas_->PageOf(first_top) - canvas_->PageOf(depth_y);
      const std::span<std::u16string_view> texts = TextsOf(note.texts);
      if (pages_away > 0) {
        prefixed_.assign(u"〔").append(TwoDecimalDepth(note.depth)).append(u"m〕").append(texts[0]);
        texts[0] = prefixed_;
      }
      const FittedLines& fitted = canvas_->FitTexts(texts, text_width, kInfinity, size, size);
      double y = first_top;
      for (const std::u16string_view line : fitted.lines) {
        y = canvas_->Fit(y, line_height);
        canvas_->AddText(region, span.x + kLeaderRoom, y, size, Anchor::kStart, line);
        y += line_height;
      }
      canvas_->AddLine(region, span.x + 0.3, depth_y, span.x + 1.2, depth_y, kLeaderColour,
                       kThinWidth);
      if (pages_away <= 1) {
        canvas_->AddLine(region, span.x + 1.2, depth_y, span.x + kLeaderRoom - 0.3,
                         first_top + line_height / 2, kLeaderColour, kThinWidth);
      }
      cursor = y + gap;
    }
    return cursor;
  }

  // The 2001 note blocks, each from the top of the interval it describes, or just below the block
  // above when that ends lower, with a leader from its interval's top; a block pushed off its
  // interval's page starts with its interval ("〔0.80～2.50m〕"). Nothing goes below the log's
  // bottom: a block that does not fit shrinks to the smallest size, then is cut with "…"; a block
  // with no room left is left out. Both count as cut.
  void LayOutNoteBlocks(double log_bottom) {
    const Span span = column(kNoteColumn);
    const double text_width = span.width - kLeaderRoom - kPadding;
    const double line_height = kNoteSize * kLineSpacing;
    double cursor = 0;
    drawing_.note_blocks.reserve(contents_.notes.size());
    for (const NoteBlock& block : contents_.notes) {
      NoteBlockPlace& place = drawing_.note_blocks.emplace_back();
      place.interval_top = Y(block.top);
      place.interval_bottom = Y(block.bottom);
      const double top_y = place.interval_top;
      place.leader = cursor > top_y + kEpsilon;
      const double first_top = canvas_->Fit(std::max(top_y, cursor), line_height);
      place.top = place.bottom = first_top;
      const int pages_away = canvas_->PageOf(first_top) - canvas_->PageOf(top_y);
      const std::span<std::u16string_view> texts = TextsOf(block.texts);
      if (pages_away > 0) {
        prefixed_.assign(u"〔")
            .append(TwoDecimalDepth(block.top))
            .append(u"～")
            .append(TwoDecimalDepth(block.bottom))
            .append(u"m〕")
            .append(texts[0]);
        texts[0] = prefixed_;
      }
      if (!FitAbove(texts, text_width, first_top, log_bottom)) {
        place.drawn = false;
        continue;
      }
      const FittedLines& fitted = canvas_->fitted();
      const double fitted_height = fitted.size * kLineSpacing;
      double y = first_top;
      for (const std::u16string_view line : fitted.lines) {
        y = canvas_->Fit(y, fitted_height);
        canvas_->AddText(Region::kNotes, span.x + kLeaderRoom, y, fitted.size, Anchor::kStart,
                         line);
        y += fitted_height;
      }
      place.bottom = y;
      canvas_->AddLine(Region::kNotes, span.x + 0.3, top_y, span.x + 1.2, top_y, kLeaderColour,
                       kThinWidth);
      if (place.leader && pages_away <= 1) {
        canvas_->AddLine(Region::kNotes, span.x + 1.2, top_y, span.x + kLeaderRoom - 0.3,
                         first_top + fitted_height / 2, kLeaderColour, kThinWidth);
      }
      cursor = y + kNoteBlockGap;
    }
  }

  // The bottom of lines of `line_height` placed one under another from `top`, each going on at
  // the next page's top when it would cross a page's end.
  double LinesEnd(double top, size_t lines, double line_height) const {
    double y = top;
    for (size_t i = 0; i < lines; ++i) y = canvas_->Fit(y, line_height) + line_height;
    return y;
  }

  // Texts fitted into the canvas's fitted lines so that their lines, placed from `top`, end above
  // `bottom`: at the note size when they can, else smaller down to the smallest size, else cut with
  // "…". A cut is counted once. False when not a line fits.
  bool FitAbove(std::span<const std::u16string_view> texts, double width, double top,
                double bottom) {
    FittedLines& fitted = canvas_->fitted();
    double room = bottom - top;
    // A page's end that a line cannot cross takes some of the room: fitted again into the rest.
    for (int attempt = 0; attempt < 8 && room > 0; ++attempt) {
      FitText(texts, width, room, kNoteSize, kMinSize, fitted);
      const double end = LinesEnd(top, fitted.lines.size(), fitted.size * kLineSpacing);
      if (end <= bottom + kEpsilon) break;
      room -= end - bottom;
    }
    if (room <= 0) fitted.lines.clear();
    bool cut = room <= 0 || fitted.cut;
    while (!fitted.lines.empty() &&
           LinesEnd(top, fitted.lines.size(), fitted.size * kLineSpacing) > bottom + kEpsilon) {
      fitted.lines.pop_back();
      cut = true;
    }
    if (cut) ++drawing_.omitted.cut_texts;
    canvas_->MakeRoomFor(fitted.lines);
    return !fitted.lines.empty();
  }

  // The 4000 tests: readings and lengths beside each depth, the N values as points joined by a
  // line, each value written in the strip right of the axis; a value beyond 50 is drawn at the
  // axis's end as a triangle pointing on.
  double LayOutTests() {
    const double end =
        LayOutNotes(Region::kReadings, column(kReadingColumn), contents_.readings, kSmallSize);

    const double strip_x = columns_.AxisX(kAxisMax) + 1.2;
    const double line_height = kSmallSize * kLineSpacing;
    double cursor = 0;
    bool have_last = false;
    double last_x = 0, last_y = 0;
    for (const IntervalTest& test : contents_.tests) {
      if (!test.count) continue;
      const double n = static_cast<double>(test.count->n);
      const double x = columns_.AxisX(n), y = Y(test.depth);
      if (have_last) canvas_->AddLine(Region::kGraph, last_x, last_y, x, y, kBlack, 0.2);
      canvas_->AddMark(Region::kGraph, n > kAxisMax ? MarkShape::kRightTriangle : MarkShape::kDot,
                       x, y, n > kAxisMax ? 1.6 : 1.0);
      have_last = true;
      last_x = x;
      last_y = y;
      // The value beside its point, or below the value before it; one pushed off the point's
      // page would stand beside nothing, so it is left out and counted.
      const double top = canvas_->Fit(std::max({y - line_height / 2, cursor, 0.0}), line_height);
      if (canvas_->PageOf(top) != canvas_->PageOf(y)) {
        ++drawing_.omitted.cut_texts;
        continue;
      }
      canvas_->AddText(Region::kGraph, strip_x, top, kSmallSize, Anchor::kStart,
                       BlowLabel(*test.count));
      cursor = top + line_height;
    }
    return std::max(end, cursor);
  }

  // The frame around the log and the lines between its columns, down to the end of its texts.
  void LayOutFrame(double log_end) {
    const Span whole{columns_.left(), kDrawingWidth};
    canvas_->AddBox(Region::kFrame, whole, 0, log_end, kBlack, kFrameWidth, Fill{kNoColour, -1});
    for (int i = 1; i < kColumnCount; ++i) {
      const double x = columns_[i].x;
      canvas_->AddLine(Region::kFrame, x, 0, x, log_end, kBlack,
                       i == kLayerNameColumn ? kThinWidth : kFrameWidth);
    }
  }

  LogContents contents_;
  Paper paper_;
  Drawing drawing_;
  FillChooser fills_;
  std::vector<std::u16string_view> paragraphs_;  // the texts being fitted
  std::u16string prefixed_;  // a note's first text with the depth it was pushed away from
  double page_width_;
  Columns columns_;
  Canvas* canvas_ = nullptr;
};

}  // namespace

Drawing LayOutLog(const converted::ConvertedFile& file, const LayoutOptions& options) {
  return LogLayout(ReadLogContents(file), options).Run();
}

Drawing LayOutLogAt(std::u16string_view path, const LayoutOptions& options) {
  return LogLayout(ReadLogContentsAt(path), options).Run();
}

Drawing LayOutLogContents(LogContents contents, const LayoutOptions& options) {
  return LogLayout(std::move(contents), options).Run();
}

}  // namespace tjvx::drawing
