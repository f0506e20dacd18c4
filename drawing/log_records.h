#ifndef TJVX_DRAWING_LOG_RECORDS_H_
#define TJVX_DRAWING_LOG_RECORDS_H_

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "converted/model.h"
#include "drawing/log_layout.h"
#include "drawing/log_values.h"

// What a log shows, read out of a converted file's records: depths in metres, texts as they are
// written on the drawing. What cannot be drawn is counted here and left out.
namespace tjvx::drawing {

// The title block's texts; an empty text was missing.
struct TitleFields {
  std::u16string title, borehole, site, client, contractor, latitude, longitude, person, dates;
};

// The texts of one interval or note: a run of the texts of LogContents, in order. The texts of a
// log are kept in one list rather than a list for each of the many notes.
struct TextRun {
  size_t first = 0;
  size_t count = 0;
  bool empty() const { return count == 0; }
};

// A depth interval with its texts (a 2000 unit, a 3030 layer with all its names, a 3040 interval).
struct Interval {
  double top = 0;
  double bottom = 0;
  TextRun names;
  bool open_ended = false;  // its bottom was written "9999": it ends at the log's bottom
};

// Texts at one depth (a 3070 name, a 2001 description with its 2002 lines, a mark); each text
// starts a line.
struct DepthNote {
  double depth = 0;
  TextRun texts;
};

// A block of 2001 notes: the interval it describes (from the depth of the 2001 entry before its
// first, 0 for the first entry, down to its last entry's depth), its six names once, then the
// 2002 lines of each of its entries in file order.
struct NoteBlock {
  double top = 0;
  double bottom = 0;
  TextRun texts;
};

// A 4000 test at its start depth; a count when it draws a point.
struct IntervalTest {
  double depth = 0;
  std::optional<BlowCount> count;
};

struct LogContents {
  TitleFields title;
  // The texts of the lists below, one after another in `chars`: text i ends where text_ends[i]
  // says and starts where text i - 1 ends. Each interval's or note's texts are a run of them.
  std::u16string chars;
  std::vector<size_t> text_ends;
  std::vector<Interval> units;      // 2000, each from the bottom before it (0 for the first)
  std::vector<Interval> layers;     // 3030, the names of one top and bottom together
  std::vector<Interval> intervals;  // 3040
  std::vector<DepthNote> names;     // 3070
  std::vector<NoteBlock> notes;     // 2001 with their 2002 lines, by the tops of their intervals
  std::vector<IntervalTest> tests;  // 4000
  // Counted 4000 tests: the blows of their counted intervals ("10/12/13"), then the lengths.
  std::vector<DepthNote> readings;
  std::vector<DepthNote> marks;  // 3000, 3010, 3020, 5000, 5010
  // The log's bottom: the deepest depth of any record, at least one metre; an open-ended layer
  // ("9999") ends here, one metre below its top when nothing lies deeper.
  double deepest = 0;
  Omissions omitted;            // cut_texts stays 0 here: that is the layout's to count
  std::vector<LostValue> lost;  // the values counted in omitted.values, in file order

  size_t TextCount() const { return text_ends.size(); }
  std::u16string_view TextAt(size_t i) const {
    const size_t begin = i == 0 ? 0 : text_ends[i - 1];
    return std::u16string_view(chars).substr(begin, text_ends[i] - begin);
  }
};

// Every list sorted by depth (intervals by top), in file order at equal depths.
LogContents ReadLogContents(const converted::ConvertedFile& file);

// The same from the converted file at `path`, read one record at a time: only what the log shows
// is kept, never the file's records. Throws converted::ReadRefusal.
LogContents ReadLogContentsAt(std::u16string_view path);

// The log laid out from contents already read, so that one reading of a file serves several
// layouts (the screen's one long page and the printer's A4 pages).
Drawing LayOutLogContents(LogContents contents, const LayoutOptions& options);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_RECORDS_H_
