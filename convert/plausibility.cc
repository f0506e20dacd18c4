#include "convert/plausibility.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/run_steps.h"
#include "source/record_layout.h"
#include "source/rules.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

using source::FileId;
using Record = BoreholeRecords::Record;

// A depth in metres; none for a blank or for a text that is no number.
std::optional<float> DepthOf(std::u16string_view text) {
  if (text::Trim(text).empty()) return std::nullopt;
  const float value = text::NumericValue(text);
  if (value == 0.0f && !text::IsZeroText(text)) return std::nullopt;
  return value;
}

// A layer's bottom; none when it is open-ended (blank or 0, written 9999) or no number.
std::optional<float> BottomOf(std::u16string_view text) {
  const std::optional<float> depth = DepthOf(text);
  return depth && *depth != 0.0f ? depth : std::nullopt;
}

// A depth as the converted file writes it ("2.50"), else as it stands.
std::u16string Metres(std::u16string_view text) {
  std::u16string written;
  const text::ValueChange change = text::AppendDepthText(written, text);
  if (written.empty() ||
      (change != text::ValueChange::kNone && change != text::ValueChange::kDecimalsCut)) {
    return std::u16string(text::Trim(text));
  }
  return written;
}

// A count of blows: whole as digits, else in seven significant digits ("1.234568E+20").
std::u16string Count(double value) {
  if (value == std::trunc(value) && value < 1e15) {
    return base::FromAscii(std::to_string(static_cast<long long>(value)));
  }
  char digits[32];
  const auto [end, ec] =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7);
  return base::FromAscii(std::string_view(digits, ec == std::errc() ? end - digits : 0));
}

// Reports a finding of a rule at a record of a source file.
class Reporter {
 public:
  Reporter(const BoreholeRecords& records, base::FindingSink& sink)
      : records_(records), sink_(sink) {}

  void At(const source::Rule& rule, FileId file, long long line, int field, std::u16string message,
          std::u16string fix) {
    const std::u16string path = file == FileId::kTitle1
                                    ? records_.titles().file1
                                    : source::SourcePath(records_.folder(), file);
    const std::u16string_view record =
        file == FileId::kTitle1 ? std::u16string_view(u"1009") : RecordCodeOf(file);
    sink_.Report({rule.severity,
                  path,
                  line,
                  field,
                  std::u16string(record),
                  std::move(message),
                  {},
                  rule.id,
                  std::move(fix)});
  }

 private:
  const BoreholeRecords& records_;
  base::FindingSink& sink_;
};

// A layer: consecutive records with the same top and bottom are one layer with several codes.
struct Layer {
  long long line;  // its first record's
  std::u16string_view top, bottom;
  float top_value, bottom_value;  // as numbers (a text that is none is 0)
};

// The layers of X7.TXT or G40.TXT.
std::vector<Layer> LayersOf(const BoreholeRecords& records, FileId file) {
  const source::DepthFields fields = source::RecordDepthFields(file);
  std::vector<Layer> layers;
  for (const Record& record : records.Of(file)) {
    const std::u16string_view top = record.Field(fields.depth),
                              bottom = record.Field(fields.bottom);
    const Layer layer{record.line, top, bottom, text::NumericValue(top),
                      text::NumericValue(bottom)};
    if (!layers.empty() && layers.back().top_value == layer.top_value &&
        layers.back().bottom_value == layer.bottom_value) {
      continue;
    }
    layers.push_back(layer);
  }
  return layers;
}

// A layer of `file` (X7.TXT, G40.TXT) whose bottom is not below its top; an open bottom is exempt.
void CheckLayerThickness(FileId file, const std::vector<Layer>& layers, Reporter& report) {
  for (const Layer& layer : layers) {
    const std::optional<float> top = DepthOf(layer.top), bottom = BottomOf(layer.bottom);
    if (!top || !bottom || *bottom > *top) continue;
    report.At(source::rules::kLayerInverted, file, layer.line,
              source::RecordDepthFields(file).bottom,
              u"下端深度 " + Metres(layer.bottom) + u" m が上端深度 " + Metres(layer.top) +
                  u" m と同じか浅い為、層に厚さがありません。",
              u"上端深度と下端深度を確かめてください (入れ替わっていないか)。");
  }
}

// Consecutive layers of X7.TXT with a gap or an overlap between them.
void CheckLayerSequence(const std::vector<Layer>& layers, Reporter& report) {
  const int top_field = source::RecordDepthFields(FileId::kX7).depth;
  for (size_t k = 1; k < layers.size(); ++k) {
    const Layer &before = layers[k - 1], &layer = layers[k];
    const std::optional<float> bottom = BottomOf(before.bottom), top = DepthOf(layer.top);
    if (!bottom || !top || *top == *bottom) continue;
    const std::u16string top_m = Metres(layer.top), bottom_m = Metres(before.bottom);
    const std::u16string said = u"上端深度 " + top_m + u" m が前の層 (" +
                                base::FromAscii(std::to_string(before.line)) + u" 行) の下端深度 " +
                                bottom_m + u" m より";
    const std::u16string fix = u"上端深度か前の層の下端深度を直してください。";
    if (*top > *bottom) {
      report.At(source::rules::kLayerGap, FileId::kX7, layer.line, top_field,
                said + u"深く、" + bottom_m + u"～" + top_m + u" m に層がありません。", fix);
    } else {
      report.At(source::rules::kLayerOverlap, FileId::kX7, layer.line, top_field,
                said + u"浅く、" + top_m + u"～" + bottom_m + u" m が 2 つの層に重なります。", fix);
    }
  }
}

// The bottom of the borehole: the deepest of the site depths (X1.TXT) and the layers' finite
// bottoms (X7.TXT, G40.TXT).
struct HoleBottom {
  float depth;
  std::u16string_view text;
  FileId file;
};

std::optional<HoleBottom> HoleBottomOf(const BoreholeRecords& records) {
  std::optional<HoleBottom> deepest;
  auto take = [&](std::optional<float> depth, std::u16string_view text, FileId file) {
    if (depth && (!deepest || *depth > deepest->depth)) deepest = HoleBottom{*depth, text, file};
  };
  for (const Record& record : records.Of(FileId::kX1)) {
    take(DepthOf(record.Field(2)), record.Field(2), FileId::kX1);
  }
  for (FileId file : {FileId::kX7, FileId::kG40}) {
    const int field = source::RecordDepthFields(file).bottom;
    for (const Record& record : records.Of(file)) {
      take(BottomOf(record.Field(field)), record.Field(field), file);
    }
  }
  return deepest;
}

// Depths below the bottom of the borehole; no rule without a bottom.
void CheckBelowBottom(const BoreholeRecords& records, Reporter& report) {
  const std::optional<HoleBottom> bottom = HoleBottomOf(records);
  if (!bottom) return;
  for (FileId file : {FileId::kX5, FileId::kN8, FileId::kN9, FileId::kR41, FileId::kG71,
                      FileId::kG72, FileId::kG73, FileId::kG81}) {
    const int field = source::RecordDepthFields(file).depth;
    for (const Record& record : records.Of(file)) {
      const std::optional<float> depth = DepthOf(record.Field(field));
      if (!depth || *depth <= bottom->depth) continue;
      report.At(source::rules::kBelowBottom, file, record.line, field,
                u"深度 " + Metres(record.Field(field)) + u" m が孔底の深度 " +
                    Metres(bottom->text) + u" m (" +
                    std::u16string(source::FileName(bottom->file)) +
                    u") より深く、孔の外の記録です。",
                u"深度を直すか、孔底を決める " + std::u16string(source::FileName(bottom->file)) +
                    u" の深度を直してください。");
    }
  }
}

// The tests of X5.TXT: an interval counts when its length is above 0, and its blows are its
// reading, a -1 (or any negative reading) counting as 0, as the log counts them.
void CheckTests(const BoreholeRecords& records, Reporter& report) {
  for (const Record& record : records.Of(FileId::kX5)) {
    bool counted = false;
    double blows = 0;
    for (int interval = 0; interval < 3; ++interval) {
      if (!(text::NumericValue(record.Field(7 + 2 * interval)) > 0.0f)) continue;
      counted = true;
      blows += std::max(0.0f, text::NumericValue(record.Field(6 + 2 * interval)));
    }
    if (!counted) {
      report.At(source::rules::kTestNoInterval, FileId::kX5, record.line, 0,
                u"貫入量が 0 より大きい区間がない為、打撃回数を数える区間がなく、N 値が出ません。",
                u"区間の貫入量 (cm) を書いてください。");
    } else if (blows > 50) {
      report.At(source::rules::kBlowsOver50, FileId::kX5, record.line, 0,
                u"打撃回数の合計 " + Count(blows) + u" 回が本打ちの上限 50 回を超えます。",
                u"意図した試験でなければ打撃回数を確かめてください。");
    }
  }
}

struct Date {
  long long year, month, day;
  auto operator<=>(const Date&) const = default;
};

bool InCalendar(const Date& date) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (date.year < 1 || date.month < 1 || date.month > 12 || date.day < 1) return false;
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  return date.day <= kDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
}

// The first three runs of digits of a date text, as year, month and day; none when it has fewer.
std::optional<Date> DateOf(std::u16string_view text) {
  long long parts[3] = {0, 0, 0};
  size_t found = 0;
  for (size_t i = 0; i < text.size() && found < 3;) {
    if (text[i] < u'0' || text[i] > u'9') {
      ++i;
      continue;
    }
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
      parts[found] = std::min(parts[found] * 10 + (text[i] - u'0'), 99'999'999LL);
    }
    ++found;
  }
  if (found < 3) return std::nullopt;
  return Date{parts[0], parts[1], parts[2]};
}

// The dates of N8.TXT and N9.TXT; a blank date is exempt, and one without a year, a month and a
// day is told of as a date not in the yyyy/mm/dd form.
void CheckRecordDates(const BoreholeRecords& records, Reporter& report) {
  for (FileId file : {FileId::kN8, FileId::kN9}) {
    for (const Record& record : records.Of(file)) {
      const std::u16string_view text = record.Field(2);
      const std::optional<Date> date = DateOf(text);
      if (text::Trim(text).empty() || !date || InCalendar(*date)) continue;
      report.At(source::rules::kDateNotInCalendar, file, record.line, 2,
                u"日付「" + std::u16string(text::Trim(text)) + u"」は暦にない日付です。",
                u"日付を直してください。");
    }
  }
}

// The two survey dates of the title (Titl01.txt items 10-12 and 13-15): each in the calendar, the
// first not after the second. A blank date is exempt, and one whose items are not all whole
// numbers is told of with record 1009.
void CheckTitleDates(const BoreholeRecords& records, Reporter& report) {
  const source::TitleLists& titles = records.titles();
  std::optional<Date> dates[2];
  std::u16string texts[2];
  for (int d = 0; d < 2; ++d) {
    const size_t first = d == 0 ? 10 : 13;
    bool blank = true, whole = true;
    for (size_t i = first; i < first + 3; ++i) {
      const std::u16string_view item = text::Trim(titles.t1[i]);
      blank = blank && item.empty();
      whole =
          whole && !item.empty() && item.size() <= 8 &&
          std::all_of(item.begin(), item.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
      texts[d] += (i > first ? u"/" : u"") + std::u16string(item);
    }
    const source::TitleLists::Place& place = titles.t1_place[first];
    if (blank || !whole || place.file == 0) continue;
    const Date date{std::stoll(base::ToUtf8(text::Trim(titles.t1[first]))),
                    std::stoll(base::ToUtf8(text::Trim(titles.t1[first + 1]))),
                    std::stoll(base::ToUtf8(text::Trim(titles.t1[first + 2])))};
    if (InCalendar(date)) {
      dates[d] = date;
    } else {
      report.At(source::rules::kDateNotInCalendar, FileId::kTitle1, place.line, place.item,
                u"日付 " + texts[d] + u" は暦にない日付です。", u"日付を直してください。");
    }
  }
  if (dates[0] && dates[1] && *dates[0] > *dates[1]) {
    const source::TitleLists::Place& place = titles.t1_place[10];
    report.At(source::rules::kDatesReversed, FileId::kTitle1, place.line, place.item,
              u"1 つ目の日付 " + texts[0] + u" が 2 つ目の日付 " + texts[1] + u" より後です。",
              u"2 つの日付を確かめてください (入れ替わっていないか)。");
  }
}

}  // namespace

void ReadSourceFiles::Keep(FileId file, std::optional<source::FieldReader> reader) {
  const auto k = static_cast<size_t>(file);
  had_bytes_[k] = had_bytes_[k] || reader.has_value();
  readers_[k] = std::move(reader);
  held_[k] = true;
}

source::FieldReader* ReadSourceFiles::Reader(std::u16string_view folder, FileId file,
                                             size_t& lines) {
  const auto k = static_cast<size_t>(file);
  lines = 0;
  if (!held_[k]) {
    readers_[k] = source::OpenSourceFile(folder, file);
    return readers_[k] ? &*readers_[k] : nullptr;
  }
  held_[k] = false;
  if (!readers_[k]) return nullptr;
  lines = static_cast<size_t>(readers_[k]->line());
  // Read again from the start, every record and line as the steps read them (at the same width),
  // so a record out of step with its line is met where they met it. What the steps did not come
  // to is not told now: the findings are theirs.
  readers_[k]->Rewind();
  readers_[k]->ReportTo(base::NoFindingsSink());
  return &*readers_[k];
}

size_t RecordFieldsRead(FileId file) {
  // X5.TXT's readings and lengths, which the tests judge, are its fields 6 to 11.
  if (file == FileId::kX5) return 11;
  // The depths, and the dates of N8.TXT and N9.TXT (field 2).
  const source::DepthFields depth = source::RecordDepthFields(file);
  return std::min<size_t>(std::max({depth.depth, depth.bottom, 2}), source::RecordFieldCount(file));
}

BoreholeRecords::BoreholeRecords(std::u16string folder, ReadSourceFiles files,
                                 source::TitleLists titles)
    : folder_(std::move(folder)), titles_(std::move(titles)), files_(std::move(files)) {}

std::span<const Record> BoreholeRecords::Of(FileId file) const { return RecordsOf(file); }

const std::vector<Record>& BoreholeRecords::RecordsOf(FileId file) const {
  std::optional<FileRecords>& read = records_[static_cast<size_t>(file)];
  if (read) return read->records;
  std::vector<Record>& records = read.emplace().records;
  std::vector<std::u16string_view>& fields = read->fields;
  const size_t width = source::RecordFieldCount(file);
  if (width == 0) return records;
  const size_t kept = RecordFieldsRead(file);
  source::FieldReader* reader = nullptr;
  try {
    size_t lines = 0;
    reader = files_.Reader(folder_, file, lines);
    if (reader == nullptr) return records;
    // Room for as many records as the steps read lines, which most files hold one a line; made
    // at once only so far, since blank lines hold none, and a file of many grows its room.
    const size_t room = std::min<size_t>(lines, 4096);
    records.reserve(room);
    fields.reserve(room * kept);
    // The fields after those read are passed over.
    std::vector<std::u16string_view> record(width);
    while (!reader->AtEnd()) {
      reader->ReadRecord(record, kept);
      records.push_back({reader->record_line()});
      fields.insert(fields.end(), record.begin(),
                    record.begin() + static_cast<std::ptrdiff_t>(kept));
    }
  } catch (const base::Error&) {
    // The steps have told of it; the records before the fault are kept.
  }
  if (reader != nullptr && reader->out_of_step_line() != 0) {
    const long long from = reader->out_of_step_line();
    std::erase_if(records, [&](const Record& record) { return record.line >= from; });
  }
  for (size_t i = 0; i < records.size(); ++i) records[i].fields = fields.data() + i * kept;
  return records;
}

const BoreholeRecords::Record* BoreholeRecords::At(FileId file, long long line) const {
  const std::vector<Record>& records = RecordsOf(file);
  const auto it =
      std::lower_bound(records.begin(), records.end(), line,
                       [](const Record& record, long long at) { return record.line < at; });
  return it != records.end() && it->line == line ? &*it : nullptr;
}

void CheckPlausibility(const BoreholeRecords& records, base::FindingSink& findings) {
  Reporter report(records, findings);
  const std::vector<Layer> x7 = LayersOf(records, FileId::kX7);
  CheckLayerThickness(FileId::kX7, x7, report);
  CheckLayerThickness(FileId::kG40, LayersOf(records, FileId::kG40), report);
  CheckLayerSequence(x7, report);
  CheckBelowBottom(records, report);
  CheckTests(records, report);
  CheckRecordDates(records, report);
  CheckTitleDates(records, report);
}

void AddRecordDepths(const BoreholeRecords& records, std::vector<base::Finding>& findings) {
  for (base::Finding& finding : findings) {
    if (finding.line <= 0 || !finding.depth.empty()) continue;
    const std::optional<FileId> file =
        source::FileNamed(source::SourceFolderFiles(), base::LastName(finding.file));
    if (!file) continue;
    const source::DepthFields fields = source::RecordDepthFields(*file);
    // A finding about a depth of the record names that depth itself.
    if (fields.depth == 0 || finding.field == fields.depth ||
        (fields.bottom != 0 && finding.field == fields.bottom)) {
      continue;
    }
    const Record* record = records.At(*file, finding.line);
    if (record == nullptr || !DepthOf(record->Field(fields.depth))) continue;
    finding.depth = Metres(record->Field(fields.depth));
    if (fields.bottom != 0 && BottomOf(record->Field(fields.bottom))) {
      finding.depth += u"～" + Metres(record->Field(fields.bottom));
    }
  }
}

}  // namespace tjvx::convert
