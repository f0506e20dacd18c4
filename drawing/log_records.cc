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
#include "drawing/contents_texts.h"
#include "drawing/log_values.h"
#include "drawing/note_blocks.h"

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

// The key of a layer's top and bottom, as the single precision numbers they are compared as.
std::uint64_t IntervalKey(double top, double bottom) {
  const auto bits = [](double depth) {
    return static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(static_cast<float>(depth)));
  };
  return bits(top) << 32 | bits(bottom);
}

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
      if (record.code == 2001) notes_.AddUndrawableEntry(record.line);
      if (record.code == 2002) notes_.AddUndrawableLine(record.line);
      return;
    }
    Add(record);
  }

  LogContents Finish() {
    notes_.Finish(out_);
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
    out_.notes.reserve(entries);
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
    notes_.Reserve(entries, lines, kUsualTextLength);
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
      case 2002:
        notes_.AddLine(line_, v[0]);
        break;
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
  void Lose(std::u16string_view value) { LoseValue(out_, code_, line_, value); }

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

  void AddText(std::u16string_view trimmed) { drawing::AddText(out_, trimmed); }
  void EndText() { drawing::EndText(out_); }
  size_t TextCount() const { return out_.TextCount(); }
  TextRun RunFrom(size_t first) const { return TextsFrom(out_, first); }

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
    const std::optional<double> depth = Depth(v[0]);
    const std::optional<long long> count = CountOf(v[9]);
    if (!count) Lose(Trimmed(v[9]));
    const std::array<std::u16string_view, 6> names = {v[2], v[3], v[4], v[5], v[6], v[7]};
    notes_.AddEntry(line_, depth, names, count);
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
    auto sort = [](auto& items, auto key) {
      std::stable_sort(items.begin(), items.end(),
                       [&](const auto& a, const auto& b) { return key(a) < key(b); });
    };
    sort(out_.units, by_top);
    sort(out_.layers, by_top);
    sort(out_.intervals, by_top);
    sort(out_.names, by_depth);
    sort(out_.notes, by_top);
    sort(out_.tests, by_depth);
    sort(out_.readings, by_depth);
    sort(out_.marks, by_depth);
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
  NoteBlocks notes_;
  int code_ = 0;  // the record being read
  long long line_ = 0;
  std::vector<int> lost_indexes_;
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
