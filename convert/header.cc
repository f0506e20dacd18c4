#include "convert/header.h"

#include <cmath>
#include <map>
#include <utility>

#include "base/utf.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

std::u16string F1(std::u16string_view value) { return text::NormaliseField(text::kText, value); }
std::u16string F2(std::u16string_view value) { return text::NormaliseField(text::kNumber, value); }

// What the header does to the title items, reported by title file and record code.
class HeaderFindings {
 public:
  HeaderFindings(base::FindingSink& sink, const source::TitleLists& titles)
      : sink_(sink), titles_(titles) {}
  ~HeaderFindings() = default;

  // F2 of an item, with what it did to the item reported.
  std::u16string Number(int code, const source::TitleLists::Place& place,
                        std::u16string_view value) {
    std::u16string written;
    const text::ValueChange change = text::AppendNormalisedField(written, text::kNumber, value);
    if (place.file != 0) Of(code, place).Value(change, place.line, place.item, value, written);
    return written;
  }
  // F1 of an item; control characters in it are reported.
  std::u16string Text(int code, const source::TitleLists::Place& place, std::u16string_view value) {
    std::u16string written = F1(value);
    if (place.file != 0) Of(code, place).Written(written, place.line);
    return written;
  }
  source::RecordFindings& Of(int code, const source::TitleLists::Place& place) {
    const std::u16string& file = place.file == 1 ? titles_.file1 : titles_.file2;
    auto key = std::pair{place.file, code};
    auto it = found_.find(key);
    if (it == found_.end()) {
      it = found_
               .emplace(std::piecewise_construct, std::forward_as_tuple(key),
                        std::forward_as_tuple(sink_, file, base::FromAscii(std::to_string(code))))
               .first;
    }
    return it->second;
  }
  void Finish() {
    for (auto& [key, found] : found_) found.Finish();
  }

 private:
  base::FindingSink& sink_;
  const source::TitleLists& titles_;
  std::map<std::pair<int, int>, source::RecordFindings> found_;
};

// How a year of record 1009 reads, for what the era date line does to it.
enum class YearReads { kBlank, kZero, kNotANumber, kOutOfRange, kNumber };

YearReads ReadYear(std::u16string_view text, float value) {
  if (value != 0.0f) return YearReads::kNumber;
  if (text::Trim(text).empty()) return YearReads::kBlank;
  if (text::IsZeroText(text)) return YearReads::kZero;
  return text::IsNumericText(text) ? YearReads::kOutOfRange : YearReads::kNotANumber;
}

// The era year of `year` as written, and whether it is not the year's era year exactly: a year
// that is not whole, or one too long for seven digits, which is written in exponent form.
void CheckEraYear(HeaderFindings* found, const source::TitleLists::Place& place,
                  std::u16string_view year, float value, const std::u16string& written) {
  if (found == nullptr || place.file == 0) return;
  if (written.find(u'E') != std::u16string::npos) {
    found->Of(1009, place)
        .Report(source::rules::kTitleYear, place.line, place.item,
                {u"年「" + std::u16string(text::Trim(year)) + u"」は桁が多すぎる為、年号の年が " +
                 written + u" と書かれます。"});
  } else if (value != std::trunc(value)) {
    found->Of(1009, place)
        .Report(source::rules::kTitleYear, place.line, place.item,
                {u"年「" + std::u16string(text::Trim(year)) + u"」は整数ではない為、年号の年が " +
                 written + u" と書かれます。"});
  }
}

// The first year of the dates when it gives no era: the six items are written as -1.
void ReportNoEra(HeaderFindings& found, const source::TitleLists& titles, float year) {
  const auto& t1 = titles.t1;
  const source::TitleLists::Place& place = titles.t1_place[10];
  if (place.file == 0) return;
  const std::u16string quoted = u"年「" + std::u16string(text::Trim(t1[10])) + u"」は";
  const std::u16string all = u"為、日付がすべて -1 と書かれます。";
  source::RecordFindings& of = found.Of(1009, place);
  switch (ReadYear(t1[10], year)) {
    case YearReads::kBlank:
    case YearReads::kZero: {
      // A year of blank or 0 means no date, unless the other items hold one.
      bool dropped = false;
      for (size_t i = 11; i <= 15; ++i) {
        dropped = dropped || (!text::Trim(t1[i]).empty() && !text::IsZeroText(t1[i]));
      }
      const bool blank = text::Trim(t1[10]).empty();
      if (dropped) {
        of.Report(source::rules::kTitleYear, place.line, place.item,
                  {std::u16string(blank ? u"年が空の" : u"年が 0 の") +
                   u"為、月、日と 2 つ目の日付も書かれず、日付がすべて -1 と書かれます。"});
      } else if (!blank) {
        of.Value(text::ValueChange::kZero, place.line, place.item, t1[10], u"-1");
      }
      return;
    }
    case YearReads::kNotANumber:
      return of.Report(source::rules::kTitleYear, place.line, place.item,
                       {quoted + u"数値ではない" + all});
    case YearReads::kOutOfRange:
      return of.Report(source::rules::kTitleYear, place.line, place.item,
                       {quoted + u"扱える範囲を超える数値の" + all});
    case YearReads::kNumber:
      return of.Report(source::rules::kTitleYear, place.line, place.item,
                       {quoted + u" 1926 年より前の" + all});
  }
}

std::u16string EraDate(const source::TitleLists& titles, HeaderFindings* found) {
  const auto& t1 = titles.t1;
  const float year = text::NumericValue(t1[10]);
  if (year < 1926.0f) {
    if (found != nullptr) ReportNoEra(*found, titles, year);
    return u"平成 -1 -1 -1 -1 -1 -1";
  }
  // The receiving program knows only these two eras.
  const bool heisei = year > 1988.0f;
  std::u16string line = heisei ? u"平成" : u"昭和";
  const float base = heisei ? 1988.0f : 1925.0f;
  for (size_t i = 10; i <= 15; ++i) {
    line += u' ';
    const source::TitleLists::Place& place = titles.t1_place[i];
    if (i == 10 || i == 13) {
      // A blank or non-numeric year has no era year.
      const float value = text::NumericValue(t1[i]);
      if (value == 0.0f) {
        line += u"-1";
        if (found != nullptr && place.file != 0) {
          const YearReads reads = ReadYear(t1[i], value);
          const text::ValueChange change =
              reads == YearReads::kZero         ? text::ValueChange::kZero
              : reads == YearReads::kNotANumber ? text::ValueChange::kNotANumber
              : reads == YearReads::kOutOfRange ? text::ValueChange::kOutOfRange
                                                : text::ValueChange::kNone;
          found->Of(1009, place).Value(change, place.line, place.item, t1[i], u"-1");
        }
        continue;
      }
      const std::u16string era = text::SingleToPlainText(value - base);
      const size_t start = line.size();
      line += F2(era);
      if (value - base > 0.0f) {
        CheckEraYear(found, place, t1[i], value, era);
      } else if (found != nullptr && place.file != 0) {
        // Only the second year can be before its era: the era is the first year's.
        found->Of(1009, place)
            .Report(source::rules::kTitleYear, place.line, place.item,
                    {u"年「" + std::u16string(text::Trim(t1[i])) + u"」は最初の年の年号 (" +
                     (heisei ? u"平成" : u"昭和") + u") では 0 以下の年になる為、" +
                     line.substr(start) + u" と書かれます。"});
      }
    } else if (found != nullptr) {
      line += found->Number(1009, place, t1[i]);
    } else {
      line += F2(t1[i]);
    }
  }
  return line;
}

}  // namespace

std::u16string EraDateLine(const source::TitleLists& titles) { return EraDate(titles, nullptr); }

void WriteHeader(const source::TitleLists& titles, source::PatternTables& tables, LineSink& out,
                 base::FindingSink& findings) {
  const auto& t1 = titles.t1;
  const auto& t2 = titles.t2;
  const auto& p1 = titles.t1_place;
  const auto& p2 = titles.t2_place;
  HeaderFindings found(findings, titles);
  out.Line(u"GTJ Ge201");

  std::u16string rock;
  if (auto name = tables.Get(source::TableId::kL1).First(text::NumericValue(t1[16]))) {
    // The name as held (a name of blanks only as "@"), then "_" before the elevation.
    text::AppendHeldText(rock, *name, u"@");
    rock += u'_';
  } else if (!text::Trim(t1[16]).empty() && !text::IsZeroText(t1[16]) && p1[16].file != 0) {
    found.Of(1013, p1[16])
        .Report(source::rules::kCodeMissing, p1[16].line, p1[16].item,
                source::CodeMissing(t1[16], source::TableId::kL1, titles.file1,
                                    u"岩種の名前は書かれません。"));
  }
  std::u16string elevation;
  const text::ValueChange change = text::AppendNormalisedField(elevation, text::kNumber, t1[17]);
  const source::TitleLists::Place& at = p1[17].line != 0 ? p1[17] : p1[16];
  if (elevation == u"-1" && !rock.empty() && at.file != 0) {
    // An elevation of -1 takes the rock name with it: one finding says both.
    const std::u16string_view given = text::Trim(t1[17]);
    found.Of(1013, at).Report(
        source::rules::kElevation, at.line, at.item,
        {(given.empty() ? std::u16string(u"標高が空の")
                        : u"標高「" + std::u16string(given) + u"」が -1 と書かれる") +
         u"為、岩種の名前「" + rock.substr(0, rock.size() - 1) +
         u"」は書かれず、@ と書かれます。"});
  } else if (p1[17].file != 0) {
    found.Of(1013, p1[17]).Value(change, p1[17].line, p1[17].item, t1[17], elevation);
  }
  rock = elevation == u"-1" ? u"@" : rock + elevation;
  for (size_t j : {12, 13, 14}) rock.append(u" ").append(found.Number(1013, p2[j], t2[j]));

  auto text = [&](int code, size_t i) { return found.Text(code, p1[i], t1[i]); };
  auto text2 = [&](int code, size_t j) { return found.Text(code, p2[j], t2[j]); };
  auto number2 = [&](int code, size_t j) { return found.Number(code, p2[j], t2[j]); };
  const std::u16string values[] = {
      text(1000, 1),
      text(1001, 2),
      text(1002, 4),
      u"@",
      text(1004, 5),
      F1(std::u16string(text::TrimRight(t1[6])) + std::u16string(text::TrimRight(t1[7]))),
      number2(1006, 5) + u" " + number2(1006, 6) + u" " + number2(1006, 7),
      number2(1007, 8) + u" " + number2(1007, 9) + u" " + number2(1007, 10),
      text2(1008, 1),
      EraDate(titles, &found),
      text2(1010, 3),
      text2(1011, 4),
      text(1012, 20) + u" " + text(1012, 21) + u" " + text(1012, 22) + u" " + text(1012, 23),
      rock,
      text(1014, 24),
      text(1015, 25) + u" @",
      text(1016, 26) + u" @",
      u"-1 -1 10.000 rockpat.asg",
      u"@ @",
  };
  if (p1[6].file != 0) found.Of(1005, p1[6]).Written(values[5], p1[6].line);
  int code = 1000;
  for (const std::u16string& value : values) {
    out.Line(base::FromAscii(std::to_string(code++)) + u" " + value);
  }
  found.Finish();
}

}  // namespace tjvx::convert
