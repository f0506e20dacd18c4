#include "drawing/log_records.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <unordered_map>
#include <utility>

#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::drawing {
namespace {

using converted::Record;

constexpr double kOpenEnded = std::numeric_limits<double>::infinity();
// Counts, readings and lengths beyond this are not taken as numbers: no borehole has them, and
// they would overflow the sums.
constexpr double kMaxCount = 1e9;

// The values each drawn record code has; a shorter record cannot be drawn.
size_t ValueCount(int code) {
  switch (code) {
    case 1006:
    case 1007:
    case 3000:
    case 3020:
    case 3030:
    case 3040:
      return 3;
    case 1009:
      return 7;
    case 2000:
    case 5010:
      return 4;
    case 2001:
    case 5000:
      return 10;
    case 3010:
    case 3070:
      return 2;
    case 4000:
      return 8;
    case 1000:
    case 1001:
    case 1002:
    case 1004:
    case 1005:
    case 1008:
    case 2002:
      return 1;
    default:
      return 0;  // not drawn
  }
}

bool IsPlaceholder(std::u16string_view value) {
  value = text::Trim(value);
  return value.empty() || value == u"@" || value == u"-1";
}

// A text as the drawing shows it: the converter wrote each blank of it as "_".
std::u16string Shown(std::u16string_view value) {
  std::u16string shown(text::Trim(value));
  std::replace(shown.begin(), shown.end(), u'_', u' ');
  return shown;
}

// Single precision, as every depth of the converter is compared, so 1.5 and 1.50 are one depth.
std::optional<double> DepthOf(std::u16string_view value) {
  if (IsPlaceholder(value) || !text::IsNumericText(value)) return std::nullopt;
  const double depth = text::NumericValue(value);
  if (depth < 0 || depth > kMaxDepth) return std::nullopt;
  return depth;
}

// A reading of a test: a count from 0 up ("-1" is no reading).
bool IsReading(std::u16string_view reading) {
  if (!text::IsNumericText(reading)) return false;
  const double count = text::NumericValue(reading);
  return count >= 0 && count <= kMaxCount;
}

// The length of a reading in cm: more than 0.
bool IsLength(std::u16string_view cm) {
  if (!text::IsNumericText(cm)) return false;
  const double length = text::NumericValue(cm);
  return length > 0 && length <= kMaxCount;
}

bool IsOpenEnded(std::u16string_view value) {
  return text::IsNumericText(value) && text::NumericValue(value) == 9999.0f;
}

std::optional<long long> CountOf(std::u16string_view value) {
  if (!text::IsNumericText(value)) return std::nullopt;
  const double count = text::NumericValue(value);
  if (count < 0 || count > kMaxCount || count != std::floor(count)) return std::nullopt;
  return static_cast<long long>(count);
}

// The key of a layer's top and bottom, as the single precision numbers they are compared as.
std::uint64_t IntervalKey(double top, double bottom) {
  const auto bits = [](double depth) {
    return static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(static_cast<float>(depth)));
  };
  return bits(top) << 32 | bits(bottom);
}

// A 2001 entry until its 2002 lines are known.
struct NoteEntry {
  std::optional<double> depth;
  std::u16string heading;          // its names joined
  std::optional<long long> count;  // its 2002 lines; none when it cannot be told
  std::vector<std::u16string> lines;
};

class ContentsReader {
 public:
  LogContents Read(const converted::ConvertedFile& file) {
    for (const Record& record : file.records) {
      const size_t needed = ValueCount(record.code);
      if (needed == 0) continue;
      if (!record.Drawable() || record.values.size() < needed) {
        ++out_.omitted.records;
        // A 2001 or 2002 line still holds its place among the notes' lines.
        if (record.code == 2001) entries_.push_back({});
        if (record.code == 2002) note_lines_.push_back(nullptr);
        continue;
      }
      Add(record);
    }
    AssignNoteLines();
    Finish();
    return std::move(out_);
  }

 private:
  void Add(const Record& record) {
    const std::vector<std::u16string>& v = record.values;
    switch (record.code) {
      case 1000:
        TitleText(out_.title.title, v[0]);
        break;
      case 1001:
        TitleText(out_.title.borehole, v[0]);
        break;
      case 1002:
        TitleText(out_.title.site, v[0]);
        break;
      case 1004:
        TitleText(out_.title.client, v[0]);
        break;
      case 1005:
        TitleText(out_.title.contractor, v[0]);
        break;
      case 1008:
        TitleText(out_.title.person, v[0]);
        break;
      case 1006:
        Coordinate(out_.title.latitude, v);
        break;
      case 1007:
        Coordinate(out_.title.longitude, v);
        break;
      case 1009:
        Dates(v);
        break;
      case 2000:
        Unit(v);
        break;
      case 2001:
        Note(v);
        break;
      case 2002:
        note_lines_.push_back(&record);
        break;
      case 3030:
        Span(v, out_.layers, &layer_index_);
        break;
      case 3040:
        Span(v, out_.intervals, nullptr);
        break;
      case 3070:
        PointTexts(out_.names, v, {{u"", 1}});
        break;
      case 3000:
        PointTexts(out_.marks, v, {{u"値A ", 1}, {u"値B ", 2}});
        break;
      case 3010:
        PointTexts(out_.marks, v, {{u"値C ", 1}});
        break;
      case 3020:
        MonthDay(v);
        break;
      case 4000:
        Test(v);
        break;
      case 5000:
        Merged(v);
        break;
      case 5010:
        PointTexts(out_.marks, v, {{u"", 2}, {u"", 3}, {u"", 1}});
        break;
    }
  }

  // A value to be drawn; a placeholder is counted and gives none.
  std::optional<std::u16string> Value(std::u16string_view value) {
    if (IsPlaceholder(value)) {
      ++out_.omitted.values;
      return std::nullopt;
    }
    return Shown(value);
  }

  std::optional<double> Depth(std::u16string_view value) {
    std::optional<double> depth = DepthOf(value);
    if (!depth) {
      ++out_.omitted.values;
    } else {
      deepest_ = std::max(deepest_, *depth);
    }
    return depth;
  }

  // The header's fields are taken from their first record.
  void TitleText(std::u16string& field, std::u16string_view value) {
    if (!field.empty()) return;
    field = Value(value).value_or(u"");
  }

  void Coordinate(std::u16string& field, const std::vector<std::u16string>& v) {
    if (!field.empty()) return;
    std::optional<std::u16string> degrees = Value(v[0]), minutes = Value(v[1]),
                                  seconds = Value(v[2]);
    if (degrees && minutes && seconds) field = *degrees + u"°" + *minutes + u"′" + *seconds + u"″";
  }

  // Era, year, month, day, end year, end month, end day: "平成16年08月05日～平成16年08月20日".
  void Dates(const std::vector<std::u16string>& v) {
    if (!out_.title.dates.empty()) return;
    std::optional<std::u16string> fields[7];
    for (int i = 0; i < 7; ++i) fields[i] = Value(v[i]);
    auto date = [&](int year) {
      return *fields[0] + *fields[year] + u"年" + *fields[year + 1] + u"月" + *fields[year + 2] +
             u"日";
    };
    if (!fields[0] || !fields[1] || !fields[2] || !fields[3]) return;
    out_.title.dates = date(1);
    if (fields[4] && fields[5] && fields[6]) out_.title.dates += u"～" + date(4);
  }

  // A unit's depth is its bottom; it starts at the bottom of the unit before it.
  void Unit(const std::vector<std::u16string>& v) {
    const std::optional<double> bottom = Depth(v[0]);
    std::optional<std::u16string> name = Value(v[1]);
    if (!bottom) return;
    if (*bottom <= unit_top_) {
      ++out_.omitted.values;
      return;
    }
    Interval unit{unit_top_, *bottom, {}};
    if (name) unit.names.push_back(std::move(*name));
    out_.units.push_back(std::move(unit));
    unit_top_ = *bottom;
  }

  // A 3030 or 3040 line: top, bottom ("9999" open-ended), text. With `index`, the lines of one top
  // and bottom make one interval.
  void Span(const std::vector<std::u16string>& v, std::vector<Interval>& spans,
            std::unordered_map<std::uint64_t, size_t>* index) {
    const std::optional<double> top = Depth(v[0]);
    const std::optional<double> bottom = IsOpenEnded(v[1]) ? kOpenEnded : Depth(v[1]);
    std::optional<std::u16string> name = Value(v[2]);
    if (!top || !bottom) return;
    if (*bottom <= *top) {
      ++out_.omitted.values;
      return;
    }
    if (*bottom == kOpenEnded) open_tops_ = std::max(open_tops_, *top);
    size_t at = spans.size();
    if (index != nullptr) {
      at = index->try_emplace(IntervalKey(*top, *bottom), spans.size()).first->second;
    }
    if (at == spans.size()) spans.push_back({*top, *bottom, {}});
    if (name) spans[at].names.push_back(std::move(*name));
  }

  // A depth with texts: each (prefix, value index) gives "prefix value" when the value is there;
  // the texts of one record share a line.
  void PointTexts(std::vector<DepthNote>& notes, const std::vector<std::u16string>& v,
                  std::initializer_list<std::pair<std::u16string_view, int>> values) {
    const std::optional<double> depth = Depth(v[0]);
    std::u16string line;
    for (const auto& [prefix, index] : values) {
      std::optional<std::u16string> value = Value(v[index]);
      if (!value) continue;
      if (!line.empty()) line += u'　';
      line.append(prefix).append(*value);
    }
    if (depth && !line.empty()) notes.push_back({*depth, {std::move(line)}});
  }

  std::optional<std::u16string> MonthDayText(std::u16string_view month, std::u16string_view day) {
    std::optional<std::u16string> m = Value(month), d = Value(day);
    if (!m || !d) return std::nullopt;
    return *m + u"月" + *d + u"日";
  }

  void MonthDay(const std::vector<std::u16string>& v) {
    const std::optional<double> depth = Depth(v[0]);
    std::optional<std::u16string> date = MonthDayText(v[1], v[2]);
    if (depth && date) out_.marks.push_back({*depth, {std::move(*date)}});
  }

  // 5000: depth, month, day, G71, G73 ×2, G81 ×2, "@", G81.
  void Merged(const std::vector<std::u16string>& v) {
    const std::optional<double> depth = Depth(v[0]);
    DepthNote note{depth.value_or(0), {}};
    if (std::optional<std::u16string> date = MonthDayText(v[1], v[2])) {
      note.texts.push_back(std::move(*date));
    }
    auto group = [&](std::u16string_view label, std::initializer_list<int> indexes) {
      std::u16string line(label);
      bool any = false;
      for (int index : indexes) {
        if (std::optional<std::u16string> value = Value(v[index])) {
          line.append(u" ").append(*value);
          any = true;
        }
      }
      if (any) note.texts.push_back(std::move(line));
    };
    group(u"G71", {3});
    group(u"G73", {4, 5});
    group(u"G81", {6, 7, 9});
    if (depth && !note.texts.empty()) out_.marks.push_back(std::move(note));
  }

  // 2001: depth, "@", six names, "-1", the count of its 2002 lines.
  void Note(const std::vector<std::u16string>& v) {
    NoteEntry entry;
    entry.depth = Depth(v[0]);
    // A name left "@" was not described; it is not a value lost.
    for (int i = 2; i <= 7; ++i) {
      if (IsPlaceholder(v[i])) continue;
      if (!entry.heading.empty()) entry.heading += u'、';
      entry.heading += Shown(v[i]);
    }
    entry.count = CountOf(v[9]);
    if (!entry.count) ++out_.omitted.values;
    entries_.push_back(std::move(entry));
  }

  void Test(const std::vector<std::u16string>& v) {
    const std::optional<double> depth = Depth(v[0]);
    if (std::optional<double> end = DepthOf(v[1])) deepest_ = std::max(deepest_, *end);
    if (!depth) return;
    IntervalTest test;
    test.depth = *depth;
    test.n = NValue({v[2], v[3], v[4]}, {v[5], v[6], v[7]}, &out_.omitted.values);
    for (int i = 0; i < 3; ++i) {
      const std::u16string_view reading = text::Trim(v[5 + i]);
      if (!IsReading(reading)) continue;
      if (!test.readings.empty()) {
        test.readings += u'/';
        test.lengths += u'/';
      }
      test.readings += reading;
      // A length that is missing is marked, never written as its placeholder.
      const std::u16string_view cm = text::Trim(v[2 + i]);
      test.lengths += IsLength(cm) ? cm : u"―";
    }
    out_.tests.push_back(std::move(test));
  }

  // The 2002 lines follow all 2001 lines, the first entry's lines first, each entry counting its
  // own. Entries before the first one whose count cannot be told take their lines from the front,
  // entries after the last such one from the back; the lines between cannot be placed.
  void AssignNoteLines() {
    const size_t entries = entries_.size();
    size_t front = 0, back = note_lines_.size();
    size_t first_unknown = entries;
    for (size_t i = 0; i < entries; ++i) {
      if (!entries_[i].count) {
        first_unknown = i;
        break;
      }
      Take(entries_[i], front, front + *entries_[i].count);
      front = std::min(back, front + static_cast<size_t>(*entries_[i].count));
    }
    if (first_unknown < entries) {
      for (size_t i = entries; i-- > first_unknown && entries_[i].count;) {
        const size_t count = std::min(back - front, static_cast<size_t>(*entries_[i].count));
        Take(entries_[i], back - count, back);
        back -= count;
      }
    }
    out_.omitted.records += static_cast<long long>(back - front);
    for (NoteEntry& entry : entries_) {
      if (!entry.depth) {
        out_.omitted.records += static_cast<long long>(entry.lines.size());
        continue;
      }
      DepthNote note{*entry.depth, {}};
      if (!entry.heading.empty()) note.texts.push_back(std::move(entry.heading));
      for (std::u16string& line : entry.lines) note.texts.push_back(std::move(line));
      if (!note.texts.empty()) out_.notes.push_back(std::move(note));
    }
  }

  // Lines [begin, end) of the 2002 lines, as far as there are, become the entry's; a line that
  // begins "￥" goes on from the line before it.
  void Take(NoteEntry& entry, size_t begin, size_t end) {
    end = std::min(end, note_lines_.size());
    for (size_t i = begin; i < end; ++i) {
      const Record* line = note_lines_[i];
      if (line == nullptr) {
        ++out_.omitted.records;
        continue;
      }
      std::u16string_view text = text::Trim(line->values[0]);
      const bool goes_on = !text.empty() && text.front() == u'￥';
      if (goes_on) text.remove_prefix(1);
      std::optional<std::u16string> shown = Value(text);
      if (!shown) continue;
      if (goes_on && !entry.lines.empty()) {
        entry.lines.back() += *shown;
      } else {
        entry.lines.push_back(std::move(*shown));
      }
    }
  }

  void Finish() {
    double deepest = deepest_;
    if (open_tops_ >= deepest) deepest = open_tops_ + 1;
    if (deepest <= 0) deepest = 1;
    out_.deepest = deepest;
    for (std::vector<Interval>* spans : {&out_.layers, &out_.intervals}) {
      for (Interval& span : *spans) span.bottom = std::min(span.bottom, deepest);
    }
    auto by_top = [](const Interval& a, const Interval& b) { return a.top < b.top; };
    auto by_depth = [](const auto& a, const auto& b) { return a.depth < b.depth; };
    std::stable_sort(out_.units.begin(), out_.units.end(), by_top);
    std::stable_sort(out_.layers.begin(), out_.layers.end(), by_top);
    std::stable_sort(out_.intervals.begin(), out_.intervals.end(), by_top);
    std::stable_sort(out_.names.begin(), out_.names.end(), by_depth);
    std::stable_sort(out_.notes.begin(), out_.notes.end(), by_depth);
    std::stable_sort(out_.tests.begin(), out_.tests.end(), by_depth);
    std::stable_sort(out_.marks.begin(), out_.marks.end(), by_depth);
  }

  LogContents out_;
  double deepest_ = 0;
  double unit_top_ = 0;
  double open_tops_ = -1;  // the deepest top of an open-ended layer or interval
  std::unordered_map<std::uint64_t, size_t> layer_index_;
  std::vector<NoteEntry> entries_;
  std::vector<const Record*> note_lines_;  // null for a line kept as text
};

}  // namespace

std::optional<long long> NValue(const std::array<std::u16string_view, 3>& lengths,
                                const std::array<std::u16string_view, 3>& readings,
                                long long* bad_values) {
  long long bad = 0;
  double sum = 0, length = 0;
  bool any = false, complete = true;
  for (int i = 0; i < 3; ++i) {
    const std::u16string_view reading = text::Trim(readings[i]);
    if (reading == u"-1") continue;
    if (!IsReading(reading)) {
      ++bad;
      continue;
    }
    any = true;
    sum += text::NumericValue(reading);
    const std::u16string_view cm = text::Trim(lengths[i]);
    if (!IsLength(cm)) {
      ++bad;
      complete = false;
      continue;
    }
    length += text::NumericValue(cm);
  }
  if (bad_values != nullptr) *bad_values += bad;
  if (!any || !complete) return std::nullopt;
  if (length != 30) sum = sum * 30 / length;
  return std::llround(sum);
}

LogContents ReadLogContents(const converted::ConvertedFile& file) {
  return ContentsReader().Read(file);
}

}  // namespace tjvx::drawing
