#include "drawing/log_records.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <string>
#include <unordered_map>
#include <utility>

#include "converted/reader.h"
#include "drawing/log_values.h"

namespace tjvx::drawing {
namespace {

using converted::Record;

constexpr double kOpenEnded = std::numeric_limits<double>::infinity();
// Characters room is made for in each text before the texts are read.
constexpr size_t kUsualTextLength = 24;

// The values a record the log draws must have (the format's count), 0 for a record it does not
// draw; a shorter record cannot be drawn.
size_t DrawnValueCount(int code) {
  switch (code) {
    case 1003:
    case 1010:
    case 1011:
    case 1012:
      return 0;
    default:
      return code >= 1013 && code <= 1018 ? 0 : converted::ValueCount(code);
  }
}

// Sorts `items` by `key`, a depth (a number from 0 up), keeping the file order among equal
// depths, as std::stable_sort does. The lists mostly come in order and are left as they are.
// Otherwise the places of the items are sorted by the bits of their depths, sixteen at a time from
// the lowest (a radix sort: each step keeps the order of the one before among equal bits), and
// each item is moved once.
template <typename T, typename Key>
void SortStable(std::vector<T>& items, Key key) {
  auto less = [&](const T& a, const T& b) { return key(a) < key(b); };
  if (std::is_sorted(items.begin(), items.end(), less)) return;
  struct Place {
    std::uint64_t bits;
    size_t index;
  };
  std::vector<Place> order(items.size()), sorted_order(items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    // The bits of a number from 0 up rise as the number does (-0 is taken as 0).
    order[i] = {std::bit_cast<std::uint64_t>(key(items[i]) + 0.0), i};
  }
  constexpr int kDigitBits = 16;
  std::vector<size_t> starts(size_t{1} << kDigitBits);
  for (int shift = 0; shift < 64; shift += kDigitBits) {
    auto digit = [&](const Place& place) { return (place.bits >> shift) & (starts.size() - 1); };
    std::fill(starts.begin(), starts.end(), 0);
    for (const Place& place : order) ++starts[digit(place)];
    // Depths read in single precision leave the low digits all 0: nothing to sort by there.
    if (starts[digit(order.front())] == order.size()) continue;
    size_t at = 0;
    for (size_t& start : starts) at += std::exchange(start, at);
    for (const Place& place : order) sorted_order[starts[digit(place)]++] = place;
    order.swap(sorted_order);
  }
  std::vector<T> sorted;
  sorted.reserve(items.size());
  for (const Place& place : order) sorted.push_back(std::move(items[place.index]));
  items = std::move(sorted);
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
  long long line = 0;
  std::optional<double> depth;
  std::optional<long long> count;  // its 2002 lines; none when it cannot be told
  // Its names joined, the piece [heading_begin, heading_end) of the reader's headings.
  size_t heading_begin = 0, heading_end = 0;
  // Its six names as written, the piece [key_begin, key_end) of the reader's keys; an entry whose
  // names are all empty joins no other.
  size_t key_begin = 0, key_end = 0;
  bool all_empty = true;
  size_t lines_begin = 0, lines_end = 0;  // its 2002 lines, once they are placed
};

class ContentsReader {
 public:
  // Takes what the log shows of one record, keeping nothing of the record itself.
  void Read(const Record& record) {
    const size_t needed = DrawnValueCount(record.code);
    if (needed == 0) return;
    code_ = record.code;
    line_ = record.line;
    if (!record.Drawable() || record.values.size() < needed) {
      Lose(record.values.text());
      // A 2001 or 2002 line still holds its place among the notes' lines.
      if (record.code == 2001) entries_.emplace_back().line = record.line;
      if (record.code == 2002) note_lines_.push_back({0, 0, record.line, false});
      return;
    }
    Add(record);
  }

  LogContents Finish() {
    AssignNoteLines();
    SortAndClose();
    std::stable_sort(out_.lost.begin(), out_.lost.end(),
                     [](const LostValue& a, const LostValue& b) { return a.line < b.line; });
    return std::move(out_);
  }

  // Room in every list for the records of its codes, so that none grows step by step.
  void Reserve(const converted::CodeCounts& counts) {
    const size_t units = counts.of(2000), entries = counts.of(2001), lines = counts.of(2002),
                 layers = counts.of(3030), intervals = counts.of(3040), names = counts.of(3070),
                 tests = counts.of(4000), merged = counts.of(5000),
                 marks =
                     merged + counts.of(3000) + counts.of(3010) + counts.of(3020) + counts.of(5010);
    out_.units.reserve(units);
    entries_.reserve(entries);
    out_.notes.reserve(entries);
    note_lines_.reserve(lines);
    out_.layers.reserve(layers);
    layer_index_.reserve(layers);
    layer_names_.reserve(layers);
    out_.intervals.reserve(intervals);
    out_.names.reserve(names);
    out_.tests.reserve(tests);
    out_.readings.reserve(tests);
    out_.marks.reserve(marks);
    // A 5000 line has up to four texts: its date and three groups of values.
    const size_t texts =
        units + layers + intervals + names + 2 * tests + entries + lines + marks + 3 * merged;
    out_.text_ends.reserve(texts);
    // Room for texts of a usual length; a buffer that grew step by step would pass through ever
    // larger copies of itself, and room never written takes no memory.
    out_.chars.reserve(texts * kUsualTextLength);
    note_line_texts_.reserve(lines * kUsualTextLength);
    headings_.reserve(entries * kUsualTextLength);
    keys_.reserve(entries * kUsualTextLength);
    layer_name_chars_.reserve(layers * kUsualTextLength);
  }

 private:
  void Add(const Record& record) {
    const converted::Values& v = record.values;
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
      case 2002: {
        // Kept until every 2001 entry has counted its lines.
        const std::u16string_view text = Trimmed(v[0]);
        const size_t begin = note_line_texts_.size();
        note_line_texts_.append(text);
        note_lines_.push_back({begin, note_line_texts_.size(), line_, true});
        break;
      }
      case 3030:
        DepthInterval(v, /*layer=*/true);
        break;
      case 3040:
        DepthInterval(v, /*layer=*/false);
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

  // A value of the record being read that is present and cannot be drawn.
  void Lose(std::u16string_view value) { LoseOf(code_, line_, value); }
  void LoseOf(int code, long long line, std::u16string_view value) {
    out_.lost.push_back({code, line, std::u16string(value)});
    ++out_.omitted.values;
  }

  // A value to be drawn, trimmed; a placeholder is an empty value and gives none.
  static std::optional<std::u16string_view> Present(std::u16string_view value) {
    value = Trimmed(value);
    if (IsPlaceholderText(value)) return std::nullopt;
    return value;
  }

  // A value to be drawn as the drawing shows it; a placeholder gives none.
  std::optional<std::u16string> Value(std::u16string_view value) {
    const std::optional<std::u16string_view> present = Present(value);
    if (!present) return std::nullopt;
    std::u16string shown;
    AppendShown(shown, *present);
    return shown;
  }

  // A depth to be drawn; a depth present that is not one is lost.
  std::optional<double> Depth(std::u16string_view value) {
    const std::u16string_view trimmed = Trimmed(value);
    if (IsPlaceholderText(trimmed)) return std::nullopt;
    const std::optional<double> depth = DepthOfNumber(trimmed, NumberOf(trimmed));
    if (!depth) {
      Lose(trimmed);
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

  void Coordinate(std::u16string& field, const converted::Values& v) {
    if (!field.empty()) return;
    std::optional<std::u16string> degrees = Value(v[0]), minutes = Value(v[1]),
                                  seconds = Value(v[2]);
    if (degrees && minutes && seconds) field = *degrees + u"°" + *minutes + u"′" + *seconds + u"″";
  }

  // Era, year, month, day, end year, end month, end day, both years counted in the era: each
  // date in the era it falls in, "平成31年04月10日～令和元年05月20日".
  void Dates(const converted::Values& v) {
    if (!out_.title.dates.empty()) return;
    const std::optional<std::u16string_view> era = Present(v[0]);
    if (!era) return;
    for (const int year : {1, 4}) {
      if (!Present(v[year])) break;
      const std::optional<std::u16string> date = EraDate(*era, v[year], v[year + 1], v[year + 2]);
      if (!date) {
        Lose(Trimmed(v[year]));
        break;
      }
      if (year == 4) out_.title.dates.append(u"～");
      AppendShown(out_.title.dates, *date);
    }
  }

  // Appends a text as the drawing shows it to the texts.
  void AddText(std::u16string_view trimmed) {
    AppendShown(out_.chars, trimmed);
    EndText();
  }

  // Ends the text whose characters were appended to the texts' since the text before it.
  void EndText() { out_.text_ends.push_back(out_.chars.size()); }

  size_t TextCount() const { return out_.text_ends.size(); }

  // The texts added since there were `first`.
  TextRun RunFrom(size_t first) const { return {first, TextCount() - first}; }

  // Drops the texts added since there were `first`.
  void DropTextsFrom(size_t first) {
    out_.text_ends.resize(first);
    out_.chars.resize(first == 0 ? 0 : out_.text_ends.back());
  }

  // A unit's depth is its bottom; it starts at the bottom of the unit before it.
  void Unit(const converted::Values& v) {
    const std::optional<double> bottom = Depth(v[0]);
    const std::optional<std::u16string_view> name = Present(v[1]);
    if (!bottom) return;
    if (*bottom <= unit_top_) {
      Lose(Trimmed(v[0]));
      return;
    }
    const size_t first = TextCount();
    if (name) AddText(*name);
    out_.units.push_back({unit_top_, *bottom, RunFrom(first)});
    unit_top_ = *bottom;
  }

  // A 3030 or 3040 line: top, bottom ("9999" open-ended), text. A 3030 line joins the layer of
  // its top and bottom; its name waits until every layer's names are known (GatherLayerNames).
  void DepthInterval(const converted::Values& v, bool layer) {
    const std::optional<double> top = Depth(v[0]);
    const std::u16string_view bottom_text = Trimmed(v[1]);
    const std::optional<double> bottom_number = NumberOf(bottom_text);
    const std::optional<double> bottom =
        bottom_number && static_cast<float>(*bottom_number) == 9999.0f ? kOpenEnded
                                                                       : Depth(bottom_text);
    const std::optional<std::u16string_view> name = Present(v[2]);
    if (!top || !bottom) return;
    if (*bottom <= *top) {
      Lose(bottom_text);
      return;
    }
    if (*bottom == kOpenEnded) open_tops_ = std::max(open_tops_, *top);
    if (!layer) {
      const size_t first = TextCount();
      if (name) AddText(*name);
      out_.intervals.push_back({*top, *bottom, RunFrom(first), *bottom == kOpenEnded});
      return;
    }
    // The lines of one layer mostly follow one another.
    const std::uint64_t key = IntervalKey(*top, *bottom);
    size_t at = last_layer_;
    if (out_.layers.empty() || key != last_key_) {
      at = layer_index_.try_emplace(key, out_.layers.size()).first->second;
    }
    last_key_ = key;
    last_layer_ = at;
    if (at == out_.layers.size()) {
      out_.layers.push_back({*top, *bottom, {}, *bottom == kOpenEnded});
    }
    if (name) {
      const size_t begin = layer_name_chars_.size();
      AppendShown(layer_name_chars_, *name);
      layer_names_.push_back({at, begin, layer_name_chars_.size()});
    }
  }

  // The names of the layers, in file order, each layer's made a run of the texts.
  void GatherLayerNames() {
    for (const LayerName& name : layer_names_) ++out_.layers[name.layer].names.count;
    const size_t texts = TextCount();
    size_t first = texts;
    for (Interval& layer : out_.layers) {
      layer.names.first = first;
      first += layer.names.count;
      layer.names.count = 0;
    }
    // Each name's place among the texts, then the names appended in the order of their places.
    std::vector<size_t> order(layer_names_.size());
    for (size_t i = 0; i < layer_names_.size(); ++i) {
      TextRun& names = out_.layers[layer_names_[i].layer].names;
      order[names.first + names.count++ - texts] = i;
    }
    for (const size_t i : order) {
      const LayerName& name = layer_names_[i];
      out_.chars.append(layer_name_chars_, name.begin, name.end - name.begin);
      EndText();
    }
  }

  // A depth with texts: each (prefix, value index) gives "prefix value" when the value is there;
  // the texts of one record share a line.
  void PointTexts(std::vector<DepthNote>& notes, const converted::Values& v,
                  std::initializer_list<std::pair<std::u16string_view, int>> values) {
    const std::optional<double> depth = Depth(v[0]);
    std::array<std::pair<std::u16string_view, std::u16string_view>, 3> present;
    size_t count = 0;
    for (const auto& [prefix, index] : values) {
      const std::optional<std::u16string_view> value = Present(v[index]);
      if (!value) continue;
      present[count++] = {prefix, *value};
    }
    if (!depth || count == 0) return;
    std::u16string& line = out_.chars;
    for (size_t i = 0; i < count; ++i) {
      if (i > 0) line += u'　';
      line.append(present[i].first);
      AppendShown(line, present[i].second);
    }
    EndText();
    notes.push_back({*depth, RunFrom(TextCount() - 1)});
  }

  // "08月05日" into the texts, when both the month and the day are there.
  bool AddMonthDay(std::u16string_view month, std::u16string_view day) {
    const std::optional<std::u16string_view> m = Present(month), d = Present(day);
    if (!m || !d) return false;
    std::u16string& date = out_.chars;
    AppendShown(date, *m);
    date += u'月';
    AppendShown(date, *d);
    date += u'日';
    EndText();
    return true;
  }

  void MonthDay(const converted::Values& v) {
    const std::optional<double> depth = Depth(v[0]);
    const size_t first = TextCount();
    if (!AddMonthDay(v[1], v[2])) return;
    if (!depth) {
      DropTextsFrom(first);
      return;
    }
    out_.marks.push_back({*depth, RunFrom(first)});
  }

  // 5000: depth, month, day, G71, G73 ×2, G81 ×2, "@", G81.
  void Merged(const converted::Values& v) {
    const std::optional<double> depth = Depth(v[0]);
    const size_t first = TextCount();
    AddMonthDay(v[1], v[2]);
    auto group = [&](std::u16string_view label, std::initializer_list<int> indexes) {
      std::array<std::u16string_view, 3> present;
      size_t count = 0;
      for (int index : indexes) {
        if (const std::optional<std::u16string_view> value = Present(v[index])) {
          present[count++] = *value;
        }
      }
      if (count == 0) return;
      std::u16string& line = out_.chars;
      line.append(label);
      for (size_t i = 0; i < count; ++i) {
        line += u' ';
        AppendShown(line, present[i]);
      }
      EndText();
    };
    group(u"G71", {3});
    group(u"G73", {4, 5});
    group(u"G81", {6, 7, 9});
    if (!depth) {
      DropTextsFrom(first);
      return;
    }
    if (TextCount() > first) out_.marks.push_back({*depth, RunFrom(first)});
  }

  // 2001: depth, "@", six names, "-1", the count of its 2002 lines.
  void Note(const converted::Values& v) {
    NoteEntry& entry = entries_.emplace_back();
    entry.line = line_;
    entry.depth = Depth(v[0]);
    // A name left "@" was not described; it is not a value lost.
    entry.heading_begin = headings_.size();
    bool first = true;
    for (int i = 2; i <= 7; ++i) {
      const std::u16string_view name = Trimmed(v[i]);
      if (IsPlaceholderText(name)) continue;
      if (!first) headings_ += u'、';
      first = false;
      AppendShown(headings_, name);
    }
    entry.heading_end = headings_.size();
    entry.key_begin = keys_.size();
    for (int i = 2; i <= 7; ++i) {
      const std::u16string_view name = Trimmed(v[i]);
      if (!IsPlaceholderText(name)) entry.all_empty = false;
      keys_.append(name).push_back(u'\t');
    }
    entry.key_end = keys_.size();
    entry.count = CountOf(v[9]);
    if (!entry.count) Lose(Trimmed(v[9]));
  }

  // 4000: start depth, end depth, three lengths, three readings. A test that is counted draws a
  // point, with the readings and lengths of its counted intervals beside it.
  void Test(const converted::Values& v) {
    const std::optional<double> depth = Depth(v[0]);
    if (std::optional<double> end = DepthOf(v[1])) deepest_ = std::max(deepest_, *end);
    lost_indexes_.clear();
    const std::optional<BlowCount> count =
        CountBlows({v[2], v[3], v[4]}, {v[5], v[6], v[7]}, &lost_indexes_);
    for (const int i : lost_indexes_) Lose(Trimmed(v[2 + i]));
    if (!depth) return;
    out_.tests.push_back({*depth, count});
    if (!count) return;
    // The readings, then their lengths, each joined by "/"; a reading "-1" is 0 blows.
    const size_t first = TextCount();
    for (const int from : {5, 2}) {
      bool any = false;
      for (int i = 0; i < 3; ++i) {
        if (!CountedLength(Trimmed(v[2 + i]))) continue;
        if (any) out_.chars += u'/';
        any = true;
        const std::u16string_view value = Trimmed(v[from + i]);
        out_.chars += from == 5 && IsPlaceholderText(value) ? u"0" : value;
      }
      EndText();
    }
    out_.readings.push_back({*depth, RunFrom(first)});
  }

  // The 2002 lines follow all 2001 lines, the first entry's lines first, each entry counting its
  // own. Entries before the first one whose count cannot be told take their lines from the front,
  // entries after the last such one from the back; the lines between cannot be placed.
  void AssignNoteLines() {
    const size_t entries = entries_.size();
    size_t front = 0, back = note_lines_.size();
    size_t first_unknown = entries;
    for (size_t i = 0; i < entries; ++i) {
      NoteEntry& entry = entries_[i];
      if (!entry.count) {
        first_unknown = i;
        break;
      }
      entry.lines_begin = front;
      entry.lines_end = front + static_cast<size_t>(*entry.count);
      front = std::min(back, front + static_cast<size_t>(*entry.count));
    }
    if (first_unknown < entries) {
      for (size_t i = entries; i-- > first_unknown && entries_[i].count;) {
        const size_t count = std::min(back - front, static_cast<size_t>(*entries_[i].count));
        entries_[i].lines_begin = back - count;
        entries_[i].lines_end = back;
        back -= count;
      }
    }
    for (size_t i = front; i < back; ++i) LoseNoteLine(i);
    MakeNoteBlocks();
  }

  // Each entry describes the interval from the depth of the entry before it (0 for the first)
  // down to its own. An entry with the same names as the one before it joins that one's block:
  // the names once, then the lines of each.
  void MakeNoteBlocks() {
    double previous = 0;
    const NoteEntry* joinable = nullptr;
    for (const NoteEntry& entry : entries_) {
      if (!entry.depth) {
        for (size_t i = entry.lines_begin; i < std::min(entry.lines_end, note_lines_.size()); ++i) {
          LoseNoteLine(i);
        }
        joinable = nullptr;
        continue;
      }
      const double top = std::min(previous, *entry.depth);
      previous = *entry.depth;
      if (joinable != nullptr && !entry.all_empty && SameNames(*joinable, entry)) {
        NoteBlock& block = out_.notes.back();
        block.texts.count += Take(entry.lines_begin, entry.lines_end);
        block.bottom = std::max(block.bottom, *entry.depth);
        continue;
      }
      const size_t first = TextCount();
      if (entry.heading_end > entry.heading_begin) {
        out_.chars.append(headings_, entry.heading_begin, entry.heading_end - entry.heading_begin);
        EndText();
      }
      Take(entry.lines_begin, entry.lines_end);
      // An entry with names always makes a block, so the block it may be joined to is the last.
      joinable = entry.all_empty ? nullptr : &entry;
      if (TextCount() > first) out_.notes.push_back({top, *entry.depth, RunFrom(first)});
    }
  }

  bool SameNames(const NoteEntry& a, const NoteEntry& b) const {
    const std::u16string_view keys(keys_);
    return keys.substr(a.key_begin, a.key_end - a.key_begin) ==
           keys.substr(b.key_begin, b.key_end - b.key_begin);
  }

  // A 2002 line that cannot be drawn where it belongs; a line kept as text was lost as it was read.
  void LoseNoteLine(size_t i) {
    const NoteLine& line = note_lines_[i];
    if (!line.drawable) return;
    LoseOf(2002, line.line,
           std::u16string_view(note_line_texts_).substr(line.begin, line.end - line.begin));
  }

  // Lines [begin, end) of the 2002 lines, as far as there are, into the texts; a line that begins
  // "￥" goes on from the line before it. Returns how many lines were added.
  size_t Take(size_t begin, size_t end) {
    size_t lines = 0;
    end = std::min(end, note_lines_.size());
    for (size_t i = begin; i < end; ++i) {
      const NoteLine& line = note_lines_[i];
      if (!line.drawable) continue;
      std::u16string_view text =
          std::u16string_view(note_line_texts_).substr(line.begin, line.end - line.begin);
      const bool goes_on = !text.empty() && text.front() == u'￥';
      if (goes_on) text.remove_prefix(1);
      const std::optional<std::u16string_view> shown = Present(text);
      if (!shown) continue;
      if (goes_on && lines > 0) {
        // The last text is the last in the texts' characters: it grows at their end.
        AppendShown(out_.chars, *shown);
        out_.text_ends.back() = out_.chars.size();
      } else {
        AddText(*shown);
        ++lines;
      }
    }
    return lines;
  }

  void SortAndClose() {
    GatherLayerNames();
    double deepest = deepest_;
    if (open_tops_ >= deepest) deepest = open_tops_ + 1;
    if (deepest <= 0) deepest = 1;
    out_.deepest = deepest;
    for (std::vector<Interval>* spans : {&out_.layers, &out_.intervals}) {
      for (Interval& span : *spans) span.bottom = std::min(span.bottom, deepest);
    }
    auto by_top = [](const auto& span) { return span.top; };
    auto by_depth = [](const auto& item) { return item.depth; };
    SortStable(out_.units, by_top);
    SortStable(out_.layers, by_top);
    SortStable(out_.intervals, by_top);
    SortStable(out_.names, by_depth);
    SortStable(out_.notes, by_top);
    SortStable(out_.tests, by_depth);
    SortStable(out_.readings, by_depth);
    SortStable(out_.marks, by_depth);
  }

  LogContents out_;
  double deepest_ = 0;
  double unit_top_ = 0;
  double open_tops_ = -1;  // the deepest top of an open-ended layer or interval
  std::unordered_map<std::uint64_t, size_t> layer_index_;
  std::uint64_t last_key_ = 0;  // the key of the last layer line, and its place in the layers
  size_t last_layer_ = 0;
  // The names of the layers in file order, each with the place of its layer and its piece of
  // layer_name_chars_.
  struct LayerName {
    size_t layer = 0;
    size_t begin = 0, end = 0;
  };
  std::vector<LayerName> layer_names_;
  std::u16string layer_name_chars_;
  std::vector<NoteEntry> entries_;
  std::u16string headings_;  // the entries' headings, one after another
  std::u16string keys_;      // the entries' six names as written, one after another
  int code_ = 0;             // the record being read
  long long line_ = 0;
  std::vector<int> lost_indexes_;
  // The 2002 lines, trimmed, one after another in note_line_texts_.
  struct NoteLine {
    size_t begin = 0, end = 0;
    long long line = 0;
    bool drawable = false;  // false for a line kept as text
  };
  std::u16string note_line_texts_;
  std::vector<NoteLine> note_lines_;
};

}  // namespace

LogContents ReadLogContents(const converted::ConvertedFile& file) {
  ContentsReader reader;
  reader.Reserve(converted::CodeCounts(file));
  for (const Record& record : file.records) reader.Read(record);
  return reader.Finish();
}

LogContents ReadLogContentsAt(std::u16string_view path) {
  ContentsReader reader;
  converted::ForEachRecordAt(
      path, [&](const Record& record) { reader.Read(record); },
      [&](const converted::CodeCounts& counts) { reader.Reserve(counts); });
  return reader.Finish();
}

}  // namespace tjvx::drawing
