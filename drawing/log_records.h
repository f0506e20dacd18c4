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
};

// Texts at one depth (a 3070 name, a 2001 description with its 2002 lines, a mark); each text
// starts a line.
struct DepthNote {
  double depth = 0;
  TextRun texts;
};

// A 4000 test: its N value when it has readings.
struct IntervalTest {
  double depth = 0;  // the start depth
  std::optional<long long> n;
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
  std::vector<DepthNote> notes;     // 2001 with their 2002 lines
  std::vector<IntervalTest> tests;  // 4000
  std::vector<DepthNote> readings;  // 4000 with readings: readings ("10/12/13"), then lengths
  std::vector<DepthNote> marks;     // 3000, 3010, 3020, 5000, 5010
  // The log's bottom: the deepest depth of any record, at least one metre; an open-ended layer
  // ("9999") ends here, one metre below its top when nothing lies deeper.
  double deepest = 0;
  Omissions omitted;  // cut_texts stays 0 here: that is the layout's to count

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

// The N value of a test from its three readings and lengths (cm), each "-1" when absent: the sum
// of the readings present, times 30 over the sum of their lengths when that sum is not 30,
// rounded. None when no reading is present or a present reading has no length; `bad_values`
// counts the readings that are neither a number nor "-1" and the lengths of present readings that
// are missing or not a positive number.
std::optional<long long> NValue(const std::array<std::u16string_view, 3>& lengths,
                                const std::array<std::u16string_view, 3>& readings,
                                long long* bad_values = nullptr);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_RECORDS_H_
