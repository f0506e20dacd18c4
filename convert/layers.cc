#include "convert/layers.h"

#include <algorithm>
#include <array>
#include <vector>

#include "convert/record_loop.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"

namespace tjvx::convert {

using source::RecordFindings;

// Each writer reads its records with a RecordLoop, which reports what a value loses on its way
// into a line.

namespace {

// A code that finds no name in `table`; a blank code or a zero asks for no name.
void ReportCodeNotFound(RecordFindings& findings, long long line, int field,
                        std::u16string_view code, source::TableId table,
                        std::u16string_view what_happens) {
  if (text::Trim(code).empty() || text::IsZeroText(code)) return;
  findings.ReportWith(source::rules::kCodeMissing, line, field, [&] {
    return source::CodeMissing(code, table, findings.file(), what_happens);
  });
}

}  // namespace

void WriteRecords3000And3010(source::FieldReader& r41, LineSink& out, base::FindingSink& findings) {
  static constexpr std::u16string_view k3010 = u"3010 ";  // its length counted once
  RecordLoop<11, 5> records(r41, findings, u"3000");
  RecordFindings found3010(findings, r41, u"3010");
  // The 3010 lines follow all 3000 lines: the 3000 lines are written as the records are read, and
  // each record's depth and value C are kept, as views into the file's text, for the 3010 lines.
  struct Later {
    std::u16string_view depth, value;
    long long line;
  };
  std::vector<Later> later;
  std::u16string& line = records.line();
  while (records.Next()) {
    records.Start(2);
    line += u' ';
    records.Put(4, text::AppendNumberValue);
    line += u' ';
    records.Put(5, text::AppendNumberValue);
    out.Line(line);
    later.push_back({records.Field(2), records.Field(3), records.at()});
  }
  for (const Later& record : later) {
    line.assign(k3010);
    text::AppendMadeDepthText(line, record.depth);  // reported with its 3000 line
    line += u' ';
    found3010.Put(line, record.line, 3, record.value, text::AppendNumberValue);
    out.Line(line);
  }
  records.Finish();
  found3010.Finish();
}

void WriteRecords3020(source::FieldReader& n9, LineSink& out, base::FindingSink& findings) {
  RecordLoop<3> records(n9, findings, u"3020");
  std::u16string& line = records.line();
  while (records.Next()) {
    records.Start(3);
    line += u' ';
    const size_t date = line.size();
    const std::u16string_view given = records.Field(2);
    text::AppendDatePart(line, given, 6);
    line += u' ';
    text::AppendDatePart(line, given, 9);
    if (!text::IsDateText(given) && !text::Trim(given).empty() &&
        !text::KeepsMonthAndDay(given, std::u16string_view(line).substr(date))) {
      records.found().Report(
          source::rules::kDateForm, records.at(), 2,
          {u"日付「" + std::u16string(given) + u"」が yyyy/mm/dd の形でない為、月と日が " +
           line.substr(date) + u" と書かれます。"});
    }
    out.Line(line);
  }
  records.Finish();
}

void WriteRecords3030(source::FieldReader& x7, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings) {
  // The depths and the code fields, up to field 28 of 68.
  RecordLoop<68, 28> records(x7, findings, u"3030");
  RecordFindings& found = records.found();
  std::u16string& line = records.line();
  size_t prefix = 0;  // "3030 <top> <bottom> ", the same for every code of a record
  while (records.Next()) {
    const long long at = records.at();
    bool prefix_built = false;
    // The twenty code fields, 9 to 28.
    for (int field = 9; field <= 28; ++field) {
      const std::u16string_view given = records.Field(field);
      // Most of the twenty code fields hold "0" or nothing, which is no code.
      if (given.empty() || (given.size() == 1 && given[0] == u'0')) continue;
      const float code = text::NumericValue(given);
      if (code == 0.0f) {
        const bool no_code = given.size() <= 1
                                 ? given[0] == u' '
                                 : text::Trim(given).empty() || text::IsZeroText(given);
        if (!no_code) {
          const bool full_width = std::any_of(given.begin(), given.end(),
                                              [](char16_t c) { return c >= u'０' && c <= u'９'; });
          found.Report(
              source::rules::kCodeNotANumber, at, field,
              {u"コード「" + std::u16string(given) + u"」は数値ではない為、読み飛ばされます" +
               (full_width ? u" (全角の数字は数値として読まれません)。" : u"。")});
        }
        continue;
      }
      if (!prefix_built) {
        records.Start(5);
        line += u' ';
        records.Put(6, text::AppendBottomDepthValue);
        line += u' ';
        prefix = line.size();
        prefix_built = true;
      }
      line.resize(prefix);
      std::u16string_view name;
      if (const source::CodeTable::Name* entry = tables.Get(source::TableId::kL8).FirstName(code)) {
        name = entry->full_width;
      } else {
        ReportCodeNotFound(found, at, field, given, source::TableId::kL8,
                           u"名前が @ と書かれます。");
      }
      text::AppendTextValue(line, name);
      found.Written(name, at);
      out.Line(line);
    }
  }
  records.Finish();
}

void WriteRecords3040(source::FieldReader& g40, LineSink& out, base::FindingSink& findings) {
  RecordLoop<8, 5> records(g40, findings, u"3040");
  std::u16string& line = records.line();
  while (records.Next()) {
    records.Start(4);
    line += u' ';
    records.Put(5, text::AppendBottomDepthValue);
    line += u' ';
    text::AppendTextValue(line, records.Field(2));
    records.found().Written(records.Field(2), records.at());
    out.Line(line);
  }
  records.Finish();
}

void WriteRecords3070(source::FieldReader& r30, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings) {
  RecordLoop<6, 5> records(r30, findings, u"3070");
  RecordFindings& found = records.found();
  std::u16string& line = records.line();
  while (records.Next()) {
    const long long at = records.at();
    const source::CodeTable& l19 = tables.Get(source::TableId::kL19);
    const std::optional<std::u16string_view> first = l19.Last(text::NumericValue(records.Field(3)));
    const std::optional<std::u16string_view> second =
        l19.Last(text::NumericValue(records.Field(5)));
    for (int field : {3, 5}) {
      if (!(field == 3 ? first : second)) {
        ReportCodeNotFound(found, at, field, records.Field(field), source::TableId::kL19,
                           u"その名前は書かれません。");
      }
    }
    records.Start(2);
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
  records.Finish();
}

}  // namespace tjvx::convert
