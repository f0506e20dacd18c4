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

// The names of one group's codes joined, in full width, after `names`; returns whether they may
// hold a blank. Each name is made full width once with its table; only a half-width kana that ends
// one name and a voiced mark that begins the next combine in the joined text, which is then made
// full width whole. The wave dash and the full-width forms never combine, so each group is made
// full width alone.
bool AppendGroupNames(std::u16string& names, const std::array<const CodeTable::Name*, 3>& group) {
  const size_t start = names.size();
  char16_t before = 0;  // the last character of the names before
  bool blank = false;
  for (const CodeTable::Name* name : group) {
    if (name == nullptr || name->text.empty()) continue;
    if (IsHalfWidthKana(before) && IsVoicedMark(name->text.front())) {
      names.resize(start);
      std::u16string joined;
      for (const CodeTable::Name* part : group) {
        if (part != nullptr) joined += part->text;
      }
      text::AppendFullWidth(names, joined);
      return true;
    }
    blank = blank || name->full_width_has_blank;
    before = name->text.back();
    names += name->full_width;
  }
  return blank;
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

  // Group g (0, 1) of codes, field 3 or 5: runs of two characters in X3.TXT.
  const std::u16string_view group_fields[2] = {record[2], record[4]};
  if (kind == 1) {
    for (std::u16string_view field : group_fields) {
      if (field.size() > 6) {
        throw base::Error(base::Error::Kind::kOutOfRange, reader.file(), line, -1,
                          u"コードが 3 個を超えています: " + std::u16string(field));
      }
    }
  }

  const TableId table_id =
      kind == 1 ? TableId::kL4 : static_cast<TableId>(static_cast<int>(TableId::kL13) + kind - 2);
  const CodeTable& table = tables.Get(table_id);
  // The names of each group's codes, position p (0..2) of group g; empty positions count as code 0.
  std::array<std::array<const CodeTable::Name*, 3>, 2> found{};
  for (int g = 0; g < 2; ++g) {
    const std::u16string_view field = group_fields[g];
    for (size_t p = 0; p < (kind == 1 ? 3u : 1u); ++p) {
      const std::u16string_view code = kind != 1              ? field
                                       : p * 2 < field.size() ? field.substr(p * 2, 2)
                                                              : std::u16string_view();
      // The whole list is read and a later matching line overwrites an earlier one.
      found[g][p] = table.LastName(text::NumericValue(code));
      if (found[g][p] == nullptr && findings != nullptr && !text::Trim(code).empty() &&
          !text::IsZeroText(code)) {
        findings->ReportWith(rules::kCodeMissing, at, g == 0 ? 3 : 5, [&] {
          return CodeMissing(code, table_id, reader.file(), u"その名前は書かれません。");
        });
      }
    }
  }
  names.clear();
  bool blank = AppendGroupNames(names, found[0]);
  // The second group follows a wave dash when it names anything.
  const size_t second = names.size();
  names += u'～';
  blank = AppendGroupNames(names, found[1]) || blank;
  if (names.size() == second + 1) names.resize(second);
  // Names without a blank are held as they are.
  if (blank) {
    text::HoldTextFrom(names, 0);
  } else if (names.empty()) {
    names = u"@";
  }
}

}  // namespace tjvx::source
