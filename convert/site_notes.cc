#include "convert/site_notes.h"

#include <algorithm>
#include <deque>
#include <span>

#include "convert/record_loop.h"
#include "source/legend_names.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

// A count as the log program writes a single-precision number: " 12".
void AppendCount(std::u16string& line, size_t n) {
  if (n >= 10'000'000) {
    line += text::SingleToText(static_cast<float>(n));
    return;
  }
  // A blank, then the digits from the right.
  char16_t text[8];
  char16_t* first = text + 8;
  do {
    *--first = static_cast<char16_t>(u'0' + n % 10);
    n /= 10;
  } while (n != 0);
  *--first = u' ';
  line.append(first, static_cast<size_t>(text + 8 - first));
}

// A note of X12.TXT: texts of exactly 30 characters go on in the next record's text.
struct Note {
  float depth;
  std::u16string_view depth_text;  // in the file's text
  std::u16string_view text;        // in the file's text, or joined from several records
  long long line;
};

constexpr size_t kContinuedLength = 30;

// The notes of X12.TXT; the texts of notes that go on over several records are joined in
// `joined`, which keeps each where it is as more are added.
std::vector<Note> ReadNotes(source::FieldReader& x12, source::RecordFindings& found,
                            std::deque<std::u16string>& joined) {
  std::vector<Note> notes;
  std::array<std::u16string_view, 3> record;
  while (!x12.AtEnd()) {
    x12.ReadRecord(record);
    Note note{text::NumericValue(record[1]), record[1], record[2], x12.record_line()};
    if (note.depth == 0.0f && !text::Trim(record[1]).empty() && !text::IsZeroText(record[1])) {
      found.Report(source::rules::kNoteDepth, note.line, 2,
                   {u"深度「" + std::u16string(record[1]) +
                    u"」は数値ではない為、記事は一番浅い深度に付きます。"});
    }
    if (record[2].size() == kContinuedLength && !x12.AtEnd()) {
      std::u16string& text = joined.emplace_back(record[2]);
      size_t last_piece = kContinuedLength;
      while (last_piece == kContinuedLength && !x12.AtEnd()) {
        x12.ReadRecord(record);
        text += record[2];
        last_piece = record[2].size();
      }
      note.text = text;
    }
    notes.push_back(note);
  }
  return notes;
}

// A note wider than kNoteWidth columns is cut into pieces of kNoteWidth characters. A character
// takes one column or two, so a wider note of at most kNoteWidth characters is one piece, the note
// itself, and only the characters need counting.
constexpr size_t kNoteCharacters = kNoteWidth;

size_t NoteLineCount(std::u16string_view note) {
  return note.size() <= kNoteCharacters ? 1 : (note.size() + kNoteCharacters - 1) / kNoteCharacters;
}

// Line `piece` of a note, appended to `line`: every piece after the first is led by "￥".
void AppendNoteLine(std::u16string& line, std::u16string_view note, size_t piece) {
  const std::u16string_view cut = note.substr(piece * kNoteCharacters, kNoteCharacters);
  if (piece == 0) {
    text::AppendNormalisedField(line, text::kText, cut);
  } else {
    text::AppendNormalisedField(line, text::kText, u"￥" + std::u16string(cut));
  }
}

// A depth of X11.TXT, which reaches the file only as the depth of a 2001 record.
struct DepthMark {
  float value;
  std::u16string_view text;  // in the file's text
  long long line;
};

// The depths of X11.TXT, shallowest first.
std::vector<DepthMark> ReadDepthMarks(source::FieldReader& x11, source::RecordFindings& found) {
  std::vector<DepthMark> marks;
  std::array<std::u16string_view, 5> record;
  while (!x11.AtEnd()) {
    x11.ReadRecord(record);
    const DepthMark& mark =
        marks.emplace_back(DepthMark{text::NumericValue(record[1]), record[1], x11.record_line()});
    if (mark.value == 0.0f && !text::Trim(mark.text).empty() && !text::IsZeroText(mark.text)) {
      found.Report(
          source::rules::kDepthMark, mark.line, 2,
          {u"深度「" + std::u16string(mark.text) + u"」は数値ではない為、深度 0 とされます。"});
    }
  }
  // The file is mostly in order already.
  auto by_depth = [](const DepthMark& a, const DepthMark& b) { return a.value < b.value; };
  if (!std::is_sorted(marks.begin(), marks.end(), by_depth)) {
    std::stable_sort(marks.begin(), marks.end(), by_depth);
  }
  return marks;
}

// One coded note file (X3.TXT, R31.TXT..R35.TXT), read onward along the depth list: its last
// record read gives the names until the list passes the record's depth (kept as text and as its
// number, so the text is read once). A missing file shows "@" at depth "99999" throughout.
struct CodedNote {
  // The depth of a file that has ended (or is missing). Texts the lines compare with are constants,
  // so their lengths are counted once, not at every comparison.
  static constexpr std::u16string_view kEnded = u"99999";

  source::FieldReader* reader = nullptr;
  std::optional<source::RecordFindings> found;
  std::u16string_view depth_text = kEnded;  // in the file's text once a record is read
  float depth_value = 99999.0f;
  std::u16string names = u"@";  // held as a line's value (see LookupLegendNames)
  long long names_line = 0;     // the line whose names the field shows, 0 before any

  void Open(source::FieldReader& file, base::FindingSink& findings) {
    reader = &file;
    found.emplace(findings, file, u"2001");
    depth_text = u"-1";
    depth_value = -1.0f;
  }

  // Reads the next record when the entry has passed the depth last read.
  void ReadOnward(source::PatternTables& tables, int kind, const source::DepthEntry& entry) {
    if (reader != nullptr && depth_value < entry.value) {
      const float before = depth_value;
      const bool read_before = names_line != 0;
      source::LookupLegendNames(tables, kind, *reader, names, depth_text, &*found);
      depth_value = text::NumericValue(depth_text);
      names_line = reader->record_line();
      // A record at the depth of the one before is read at the next entry: its names, and those
      // of the records after it, move down the list.
      const bool same = read_before && depth_value == before;
      if ((depth_value < before || same) && depth_text != kEnded) {
        found->Report(source::rules::kCodedNoteDepth, names_line, 2,
                      {u"深度「" + std::u16string(depth_text) +
                       (same ? u"」が前の行の深度と同じ為" : u"」が前の行の深度より浅い為") +
                       u"、この行の名前は正しい深度の 2001 に付きません。"});
      }
    }
    if (depth_text == kEnded) names = u"@";
  }

  // The entry's depth was written `written`, changed by `change`: told at the record of that
  // depth.
  void DepthWritten(const source::DepthEntry& entry, text::ValueChange change,
                    std::u16string_view written) {
    if (names_line != 0 && depth_value == entry.value && depth_text != kEnded) {
      found->Value(change, names_line, 2, depth_text, written);
    }
  }

  // After the last 2001 record, of depth `last`: a record read last shows its names there, the
  // ones after it are never read.
  void Beyond(float last) {
    if (reader == nullptr) return;
    const bool more = !reader->AtEnd();
    if (names_line != 0 && depth_text != kEnded && depth_value > last) {
      found->Report(source::rules::kCodedNoteDepth, names_line, 2,
                    {u"深度「" + std::u16string(depth_text) +
                     u"」が最後の現場の深度 (X1.TXT) より深い為、この行の名前は最後の 2001 に付" +
                     (more ? u"き、後の行は 2001 に書かれません。" : u"きます。")});
    } else if (more) {
      found->Report(
          source::rules::kCodedNoteDepth, reader->line(), 0,
          {u"最後の現場の深度 (X1.TXT) より深い為、この行から後の記録は 2001 に書かれません。"});
    }
  }
};

// The depth-list entries that get a 2001 record: up to the last site depth, or all when it is not
// in the list.
size_t EntriesWithRecords(const std::vector<source::DepthEntry>& depths,
                          const std::optional<std::u16string>& last_site_depth) {
  if (!last_site_depth) return depths.size();
  const float last = text::NumericValue(*last_site_depth);
  auto it = std::find_if(depths.begin(), depths.end(),
                         [&](const source::DepthEntry& e) { return e.value == last; });
  return it == depths.end() ? depths.size() : static_cast<size_t>(it - depths.begin()) + 1;
}

// The records 2001 and 2002 of the depth-list entries that get one, made in named steps: the
// notes of X12.TXT placed on the entries, the 2001 line of each entry with the six note names at
// its depth, what lies beyond the last entry, then the note lines.
class NoteRecords {
 public:
  // The fixed pieces of the lines, their lengths counted once.
  static constexpr std::u16string_view k2001 = u"2001 ", kAfterDepth = u" @ ", kNoNumber = u"-1";
  static constexpr std::u16string_view k2002 = u"2002 ";

  NoteRecords(NoteSources& sources, std::span<const source::DepthEntry> entries,
              base::FindingSink& findings)
      : entries_(entries), note_lines_(entries.size()) {
    if (sources.x12) PlaceNotes(*sources.x12, findings);
    for (size_t k = 0; k < coded_.size(); ++k) {
      if (sources.coded[k]) coded_[k].Open(*sources.coded[k], findings);
    }
    if (sources.x11) {
      found_marks_.emplace(findings, *sources.x11, u"2001");
      marks_ = ReadDepthMarks(*sources.x11, *found_marks_);
    }
  }

  // One 2001 line for each entry: its depth, the names each coded note gives at that depth, and
  // the number of note lines the entry owns.
  void Write2001(source::PatternTables& tables, LineSink& out) {
    std::u16string line;
    for (size_t e = 0; e < entries_.size(); ++e) {
      const source::DepthEntry& entry = entries_[e];
      for (size_t k = 0; k < coded_.size(); ++k) {
        coded_[k].ReadOnward(tables, static_cast<int>(k) + 1, entry);
      }
      line.assign(k2001);
      const text::ValueChange change = text::AppendMadeDepthText(line, entry.text);
      DepthWritten(entry, change, std::u16string_view(line).substr(5));
      line += kAfterDepth;
      for (const CodedNote& note : coded_) {
        line += note.names;
        line += u' ';
      }
      line += kNoNumber;
      AppendCount(line, note_lines_[e]);
      out.Line(line);
    }
  }

  // The depths of X11.TXT and the coded notes deeper than the last entry get no 2001 record.
  void ReportBeyondTheLast() {
    for (size_t m = next_mark_; m < marks_.size(); ++m) {
      found_marks_->Report(source::rules::kDepthMark, marks_[m].line, 2,
                           {u"深度「" + std::u16string(marks_[m].text) +
                            u"」が最後の現場の深度 (X1.TXT) より深い為、2001 に書かれません。"});
    }
    for (CodedNote& note : coded_) note.Beyond(entries_.back().value);
  }

  // The 2002 lines, entry by entry.
  void Write2002(LineSink& out) {
    std::u16string line;
    for (const PlacedNote& note : notes_) {
      for (size_t piece = 0, pieces = NoteLineCount(note.text); piece < pieces; ++piece) {
        line.assign(k2002);
        AppendNoteLine(line, note.text, piece);
        found_notes_->Written(std::u16string_view(line).substr(5), note.source_line);
        out.Line(line);
      }
    }
  }

  void Finish() {
    for (CodedNote& note : coded_) {
      if (note.found) note.found->Finish();
    }
    if (found_marks_) found_marks_->Finish();
    if (found_notes_) found_notes_->Finish();
  }

 private:
  // A note placed on an entry, with the X12.TXT line it came from.
  struct PlacedNote {
    size_t entry;
    std::u16string_view text;
    long long source_line;
  };

  // Each note goes to the first entry at or below its depth; the last entry takes the rest, so
  // no note is lost. The notes are then put in the order of their entries, keeping the file's
  // order among the notes of one entry.
  void PlaceNotes(source::FieldReader& x12, base::FindingSink& findings) {
    found_notes_.emplace(findings, x12, u"2002");
    for (const Note& note : ReadNotes(x12, *found_notes_, joined_)) {
      // The depth list is sorted, so the first entry at or below the note is found by halving.
      auto it = std::lower_bound(
          entries_.begin(), entries_.end(), note.depth,
          [](const source::DepthEntry& e, float depth) { return e.value < depth; });
      size_t index = static_cast<size_t>(it - entries_.begin());
      if (index == entries_.size()) {
        found_notes_->Report(source::rules::kNoteDepth, note.line, 2,
                             {u"深度「" + std::u16string(note.depth_text) +
                              u"」が最後の 2001 の深度より深い為、記事は最後の 2001 に付きます。"});
        index = entries_.size() - 1;
      }
      notes_.push_back({index, note.text, note.line});
      note_lines_[index] += NoteLineCount(note.text);
    }
    auto by_entry = [](const PlacedNote& a, const PlacedNote& b) { return a.entry < b.entry; };
    if (!std::is_sorted(notes_.begin(), notes_.end(), by_entry)) {
      std::stable_sort(notes_.begin(), notes_.end(), by_entry);
    }
  }

  // The entry's depth was written `written`: a depth the line cannot show as it stands (`change`)
  // is told at each record of that depth, in the coded notes and in X11.TXT.
  void DepthWritten(const source::DepthEntry& entry, text::ValueChange change,
                    std::u16string_view written) {
    if (change != text::ValueChange::kNone) {
      for (CodedNote& note : coded_) note.DepthWritten(entry, change, written);
    }
    for (; next_mark_ < marks_.size() && marks_[next_mark_].value <= entry.value; ++next_mark_) {
      const DepthMark& mark = marks_[next_mark_];
      if (mark.value == entry.value) found_marks_->Value(change, mark.line, 2, mark.text, written);
    }
  }

  std::span<const source::DepthEntry> entries_;
  std::deque<std::u16string> joined_;  // the texts of notes joined from several records
  std::vector<PlacedNote> notes_;      // by entry
  std::vector<size_t> note_lines_;     // by entry: the number of its note lines
  std::optional<source::RecordFindings> found_notes_;
  std::array<CodedNote, 6> coded_;
  std::vector<DepthMark> marks_;
  size_t next_mark_ = 0;  // the first mark not yet passed by the entries written
  std::optional<source::RecordFindings> found_marks_;
};

}  // namespace

void AppendSiteText(std::u16string& line, std::u16string_view item3, std::u16string_view item4) {
  const std::u16string_view a = text::Trim(item3), b = text::Trim(item4);
  if (a.empty() || b.empty()) {
    text::AppendTextField(line, a.empty() ? b : a);
    return;
  }
  // Both are there, neither blank at its ends: joined by "_", the text form is the blanks inside
  // made "_".
  const size_t start = line.size();
  line += a;
  line += u'_';
  line += b;
  std::replace_if(
      line.begin() + static_cast<std::ptrdiff_t>(start), line.end(),
      [](char16_t c) { return c == u' ' || c == u'\u3000'; }, u'_');
}

// The fixed piece of a 2000 line after the site text, its length counted once.
constexpr std::u16string_view kSiteAt = u" @";

std::optional<std::u16string> WriteSiteRecords(std::optional<source::FieldReader>& x1,
                                               const std::vector<source::DepthEntry>& depths,
                                               LineSink& out, base::FindingSink& findings) {
  if (!x1) return std::nullopt;
  RecordLoop<4> records(*x1, findings, u"2000");
  source::RecordFindings& found = records.found();
  float previous = 0.0f;
  // The deepest depth of the lines so far: the 2001 records end at the last line's depth.
  float deepest = 0.0f;
  std::u16string_view deepest_text;  // in the file's text
  bool any = false;
  std::u16string& line = records.line();
  std::u16string_view last_depth;  // in the file's text
  std::u16string out_of_order;
  long long last_line = 0;
  size_t position = 0;  // the depth list is read onward from one line to the next
  while (records.Next()) {
    const long long at = records.at();
    const std::u16string_view depth_text = records.Field(2);
    const float depth = text::NumericValue(depth_text);
    // A depth at or above the one before is not found onward in the list: the count runs on to
    // the list's end.
    out_of_order.clear();
    if (any && depth <= previous) {
      out_of_order =
          u"深度「" + std::u16string(depth_text) +
          (depth < previous ? u"」が前の行の深度より浅い為" : u"」が前の行の深度と同じ為") +
          u"、2000 の最後の数 (深度の番号) が正しく数えられません。";
      // The last line's warning waits: it may also say what the last depth leaves out.
      if (!x1->AtEnd()) found.Report(source::rules::kSiteDepthOrder, at, 2, {out_of_order});
    }
    previous = depth;
    if (!any || depth > deepest) {
      deepest = depth;
      deepest_text = depth_text;
    }
    size_t passed = 0;
    while (position < depths.size()) {
      ++passed;
      if (depths[position++].value == depth) break;
    }
    records.Start(2);
    line += u' ';
    const size_t site = line.size();
    AppendSiteText(line, records.Field(3), records.Field(4));
    found.Written(std::u16string_view(line).substr(site), at);
    line += kSiteAt;
    AppendCount(line, passed);
    out.Line(line);
    last_depth = depth_text;
    last_line = at;
    any = true;
  }
  records.Finish();
  if (!any) return std::nullopt;
  if (previous < deepest) {
    // The 2001 records end at the last line's depth, so the deeper depths of earlier lines get
    // none.
    const std::u16string drops =
        u"、これより深い 2001 (深度「" + std::u16string(deepest_text) + u"」まで) は書かれません。";
    found.Report(source::rules::kSiteDepthOrder, last_line, 2,
                 {out_of_order.empty()
                      ? u"深度「" + std::u16string(last_depth) + u"」は最後の行の深度の為" + drops
                      : out_of_order + u"最後の行の深度の為" + drops});
  } else if (!out_of_order.empty()) {
    found.Report(source::rules::kSiteDepthOrder, last_line, 2, {out_of_order});
  }
  return std::u16string(last_depth);
}

std::vector<std::u16string> FoldNote(std::u16string_view text) {
  std::vector<std::u16string> lines(NoteLineCount(text));
  for (size_t piece = 0; piece < lines.size(); ++piece) AppendNoteLine(lines[piece], text, piece);
  return lines;
}

void WriteNotesRecords(NoteSources& sources, const std::vector<source::DepthEntry>& depths,
                       const std::optional<std::u16string>& last_site_depth,
                       source::PatternTables& tables, LineSink& out, base::FindingSink& findings) {
  const size_t entries = EntriesWithRecords(depths, last_site_depth);
  if (entries == 0) {
    // Nothing is read then; a note file that holds notes loses them all.
    if (sources.x12 && !sources.x12->AtEnd()) {
      const source::Rule& rule = source::rules::kNotesNoDepth;
      findings.Report({rule.severity,
                       sources.x12->file(),
                       0,
                       0,
                       u"2002",
                       u"深度の一覧が空の為、このファイルの記事は書かれません。",
                       {},
                       rule.id});
    }
    return;
  }
  NoteRecords notes(sources, std::span(depths.data(), entries), findings);
  notes.Write2001(tables, out);
  notes.ReportBeyondTheLast();
  notes.Write2002(out);
  notes.Finish();
}

}  // namespace tjvx::convert
