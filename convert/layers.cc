#include "convert/layers.h"

#include <vector>

#include "common/text.h"
#include "convert/values.h"
#include "source/fcopysub.h"

namespace tjvx {
using FCOPYSUB::DepthText;

void WriteRecords3000And3010(FieldReader& r41, LineSink& out) {
  // Depth, value C, value A, value B of every record; the 3010 lines follow all 3000 lines.
  std::vector<std::array<std::u16string, 4>> records;
  std::vector<std::u16string_view> f;
  while (!r41.AtEnd()) {
    r41.ReadRecord(11, f);
    records.push_back({DepthText(f[1]), NumberValue(f[2]), NumberValue(f[3]), NumberValue(f[4])});
  }
  for (const auto& r : records) out.Line(u"3000 " + r[0] + u" " + r[2] + u" " + r[3]);
  for (const auto& r : records) out.Line(u"3010 " + r[0] + u" " + r[1]);
}

void WriteRecords3020(FieldReader& n9, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!n9.AtEnd()) {
    n9.ReadRecord(3, f);
    out.Line(u"3020 " + DepthText(f[2]) + u" " + DatePart(f[1], 6) + u" " + DatePart(f[1], 9));
  }
}

void WriteRecords3030(FieldReader& x7, PatternTables& tables, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!x7.AtEnd()) {
    x7.ReadRecord(68, f);
    const std::u16string depths = DepthText(f[4]) + u" " + BottomDepthValue(f[5]) + u" ";
    for (size_t i = 8; i < 28; ++i) {
      const float code = NumericValue(f[i]);
      if (code == 0.0f) continue;
      std::u16string name;
      if (auto found = tables.Get(TableId::kL8).First(code)) name = *found;
      out.Line(u"3030 " + depths + TextValue(ToFullWidth(name)));
    }
  }
}

void WriteRecords3040(FieldReader& g40, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!g40.AtEnd()) {
    g40.ReadRecord(8, f);
    out.Line(u"3040 " + DepthText(f[3]) + u" " + BottomDepthValue(f[4]) + u" " + TextValue(f[1]));
  }
}

void WriteRecords3070(FieldReader& r30, PatternTables& tables, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!r30.AtEnd()) {
    r30.ReadRecord(6, f);
    const CodeTable& l19 = tables.Get(TableId::kL19);
    std::u16string first, second;
    if (auto name = l19.Last(NumericValue(f[2]))) first = *name;
    if (auto name = l19.Last(NumericValue(f[4]))) second = *name;
    std::u16string text = second.empty() ? first : first + u"～" + second;
    if (text.empty()) text = u"@";
    out.Line(u"3070 " + DepthText(f[1]) + u" " + std::u16string(TrimLeft(text)));
  }
}

}  // namespace tjvx
