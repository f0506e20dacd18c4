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

// A test counted as the engineer counts it: `blows` over `length_cm` of the counted intervals,
// and the N value its point stands at.
struct BlowCount {
  long long blows = 0;
  double length_cm = 0;
  long long n = 0;
  bool operator==(const BlowCount&) const = default;
};

// The label of a count: the blows when they were counted over 30 cm, else blows/length ("50/12").
std::u16string BlowLabel(const BlowCount& count);

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

// Depths beyond this many metres are not drawn: they are taken as values that are not depths.
inline constexpr double kMaxDepth = 9000;

// Every list sorted by depth (intervals by top), in file order at equal depths.
LogContents ReadLogContents(const converted::ConvertedFile& file);

// The same from the converted file at `path`, read one record at a time: only what the log shows
// is kept, never the file's records. Throws converted::ReadRefusal.
LogContents ReadLogContentsAt(std::u16string_view path);

// The log laid out from contents already read, so that one reading of a file serves several
// layouts (the screen's one long page and the printer's A4 pages).
Drawing LayOutLogContents(LogContents contents, const LayoutOptions& options);

// The count of a test from its three lengths (cm) and readings, as the converted file writes
// them. An interval counts when its length is a number above 0; its reading is its blows, "-1"
// being 0 blows (the converter writes a 0 as "-1"). The point stands at the blows when the counted
// length is 30 cm or more, else at 30 x blows / length, rounded. None when no interval counts, or
// a reading is not a count of blows, or a reading other than "-1" stands in an interval that does
// not count; `lost` gets the indexes (0..5: lengths, then readings) of the values present that
// cannot be drawn.
std::optional<BlowCount> CountBlows(const std::array<std::u16string_view, 3>& lengths,
                                    const std::array<std::u16string_view, 3>& readings,
                                    std::vector<int>* lost = nullptr);

// A date of the title block from the 1009 record's era, year, month and day, the year counted in
// `era` (昭和, 平成 or 令和), shown in the era its day falls in: 昭和 to 1989-01-07, 平成 to
// 2019-04-30, 令和 after, the first year of an era written 元年. A month or day that is empty
// is left out, and the date takes the era of its year's first day. An era of another name is
// shown as written. None when the year is not a number.
std::optional<std::u16string> EraDate(std::u16string_view era, std::u16string_view year,
                                      std::u16string_view month, std::u16string_view day);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_RECORDS_H_
