#include "convert/merged_records.h"

#include <algorithm>
#include <vector>

#include "convert/record_loop.h"
#include "source/depth_list.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

// One record of a 5000 member: its depth and the fields it gives the line, as views into the
// member's text.
struct MemberRecord {
  float depth;
  std::array<std::u16string_view, 3> values;
  long long line;
  std::u16string_view depth_text;
};

struct MemberLayout {
  size_t fields;
  size_t depth_field;                  // counted from 0
  std::array<size_t, 3> value_fields;  // the fields kept (counted from 0); 0 ends the list
  std::u16string_view defaults;
};

constexpr MemberLayout kMembers[] = {{3, 2, {1}, u"-1 -1"},           // N8.TXT: the date
                                     {5, 1, {4}, u"@"},               // G71.TXT
                                     {4, 1, {2, 3}, u"@ @"},          // G73.TXT
                                     {5, 1, {2, 3, 4}, u"@ @ @ @"}};  // G81.TXT

// Fixed pieces of the lines, their lengths counted once.
constexpr std::u16string_view kFixedAt = u" @ ";
constexpr std::u16string_view kNoValue = u"-1";

// The values one member gives a 5000 line, joined by blanks.
void AppendMemberValues(std::u16string& line, size_t member, const MemberRecord& record) {
  const auto& v = record.values;
  switch (member) {
    case 0:  // N8.TXT: the date pair
      if (v[0].empty()) {
        line += u"-1 -1";
      } else {
        text::AppendDatePart(line, v[0], 6);
        line += u' ';
        text::AppendDatePart(line, v[0], 9);
      }
      break;
    case 1:  // G71.TXT
      text::AppendHeldText(line, v[0]);
      break;
    case 2:  // G73.TXT
      text::AppendHeldText(line, v[0]);
      line += u' ';
      text::AppendHeldText(line, v[1]);
      break;
    default:  // G81.TXT: A, B, then the fixed "@", then C
      text::AppendHeldText(line, v[0]);
      line += u' ';
      text::AppendHeldText(line, v[1]);
      line += kFixedAt;
      text::AppendHeldText(line, v[2]);
      break;
  }
}

// One member's records, ordered by depth with the file's order kept among equal depths, so the
// first record at a depth comes first; their depths are added to `depths`.
std::vector<MemberRecord> ReadMember(source::FieldReader& reader, const MemberLayout& layout,
                                     source::RecordFindings& found, std::vector<float>& depths) {
  const int depth_field = static_cast<int>(layout.depth_field) + 1;
  std::vector<MemberRecord> records;
  std::vector<std::u16string_view> f;
  while (!reader.AtEnd()) {
    reader.ReadRecord(layout.fields, f);
    MemberRecord& record = records.emplace_back();
    record.depth = text::NumericValue(f[layout.depth_field]);
    record.depth_text = f[layout.depth_field];
    record.line = reader.record_line();
    if (record.depth == 0.0f && !text::Trim(record.depth_text).empty() &&
        !text::IsZeroText(record.depth_text)) {
      found.Report(source::rules::kMergedDepth, record.line, depth_field,
                   {u"深度「" + std::u16string(record.depth_text) +
                    u"」は数値ではない為、深度 0 の記録とされます。"});
    }
    for (size_t k = 0; k < 3; ++k) {
      if (layout.value_fields[k] != 0) record.values[k] = f[layout.value_fields[k]];
    }
    if (record.depth == 0.0f && text::Trim(record.depth_text).empty() &&
        std::any_of(record.values.begin(), record.values.end(),
                    [](std::u16string_view value) { return !text::Trim(value).empty(); })) {
      found.Report(source::rules::kMergedDepth, record.line, depth_field,
                   {u"深度が空の為、この記録の値は深度 0.00 の行に書かれます。"});
    }
    depths.push_back(record.depth);
  }
  auto by_depth = [](const MemberRecord& a, const MemberRecord& b) { return a.depth < b.depth; };
  if (!std::is_sorted(records.begin(), records.end(), by_depth)) {
    std::stable_sort(records.begin(), records.end(), by_depth);
  }
  // Only the first record at a depth gives the line its values.
  for (size_t k = 1; k < records.size(); ++k) {
    if (records[k].depth != records[k - 1].depth) continue;
    found.Report(source::rules::kMergedDepth, records[k].line, depth_field,
                 {u"深度「" + std::u16string(records[k].depth_text) +
                  u"」の記録が先にある為、この記録は使われません。"});
  }
  return records;
}

// The values `record` of member `member` gives a 5000 line, and what is told of them: a date not
// in the yyyy/mm/dd form, control characters, and (once a line: `depth_change` is then made
// kNone) the depth the line cannot show as it stands.
void AppendMember(std::u16string& line, size_t member, const MemberRecord& record,
                  source::RecordFindings& found, text::ValueChange& depth_change) {
  const size_t start = line.size();
  AppendMemberValues(line, member, record);
  const std::u16string_view date = record.values[0];
  if (member == 0 && !text::IsDateText(date) && !text::Trim(date).empty() &&
      !text::KeepsMonthAndDay(date, std::u16string_view(line).substr(start))) {
    found.Report(source::rules::kDateForm, record.line, 2,
                 {u"日付「" + std::u16string(date) + u"」が yyyy/mm/dd の形でない為、月と日が " +
                  line.substr(start) + u" と書かれます。"});
  }
  for (std::u16string_view value : record.values) found.Written(value, record.line);
  if (depth_change != text::ValueChange::kNone) {
    // The depth list's text of the depth does not fit the depth form.
    found.Report(source::RuleOf(depth_change), record.line,
                 static_cast<int>(kMembers[member].depth_field) + 1,
                 {u"深度「" + std::u16string(record.depth_text) +
                  u"」が深度の形 (4 桁.2 桁) に収まらない為、" +
                  line.substr(5, line.find(u' ', 5) - 5) + u" と書かれます。"});
    depth_change = text::ValueChange::kNone;
  }
}

}  // namespace

void WriteRecords5000(MergedMembers& members, LineSink& out, base::FindingSink& findings) {
  static constexpr std::u16string_view k5000 = u"5000 ";  // its length counted once
  std::array<std::optional<source::RecordFindings>, 4> found;
  std::array<std::vector<MemberRecord>, 4> records;
  std::vector<float> depths;
  for (size_t m = 0; m < members.size(); ++m) {
    if (!members[m]) continue;
    found[m].emplace(findings, *members[m], u"5000");
    records[m] = ReadMember(*members[m], kMembers[m], *found[m], depths);
  }
  // The lines walk the depth list and every member's records at once.
  std::array<size_t, 4> next{};
  std::u16string line;
  for (const source::DepthEntry& entry : source::MergeDepths(std::move(depths))) {
    line.assign(k5000);
    text::ValueChange depth_change = text::AppendMadeDepthText(line, entry.text);
    for (size_t m = 0; m < members.size(); ++m) {
      const std::vector<MemberRecord>& list = records[m];
      while (next[m] < list.size() && list[next[m]].depth < entry.value) ++next[m];
      line += u' ';
      if (next[m] < list.size() && list[next[m]].depth == entry.value) {
        AppendMember(line, m, list[next[m]], *found[m], depth_change);
      } else {
        line += kMembers[m].defaults;
      }
    }
    out.Line(line);
  }
  for (std::optional<source::RecordFindings>& member : found) {
    if (member) member->Finish();
  }
}

void WriteRecords5010(source::FieldReader& g72, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings) {
  RecordLoop<8> records(g72, findings, u"5010");
  source::RecordFindings& found = records.found();
  std::u16string& line = records.line();
  while (records.Next()) {
    const long long at = records.at();
    // The two codes, fields 4 and 6, and their names.
    struct Lookup {
      int field;
      source::TableId table;
      const source::CodeTable::Name* name;
    };
    Lookup lookups[] = {{4, source::TableId::kL18, nullptr}, {6, source::TableId::kL18B, nullptr}};
    for (Lookup& lookup : lookups) {
      const std::u16string_view code = records.Field(lookup.field);
      if (!code.empty()) lookup.name = tables.Get(lookup.table).FirstName(text::NumericValue(code));
    }
    for (const Lookup& lookup : lookups) {
      const std::u16string_view code = records.Field(lookup.field);
      // A code of 0, as a blank one, is no code.
      if (!lookup.name && !text::Trim(code).empty() && !text::IsZeroText(code)) {
        found.ReportWith(source::rules::kCodeMissing, at, lookup.field, [&] {
          return source::CodeMissing(code, lookup.table, g72.file(), u"その名前は書かれません。");
        });
      }
    }
    const source::CodeTable::Name* first = lookups[0].name;
    const source::CodeTable::Name* second = lookups[1].name;
    const bool has_first = first != nullptr && !first->text.empty();
    const bool has_second = second != nullptr && !second->text.empty();

    records.Start(2);
    const size_t depth_end = line.size();
    line += u' ';
    // The value and the text as held ("0" stays "0"), "-1" and "@" when there are none.
    text::AppendHeldText(line, records.Field(3), kNoValue);
    line += u' ';
    text::AppendHeldText(line, records.Field(8));
    line += u' ';
    // The names in full width, joined by "／", as held; "@" when there are none.
    const size_t names = line.size();
    if (has_first) line += first->full_width;
    if (has_first && has_second) line += u'／';
    if (has_second) line += second->full_width;
    text::HoldTextFrom(line, names);
    found.Written(std::u16string_view(line).substr(depth_end), at);
    out.Line(line);
  }
  records.Finish();
}

}  // namespace tjvx::convert
