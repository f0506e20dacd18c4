#include "source/legend_names.h"

#include <algorithm>
#include <array>
#include <span>

#include "base/error.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"
#include "text/widths.h"

namespace tjvx::source {
namespace {

bool IsHalfWidthKana(char16_t c) { return c >= u'\uFF61' && c <= u'\uFF9F'; }
bool IsVoicedMark(char16_t c) { return c == u'\uFF9E' || c == u'\uFF9F'; }

// The names of one group's codes joined, in full width; returns whether they may hold a blank.
// Each name is made full width once with its table; only a half-width kana that ends one name and
// a voiced mark that begins the next combine in the joined text, which is then made full width
// whole. The wave dash and the full-width forms never combine, so each group is made full width
// alone.
bool AppendGroupNames(std::u16string& names, const std::array<const CodeTable::Name*, 3>& group) {
  char16_t before = 0;  // the last character of the names before
  bool combines = false, blank = false;
  for (const CodeTable::Name* name : group) {
    if (name == nullptr || name->text.empty()) continue;
    combines = combines || (IsHalfWidthKana(before) && IsVoicedMark(name->text.front()));
    blank = blank || name->full_width_has_blank;
    before = name->text.back();
  }
  if (!combines) {
    for (const CodeTable::Name* name : group) {
      if (name != nullptr) names += name->full_width;
    }
    return blank;
  }
  std::u16string joined;
  for (const CodeTable::Name* name : group) {
    if (name != nullptr) joined += name->text;
  }
  text::AppendFullWidth(names, joined);
  return true;
}

}  // namespace

void LookupLegendNames(PatternTables& tables, int kind, FieldReader& reader, std::u16string& names,
                       std::u16string_view& depth, RecordFindings* findings) {
  if (reader.AtEnd()) {
    depth = u"99999";
    return;
  }
  const long long line = reader.line();
  std::array<std::u16string_view, 7> fields;
  const std::span<std::u16string_view> record(fields.data(), kind == 1 ? 7 : 6);
  // The fields up to the second group of codes.
  reader.ReadRecord(record, 5);
  depth = record[1];
  const long long at = reader.record_line();
  // A depth that begins with a digit from 1 to 9 is a number or at least not a zero; only others
  // are read closely.
  const bool plain = !depth.empty() && depth[0] >= u'1' && depth[0] <= u'9';
  if (findings != nullptr && !plain && text::NumericValue(depth) == 0.0f &&
      !text::Trim(depth).empty() && !text::IsZeroText(depth)) {
    findings->Report(rules::kCodedNoteDepth, at, 2,
                     {u"深度「" + std::u16string(depth) +
                      u"」は数値ではない為、深度 0 の記録として扱われます。"});
  }

  // codes[g][p]: group g (0, 1), position p (0..2); empty positions count as code 0.
  std::array<std::array<std::u16string_view, 3>, 2> codes{};
  const size_t positions = kind == 1 ? 3 : 1;
  const std::u16string_view group_fields[2] = {record[2], record[4]};
  for (int g = 0; g < 2; ++g) {
    std::u16string_view field = group_fields[g];
    if (kind != 1) {
      codes[g][0] = field;
      continue;
    }
    if (field.size() > 6) {
      throw base::Error(base::Error::Kind::kOutOfRange, reader.file(), line, -1,
                        u"コードが 3 個を超えています: " + std::u16string(field));
    }
    for (size_t p = 0; p * 2 < field.size(); ++p) codes[g][p] = field.substr(p * 2, 2);
  }

  const TableId table_id =
      kind == 1 ? TableId::kL4 : static_cast<TableId>(static_cast<int>(TableId::kL13) + kind - 2);
  const CodeTable& table = tables.Get(table_id);
  std::array<std::array<const CodeTable::Name*, 3>, 2> found{};
  for (int g = 0; g < 2; ++g) {
    for (size_t p = 0; p < positions; ++p) {
      // The whole list is read and a later matching line overwrites an earlier one.
      found[g][p] = table.LastName(text::NumericValue(codes[g][p]));
      if (found[g][p] == nullptr && findings != nullptr && !text::Trim(codes[g][p]).empty() &&
          !text::IsZeroText(codes[g][p])) {
        findings->ReportWith(rules::kCodeMissing, at, g == 0 ? 3 : 5, [&] {
          return CodeMissing(codes[g][p], table_id, reader.file(), u"その名前は書かれません。");
        });
      }
    }
  }
  names.clear();
  bool blank = AppendGroupNames(names, found[0]);
  const bool second = std::any_of(found[1].begin(), found[1].end(), [](const CodeTable::Name* n) {
    return n != nullptr && !n->text.empty();
  });
  if (second) {
    names += u'～';
    blank = AppendGroupNames(names, found[1]) || blank;
  }
  // Names without a blank are held as they are.
  if (blank) {
    text::HoldTextFrom(names, 0);
  } else if (names.empty()) {
    names = u"@";
  }
}

}  // namespace tjvx::source
