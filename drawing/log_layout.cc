#include "drawing/log_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "base/utf.h"
#include "drawing/canvas.h"
#include "drawing/fills.h"
#include "drawing/log_records.h"
#include "drawing/text_fit.h"

namespace tjvx::drawing {
namespace {

// A depth with two decimals, as the records write it ("23.45").
std::u16string TwoDecimalDepth(double depth) {
  const long long hundredths = std::llround(depth * 100);
  const long long cents = hundredths % 100;
  return base::Digits(hundredths / 100) + u"." + (cents < 10 ? u"0" : u"") + base::Digits(cents);
}

// A depth label: whole metres, or one decimal when the labels are closer than a metre.
std::u16string DepthLabel(double depth, bool decimals) {
  if (!decimals) return base::Digits(std::llround(depth));
  const long long tenths = std::llround(depth * 10);
  return base::Digits(tenths / 10) + u"." + base::Digits(tenths % 10);
}

class LogLayout {
 public:
  // The characters of the contents' texts become the drawing's: the texts shown as they are
  // refer to them where they lie.
  LogLayout(LogContents contents, const LayoutOptions& options)
      : contents_(std::move(contents)), paper_(options.paper) {
    drawing_.chars = std::move(contents_.chars);
    drawing_.scale = std::clamp(options.scale, kMinScale, kMaxScale);
    drawing_.mm_per_metre = 1000.0 / drawing_.scale;
    drawing_.log_top = kLogTop;
    drawing_.deepest = contents_.deepest;
    drawing_.hatches = HatchSet();
    drawing_.omitted = contents_.omitted;
    drawing_.lost = std::move(contents_.lost);
    double x = 0;
    for (int i = 0; i < kColumnCount; ++i) {
      columns_[i] = Span{x, kColumnWidths[i]};
      x += kColumnWidths[i];
    }
  }

  // Lays the log out once.
  Drawing Run() {
    double page_width = 210, page_height = 0, body = kInfinity;
    if (paper_ != Paper::kNone) {
      page_width = paper_ == Paper::kA4 ? 210 : 297;
      page_height = paper_ == Paper::kA4 ? 297 : 420;
      body = page_height - kLogTop - kMargin;
      drawing_.page_body = body;
    }
    left_ = (page_width - kDrawingWidth) / 2;
    for (Span& column : columns_) column.x += left_;
    Canvas canvas(drawing_, page_width, page_height, body);
    canvas_ = &canvas;
    if (paper_ == Paper::kNone) MakeRoom(canvas.At(0));
    MakeRoomForChars();
    // The blocks every page repeats, fitted once so their cut texts count once.
    const Page title = TitleBlock();
    const Page captions = Captions();

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
    const double end = LayOutFooterAndLegend(log_end);

    const int pages = canvas.PageOf(end - kEpsilon) + 1;
    canvas.At(pages - 1);
    if (paper_ == Paper::kNone) drawing_.pages[0].height = kLogTop + end + kMargin;
    AddPageFurniture(title, captions, log_bottom);
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

  // Texts fitted into fitted_, whose lines are taken from it before the next texts are fitted.
  FittedLines& Fit(std::span<const std::u16string_view> texts, double width, double height,
                   double size, double min_size) {
    FitText(texts, width, height, size, min_size, fitted_);
    if (fitted_.cut) ++drawing_.omitted.cut_texts;
    MakeRoomFor(fitted_.lines);
    return fitted_;
  }

  // Room among the drawing's characters for those of `lines` that are not yet among them, so
  // that adding them one by one moves none of the lines that are; when the room is made, those
  // lines are moved with the characters.
  void MakeRoomFor(std::vector<std::u16string_view>& lines) {
    std::u16string& chars = drawing_.chars;
    size_t added = 0;
    for (const std::u16string_view line : lines) {
      if (!IsAmong(drawing_, line)) added += line.size();
    }
    if (chars.capacity() - chars.size() >= added) return;
    constexpr size_t kNotAmong = std::numeric_limits<size_t>::max();
    line_places_.clear();
    for (const std::u16string_view line : lines) {
      line_places_.push_back(
          IsAmong(drawing_, line) ? static_cast<size_t>(line.data() - chars.data()) : kNotAmong);
    }
    chars.reserve(std::max(2 * chars.capacity(), chars.size() + added));
    for (size_t i = 0; i < lines.size(); ++i) {
      if (line_places_[i] != kNotAmong) {
        lines[i] = std::u16string_view(chars).substr(line_places_[i], lines[i].size());
      }
    }
  }

  // The names of an interval, fitted into the room its box has below the texts above it, centred
  // in the longest piece of that room on one page. Returns the bottom of the texts.
  double IntervalNames(Region region, Span span, double top, double bottom, double cursor,
                       TextRun names) {
    if (names.empty()) return cursor;
    const auto [a, b] = canvas_->LongestPiece(std::max(top, cursor), bottom);
    const FittedLines& fitted =
        Fit(TextsOf(names), span.width - 2 * kPadding, b - a - 2 * kTextGap, kNameSize, kMinSize);
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
      const FittedLines& fitted = Fit(texts, text_width, kInfinity, size, size);
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
      const double fitted_height = fitted_.size * kLineSpacing;
      double y = first_top;
      for (const std::u16string_view line : fitted_.lines) {
        y = canvas_->Fit(y, fitted_height);
        canvas_->AddText(Region::kNotes, span.x + kLeaderRoom, y, fitted_.size, Anchor::kStart,
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

  // Texts fitted into fitted_ so that their lines, placed from `top`, end above `bottom`: at the
  // note size when they can, else smaller down to the smallest size, else cut with "…". A cut is
  // counted once. False when not a line fits.
  bool FitAbove(std::span<const std::u16string_view> texts, double width, double top,
                double bottom) {
    double room = bottom - top;
    // A page's end that a line cannot cross takes some of the room: fitted again into the rest.
    for (int attempt = 0; attempt < 8 && room > 0; ++attempt) {
      FitText(texts, width, room, kNoteSize, kMinSize, fitted_);
      const double end = LinesEnd(top, fitted_.lines.size(), fitted_.size * kLineSpacing);
      if (end <= bottom + kEpsilon) break;
      room -= end - bottom;
    }
    if (room <= 0) fitted_.lines.clear();
    bool cut = room <= 0 || fitted_.cut;
    while (!fitted_.lines.empty() &&
           LinesEnd(top, fitted_.lines.size(), fitted_.size * kLineSpacing) > bottom + kEpsilon) {
      fitted_.lines.pop_back();
      cut = true;
    }
    if (cut) ++drawing_.omitted.cut_texts;
    MakeRoomFor(fitted_.lines);
    return !fitted_.lines.empty();
  }

  double AxisX(double n) const {
    return column(kGraphColumn).x + kAxisPad + std::min(n, kAxisMax) * kAxisWidth / kAxisMax;
  }

  // The 4000 tests: readings and lengths beside each depth, the N values as points joined by a
  // line, each value written in the strip right of the axis; a value beyond 50 is drawn at the
  // axis's end as a triangle pointing on.
  double LayOutTests() {
    const double end =
        LayOutNotes(Region::kReadings, column(kReadingColumn), contents_.readings, kSmallSize);

    const double strip_x = AxisX(kAxisMax) + 1.2;
    const double line_height = kSmallSize * kLineSpacing;
    double cursor = 0;
    bool have_last = false;
    double last_x = 0, last_y = 0;
    for (const IntervalTest& test : contents_.tests) {
      if (!test.count) continue;
      const double n = static_cast<double>(test.count->n);
      const double x = AxisX(n), y = Y(test.depth);
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
    const Span whole{left_, kDrawingWidth};
    canvas_->AddBox(Region::kFrame, whole, 0, log_end, kBlack, kFrameWidth, Fill{kNoColour, -1});
    for (int i = 1; i < kColumnCount; ++i) {
      const double x = columns_[i].x;
      canvas_->AddLine(Region::kFrame, x, 0, x, log_end, kBlack,
                       i == kLayerNameColumn ? kThinWidth : kFrameWidth);
    }
  }

  // Under the log: the counts of what was left out, then the legend of the layer names. The
  // legend is laid out first, so its own cut names are in the counts. Returns the end.
  double LayOutFooterAndLegend(double log_end) {
    const double line_height = 2.5 * kLineSpacing;
    double y = log_end + 3;
    // The count of the values lost, the first of them, how many more, the count of the cut texts.
    const size_t listed = std::min(drawing_.lost.size(), kLostListed);
    std::vector<double> footer_lines(2 + listed + (drawing_.lost.size() > listed ? 1 : 0));
    for (double& top : footer_lines) {
      top = canvas_->Fit(y, line_height);
      y = top + line_height;
    }
    y += 2;
    if (!drawing_.legend.empty()) {
      const double heading = canvas_->Fit(y, line_height);
      canvas_->AddText(Region::kLegend, left_, heading, 2.5, Anchor::kStart, u"凡例");
      y = heading + line_height + 1;
      constexpr int kPerRow = 4;
      constexpr double kRowHeight = 6;
      const double cell = kDrawingWidth / kPerRow;
      for (size_t i = 0; i < drawing_.legend.size(); ++i) {
        if (i % kPerRow == 0 && i > 0) y += kRowHeight;
        if (i % kPerRow == 0) y = canvas_->Fit(y, kRowHeight);
        const LegendEntry& entry = drawing_.legend[i];
        const double x = left_ + cell * static_cast<double>(i % kPerRow);
        canvas_->AddBox(Region::kLegend, Span{x, 10}, y + 1, y + 5, kBlack, kThinWidth, entry.fill);
        const std::u16string_view text = entry.name;
        const FittedLines& name = Fit({&text, 1}, cell - 13, kRowHeight - 0.5, kNameSize, kMinSize);
        double line_y =
            y +
            (kRowHeight - name.size * kLineSpacing * static_cast<double>(name.lines.size())) / 2;
        for (const std::u16string_view line : name.lines) {
          canvas_->AddText(Region::kLegend, x + 12, line_y, name.size, Anchor::kStart, line);
          line_y += name.size * kLineSpacing;
        }
      }
      y += kRowHeight;
    }
    std::u16string values(u"描画できない値: ");
    values.append(base::Digits(drawing_.omitted.values));
    canvas_->AddText(Region::kFooter, left_, footer_lines[0], 2.5, Anchor::kStart, values);
    for (size_t i = 0; i < listed; ++i) {
      // A value is shown on one line, cut with "…" when it is longer.
      const std::u16string text = LostValueText(drawing_.lost[i]);
      const std::u16string_view view = text;
      const FittedLines& fitted =
          Fit({&view, 1}, kDrawingWidth - kFooterIndent, line_height, 2.5, 2.5);
      if (fitted.lines.empty()) continue;
      canvas_->AddText(Region::kFooter, left_ + kFooterIndent, footer_lines[1 + i], 2.5,
                       Anchor::kStart, fitted.lines.front());
    }
    if (drawing_.lost.size() > listed) {
      std::u16string more(u"ほか ");
      more.append(base::Digits(static_cast<long long>(drawing_.lost.size() - listed)))
          .append(u" 件");
      canvas_->AddText(Region::kFooter, left_ + kFooterIndent, footer_lines[1 + listed], 2.5,
                       Anchor::kStart, more);
    }
    // Counted last, so that the cut lost values are in it.
    std::u16string cut(u"欄に収まらず省いた文字列: ");
    cut.append(base::Digits(drawing_.omitted.cut_texts));
    canvas_->AddText(Region::kFooter, left_, footer_lines.back(), 2.5, Anchor::kStart, cut);
    return y;
  }

  // What every page has: the title block, the captions of the columns, the depth scale of the
  // page's depths and the N graph's grid.
  void AddPageFurniture(const Page& title, const Page& captions, double log_bottom) {
    const int pages = static_cast<int>(drawing_.pages.size());
    for (int p = 0; p < pages; ++p) {
      Page& page = drawing_.pages[p];
      for (const Page* block : {&title, &captions}) {
        page.boxes.insert(page.boxes.end(), block->boxes.begin(), block->boxes.end());
        page.lines.insert(page.lines.end(), block->lines.begin(), block->lines.end());
        page.texts.insert(page.texts.end(), block->texts.begin(), block->texts.end());
      }
      std::u16string number = base::Digits(p + 1);
      number.append(u" / ").append(base::Digits(pages));
      page.texts.push_back(KeptText(drawing_, Region::kTitle, title_page_x_,
                                    kMargin + 4 * kTitleRowHeight + 4.1, kTitleValueSize,
                                    Anchor::kStart, number));
      const double from = canvas_->PageStart(p);
      const double to = std::min(canvas_->PageEnd(p), log_bottom);
      if (to > from) {
        DepthScale(page, from, to);
        for (int n = 0; n <= kAxisMax; n += 10) {
          page.lines.push_back(Line{Region::kGraph, AxisX(n), kLogTop, AxisX(n),
                                    kLogTop + to - from, kGridColour, 0.1, n != 0});
        }
      }
    }
  }

  // Ticks every `tick` metres, longer and labelled every `label` metres: finer for a short log,
  // coarser when the scale would crowd them.
  void DepthScale(Page& page, double from, double to) {
    constexpr double kSteps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
    const double k = drawing_.mm_per_metre;
    const double deepest = contents_.deepest;
    double tick = deepest < 2 ? 0.1 : deepest < 5 ? 0.5 : 1;
    for (double step : kSteps) {
      if (step >= tick && step * k >= 1) {
        tick = step;
        break;
      }
    }
    double label = tick;
    for (double step : kSteps) {
      if (step >= tick && step * k >= 4) {
        label = step;
        break;
      }
    }
    const Span scale = column(kScaleColumn);
    // A small tick every 10 cm between the others where the scale leaves 1 mm between them.
    constexpr double kFine = 0.1;
    if (tick > kFine && kFine * k >= 1 - kEpsilon) {
      const long long fine_first = static_cast<long long>(std::ceil(from / k / kFine - kEpsilon));
      const long long fine_last = static_cast<long long>(std::floor(to / k / kFine + kEpsilon));
      for (long long i = fine_first; i <= fine_last; ++i) {
        const double ratio = static_cast<double>(i) * kFine / tick;
        if (std::fabs(ratio - std::round(ratio)) < 1e-6) continue;
        const double y = kLogTop + static_cast<double>(i) * kFine * k - from;
        page.lines.push_back(Line{Region::kScale, scale.right() - 0.6, y, scale.right(), y, kBlack,
                                  kThinWidth, false});
      }
    }
    const long long first = static_cast<long long>(std::ceil(from / k / tick - kEpsilon));
    const long long last = static_cast<long long>(std::floor(to / k / tick + kEpsilon));
    const double body_bottom = kLogTop + to - from;
    for (long long i = first; i <= last; ++i) {
      const double depth = static_cast<double>(i) * tick;
      const double y = kLogTop + depth * k - from;
      const double ratio = depth / label;
      const bool labelled = std::fabs(ratio - std::round(ratio)) < 1e-6;
      page.lines.push_back(Line{Region::kScale, scale.right() - (labelled ? 2.5 : 1.2), y,
                                scale.right(), y, kBlack, kThinWidth, false});
      if (!labelled) continue;
      // Centred on its tick, but kept inside the page's stretch of the log.
      const double size = kSmallSize;
      const double top = std::clamp(y - size * 0.5, kLogTop, std::max(kLogTop, body_bottom - size));
      page.texts.push_back(KeptText(drawing_, Region::kScale, scale.right() - 3, top + 0.86 * size,
                                    size, Anchor::kEnd, DepthLabel(depth, label < 1)));
    }
  }

  // One row of the title block: (label, value, value width) cells left to right.
  struct TitleCell {
    std::u16string_view label;
    std::u16string value;
    double width;
  };

  Page TitleBlock() {
    const TitleFields& t = contents_.title;
    std::u16string scale(u"1:");
    scale.append(base::Digits(drawing_.scale));
    const std::vector<std::vector<TitleCell>> rows = {
        {{u"調査名", t.title, 124}, {u"縮尺", scale, 30}},
        {{u"ボーリング名", t.borehole, 40}, {u"調査位置", t.site, 114}},
        {{u"発注機関", t.client, 77}, {u"調査業者", t.contractor, 77}},
        {{u"緯度", t.latitude, 40}, {u"経度", t.longitude, 40}, {u"担当者", t.person, 56}},
        {{u"調査期間", t.dates, 95}, {u"頁", u"", 59}},
    };
    constexpr double kLabelWidth = 18;
    Page block;
    double y = kMargin;
    for (const std::vector<TitleCell>& row : rows) {
      double x = left_;
      for (const TitleCell& cell : row) {
        block.boxes.push_back(Box{Region::kTitle, x, y, kLabelWidth, kTitleRowHeight, kBlack,
                                  kThinWidth, Fill{kLabelShade, -1}});
        CellText(block, Region::kTitle, Span{x, kLabelWidth}, y, kTitleRowHeight, {cell.label},
                 kCaptionSize);
        x += kLabelWidth;
        block.boxes.push_back(Box{Region::kTitle, x, y, cell.width, kTitleRowHeight, kBlack,
                                  kThinWidth, Fill{kNoColour, -1}});
        if (cell.label == u"頁") title_page_x_ = x + 1;
        if (!cell.value.empty()) {
          CellText(block, Region::kTitle, Span{x, cell.width}, y, kTitleRowHeight, {cell.value},
                   kTitleValueSize, Anchor::kStart);
        }
        x += cell.width;
      }
      y += kTitleRowHeight;
    }
    return block;
  }

  Page Captions() {
    Page block;
    const double top = kMargin + kTitleRowHeight * kTitleRows + kHeaderGap;
    const std::array<std::vector<std::u16string_view>, kColumnCount> captions = {{
        {u"標尺", u"(m)"},
        {u"深度", u"層厚", u"(m)"},
        {u"地質時代"},
        {u"柱状図"},
        {u"土質区分"},
        {u"地層名"},
        {u"区分"},
        {u"記事"},
        {u"打撃回数", u"貫入量", u"(cm)"},
        {},
        {u"試験・測定"},
    }};
    for (int i = 0; i < kColumnCount; ++i) {
      block.boxes.push_back(Box{Region::kHeader, columns_[i].x, top, columns_[i].width,
                                kHeaderHeight, kBlack, kFrameWidth, Fill{kLabelShade, -1}});
      if (!captions[i].empty()) {
        CellText(block, Region::kHeader, columns_[i], top, kHeaderHeight, captions[i],
                 kCaptionSize);
      }
    }
    // The graph's caption above its axis: 0, 10, … 50.
    const Span graph = column(kGraphColumn);
    CellText(block, Region::kHeader, graph, top, kHeaderHeight / 2, {u"N値"}, kCaptionSize);
    for (int n = 0; n <= kAxisMax; n += 10) {
      block.texts.push_back(KeptText(drawing_, Region::kHeader, AxisX(n), top + kHeaderHeight - 1.2,
                                     kSmallSize, Anchor::kMiddle, base::Digits(n)));
      block.lines.push_back(Line{Region::kHeader, AxisX(n), top + kHeaderHeight - 0.8, AxisX(n),
                                 top + kHeaderHeight, kBlack, kThinWidth, false});
    }
    return block;
  }

  // Texts fitted into a cell, centred in its height; centred across it unless `anchor` is start.
  void CellText(Page& block, Region region, Span cell, double top, double height,
                const std::vector<std::u16string_view>& texts, double size,
                Anchor anchor = Anchor::kMiddle) {
    const FittedLines& fitted =
        Fit(texts, cell.width - 2 * kPadding, height - 2 * kTextGap, size, kMinSize);
    const double line_height = fitted.size * kLineSpacing;
    double y = top + (height - line_height * static_cast<double>(fitted.lines.size())) / 2;
    const double x = anchor == Anchor::kMiddle ? cell.middle() : cell.x + kPadding;
    for (const std::u16string_view line : fitted.lines) {
      block.texts.push_back(KeptText(drawing_, region, x, y + kBaselineDrop * fitted.size,
                                     fitted.size, anchor, line));
      y += line_height;
    }
  }

  LogContents contents_;
  Paper paper_;
  Drawing drawing_;
  FillChooser fills_;
  FittedLines fitted_;
  std::vector<std::u16string_view> paragraphs_;  // the texts being fitted
  std::u16string prefixed_;          // a note's first text with the depth it was pushed away from
  std::vector<size_t> line_places_;  // where fitted lines lie among the drawing's characters
  std::array<Span, kColumnCount> columns_;
  double left_ = 0;
  double title_page_x_ = 0;
  Canvas* canvas_ = nullptr;
};

}  // namespace

std::u16string LostValueText(const LostValue& lost) {
  std::u16string text(u"記録 ");
  text.append(base::Digits(lost.code))
      .append(u" (")
      .append(base::Digits(lost.line))
      .append(u" 行目): ");
  const size_t at = text.size();
  text.append(lost.value);
  // A control character would act on a terminal rather than show.
  std::replace_if(
      text.begin() + static_cast<std::ptrdiff_t>(at), text.end(),
      [](char16_t c) { return c < u' ' || c == u'\x7F'; }, u'\uFFFD');
  return text;
}

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
