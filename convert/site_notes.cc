#include "convert/site_notes.h"

#include <algorithm>
#include <charconv>

#include "source/legend_names.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"
#include "text/widths.h"

namespace tjvx::convert {
namespace {

// A count as the log program writes a single-precision number: " 12".
void AppendCount(std::u16string& line, size_t n) {
  if (n >= 10'000'000) {
    line += text::SingleToText(static_cast<float>(n));
    return;
  }
  char digits[8];
  char* end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  line += u' ';
  line.append(digits, end);
}

// A note of X12.TXT: texts of exactly 30 characters go on in the next record's text.
struct Note {
  float depth;
  std::u16string text;
  long long line;
};

constexpr size_t kContinuedLength = 30;

std::vector<Note> ReadNotes(source::FieldReader& x12, source::RecordFindings& found) {
  std::vector<Note> notes;
  std::vector<std::u16string_view> record;
  while (!x12.AtEnd()) {
    x12.ReadRecord(3, record);
    Note note{text::NumericValue(record[1]), std::u16string(record[2]), x12.record_line()};
    if (note.depth == 0.0f && !text::Trim(record[1]).empty() && !text::IsZeroText(record[1])) {
      found.Warning(note.line, 2,
                    u"深度「" + std::u16string(record[1]) +
                        u"」は数値ではない為、記事は一番浅い深度に付きます。");
    }
    size_t last_piece = record[2].size();
    while (last_piece == kContinuedLength && !x12.AtEnd()) {
      x12.ReadRecord(3, record);
      note.text += record[2];
      last_piece = record[2].size();
    }
    notes.push_back(std::move(note));
  }
  return notes;
}

}  // namespace

std::u16string SiteText(std::u16string_view item3, std::u16string_view item4) {
  std::u16string_view a = text::Trim(item3), b = text::Trim(item4);
  std::u16string text = !a.empty() && !b.empty() ? std::u16string(a) + u"_" + std::u16string(b)
                                                 : std::u16string(a.empty() ? b : a);
  return text::NormaliseField(text::kText, text);
}

std::optional<std::u16string> WriteSiteRecords(std::optional<source::FieldReader>& x1,
                                               const std::vector<source::DepthEntry>& depths,
                                               LineSink& out, base::FindingSink& findings) {
  if (!x1) return std::nullopt;
  source::RecordFindings found(findings, x1->file(), u"2000");
  float previous = 0.0f;
  std::u16string_view last_depth;
  bool any = false;
  std::array<std::u16string_view, 4> record;
  std::u16string line;
  size_t position = 0;  // the depth list is read onward from one line to the next
  while (!x1->AtEnd()) {
    x1->ReadRecord(record);
    const long long at = x1->record_line();
    const float depth = text::NumericValue(record[1]);
    if (any && depth < previous) {
      found.Warning(
          at, 2,
          u"深度「" + std::u16string(record[1]) +
              u"」が前の行の深度より浅い為、2000 の最後の数 (深度の番号) が正しく数えられません。");
    }
    previous = depth;
    size_t passed = 0;
    while (position < depths.size()) {
      ++passed;
      if (depths[position++].value == depth) break;
    }
    line.assign(u"2000 ");
    found.Put(line, at, 2, record[1], text::AppendDepthText);
    line += u' ';
    const size_t site = line.size();
    line += SiteText(record[2], record[3]);
    found.Written(std::u16string_view(line).substr(site), at);
    line += u" @";
    AppendCount(line, passed);
    out.Line(line);
    last_depth = record[1];
    any = true;
  }
  if (!any) return std::nullopt;
  return std::u16string(last_depth);
}

std::vector<std::u16string> FoldNote(std::u16string_view text) {
  std::vector<std::u16string> lines;
  if (text::DisplayWidth(text) <= kNoteWidth) {
    lines.push_back(text::NormaliseField(text::kText, text));
    return lines;
  }
  for (size_t start = 0; start < text.size(); start += kNoteWidth) {
    std::u16string piece(text.substr(start, kNoteWidth));
    if (start > 0) piece.insert(0, u"￥");
    lines.push_back(text::NormaliseField(text::kText, piece));
  }
  return lines;
}

void WriteNotesRecords(NoteSources& sources, const std::vector<source::DepthEntry>& depths,
                       const std::optional<std::u16string>& last_site_depth,
                       source::PatternTables& tables, LineSink& out, base::FindingSink& findings) {
  // The entries that get a record: up to the last site depth, or all when it is not in the list.
  size_t entries = depths.size();
  if (last_site_depth) {
    const float last = text::NumericValue(*last_site_depth);
    auto it = std::find_if(depths.begin(), depths.end(),
                           [&](const source::DepthEntry& e) { return e.value == last; });
    if (it != depths.end()) entries = static_cast<size_t>(it - depths.begin()) + 1;
  }
  if (entries == 0) {
    // Nothing is read then; a note file that holds notes loses them all.
    if (sources.x12 && !sources.x12->AtEnd()) {
      findings.Report({base::Severity::kWarning, sources.x12->file(), 0, 0, u"2002",
                       u"深度の一覧が空の為、このファイルの記事は書かれません。"});
    }
    return;
  }

  // Each note goes to the first entry at or below its depth; the last entry takes the rest, so
  // no note is lost.
  // Each entry's note lines, with the X12.TXT line each came from.
  struct NoteLine {
    std::u16string text;
    long long source_line;
  };
  std::vector<std::vector<NoteLine>> note_lines(entries);
  std::optional<source::RecordFindings> found_notes;
  if (sources.x12) {
    found_notes.emplace(findings, sources.x12->file(), u"2002");
    for (const Note& note : ReadNotes(*sources.x12, *found_notes)) {
      // The depth list is sorted, so the first entry at or below the note is found by halving.
      auto it = std::lower_bound(
          depths.begin(), depths.begin() + static_cast<long>(entries), note.depth,
          [](const source::DepthEntry& e, float depth) { return e.value < depth; });
      size_t index = std::min(static_cast<size_t>(it - depths.begin()), entries - 1);
      for (std::u16string& line : FoldNote(note.text)) {
        note_lines[index].push_back({std::move(line), note.line});
      }
    }
  }

  // Each coded file is read onward: its last record read gives the names until the list passes
  // the record's depth (kept as text and as its number, so the text is read once).
  std::array<std::u16string, 6> depth_text, names;
  std::array<float, 6> depth_value;
  std::array<std::optional<source::RecordFindings>, 6> found;
  std::array<long long, 6> names_line{};  // the line whose names the field shows
  for (size_t k = 0; k < 6; ++k) {
    depth_text[k] = sources.coded[k] ? u"-1" : u"99999";
    depth_value[k] = text::NumericValue(depth_text[k]);
    names[k] = u"@";
    if (sources.coded[k]) found[k].emplace(findings, sources.coded[k]->file(), u"2001");
  }
  std::u16string line;
  for (size_t e = 0; e < entries; ++e) {
    const source::DepthEntry& entry = depths[e];
    for (size_t k = 0; k < 6; ++k) {
      if (sources.coded[k] && depth_value[k] < entry.value) {
        const float before = depth_value[k];
        source::LookupLegendNames(tables, static_cast<int>(k) + 1, *sources.coded[k], names[k],
                                  depth_text[k], &*found[k]);
        depth_value[k] = text::NumericValue(depth_text[k]);
        names_line[k] = sources.coded[k]->record_line();
        if (depth_value[k] < before && depth_text[k] != u"99999") {
          found[k]->Warning(
              names_line[k], 2,
              u"深度「" + depth_text[k] +
                  u"」が前の行の深度より浅い為、この行の名前は正しい深度の 2001 に付きません。");
        }
      }
      if (depth_text[k] == u"99999") names[k] = u"@";
    }
    line.assign(u"2001 ");
    text::AppendMadeDepthText(line, entry.text);
    line += u" @ ";
    for (const std::u16string& name : names) {
      text::AppendHeldText(line, name);
      line += u' ';
    }
    line += u"-1";
    AppendCount(line, note_lines[e].size());
    out.Line(line);
  }
  // The coded records deeper than the last site depth are never read.
  for (size_t k = 0; k < 6; ++k) {
    if (!sources.coded[k] || sources.coded[k]->AtEnd()) continue;
    found[k]->Warning(
        sources.coded[k]->line(), 0,
        u"最後の現場の深度 (X1.TXT) より深い為、この行から後の記録は 2001 に書かれません。");
  }
  for (size_t e = 0; e < entries; ++e) {
    for (const NoteLine& note : note_lines[e]) {
      line.assign(u"2002 ");
      line += note.text;
      found_notes->Written(note.text, note.source_line);
      out.Line(line);
    }
  }
  for (auto& coded : found) {
    if (coded) coded->Finish();
  }
  if (found_notes) found_notes->Finish();
}

}  // namespace tjvx::convert
