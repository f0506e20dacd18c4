#include "drawing/log_footer.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf.h"
#include "drawing/sheet.h"
#include "drawing/text_fit.h"

namespace tjvx::drawing {
namespace {

// The lost values listed under the log; the rest are counted.
constexpr size_t kLostListed = 5;
constexpr double kFooterIndent = 3;

// The legend of the layer names from `y`, four to a row, each name beside a box of its fill.
// Returns its end.
double LayOutLegend(Canvas& canvas, double left, double y) {
  const Drawing& drawing = canvas.drawing();
  if (drawing.legend.empty()) return y;
  const double line_height = 2.5 * kLineSpacing;
  const double heading = canvas.Fit(y, line_height);
  canvas.AddText(Region::kLegend, left, heading, 2.5, Anchor::kStart, u"凡例");
  y = heading + line_height + 1;
  constexpr int kPerRow = 4;
  constexpr double kRowHeight = 6;
  const double cell = kDrawingWidth / kPerRow;
  for (size_t i = 0; i < drawing.legend.size(); ++i) {
    if (i % kPerRow == 0 && i > 0) y += kRowHeight;
    if (i % kPerRow == 0) y = canvas.Fit(y, kRowHeight);
    const LegendEntry& entry = drawing.legend[i];
    const double x = left + cell * static_cast<double>(i % kPerRow);
    canvas.AddBox(Region::kLegend, Span{x, 10}, y + 1, y + 5, kBlack, kThinWidth, entry.fill);
    const std::u16string_view text = entry.name;
    const FittedLines& name =
        canvas.FitTexts({&text, 1}, cell - 13, kRowHeight - 0.5, kNameSize, kMinSize);
    double line_y =
        y + (kRowHeight - name.size * kLineSpacing * static_cast<double>(name.lines.size())) / 2;
    for (const std::u16string_view line : name.lines) {
      canvas.AddText(Region::kLegend, x + 12, line_y, name.size, Anchor::kStart, line);
      line_y += name.size * kLineSpacing;
    }
  }
  return y + kRowHeight;
}

}  // namespace

double LayOutFooterAndLegend(Canvas& canvas, double left, double log_end) {
  Drawing& drawing = canvas.drawing();
  const double line_height = 2.5 * kLineSpacing;
  double y = log_end + 3;
  // The count of the values lost, the first of them, how many more, the count of the cut texts.
  const size_t listed = std::min(drawing.lost.size(), kLostListed);
  std::vector<double> footer_lines(2 + listed + (drawing.lost.size() > listed ? 1 : 0));
  for (double& top : footer_lines) {
    top = canvas.Fit(y, line_height);
    y = top + line_height;
  }
  y = LayOutLegend(canvas, left, y + 2);
  std::u16string values(u"描画できない値: ");
  values.append(base::Digits(drawing.omitted.values));
  canvas.AddText(Region::kFooter, left, footer_lines[0], 2.5, Anchor::kStart, values);
  for (size_t i = 0; i < listed; ++i) {
    // A value is shown on one line, cut with "…" when it is longer.
    const std::u16string text = LostValueText(drawing.lost[i]);
    const std::u16string_view view = text;
    const FittedLines& fitted =
        canvas.FitTexts({&view, 1}, kDrawingWidth - kFooterIndent, line_height, 2.5, 2.5);
    if (fitted.lines.empty()) continue;
    canvas.AddText(Region::kFooter, left + kFooterIndent, footer_lines[1 + i], 2.5, Anchor::kStart,
                   fitted.lines.front());
  }
  if (drawing.lost.size() > listed) {
    std::u16string more(u"ほか ");
    more.append(base::Digits(static_cast<long long>(drawing.lost.size() - listed))).append(u" 件");
    canvas.AddText(Region::kFooter, left + kFooterIndent, footer_lines[1 + listed], 2.5,
                   Anchor::kStart, more);
  }
  // Counted last, so that the cut lost values are in it.
  std::u16string cut(u"欄に収まらず省いた文字列: ");
  cut.append(base::Digits(drawing.omitted.cut_texts));
  canvas.AddText(Region::kFooter, left, footer_lines.back(), 2.5, Anchor::kStart, cut);
  return y;
}

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

}  // namespace tjvx::drawing
