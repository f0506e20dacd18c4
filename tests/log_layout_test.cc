#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#ifdef TJVX_HAVE_EXPAT
#include <expat.h>
#endif

#include "base/utf.h"
#include "converted/model.h"
#include "converted/reader.h"
#include "drawing/fills.h"
#include "drawing/hatching.h"
#include "drawing/log_layout.h"
#include "drawing/log_records.h"
#include "drawing/svg.h"
#include "drawing/text_fit.h"
#include "fuzz/log_properties.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

using converted::ConvertedFile;
using converted::Record;
using drawing::Box;
using drawing::Drawing;
using drawing::LayOutLog;
using drawing::Page;
using drawing::Paper;
using drawing::Region;
using drawing::Text;

// A record from its line as the converted file writes it: the code, then values between blanks.
Record Rec(std::u16string_view line) {
  Record record;
  size_t at = 0;
  bool first = true;
  while (at < line.size()) {
    size_t end = line.find(u' ', at);
    if (end == std::u16string_view::npos) end = line.size();
    const std::u16string value(line.substr(at, end - at));
    if (first) {
      record.code = std::stoi(base::ToUtf8(value));
      first = false;
    } else {
      record.values.push_back(value);
    }
    at = end + 1;
  }
  return record;
}

}  // namespace
namespace drawing {
// A lost value as a failed expectation shows it.
void PrintTo(const LostValue& lost, std::ostream* out) {
  *out << lost.code << " line " << lost.line << ": " << base::ToUtf8(lost.value);
}
}  // namespace drawing
namespace {

Record Kept(int code, std::u16string text) {
  Record record;
  record.code = code;
  record.values = converted::Values::Kept(text);
  return record;
}

ConvertedFile File(std::vector<Record> records) {
  ConvertedFile file;
  file.file = u"B-1";
  for (size_t i = 0; i < records.size(); ++i) records[i].line = static_cast<long long>(i) + 2;
  file.records = std::move(records);
  return file;
}

Drawing LayOut(const ConvertedFile& file, int scale = 100, Paper paper = Paper::kNone) {
  return LayOutLog(file, drawing::LayoutOptions{scale, paper});
}

// Where a depth must be: below the top of the log by depth × 1000 / scale mm.
double ExpectedY(const Drawing& d, const Page& page, double depth) {
  return d.log_top + (depth - page.top_depth) * 1000.0 / d.scale;
}

template <typename Shape>
std::vector<const Shape*> Of(const std::vector<Shape>& shapes, Region region) {
  std::vector<const Shape*> found;
  for (const Shape& shape : shapes) {
    if (shape.region == region) found.push_back(&shape);
  }
  return found;
}

// The pattern strip of each layer: the left one of its two boxes, top to bottom.
std::vector<const Box*> PatternBoxes(const Page& page) {
  std::vector<const Box*> boxes = Of(page.boxes, Region::kLayers);
  if (boxes.empty()) return boxes;
  double left = boxes.front()->x;
  for (const Box* box : boxes) left = std::min(left, box->x);
  std::erase_if(boxes, [&](const Box* box) { return box->x != left; });
  std::stable_sort(boxes.begin(), boxes.end(),
                   [](const Box* a, const Box* b) { return a->y < b->y; });
  return boxes;
}

std::vector<std::u16string> TextsOf(const Drawing& d, const Page& page, Region region) {
  std::vector<std::u16string> texts;
  for (const Text* text : Of(page.texts, region)) texts.emplace_back(d.TextOf(*text));
  return texts;
}

const Text* FindText(const Drawing& d, const Page& page, std::u16string_view wanted) {
  for (const Text& text : page.texts) {
    if (d.TextOf(text) == wanted) return &text;
  }
  return nullptr;
}

// The room a text takes: from its ascent to its descent, across its measured width.
struct Extent {
  double left, right, top, bottom;
};
Extent ExtentOf(const Drawing& d, const Text& text) {
  const double width = drawing::TextWidth(d.TextOf(text), text.size);
  double left = text.x;
  if (text.anchor == drawing::Anchor::kMiddle) left -= width / 2;
  if (text.anchor == drawing::Anchor::kEnd) left -= width;
  return {left, left + width, text.y - 0.88 * text.size, text.y + 0.12 * text.size};
}

// Every pair of texts on every page that share room, as readable failures.
std::vector<std::string> Overlaps(const Drawing& d) {
  std::vector<std::string> found;
  for (size_t p = 0; p < d.pages.size(); ++p) {
    const std::vector<Text>& texts = d.pages[p].texts;
    for (size_t i = 0; i < texts.size(); ++i) {
      const Extent a = ExtentOf(d, texts[i]);
      for (size_t j = i + 1; j < texts.size(); ++j) {
        const Extent b = ExtentOf(d, texts[j]);
        if (a.left < b.right - 1e-6 && b.left < a.right - 1e-6 && a.top < b.bottom - 1e-6 &&
            b.top < a.bottom - 1e-6) {
          found.push_back("page " + std::to_string(p + 1) + ": " +
                          base::ToUtf8(d.TextOf(texts[i])) + " / " +
                          base::ToUtf8(d.TextOf(texts[j])));
        }
      }
    }
  }
  return found;
}

// The golden sample borehole's records, written here as the converted file has them.
ConvertedFile SampleLog() {
  std::vector<Record> records;
  for (std::u16string_view line : {
           u"1000 桜台地区道路改良工事に伴う地質調査業務委託",
           u"1001 B-12",
           u"1002 東京都緑野市桜台二丁目地内",
           u"1003 @",
           u"1004 緑野市_建設部_道路課",
           u"1005 東和地質調査株式会社緑野支店",
           u"1006 35 31 24.8",
           u"1007 139 27 12.5",
           u"1008 山田_太郎",
           u"1009 平成 16 08 05 16 08 20",
           u"2000 5.30 沖積層_完新世 @ 5",
           u"2000 11.60 洪積層_更新世 @ 2",
           u"2000 15.00 基盤岩_新第三紀 @ 5",
           u"2001 0.80 @ 暗褐 緩い @ 湿潤～含水中位 腐植臭 完新世 -1 1",
           u"2001 2.10 @ 褐～黄褐 @ 中位の 湿潤～含水中位 腐植臭 完新世 -1 0",
           u"2001 2.35 @ 褐～黄褐 @ 中位の 湿潤～含水中位 腐植臭 完新世 -1 0",
           u"2001 2.50 @ 褐～黄褐 @ 中位の 湿潤～含水中位 腐植臭 完新世 -1 1",
           u"2001 5.30 @ 暗灰 @ 軟らかい～中位の 含水多い 腐植臭 完新世 -1 1",
           u"2001 8.40 @ 灰 中位の～密な @ 飽和 @ 完新世 -1 1",
           u"2001 11.60 @ 褐灰 非常に密な @ 飽和 @ 更新世～中新世 -1 2",
           u"2001 12.00 @ 暗青灰 @ 非常に硬い 湿潤 @ 更新世～中新世 -1 0",
           u"2001 12.80 @ 暗青灰 @ 非常に硬い 湿潤 @ 更新世～中新世 -1 0",
           u"2001 15.00 @ 暗青灰 @ 非常に硬い 湿潤 @ 更新世～中新世 -1 2",
           u"2002 表層5cmはｱｽﾌｧﾙﾄ舗装。",
           u"2002 黄褐色を呈する火山灰質粘性土。上部は指圧で容易に凹み下部ほど締まりが良くなる。",
           u"2002 全体に細砂主体で粒子は均一、雲母片を多く含む。下端付近は貝殻片が点在する。",
           u"2002 腐植物を少量混入する。",
           u"2002 砂礫（Ｄｇ１）層。礫は亜円礫主体で、基質は粗砂からなる。孔壁崩壊あり",
           u"2002 礫径_φ2～20mm_主体",
           u"2002 青灰色の泥岩。上部1m程度は風化が進み、指圧で容易に崩れる。中部以深は割れ目が少な"
           u"く、コアは長棒状で採取される。層理面はほぼ水平で、新鮮",
           u"2002 ￥部は指圧で崩れない。",
           u"3000 3.50 4.8 12.0",
           u"3000 6.50 -1 35.5",
           u"3000 13.00 125.0 420.0",
           u"3010 3.50 1.25",
           u"3010 13.00 -1",
           u"3020 2.10 08 05",
           u"3020 2.35 08 09",
           u"3020 2.50 08 20",
           u"3030 0.00 0.80 盛土",
           u"3030 0.80 2.50 ローム",
           u"3030 0.80 2.50 軽石_混り",
           u"3030 2.50 5.30 シルト",
           u"3030 2.50 5.30 腐植物混り",
           u"3030 5.30 8.40 細砂",
           u"3030 5.30 8.40 貝殻_混り",
           u"3030 8.40 11.60 砂礫(Ｄg１)",
           u"3030 8.40 11.60 @",
           u"3030 11.60 9999 泥岩",
           u"3030 11.60 9999 塩ビ管ＶＰ５０Ａ",
           u"3040 0.00 0.80 盛土",
           u"3040 0.80 2.50 関東ローム層",
           u"3040 2.50 5.30 沖積_シルト層",
           u"3040 11.60 15.00 泥岩",
           u"3070 12.00 強風化～中風化",
           u"3070 12.80 中風化",
           u"3070 13.50 ～弱風化",
           u"4000 1.15 1.45 10 10 10 1 2 2",
           u"4000 2.15 2.45 10 10 10 1 1 1",
           u"4000 3.15 3.45 30 -1 -1 -1 -1 -1",
           u"4000 4.15 4.50 15 10 10 -1 1 1",
           u"4000 8.15 8.34 10 -1 10 6 7 8",
           u"4000 9.15 9.45 10 10 10 10 12 13",
           u"4000 11.15 11.30 10 5 -1 30 20 -1",
           u"4000 12.15 12.30 15 -1 -1 50 -1 -1",
           u"4000 13.15 13.23 8 -1 -1 50 -1 -1",
           u"5000 1.50 08 06 2.652 48.2 1.52 85.3 52.1 @ 33.2",
           u"5000 3.15 08 07 2.583 @ @ 62.0 @ @ NP",
           u"5000 4.50 -1 -1 @ 38.5 1.78 55.4 31.8 @ 23.6",
           u"5010 1.50 85.3 T-1 ローム",
           u"5010 3.15 62.0 T-2 シルト／混り",
       }) {
    records.push_back(Rec(line));
  }
  return File(std::move(records));
}

TEST(LogLayout, LayersSitAtTheirDepthsAtTheScale) {
  // The open-ended layer reaches the deepest depth of any record: the interval's 6 m.
  const ConvertedFile file = File({Rec(u"3030 0.00 0.80 盛土"), Rec(u"3030 0.80 2.50 ローム"),
                                   Rec(u"3030 2.50 9999 泥岩"), Rec(u"3040 0.00 6.00 沖積層")});
  for (int scale : {100, 200, 50}) {
    SCOPED_TRACE(scale);
    const Drawing d = LayOut(file, scale);
    ASSERT_EQ(d.pages.size(), 1u);
    EXPECT_EQ(d.deepest, 6.0);
    const Page& page = d.pages[0];
    const std::vector<const Box*> boxes = PatternBoxes(page);
    ASSERT_EQ(boxes.size(), 3u);
    const double tops[] = {0, 0.8, 2.5}, bottoms[] = {0.8, 2.5, 6.0};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(boxes[i]->y, ExpectedY(d, page, tops[i]), 1e-4) << i;
      EXPECT_NEAR(boxes[i]->y + boxes[i]->height, ExpectedY(d, page, bottoms[i]), 1e-4) << i;
    }
  }
}

TEST(LogLayout, UnitsRunFromTheBottomBeforeThem) {
  const Drawing d = LayOut(File({Rec(u"2000 5.30 沖積層_完新世 @ 5"), Rec(u"2000 11.60 洪積層 @ 2"),
                                 Rec(u"2000 15.00 基盤岩 @ 5")}));
  const Page& page = d.pages[0];
  std::vector<const Box*> units = Of(page.boxes, Region::kUnits);
  ASSERT_EQ(units.size(), 3u);
  const double bounds[] = {0, 5.3, 11.6, 15.0};
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(units[i]->y, ExpectedY(d, page, bounds[i]), 1e-4) << i;
    EXPECT_NEAR(units[i]->y + units[i]->height, ExpectedY(d, page, bounds[i + 1]), 1e-4) << i;
  }
  // Each name inside its own unit; the first, too wide for one line, breaks at the blank that
  // its "_" stands for.
  EXPECT_EQ(TextsOf(d, page, Region::kUnits),
            (std::vector<std::u16string>{u"沖積層", u"完新世", u"洪積層", u"基盤岩"}));
  const char16_t* names[] = {u"完新世", u"洪積層", u"基盤岩"};
  for (int i = 0; i < 3; ++i) {
    const Text* text = FindText(d, page, names[i]);
    ASSERT_NE(text, nullptr) << i;
    EXPECT_EQ(text->region, Region::kUnits);
    EXPECT_GT(text->y - 0.88 * text->size, units[i]->y);
    EXPECT_LT(text->y, units[i]->y + units[i]->height);
  }
}

TEST(LogLayout, NamesOfOneIntervalStackInsideIt) {
  // The second name of 0.80-2.50 comes after another layer's line and still joins its interval.
  const Drawing d = LayOut(File({Rec(u"3030 0.80 2.50 ローム"), Rec(u"3030 2.50 5.30 シルト"),
                                 Rec(u"3030 0.80 2.50 軽石_混り")}));
  const Page& page = d.pages[0];
  const std::vector<const Box*> boxes = PatternBoxes(page);
  ASSERT_EQ(boxes.size(), 2u);
  const Text* first = FindText(d, page, u"ローム");
  const Text* second = FindText(d, page, u"軽石 混り");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_GE(second->y - 0.88 * second->size, first->y + 0.12 * first->size);
  for (const Text* text : {first, second}) {
    EXPECT_GT(text->y - text->size, boxes[0]->y);
    EXPECT_LT(text->y, boxes[0]->y + boxes[0]->height);
  }
}

// Each rule of counting a test, from its converted line: the label written beside its point and
// the N it stands at, or no point and the values lost (0..2 lengths, 3..5 readings).
TEST(BlowCount, CountsAsTheEngineerDoes) {
  struct Case {
    std::u16string_view line;
    std::u16string_view label;  // empty: no point
    long long n;
    std::vector<int> lost;
  };
  const Case cases[] = {
      // 30 cm counted: the blows.
      {u"4000 1.15 1.45 10 10 10 1 2 2", u"5", 5, {}},
      // A reading -1 in a counted interval is no blow; over 35 cm the point stands at the blows.
      {u"4000 4.15 4.50 15 10 10 -1 1 1", u"2/35", 2, {}},
      {u"4000 7.15 7.45 10 10 10 1 -1 2", u"3", 3, {}},
      // A refusal: 50 blows over less than 30 cm stand at 30 x 50 / length, labelled as counted.
      {u"4000 12.15 12.27 12 -1 -1 50 -1 -1", u"50/12", 125, {}},
      {u"4000 13.15 13.23 8 -1 -1 50 -1 -1", u"50/8", 188, {}},
      {u"4000 11.15 11.30 10 5 -1 30 20 -1", u"50/15", 100, {}},
      {u"4000 9.00 9.28 7.5 10 10 2 2 4", u"8/27.5", 9, {}},
      // Hundreds of blows over 30 cm stand at their count (beyond the axis).
      {u"4000 6.15 6.45 10 10 10 300 300 399", u"999", 999, {}},
      // No blow at all over a counted length: a point at 0.
      {u"4000 3.15 3.45 30 -1 -1 -1 -1 -1", u"0", 0, {}},
      {u"4000 5.00 5.15 15 -1 -1 -1 -1 -1", u"0/15", 0, {}},
      // A length that is no length is lost; the other intervals still count.
      {u"4000 9.00 9.20 -5 10 10 -1 1 1", u"2/20", 3, {0}},
      // A length too short for any test stays a finite point beyond the axis.
      {u"4000 9.00 9.05 1e-30 -1 -1 50 -1 -1", u"50/1e-30", 1000000000, {}},
      // No counted interval: no point; a reading there is lost, empty values are not.
      {u"4000 9.00 9.30 -1 -1 -1 -1 -1 -1", u"", 0, {}},
      {u"4000 9.00 9.30 -1 -1 -1 5 -1 -1", u"", 0, {3}},
      {u"4000 9.00 9.30 0 10 10 3 1 1", u"", 0, {3}},
      {u"4000 8.15 8.34 10 -1 10 6 7 8", u"", 0, {4}},
      {u"4000 9.00 9.30 abc 10 10 1 1 1", u"", 0, {0, 3}},
      // A reading that is no count of blows.
      {u"4000 9.00 9.30 10 10 10 x 1 1", u"", 0, {3}},
      {u"4000 9.00 9.30 10 10 10 1.5 1 1", u"", 0, {3}},
      {u"4000 9.00 9.30 10 10 10 1e38 1 1", u"", 0, {3}},
      // Beyond single precision: no count, not a test without a blow.
      {u"4000 9.00 9.30 10 10 10 1e40 1 1", u"", 0, {3}},
      {u"4000 9.00 9.30 10 10 10 1300000000000000000000000000000000000000 1 1", u"", 0, {3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.line));
    const Record r = Rec(c.line);
    const converted::Values& v = r.values;
    std::vector<int> lost;
    const std::optional<drawing::BlowCount> count =
        drawing::CountBlows({v[2], v[3], v[4]}, {v[5], v[6], v[7]}, &lost);
    EXPECT_EQ(lost, c.lost);
    if (c.label.empty()) {
      EXPECT_EQ(count, std::nullopt);
      continue;
    }
    ASSERT_NE(count, std::nullopt);
    EXPECT_EQ(drawing::BlowLabel(*count), c.label);
    EXPECT_EQ(count->n, c.n);
  }
}

TEST(NGraph, PointsStandAtTheirValuesAndBeyondFiftyAtTheMarkedEdge) {
  const Drawing d =
      LayOut(File({Rec(u"4000 1.15 1.45 10 10 10 1 2 2"), Rec(u"4000 2.15 2.23 8 -1 -1 50 -1 -1"),
                   Rec(u"4000 3.15 3.45 30 -1 -1 -1 -1 -1"), Rec(u"4000 4.15 4.45 10 10 10 5 -1 7"),
                   Rec(u"4000 5.15 5.45 -1 -1 -1 3 -1 -1")}));
  const Page& page = d.pages[0];
  const Text* zero = nullptr;
  const Text* fifty = nullptr;
  for (const Text* text : Of(page.texts, Region::kHeader)) {
    if (d.TextOf(*text) == u"0") zero = text;
    if (d.TextOf(*text) == u"50") fifty = text;
  }
  ASSERT_NE(zero, nullptr);
  ASSERT_NE(fifty, nullptr);
  auto x_of = [&](double n) { return zero->x + n / 50 * (fifty->x - zero->x); };

  // The test without a counted interval draws no point; its reading is lost.
  const std::vector<const drawing::Mark*> marks = Of(page.marks, Region::kGraph);
  ASSERT_EQ(marks.size(), 4u);
  EXPECT_EQ(d.lost, (std::vector<drawing::LostValue>{{4000, 6, u"3"}}));
  EXPECT_EQ(marks[0]->shape, drawing::MarkShape::kDot);
  EXPECT_NEAR(marks[0]->x, x_of(5), 1e-6);
  EXPECT_NEAR(marks[0]->y, ExpectedY(d, page, 1.15), 1e-4);
  EXPECT_EQ(marks[1]->shape, drawing::MarkShape::kRightTriangle);
  EXPECT_NEAR(marks[1]->x, x_of(50), 1e-6);
  EXPECT_NEAR(marks[1]->y, ExpectedY(d, page, 2.15), 1e-4);
  // No blow over 30 cm stands at 0; a reading -1 between two others is no blow.
  EXPECT_NEAR(marks[2]->x, x_of(0), 1e-6);
  EXPECT_NEAR(marks[2]->y, ExpectedY(d, page, 3.15), 1e-4);
  EXPECT_NEAR(marks[3]->x, x_of(12), 1e-6);

  // The points joined in depth order.
  std::vector<const drawing::Line*> joins;
  for (const drawing::Line* line : Of(page.lines, Region::kGraph)) {
    if (line->stroke == drawing::kBlack && !line->dashed) joins.push_back(line);
  }
  ASSERT_EQ(joins.size(), 3u);
  EXPECT_NEAR(joins[0]->x1, marks[0]->x, 1e-6);
  EXPECT_NEAR(joins[0]->y2, marks[1]->y, 1e-6);
  EXPECT_NEAR(joins[2]->x2, marks[3]->x, 1e-6);

  // The values beside the points, the readings and lengths beside their depths.
  // No extrapolated value is written: a refusal is labelled with its blows and length.
  EXPECT_EQ(TextsOf(d, page, Region::kGraph),
            (std::vector<std::u16string>{u"5", u"50/8", u"0", u"12"}));
  EXPECT_EQ(TextsOf(d, page, Region::kReadings),
            (std::vector<std::u16string>{u"1/2/2", u"10/10/10", u"50", u"8", u"0", u"30", u"5/0/7",
                                         u"10/10/10"}));
}

TEST(Legend, SameNameSameFillTwoNamesTwoFills) {
  const ConvertedFile file = File({Rec(u"3030 0.00 1.00 シルト"), Rec(u"3030 1.00 2.00 砂"),
                                   Rec(u"3030 2.00 3.00 シルト"), Rec(u"3030 3.00 4.00 砂礫")});
  const Drawing d = LayOut(file);
  const std::vector<const Box*> boxes = PatternBoxes(d.pages[0]);
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0]->fill, boxes[2]->fill);
  EXPECT_NE(boxes[0]->fill, boxes[1]->fill);
  EXPECT_NE(boxes[1]->fill, boxes[3]->fill);
  EXPECT_NE(boxes[0]->fill, boxes[3]->fill);
  ASSERT_EQ(d.legend.size(), 3u);
  EXPECT_EQ(d.legend[0].name, u"シルト");
  EXPECT_EQ(d.legend[0].fill, boxes[0]->fill);
  EXPECT_EQ(d.legend[1].name, u"砂");
  EXPECT_EQ(d.legend[1].fill, boxes[1]->fill);
  EXPECT_EQ(d.legend[2].name, u"砂礫");
  // The legend is drawn too: each name beside a swatch of its fill.
  EXPECT_EQ(TextsOf(d, d.pages[0], Region::kLegend),
            (std::vector<std::u16string>{u"凡例", u"シルト", u"砂", u"砂礫"}));
  // Another log, another run: a name keeps its fill.
  const Drawing again = LayOut(File({Rec(u"3030 0.00 5.00 シルト")}), 200);
  EXPECT_EQ(again.legend.at(0).fill, d.legend[0].fill);
}

TEST(FillChooser, GivesEachNameOfALogItsOwnFillWhileTheSetLasts) {
  drawing::FillChooser chooser;
  std::set<std::pair<drawing::Colour, int>> fills;
  for (int i = 0; i < drawing::FillChooser::kFills; ++i) {
    bool is_new = false;
    const drawing::Fill fill = chooser.For(u"層" + base::FromAscii(std::to_string(i)), &is_new);
    EXPECT_TRUE(is_new);
    EXPECT_GE(fill.hatch, -1);
    EXPECT_LT(fill.hatch, static_cast<int>(drawing::HatchSet().size()));
    fills.insert({fill.colour, fill.hatch});
  }
  EXPECT_EQ(fills.size(), static_cast<size_t>(drawing::FillChooser::kFills));
  bool is_new = true;
  const drawing::Fill first = chooser.For(u"層0", &is_new);
  EXPECT_FALSE(is_new);
  EXPECT_TRUE(fills.count({first.colour, first.hatch}));
}

// The bottom of a text's line box (the texts are set from the tops of their lines).
double LineTop(const Text& text) { return text.y - drawing::kBaselineDrop * text.size; }

TEST(Notes, EachBlockStandsInTheIntervalItDescribesOrBelowTheBlockAbove) {
  const Drawing d = LayOut(File({
      Rec(u"2001 0.50 @ 暗褐 緩い @ 湿潤 @ 完新世 -1 2"),
      Rec(u"2001 0.60 @ 褐 @ @ @ @ @ -1 1"),
      Rec(u"2001 5.00 @ 暗灰 @ @ @ @ @ -1 0"),
      Rec(u"2001 9.00 @ 灰 @ 中位の @ @ @ -1 0"),
      // Two entries with the same names: one block, the names once, then the lines of each.
      Rec(u"2001 10.00 @ 青灰 @ @ @ @ @ -1 1"),
      Rec(u"2001 11.00 @ 青灰 @ @ @ @ @ -1 1"),
      // Entries without names are never joined.
      Rec(u"2001 12.00 @ @ @ @ @ @ @ -1 1"),
      Rec(u"2001 13.00 @ @ @ @ @ @ @ -1 1"),
      Rec(u"2002 表層は舗装。"),
      Rec(u"2002 ￥下は盛土。"),
      Rec(u"2002 礫混り"),
      Rec(u"2002 上部"),
      Rec(u"2002 下部"),
      Rec(u"2002 甲"),
      Rec(u"2002 乙"),
      Rec(u"3030 0.00 13.00 砂"),
  }));
  const Page& page = d.pages[0];
  // The lines go to their entries in order; the "￥" line goes on from the one before.
  EXPECT_EQ(TextsOf(d, page, Region::kNotes),
            (std::vector<std::u16string>{u"暗褐、緩い、湿潤、完新世", u"表層は舗装。下は盛土。",
                                         u"褐", u"礫混り", u"暗灰", u"灰、中位の", u"青灰", u"上部",
                                         u"下部", u"甲", u"乙"}));
  // Each block describes the interval from the entry before (0 for the first) to its own.
  const double tops[] = {0, 0.5, 0.6, 5, 9, 11, 12}, bottoms[] = {0.5, 0.6, 5, 9, 11, 12, 13};
  const bool pushed[] = {false, true, true, false, false, false, false};
  ASSERT_EQ(d.note_blocks.size(), 7u);
  const std::vector<const Text*> texts = Of(page.texts, Region::kNotes);
  const size_t first_text[] = {0, 2, 4, 5, 6, 9, 10};
  for (size_t i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    const drawing::NoteBlockPlace& block = d.note_blocks[i];
    EXPECT_NEAR(block.interval_top, tops[i] * 10, 1e-6);
    EXPECT_NEAR(block.interval_bottom, bottoms[i] * 10, 1e-6);
    EXPECT_EQ(block.leader, pushed[i]);
    // Its first line starts at its interval's top, or just below the block above.
    const double expected_top =
        pushed[i] ? d.note_blocks[i - 1].bottom + drawing::kNoteBlockGap : tops[i] * 10;
    EXPECT_NEAR(block.top, expected_top, 1e-6);
    EXPECT_NEAR(LineTop(*texts[first_text[i]]), d.log_top + expected_top, 1e-6);
  }
  // Leaders: a tick at each interval's top; a pushed block's bends down to its first line.
  std::vector<const drawing::Line*> bent;
  for (const drawing::Line* line : Of(page.lines, Region::kNotes)) {
    if (std::fabs(line->y2 - line->y1) > 1e-4) bent.push_back(line);
  }
  ASSERT_EQ(bent.size(), 2u);
  EXPECT_NEAR(bent[0]->y1, ExpectedY(d, page, 0.50), 1e-4);
  EXPECT_GT(bent[0]->y2, ExtentOf(d, *texts[2]).top);
  EXPECT_LT(bent[0]->y2, ExtentOf(d, *texts[2]).bottom);
  EXPECT_NEAR(bent[1]->y1, ExpectedY(d, page, 0.60), 1e-4);
  EXPECT_EQ(Of(page.lines, Region::kNotes).size(), 7u + 2u);
  EXPECT_TRUE(Overlaps(d).empty());
}

TEST(Notes, NothingIsDrawnBelowTheLogsBottom) {
  // The log ends at 2 m; the block of 1-2 m has 10 mm for far more lines than that.
  std::vector<Record> records = {Rec(u"3030 0.00 2.00 砂"), Rec(u"2001 1.00 @ 灰 @ @ @ @ @ -1 0"),
                                 Rec(u"2001 2.00 @ 褐 @ @ @ @ @ -1 3"),
                                 // At the bottom itself: no room is left.
                                 Rec(u"2001 2.00 @ 黒 @ @ @ @ @ -1 0")};
  for (int i = 0; i < 3; ++i) {
    records.push_back(
        Rec(u"2002 細砂主体で粒子は均一、雲母片を多く含む。下端付近は貝殻片が点在する。"));
  }
  const Drawing d = LayOut(File(std::move(records)));
  const Page& page = d.pages[0];
  const double bottom = ExpectedY(d, page, 2.00);
  const std::vector<const Text*> texts = Of(page.texts, Region::kNotes);
  ASSERT_GT(texts.size(), 2u);
  for (const Text* text : texts) {
    EXPECT_LE(LineTop(*text) + text->size * drawing::kLineSpacing, bottom + 1e-6)
        << base::ToUtf8(d.TextOf(*text));
  }
  // Shrunk to the smallest size first, then cut with "…"; the block with no room is left out.
  EXPECT_EQ(texts.back()->size, 1.5);
  EXPECT_TRUE(d.TextOf(*texts.back()).ends_with(u"…"));
  EXPECT_EQ(FindText(d, page, u"黒"), nullptr);
  ASSERT_EQ(d.note_blocks.size(), 3u);
  EXPECT_FALSE(d.note_blocks[2].drawn);
  EXPECT_EQ(d.omitted.cut_texts, 2);
}

TEST(Notes, EntriesAfterOneWithoutCountTakeTheirLinesFromTheEnd) {
  const Drawing d = LayOut(File({
      Rec(u"2001 1.00 @ 甲 @ @ @ @ @ -1 1"),
      Kept(2001, u"2.00 @ 乙 @ @ @ @ @ -1 x"),
      Rec(u"2001 3.00 @ 丙 @ @ @ @ @ -1 1"),
      Rec(u"2002 甲の記事"),
      Rec(u"2002 乙のものか分からない記事"),
      Rec(u"2002 丙の記事"),
  }));
  EXPECT_EQ(TextsOf(d, d.pages[0], Region::kNotes),
            (std::vector<std::u16string>{u"甲", u"甲の記事", u"丙", u"丙の記事"}));
  // The kept entry and the line nobody can own.
  EXPECT_EQ(d.omitted, (drawing::Omissions{2, 0}));
  EXPECT_EQ(d.lost, (std::vector<drawing::LostValue>{
                        {2001, 3, u"2.00 @ 乙 @ @ @ @ @ -1 x"},
                        {2002, 6, u"乙のものか分からない記事"},
                    }));
}

TEST(Omissions, WhatCannotBeDrawnIsCountedAndNeverDrawn) {
  const Drawing d = LayOut(File({
      Rec(u"1000 調査"),
      Rec(u"1001 @"),
      Kept(3030, u"0.00 1.00 砂 余分"),
      Rec(u"3030 1.00 2.00 @"),
      Rec(u"3010 1.50 -1"),
      Rec(u"3000 abc 4.8 12.0"),
      Rec(u"3000 -1 4.8 12.0"),
      Rec(u"3020 1.20 08 05"),
      // A count of lines beyond any count (once an overflow, found by UBSan).
      Rec(u"2001 1.00 @ 灰 @ @ @ @ @ -1 1e38"),
  }));
  // Empty values ("@", "-1") are not lost; a line whose values cannot be told apart, a depth that
  // is a text and a count that is no count are, each listed under the log.
  EXPECT_EQ(d.omitted, (drawing::Omissions{3, 0}));
  const Page& page = d.pages[0];
  EXPECT_EQ(
      TextsOf(d, page, Region::kFooter),
      (std::vector<std::u16string>{u"描画できない値: 3", u"記録 3030 (4 行目): 0.00 1.00 砂 余分",
                                   u"記録 3000 (7 行目): abc", u"記録 2001 (10 行目): 1e38",
                                   u"欄に収まらず省いた文字列: 0"}));
  EXPECT_NE(FindText(d, page, u"欄に収まらず省いた文字列: 0"), nullptr);
  EXPECT_NE(FindText(d, page, u"08月05日"), nullptr);
  for (const Text& text : page.texts) {
    EXPECT_EQ(d.TextOf(text).find(u"-1"), std::u16string::npos) << base::ToUtf8(d.TextOf(text));
    EXPECT_EQ(d.TextOf(text).find(u"@"), std::u16string::npos) << base::ToUtf8(d.TextOf(text));
    EXPECT_EQ(d.TextOf(text).find(u"4.8"), std::u16string::npos) << base::ToUtf8(d.TextOf(text));
  }
  // The layer without a name is still drawn, in white, and named in no legend.
  const std::vector<const Box*> boxes = PatternBoxes(page);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0]->fill, (drawing::Fill{drawing::kWhite, -1}));
  EXPECT_TRUE(d.legend.empty());
}

TEST(Omissions, TextsCutToTheirColumnAreCounted) {
  // A unit of 0.5 m (5 mm) cannot hold this name even at the smallest size.
  const Drawing d =
      LayOut(File({Rec(u"2000 0.50 とても長い地層の名前がこの欄には到底収まらない @ 1"),
                   Rec(u"3030 0.00 0.05 薄層")}));
  EXPECT_EQ(d.omitted.cut_texts, 2);
  bool cut = false;
  for (const Text* text : Of(d.pages[0].texts, Region::kUnits)) {
    if (d.TextOf(*text).ends_with(u"…")) cut = true;
  }
  EXPECT_TRUE(cut);
  EXPECT_NE(FindText(d, d.pages[0], u"欄に収まらず省いた文字列: 2"), nullptr);
}

TEST(TitleBlock, ShowsTheHeaderWithDatesInTheirEra) {
  const Drawing d = LayOut(SampleLog());
  const Page& page = d.pages[0];
  for (std::u16string_view wanted :
       {u"桜台地区道路改良工事に伴う地質調査業務委託", u"B-12", u"東京都緑野市桜台二丁目地内",
        u"35°31′24.8″", u"139°27′12.5″", u"山田 太郎", u"平成16年08月05日～平成16年08月20日",
        u"1:100", u"1 / 1"}) {
    const Text* text = FindText(d, page, wanted);
    ASSERT_NE(text, nullptr) << base::ToUtf8(wanted);
    EXPECT_EQ(text->region, Region::kTitle);
  }
}

// Both years of 1009 are counted in its era; each date is shown in the era its day falls in.
TEST(TitleBlock, DatesStandInTheEraTheyFallIn) {
  struct Case {
    std::u16string_view era, year, month, day;
    std::optional<std::u16string> shown;
  };
  const Case cases[] = {
      {u"平成", u"16", u"08", u"05", u"平成16年08月05日"},
      {u"平成", u"36", u"08", u"05", u"令和6年08月05日"},
      {u"平成", u"31", u"04", u"30", u"平成31年04月30日"},
      {u"平成", u"31", u"05", u"01", u"令和元年05月01日"},
      {u"昭和", u"64", u"01", u"07", u"昭和64年01月07日"},
      {u"昭和", u"64", u"01", u"08", u"平成元年01月08日"},
      {u"昭和", u"99", u"12", u"31", u"令和6年12月31日"},
      {u"令和", u"1", u"05", u"01", u"令和元年05月01日"},
      // Without a month or day: the era of the year's first day.
      {u"平成", u"31", u"-1", u"-1", u"平成31年"},
      {u"平成", u"1", u"-1", u"-1", u"昭和64年"},
      {u"平成", u"16", u"08", u"-1", u"平成16年08月"},
      // An era of another name is shown as written; a year that is no number is not shown.
      {u"明治", u"5", u"01", u"01", u"明治5年01月01日"},
      {u"平成", u"abc", u"08", u"05", std::nullopt},
      {u"平成", u"-1", u"08", u"05", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(base::ToUtf8(c.era) + base::ToUtf8(c.year));
    EXPECT_EQ(drawing::EraDate(c.era, c.year, c.month, c.day), c.shown);
  }
  // In the title block, the end date counted in the first date's era.
  const Drawing d = LayOut(File({Rec(u"1009 平成 31 04 10 36 08 20")}));
  EXPECT_NE(FindText(d, d.pages[0], u"平成31年04月10日～令和6年08月20日"), nullptr);
  EXPECT_TRUE(d.lost.empty());
}

TEST(Pages, ALongLogIsSplitAtThePaperWithTheTitleOnEveryPage) {
  const ConvertedFile file =
      File({Rec(u"1000 深い孔"), Rec(u"3030 0.00 30.00 粘土"), Rec(u"3030 30.00 60.00 砂")});
  for (Paper paper : {Paper::kA4, Paper::kA3}) {
    const Drawing d = LayOut(file, 100, paper);
    const double width = paper == Paper::kA4 ? 210 : 297, height = paper == Paper::kA4 ? 297 : 420;
    // 600 mm of log on pages of page_body mm each.
    ASSERT_GT(d.page_body, 0);
    EXPECT_EQ(d.pages.size(), static_cast<size_t>(std::ceil(600 / d.page_body)));
    for (size_t p = 0; p < d.pages.size(); ++p) {
      const Page& page = d.pages[p];
      SCOPED_TRACE(p);
      EXPECT_EQ(page.width, width);
      EXPECT_EQ(page.height, height);
      EXPECT_NEAR(page.top_depth, static_cast<double>(p) * d.page_body / 10, 1e-9);
      const Text* title = FindText(d, page, u"深い孔");
      ASSERT_NE(title, nullptr);
      EXPECT_EQ(title->region, Region::kTitle);
      // Everything stays on its sheet.
      for (const Box& box : page.boxes) {
        EXPECT_GE(box.x, 0);
        EXPECT_GE(box.y, 0);
        EXPECT_LE(box.x + box.width, width + 1e-6);
        EXPECT_LE(box.y + box.height, height + 1e-6);
      }
      for (const Text& text : page.texts) {
        const Extent e = ExtentOf(d, text);
        EXPECT_GE(e.left, 0);
        EXPECT_LE(e.right, width);
        EXPECT_GE(e.top, 0);
        EXPECT_LE(e.bottom, height);
      }
      // The layers fill the page's log from its top to its end.
      const std::vector<const Box*> boxes = PatternBoxes(page);
      ASSERT_FALSE(boxes.empty());
      EXPECT_NEAR(boxes.front()->y, d.log_top, 1e-6);
      if (p + 1 < d.pages.size()) {
        EXPECT_NEAR(boxes.back()->y + boxes.back()->height, d.log_top + d.page_body, 1e-6);
      }
    }
    // The layer boundary at 30 m lies on the page that holds it, where the scale puts it.
    const size_t page = static_cast<size_t>(300 / d.page_body);
    bool found = false;
    for (const Box* box : PatternBoxes(d.pages[page])) {
      if (std::fabs(box->y - ExpectedY(d, d.pages[page], 30)) < 1e-4) found = true;
    }
    EXPECT_TRUE(found);
    EXPECT_TRUE(Overlaps(d).empty());
  }
}

TEST(Pages, TextsNearAPageEndGoOnAtTheNextPageTop) {
  // On A4 at 1:100 the first page holds 23.5 m: these notes run on past its end.
  std::vector<Record> records;
  for (std::u16string_view line :
       {u"2001 23.00 @ 灰 @ @ @ @ @ -1 2", u"2001 23.30 @ 暗灰 @ @ @ @ @ -1 2",
        u"2001 23.45 @ 褐 @ @ @ @ @ -1 2", u"2002 一行目", u"2002 二行目", u"2002 三行目",
        u"2002 四行目", u"2002 五行目", u"2002 六行目", u"3030 0.00 30.00 砂"}) {
    records.push_back(Rec(line));
  }
  const Drawing d = LayOut(File(std::move(records)), 100, Paper::kA4);
  ASSERT_EQ(d.page_body, 235);
  ASSERT_GE(d.pages.size(), 2u);
  size_t on_second = 0;
  for (size_t p = 0; p < d.pages.size(); ++p) {
    for (const Text* text : Of(d.pages[p].texts, Region::kNotes)) {
      const Extent e = ExtentOf(d, *text);
      EXPECT_GE(e.top, d.log_top) << p << " " << base::ToUtf8(d.TextOf(*text));
      EXPECT_LE(e.bottom, d.log_top + d.page_body) << p << " " << base::ToUtf8(d.TextOf(*text));
      if (p == 1) ++on_second;
    }
  }
  EXPECT_GT(on_second, 0u);
  // The leader of a note pushed onto the next page is cut at the page's end and goes on there.
  bool leader_on_second_page_top = false;
  for (const drawing::Line* line : Of(d.pages[1].lines, Region::kNotes)) {
    if (std::fabs(line->y1 - d.log_top) < 1e-6) leader_on_second_page_top = true;
  }
  EXPECT_TRUE(leader_on_second_page_top);
}

TEST(Pages, NotesPushedPagesAwayNameTheirDepthAndKeepTheirLeadersShort) {
  // 300 notes a decimetre apart, each two lines high (5 mm): they run on far below their depths,
  // in a log long enough to hold them.
  std::vector<Record> records;
  for (int i = 1; i <= 300; ++i) {
    char depth[16];
    std::snprintf(depth, sizeof depth, "%.2f", i / 10.0);
    // Names that change from one entry to the next, so that no two are joined.
    records.push_back(Rec(u"2001 " + base::FromAscii(depth) + (i % 2 ? u" @ 灰" : u" @ 褐") +
                          u" @ @ @ @ @ -1 1"));
  }
  for (int i = 1; i <= 300; ++i) records.push_back(Rec(u"2002 細砂"));
  records.push_back(Rec(u"3030 0.00 200.00 砂"));
  const Drawing d = LayOut(File(std::move(records)), 100, Paper::kA4);
  ASSERT_GT(d.pages.size(), 4u);
  // A leader is cut at one page end at most: a tick and one slanted line in two pieces.
  size_t leaders = 0;
  for (const Page& page : d.pages) leaders += Of(page.lines, Region::kNotes).size();
  EXPECT_LE(leaders, 3u * 300u);
  // The last block, far below its interval, names the interval.
  size_t named = 0;
  for (const Page& page : d.pages) named += FindText(d, page, u"〔29.90～30.00m〕褐") != nullptr;
  EXPECT_EQ(named, 1u);
  EXPECT_TRUE(Overlaps(d).empty());
}

TEST(DepthScale, ShortLogsGetFinerTicks) {
  const Drawing short_log = LayOut(File({Rec(u"3030 0.00 1.50 砂")}));
  EXPECT_EQ(Of(short_log.pages[0].lines, Region::kScale).size(), 16u);  // every 0.1 m
  EXPECT_EQ(TextsOf(short_log, short_log.pages[0], Region::kScale),
            (std::vector<std::u16string>{u"0.0", u"0.5", u"1.0", u"1.5"}));
  const Drawing long_log = LayOut(File({Rec(u"3030 0.00 20.00 砂")}));
  const std::vector<std::u16string> labels = TextsOf(long_log, long_log.pages[0], Region::kScale);
  ASSERT_EQ(labels.size(), 21u);  // every metre
  EXPECT_EQ(labels[7], u"7");
  // At 1:1000 a metre is 1 mm: ticks every metre, labels every 5 m.
  const Drawing small = LayOut(File({Rec(u"3030 0.00 20.00 砂")}), 1000);
  EXPECT_EQ(TextsOf(small, small.pages[0], Region::kScale),
            (std::vector<std::u16string>{u"0", u"5", u"10", u"15", u"20"}));
}

TEST(DepthColumn, GivesEachLayersDepthAndThicknessAtItsBottom) {
  const Drawing d = LayOut(File({Rec(u"3030 0.00 0.80 盛土"), Rec(u"3030 0.80 0.85 薄層"),
                                 Rec(u"3030 0.85 9999 粘土"), Rec(u"3040 0.00 3.00 沖積層")}));
  const Page& page = d.pages[0];
  // The open-ended layer has neither: it ends where the log does.
  EXPECT_EQ(TextsOf(d, page, Region::kDepths),
            (std::vector<std::u16string>{u"0.80", u"0.80", u"0.85", u"0.05"}));
  const std::vector<const Text*> texts = Of(page.texts, Region::kDepths);
  // The first pair ends at its layer's bottom; the thin layer's pair is pushed under it, with a
  // leader from its bottom.
  EXPECT_NEAR(ExtentOf(d, *texts[1]).bottom, ExpectedY(d, page, 0.80), 0.5);
  EXPECT_LE(ExtentOf(d, *texts[1]).bottom, ExpectedY(d, page, 0.80) + 1e-6);
  EXPECT_GE(ExtentOf(d, *texts[2]).top, ExtentOf(d, *texts[1]).bottom);
  size_t leaders = 0;
  for (const drawing::Line* line : Of(page.lines, Region::kDepths)) {
    if (std::fabs(line->y2 - line->y1) > 1e-4) {
      ++leaders;
      EXPECT_NEAR(line->y1, ExpectedY(d, page, 0.85), 1e-4);
    }
  }
  EXPECT_EQ(leaders, 1u);
  EXPECT_TRUE(Overlaps(d).empty());
  // 10 cm ticks where they stand 1 mm apart or more: at 1:100 every 0.1 m, at 1:200 none between
  // the half metres.
  EXPECT_EQ(Of(page.lines, Region::kScale).size(), 31u);
  const Drawing small = LayOut(File({Rec(u"3040 0.00 3.00 沖積層")}), 200);
  EXPECT_EQ(Of(small.pages[0].lines, Region::kScale).size(), 7u);
}

TEST(LogLayout, NothingOverlapsOnTheSampleAtAnyPaperAndScale) {
  const ConvertedFile file = SampleLog();
  for (Paper paper : {Paper::kNone, Paper::kA4}) {
    for (int scale : {50, 100, 500}) {
      SCOPED_TRACE(std::to_string(scale) + (paper == Paper::kNone ? " one page" : " A4"));
      const Drawing d = LayOut(file, scale, paper);
      const std::vector<std::string> overlaps = Overlaps(d);
      EXPECT_TRUE(overlaps.empty()) << overlaps.front();
      for (const Page& page : d.pages) {
        for (const Text& text : page.texts) {
          EXPECT_LE(ExtentOf(d, text).right, page.width - 10 + 1e-6)
              << base::ToUtf8(d.TextOf(text));
        }
      }
    }
  }
  // What the sample cannot draw: the blows written at 8.15 in the interval without a length.
  const Drawing d = LayOut(file);
  EXPECT_EQ(d.lost, (std::vector<drawing::LostValue>{{4000, 63, u"7"}}));
}

// The layout's properties (fuzz/log_properties.h) over the converted files the tests keep: the
// sample's golden conversion, the generated 30 m borehole and the sample as records, at every
// paper and at scales where notes crowd and where they do not. The fuzz corpora's conversions are
// checked by the whole-conversion target, which FuzzReplay runs.
TEST(LogProperties, HoldOnEveryConvertedFileTheTestsKeep) {
  std::vector<ConvertedFile> files = {SampleLog()};
  for (const char* path : {"tests/golden/sample/B-12", "tests/logs/B-30"}) {
    files.push_back(converted::ReadConvertedBytes(test::ReadBytes(test::RepositoryPath(path)),
                                                  base::FromAscii(path)));
  }
  for (const ConvertedFile& file : files) {
    for (Paper paper : {Paper::kNone, Paper::kA4, Paper::kA3}) {
      for (int scale : {50, 100, 200, 500}) {
        SCOPED_TRACE(base::ToUtf8(file.file) + " 1:" + std::to_string(scale) +
                     (paper == Paper::kNone ? "" : " paper"));
        const Drawing d = LayOut(file, scale, paper);
        const std::vector<std::string> faults = fuzz::LogLayoutFaults(file, d);
        EXPECT_TRUE(faults.empty()) << faults.front();
      }
    }
  }
}

// The generated 30 m borehole (tests/logs/make_thirty_metres.py): what it was made to show.
TEST(LogProperties, TheThirtyMetreBoreholeShowsWhatItWasMadeFor) {
  const ConvertedFile file = converted::ReadConvertedBytes(
      test::ReadBytes(test::RepositoryPath("tests/logs/B-30")), u"B-30");
  const Drawing d = LayOut(file);
  const Page& page = d.pages[0];
  // 29 tests, one without a counted length for its blows.
  EXPECT_EQ(Of(page.marks, Region::kGraph).size(), 28u);
  EXPECT_EQ(d.lost, (std::vector<drawing::LostValue>{{4000, 69, u"1"}}));
  const std::vector<std::u16string> labels = TextsOf(d, page, Region::kGraph);
  for (std::u16string_view label : {u"0", u"0/45", u"2/35", u"50/12", u"50/15", u"50/3", u"999"}) {
    EXPECT_NE(std::find(labels.begin(), labels.end(), label), labels.end()) << base::ToUtf8(label);
  }
  // Thirteen 2001 records, four runs of the same names (3, 2, 2, 2 records): eight blocks.
  EXPECT_EQ(d.note_blocks.size(), 8u);
  EXPECT_NE(FindText(d, page, u"令和6年07月22日～令和6年08月09日"), nullptr);
  // The open-ended rock has no depth written; the layer above it does.
  const std::vector<std::u16string> depths = TextsOf(d, page, Region::kDepths);
  EXPECT_EQ(depths.size(), 14u);
  EXPECT_EQ(depths[12], u"26.80");
}

TEST(WrapText, BreaksAtBlanksAndNeverBeforeAClosingMark) {
  using drawing::WrapText;
  // Full-width characters are one size wide: five fit in 5 mm at 1 mm.
  EXPECT_EQ(WrapText(u"あいうえおかきくけこさ", 5, 1),
            (std::vector<std::u16string>{u"あいうえお", u"かきくけこ", u"さ"}));
  EXPECT_EQ(WrapText(u"あいうえお。", 5, 1), (std::vector<std::u16string>{u"あいうえ", u"お。"}));
  EXPECT_EQ(WrapText(u"あいう　えおか", 5, 1), (std::vector<std::u16string>{u"あいう", u"えおか"}));
  // A surrogate pair stays whole.
  EXPECT_EQ(WrapText(u"𠮷𠮷𠮷", 2, 1), (std::vector<std::u16string>{u"𠮷𠮷", u"𠮷"}));
  EXPECT_TRUE(WrapText(u"   ", 5, 1).empty());
  // Blanks around a text that fits are dropped, whether the text fills the line or not.
  EXPECT_EQ(WrapText(u"  あいうえお  ", 5, 1), (std::vector<std::u16string>{u"あいうえお"}));
  EXPECT_EQ(WrapText(u" ab ", 5, 1), (std::vector<std::u16string>{u"ab"}));
}

TEST(FitText, ShrinksBeforeItCutsAndMarksTheCut) {
  using drawing::FitText;
  // Ten characters in 8 mm with room for one line: the text shrinks until one line holds it.
  const drawing::FittedText shrunk = FitText({u"あいうえおかきくけこ"}, 8, 1.25, 2, 0.8);
  EXPECT_FALSE(shrunk.cut);
  EXPECT_EQ(shrunk.lines, (std::vector<std::u16string>{u"あいうえおかきくけこ"}));
  EXPECT_LE(drawing::TextWidth(shrunk.lines[0], shrunk.size), 8);
  EXPECT_GT(shrunk.size, 0.7);
  // Not even the smallest size fits: the line that fits ends with "…" inside the width.
  const drawing::FittedText cut = FitText({u"あいうえおかきくけこ"}, 4, 2.6, 2, 1.5);
  EXPECT_TRUE(cut.cut);
  ASSERT_EQ(cut.lines.size(), 1u);
  EXPECT_TRUE(cut.lines[0].ends_with(u"…"));
  EXPECT_LE(drawing::TextWidth(cut.lines[0], cut.size), 4);
  // Not even one line fits at the smallest size: the text is cut to nothing.
  const drawing::FittedText none = FitText({u"あ"}, 4, 1, 2, 1.5);
  EXPECT_TRUE(none.lines.empty());
  EXPECT_TRUE(none.cut);
  EXPECT_EQ(none.size, 1.5);
}

TEST(FitText, IntoReplacesTheLinesBeforeWithPiecesOfTheTexts) {
  const std::vector<std::u16string> texts = {u"あいうえおかきくけこさしすせそ", u"たちつ"};
  const drawing::FittedText copied = drawing::FitText(texts, 5, 100, 1, 1);
  EXPECT_EQ(copied.lines,
            (std::vector<std::u16string>{u"あいうえお", u"かきくけこ", u"さしすせそ", u"たちつ"}));
  const std::vector<std::u16string_view> paragraphs(texts.begin(), texts.end());
  drawing::FittedLines fitted;
  fitted.lines = {u"前の行"};
  fitted.cut = true;
  drawing::FitText(paragraphs, 5, 100, 1, 1, fitted);
  EXPECT_EQ(std::vector<std::u16string>(fitted.lines.begin(), fitted.lines.end()), copied.lines);
  EXPECT_EQ(fitted.size, copied.size);
  EXPECT_FALSE(fitted.cut);
  // The lines are the texts' own characters, not copies of them.
  ASSERT_EQ(fitted.lines.size(), 4u);
  EXPECT_EQ(fitted.lines[1].data(), texts[0].data() + 5);
  EXPECT_EQ(fitted.lines[3].data(), texts[1].data());
  // A line cut with "…" has characters of its own; the others are still the texts'.
  drawing::FitText(paragraphs, 5, 2.5, 1, 1, fitted);
  EXPECT_TRUE(fitted.cut);
  EXPECT_EQ(std::vector<std::u16string>(fitted.lines.begin(), fitted.lines.end()),
            (std::vector<std::u16string>{u"あいうえお", u"かきくけ…"}));
  EXPECT_EQ(fitted.lines[0].data(), texts[0].data());
  EXPECT_EQ(fitted.lines[1].data(), fitted.cut_line.data());
}

struct Point {
  double x, y;
};

TEST(HatchBox, StaysInsideItsBoxAndRunsOnIntoTheNext) {
  for (const drawing::Hatch& hatch : drawing::HatchSet()) {
    SCOPED_TRACE(hatch.id);
    const drawing::HatchStrokes strokes = drawing::HatchBox(hatch, 3.3, 10.1, 10, 7.7);
    EXPECT_FALSE(strokes.segments.empty() && strokes.circles.empty());
    auto inside = [](double x, double y, double r) {
      return x - r >= 3.3 - 1e-9 && x + r <= 13.3 + 1e-9 && y - r >= 10.1 - 1e-9 &&
             y + r <= 17.8 + 1e-9;
    };
    for (const drawing::HatchSegment& s : strokes.segments) {
      EXPECT_TRUE(inside(s.x1, s.y1, 0) && inside(s.x2, s.y2, 0));
    }
    for (const drawing::HatchCircle& c : strokes.circles) EXPECT_TRUE(inside(c.x, c.y, c.radius));
  }
  // A layer's hatch goes on where the layer below meets it: every line that ends on the shared
  // edge starts again there.
  const drawing::Hatch diagonal = drawing::HatchSet()[0];
  const drawing::HatchStrokes above = drawing::HatchBox(diagonal, 20, 50, 10, 5.3);
  const drawing::HatchStrokes below = drawing::HatchBox(diagonal, 20, 55.3, 10, 8);
  int met = 0;
  for (const drawing::HatchSegment& a : above.segments) {
    for (const Point end : {Point{a.x1, a.y1}, {a.x2, a.y2}}) {
      if (std::fabs(end.y - 55.3) > 1e-9) continue;
      bool found = false;
      for (const drawing::HatchSegment& b : below.segments) {
        for (const Point start : {Point{b.x1, b.y1}, {b.x2, b.y2}}) {
          if (std::fabs(start.x - end.x) < 1e-9 && std::fabs(start.y - end.y) < 1e-9) found = true;
        }
      }
      EXPECT_TRUE(found) << end.x;
      ++met;
    }
  }
  EXPECT_GT(met, 3);
}

// A log of `count` layers of 0.4 m with fifty names between them, on one page.
ConvertedFile ManyLayers(int count) {
  std::vector<Record> records;
  records.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    Record record;
    record.code = 3030;
    record.values = {base::FromAscii(std::to_string(i * 0.4)),
                     base::FromAscii(std::to_string((i + 1) * 0.4)),
                     u"層" + base::FromAscii(std::to_string(i % 50))};
    records.push_back(std::move(record));
  }
  return File(std::move(records));
}

TEST(Svg, GrowsInProportionToTheRecords) {
  const size_t small = drawing::WriteSvg(LayOut(ManyLayers(2000))).size();
  const size_t large = drawing::WriteSvg(LayOut(ManyLayers(20000))).size();
  const double ratio = static_cast<double>(large) / static_cast<double>(small);
  EXPECT_GT(ratio, 9.0);
  EXPECT_LT(ratio, 11.0);
}

#ifdef TJVX_HAVE_EXPAT

// What expat saw of a document.
struct Parsed {
  bool well_formed = false;
  std::string error;
  std::map<std::string, std::string> root;  // the root element's attributes
  std::vector<std::string> texts;           // the content of each <text>
  std::vector<std::string> groups;          // the transform of each page's group
  std::set<std::string> pattern_ids;
  std::set<std::string> fill_references;  // every url(#…) a fill names
  int hatch_paths = 0;                    // paths whose class names a hatch
  int depth = 0;
  bool in_text = false;
};

Parsed Parse(const std::string& svg) {
  Parsed parsed;
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &parsed);
  XML_SetElementHandler(
      parser,
      [](void* data, const XML_Char* name, const XML_Char** attributes) {
        Parsed& p = *static_cast<Parsed*>(data);
        const std::string element = name;
        std::map<std::string, std::string> values;
        for (int i = 0; attributes[i] != nullptr; i += 2) values[attributes[i]] = attributes[i + 1];
        if (p.depth == 0) p.root = values;
        if (element == "text") {
          p.in_text = true;
          p.texts.emplace_back();
        }
        if (element == "g" && p.depth == 1) p.groups.push_back(values["transform"]);
        if (element == "pattern") p.pattern_ids.insert(values["id"]);
        if (element == "path" && values["class"].starts_with("hatch-")) ++p.hatch_paths;
        const std::string fill = values["fill"];
        if (fill.starts_with("url(#")) p.fill_references.insert(fill.substr(5, fill.size() - 6));
        ++p.depth;
      },
      [](void* data, const XML_Char* name) {
        Parsed& p = *static_cast<Parsed*>(data);
        if (std::string(name) == "text") p.in_text = false;
        --p.depth;
      });
  XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* s, int length) {
    Parsed& p = *static_cast<Parsed*>(data);
    if (p.in_text) p.texts.back().append(s, static_cast<size_t>(length));
  });
  parsed.well_formed =
      XML_Parse(parser, svg.data(), static_cast<int>(svg.size()), 1) == XML_STATUS_OK;
  if (!parsed.well_formed) {
    parsed.error = XML_ErrorString(XML_GetErrorCode(parser)) + std::string(" at line ") +
                   std::to_string(XML_GetCurrentLineNumber(parser));
  }
  XML_ParserFree(parser);
  return parsed;
}

TEST(Svg, IsWellFormedXmlWithEveryTextEscaped) {
  ConvertedFile file = SampleLog();
  // A title with every character XML must escape, a control character and half a
  // surrogate pair (a byte of a host name that was not UTF-8).
  file.records[0].values.Set(0, std::u16string(u"A&B<C>\"D\"'E'\x01\x7F") + char16_t{0xDC82});
  const std::string svg = drawing::WriteSvg(LayOut(file));
  const Parsed parsed = Parse(svg);
  ASSERT_TRUE(parsed.well_formed) << parsed.error;
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
  EXPECT_EQ(parsed.root.at("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_EQ(parsed.root.at("width"), "210mm");
  EXPECT_TRUE(parsed.root.at("height").ends_with("mm"));
  EXPECT_EQ(parsed.root.at("viewBox"),
            "0 0 210 " + parsed.root.at("height").substr(0, parsed.root.at("height").size() - 2));
  EXPECT_NE(parsed.root.at("font-family").find("'Noto Sans CJK JP'"), std::string::npos);
  EXPECT_NE(parsed.root.at("font-family").find("'Yu Gothic'"), std::string::npos);
  const std::string title = "A&B<C>\"D\"'E'\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD";
  EXPECT_NE(std::find(parsed.texts.begin(), parsed.texts.end(), title), parsed.texts.end());
  EXPECT_NE(
      std::find(parsed.texts.begin(), parsed.texts.end(), "平成16年08月05日～平成16年08月20日"),
      parsed.texts.end());
  // The hatches are drawn out as strokes: nothing refers to a pattern a small renderer lacks.
  EXPECT_TRUE(parsed.fill_references.empty());
  EXPECT_TRUE(parsed.pattern_ids.empty());
  EXPECT_GT(parsed.hatch_paths, 0);
}

TEST(Svg, PagesStandOneUnderAnother) {
  const Drawing d = LayOut(File({Rec(u"3030 0.00 60.00 粘土")}), 100, Paper::kA4);
  ASSERT_EQ(d.pages.size(), 3u);
  const Parsed parsed = Parse(drawing::WriteSvg(d));
  ASSERT_TRUE(parsed.well_formed) << parsed.error;
  EXPECT_EQ(parsed.root.at("height"), "911mm");  // three pages of 297 mm, 10 mm apart
  EXPECT_EQ(parsed.groups,
            (std::vector<std::string>{"translate(0 0)", "translate(0 307)", "translate(0 614)"}));
}

#else

TEST(Svg, IsWellFormedXmlWithEveryTextEscaped) {
  GTEST_SKIP() << "expat is not in this build (the Windows cross build has none): the SVG is not "
                  "parsed here";
}

#endif

}  // namespace
}  // namespace tjvx
