#ifndef TJVX_CONVERT_SITE_NOTES_H_
#define TJVX_CONVERT_SITE_NOTES_H_

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/depth_list.h"
#include "source/field_reader.h"
#include "source/source_files.h"

namespace tjvx::convert {

// Records 2000, one per line of X1.TXT: the depth, the site text and the number of depth-list
// entries passed to reach the line's depth. Returns the depth item of the last line, or nothing
// when X1.TXT is missing or empty.
std::optional<std::u16string> WriteSiteRecords(
    std::optional<source::FieldReader>& x1, const std::vector<source::DepthEntry>& depths,
    LineSink& out, base::FindingSink& findings = base::NoFindingsSink());

// The site text of an X1.TXT line, appended to `line`: items 3 and 4 trimmed, joined by "_" when
// both are there, with blanks written "_" and an empty text "@".
void AppendSiteText(std::u16string& line, std::u16string_view item3, std::u16string_view item4);

// The coded note files, notes 1 to 6.
inline constexpr source::FileId kCodedNoteFiles[6] = {source::FileId::kX3,  source::FileId::kR31,
                                                      source::FileId::kR32, source::FileId::kR33,
                                                      source::FileId::kR34, source::FileId::kR35};

// The coded note files X3.TXT and R31.TXT..R35.TXT (notes 1 to 6), the note texts of X12.TXT
// and X11.TXT, whose depths reach the file only as depths of 2001 records.
struct NoteSources {
  std::array<std::optional<source::FieldReader>, 6> coded;
  std::optional<source::FieldReader> x12;
  std::optional<source::FieldReader> x11;
};

// Records 2001, one per depth-list entry up to the entry of the last X1.TXT depth (every entry
// when no X1.TXT line ties to the list), each with the six note names at that depth and the
// number of note lines it owns; then records 2002, the note lines themselves.
void WriteNotesRecords(NoteSources& sources, const std::vector<source::DepthEntry>& depths,
                       const std::optional<std::u16string>& last_site_depth,
                       source::PatternTables& tables, LineSink& out,
                       base::FindingSink& findings = base::NoFindingsSink());

// Width of a note line; a wider note is folded.
inline constexpr int kNoteWidth = 68;

// The lines of one note: the note itself when it is at most kNoteWidth columns wide, else pieces
// of kNoteWidth characters, every piece after the first led by "￥".
std::vector<std::u16string> FoldNote(std::u16string_view text);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_SITE_NOTES_H_
