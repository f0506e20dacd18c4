#include "drawing/page_furniture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "drawing/text_fit.h"

namespace tjvx::drawing {
namespace {

// A depth label: whole metres, or one decimal when the labels are closer than a metre.
std::u16string DepthLabel(double depth, bool decimals) {
  if (!decimals) return base::Digits(std::llround(depth));
  const long long tenths = std::llround(depth * 10);
  return base::Digits(tenths / 10) + u"." + base::Digits(tenths % 10);
}

// One row of the title block: (label, value, value width) cells left to right.
struct TitleCell {
  std::u16string_view label;
  std::u16string value;
  double width;
};

}  // namespace

PageFurniture::PageFurniture(Canvas& canvas, const TitleFields& title, const Columns& columns)
    : canvas_(canvas), drawing_(canvas.drawing()), columns_(columns) {
  title_ = TitleBlock(title);
  captions_ = Captions();
}

void PageFurniture::AddToPages(double log_bottom) {
  const int pages = static_cast<int>(drawing_.pages.size());
  for (int p = 0; p < pages; ++p) {
    Page& page = drawing_.pages[p];
    for (const Page* block : {&title_, &captions_}) {
      page.boxes.insert(page.boxes.end(), block->boxes.begin(), block->boxes.end());
      page.lines.insert(page.lines.end(), block->lines.begin(), block->lines.end());
      page.texts.insert(page.texts.end(), block->texts.begin(), block->texts.end());
    }
    std::u16string number = base::Digits(p + 1);
    number.append(u" / ").append(base::Digits(pages));
    page.texts.push_back(KeptText(drawing_, Region::kTitle, page_number_x_,
                                  kMargin + 4 * kTitleRowHeight + 4.1, kTitleValueSize,
                                  Anchor::kStart, number));
    const double from = canvas_.PageStart(p);
    const double to = std::min(canvas_.PageEnd(p), log_bottom);
    if (to > from) {
      DepthScale(page, from, to);
      for (int n = 0; n <= kAxisMax; n += 10) {
        page.lines.push_back(Line{Region::kGraph, columns_.AxisX(n), kLogTop, columns_.AxisX(n),
                                  kLogTop + to - from, kGridColour, 0.1, n != 0});
      }
    }
  }
}

void PageFurniture::DepthScale(Page& page, double from, double to) {
  constexpr double kSteps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500, 1000};
  const double k = drawing_.mm_per_metre;
  const double deepest = drawing_.deepest;
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
  const Span scale = columns_[kScaleColumn];
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

Page PageFurniture::TitleBlock(const TitleFields& t) {
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
    double x = columns_.left();
    for (const TitleCell& cell : row) {
      block.boxes.push_back(Box{Region::kTitle, x, y, kLabelWidth, kTitleRowHeight, kBlack,
                                kThinWidth, Fill{kLabelShade, -1}});
      CellText(block, Region::kTitle, Span{x, kLabelWidth}, y, kTitleRowHeight, {cell.label},
               kCaptionSize);
      x += kLabelWidth;
      block.boxes.push_back(Box{Region::kTitle, x, y, cell.width, kTitleRowHeight, kBlack,
                                kThinWidth, Fill{kNoColour, -1}});
      if (cell.label == u"頁") page_number_x_ = x + 1;
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

Page PageFurniture::Captions() {
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
    block.boxes.push_back(Box{Region::kHeader, columns_[i].x, top, columns_[i].width, kHeaderHeight,
                              kBlack, kFrameWidth, Fill{kLabelShade, -1}});
    if (!captions[i].empty()) {
      CellText(block, Region::kHeader, columns_[i], top, kHeaderHeight, captions[i], kCaptionSize);
    }
  }
  // The graph's caption above its axis: 0, 10, … 50.
  const Span graph = columns_[kGraphColumn];
  CellText(block, Region::kHeader, graph, top, kHeaderHeight / 2, {u"N値"}, kCaptionSize);
  for (int n = 0; n <= kAxisMax; n += 10) {
    block.texts.push_back(KeptText(drawing_, Region::kHeader, columns_.AxisX(n),
                                   top + kHeaderHeight - 1.2, kSmallSize, Anchor::kMiddle,
                                   base::Digits(n)));
    block.lines.push_back(Line{Region::kHeader, columns_.AxisX(n), top + kHeaderHeight - 0.8,
                               columns_.AxisX(n), top + kHeaderHeight, kBlack, kThinWidth, false});
  }
  return block;
}

void PageFurniture::CellText(Page& block, Region region, Span cell, double top, double height,
                             const std::vector<std::u16string_view>& texts, double size,
                             Anchor anchor) {
  const FittedLines& fitted =
      canvas_.FitTexts(texts, cell.width - 2 * kPadding, height - 2 * kTextGap, size, kMinSize);
  const double line_height = fitted.size * kLineSpacing;
  double y = top + (height - line_height * static_cast<double>(fitted.lines.size())) / 2;
  const double x = anchor == Anchor::kMiddle ? cell.middle() : cell.x + kPadding;
  for (const std::u16string_view line : fitted.lines) {
    block.texts.push_back(
        KeptText(drawing_, region, x, y + kBaselineDrop * fitted.size, fitted.size, anchor, line));
    y += line_height;
  }
}

}  // namespace tjvx::drawing
