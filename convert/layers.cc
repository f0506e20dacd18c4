#include "convert/layers.h"

#include <algorithm>
#include <array>
#include <vector>

#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"
#include "text/widths.h"

namespace tjvx::convert {

using source::RecordFindings;

// Each writer reads a record into a fixed array of fields and builds its lines in one buffer that
// keeps its room from line to line. What a value loses on its way into a line is reported to the
// findings, with the record's line and the field's number counted from 1.

namespace {

// A code that finds no name in `table`; a blank code or a zero asks for no name.
void ReportCodeNotFound(RecordFindings& findings, long long line, int field,
                        std::u16string_view code, source::TableId table,
                        std::u16string_view what_happens) {
  if (text::Trim(code).empty() || text::IsZeroText(code)) return;
  findings.WarningWith(line, field, [&] {
    return u"コード「" + std::u16string(code) + u"」が " +
           std::u16string(source::TableFileName(table)) + u" にない為、" +
           std::u16string(what_happens);
  });
}

}  // namespace

void WriteRecords3000And3010(source::FieldReader& r41, LineSink& out, base::FindingSink& findings) {
  RecordFindings found3000(findings, r41, u"3000");
  RecordFindings found3010(findings, r41, u"3010");
  // The 3010 lines follow all 3000 lines: the 3000 lines are written as the records are read, and
  // each record's depth and value C are kept, as views into the file's text, for the 3010 lines.
  struct Later {
    std::u16string_view depth, value;
    long long line;
  };
  std::vector<Later> later;
  std::array<std::u16string_view, 11> f;
  std::u16string line;
  while (!r41.AtEnd()) {
    r41.ReadRecord(f);
    const long long at = r41.record_line();
    line.assign(u"3000 ");
    found3000.Put(line, at, 2, f[1], text::AppendDepthText);
    line += u' ';
    found3000.Put(line, at, 4, f[3], text::AppendNumberValue);
    line += u' ';
    found3000.Put(line, at, 5, f[4], text::AppendNumberValue);
    out.Line(line);
    later.push_back({f[1], f[2], at});
  }
  for (const Later& record : later) {
    line.assign(u"3010 ");
    text::AppendMadeDepthText(line, record.depth);  // reported with its 3000 line
    line += u' ';
    found3010.Put(line, record.line, 3, record.value, text::AppendNumberValue);
    out.Line(line);
  }
  found3000.Finish();
  found3010.Finish();
}

void WriteRecords3020(source::FieldReader& n9, LineSink& out, base::FindingSink& findings) {
  RecordFindings found(findings, n9, u"3020");
  std::array<std::u16string_view, 3> f;
  std::u16string line;
  while (!n9.AtEnd()) {
    n9.ReadRecord(f);
    const long long at = n9.record_line();
    line.assign(u"3020 ");
    found.Put(line, at, 3, f[2], text::AppendDepthText);
    line += u' ';
    const size_t date = line.size();
    text::AppendDatePart(line, f[1], 6);
    line += u' ';
    text::AppendDatePart(line, f[1], 9);
    if (!text::IsDateText(f[1]) && !text::Trim(f[1]).empty() &&
        !text::KeepsMonthAndDay(f[1], std::u16string_view(line).substr(date))) {
      found.Warning(at, 2,
                    u"日付「" + std::u16string(f[1]) + u"」が yyyy/mm/dd の形でない為、月と日が " +
                        line.substr(date) + u" と書かれます。");
    }
    out.Line(line);
  }
  found.Finish();
}

void WriteRecords3030(source::FieldReader& x7, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings) {
  RecordFindings found(findings, x7, u"3030");
  std::array<std::u16string_view, 68> f;
  std::u16string line, name;
  size_t prefix = 0;  // "3030 <top> <bottom> ", the same for every code of a record
  while (!x7.AtEnd()) {
    x7.ReadRecord(f);
    const long long at = x7.record_line();
    bool prefix_built = false;
    for (size_t i = 8; i < 28; ++i) {
      const float code = text::NumericValue(f[i]);
      if (code == 0.0f) {
        // Most of the twenty code fields hold "0" or nothing, which is no code.
        const std::u16string_view given = f[i];
        const bool no_code = given.size() <= 1
                                 ? given.empty() || given[0] == u'0' || given[0] == u' '
                                 : text::Trim(given).empty() || text::IsZeroText(given);
        if (!no_code) {
          const bool full_width = std::any_of(given.begin(), given.end(), [](char16_t c) {
            return c >= u'０' && c <= u'９';
          });
          found.Warning(at, static_cast<int>(i) + 1,
                        u"コード「" + std::u16string(given) + u"」は数値ではない為、読み飛ばされます" +
                            (full_width ? u" (全角の数字は数値として読まれません)。" : u"。"));
        }
        continue;
      }
      if (!prefix_built) {
        line.assign(u"3030 ");
        found.Put(line, at, 5, f[4], text::AppendDepthText);
        line += u' ';
        found.Put(line, at, 6, f[5], text::AppendBottomDepthValue);
        line += u' ';
        prefix = line.size();
        prefix_built = true;
      }
      line.resize(prefix);
      name.clear();
      if (auto entry = tables.Get(source::TableId::kL8).First(code)) {
        text::AppendFullWidth(name, *entry);
      } else {
        ReportCodeNotFound(found, at, static_cast<int>(i) + 1, f[i], source::TableId::kL8,
                           u"名前が @ と書かれます。");
      }
      text::AppendTextValue(line, name);
      found.Written(name, at);
      out.Line(line);
    }
  }
  found.Finish();
}

void WriteRecords3040(source::FieldReader& g40, LineSink& out, base::FindingSink& findings) {
  RecordFindings found(findings, g40, u"3040");
  std::array<std::u16string_view, 8> f;
  std::u16string line;
  while (!g40.AtEnd()) {
    g40.ReadRecord(f);
    const long long at = g40.record_line();
    line.assign(u"3040 ");
    found.Put(line, at, 4, f[3], text::AppendDepthText);
    line += u' ';
    found.Put(line, at, 5, f[4], text::AppendBottomDepthValue);
    line += u' ';
    text::AppendTextValue(line, f[1]);
    found.Written(f[1], at);
    out.Line(line);
  }
  found.Finish();
}

void WriteRecords3070(source::FieldReader& r30, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings) {
  RecordFindings found(findings, r30, u"3070");
  std::array<std::u16string_view, 6> f;
  std::u16string line;
  while (!r30.AtEnd()) {
    r30.ReadRecord(f);
    const long long at = r30.record_line();
    const source::CodeTable& l19 = tables.Get(source::TableId::kL19);
    const std::optional<std::u16string_view> first = l19.Last(text::NumericValue(f[2]));
    const std::optional<std::u16string_view> second = l19.Last(text::NumericValue(f[4]));
    if (!first) {
      ReportCodeNotFound(found, at, 3, f[2], source::TableId::kL19, u"その名前は書かれません。");
    }
    if (!second) {
      ReportCodeNotFound(found, at, 5, f[4], source::TableId::kL19, u"その名前は書かれません。");
    }
    line.assign(u"3070 ");
    found.Put(line, at, 2, f[1], text::AppendDepthText);
    line += u' ';
    const size_t start = line.size();
    if (first) line += *first;
    if (second && !second->empty()) {
      line += u'～';
      line += *second;
    }
    // The names as the table holds them, kept one value: "@" when there are none.
    text::HoldTextFrom(line, start);
    found.Written(std::u16string_view(line).substr(start), at);
    out.Line(line);
  }
  found.Finish();
}

}  // namespace tjvx::convert
