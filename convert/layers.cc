#include "convert/layers.h"

#include <array>
#include <vector>

#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/widths.h"

namespace tjvx::convert {

// Each writer reads a record into a fixed array of fields and builds its lines in one buffer that
// keeps its room from line to line.

void WriteRecords3000And3010(source::FieldReader& r41, LineSink& out) {
  // The 3010 lines follow all 3000 lines: the 3000 lines are written as the records are read, and
  // each record's depth and value C are kept, as views into the file's text, for the 3010 lines.
  std::vector<std::array<std::u16string_view, 2>> later;
  std::array<std::u16string_view, 11> f;
  std::u16string line;
  while (!r41.AtEnd()) {
    r41.ReadRecord(f);
    line.assign(u"3000 ");
    text::AppendDepthText(line, f[1]);
    line += u' ';
    text::AppendNumberValue(line, f[3]);
    line += u' ';
    text::AppendNumberValue(line, f[4]);
    out.Line(line);
    later.push_back({f[1], f[2]});
  }
  for (const auto& [depth, value] : later) {
    line.assign(u"3010 ");
    text::AppendDepthText(line, depth);
    line += u' ';
    text::AppendNumberValue(line, value);
    out.Line(line);
  }
}

void WriteRecords3020(source::FieldReader& n9, LineSink& out) {
  std::array<std::u16string_view, 3> f;
  std::u16string line;
  while (!n9.AtEnd()) {
    n9.ReadRecord(f);
    line.assign(u"3020 ");
    text::AppendDepthText(line, f[2]);
    line += u' ';
    text::AppendDatePart(line, f[1], 6);
    line += u' ';
    text::AppendDatePart(line, f[1], 9);
    out.Line(line);
  }
}

void WriteRecords3030(source::FieldReader& x7, source::PatternTables& tables, LineSink& out) {
  std::array<std::u16string_view, 68> f;
  std::u16string line, name;
  size_t prefix = 0;  // "3030 <top> <bottom> ", the same for every code of a record
  while (!x7.AtEnd()) {
    x7.ReadRecord(f);
    bool prefix_built = false;
    for (size_t i = 8; i < 28; ++i) {
      const float code = text::NumericValue(f[i]);
      if (code == 0.0f) continue;
      if (!prefix_built) {
        line.assign(u"3030 ");
        text::AppendDepthText(line, f[4]);
        line += u' ';
        text::AppendBottomDepthValue(line, f[5]);
        line += u' ';
        prefix = line.size();
        prefix_built = true;
      }
      line.resize(prefix);
      name.clear();
      if (auto found = tables.Get(source::TableId::kL8).First(code))
        text::AppendFullWidth(name, *found);
      text::AppendTextValue(line, name);
      out.Line(line);
    }
  }
}

void WriteRecords3040(source::FieldReader& g40, LineSink& out) {
  std::array<std::u16string_view, 8> f;
  std::u16string line;
  while (!g40.AtEnd()) {
    g40.ReadRecord(f);
    line.assign(u"3040 ");
    text::AppendDepthText(line, f[3]);
    line += u' ';
    text::AppendBottomDepthValue(line, f[4]);
    line += u' ';
    text::AppendTextValue(line, f[1]);
    out.Line(line);
  }
}

void WriteRecords3070(source::FieldReader& r30, source::PatternTables& tables, LineSink& out) {
  std::array<std::u16string_view, 6> f;
  std::u16string line;
  while (!r30.AtEnd()) {
    r30.ReadRecord(f);
    const source::CodeTable& l19 = tables.Get(source::TableId::kL19);
    const std::optional<std::u16string_view> first = l19.Last(text::NumericValue(f[2]));
    const std::optional<std::u16string_view> second = l19.Last(text::NumericValue(f[4]));
    line.assign(u"3070 ");
    text::AppendDepthText(line, f[1]);
    line += u' ';
    const size_t start = line.size();
    if (first) line += *first;
    if (second && !second->empty()) {
      line += u'～';
      line += *second;
    }
    // The names without their leading blanks, or "@" when there are none.
    if (line.size() == start) line += u'@';
    text::TrimLeftFrom(line, start);
    out.Line(line);
  }
}

}  // namespace tjvx::convert
