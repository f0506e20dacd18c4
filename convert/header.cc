#include "convert/header.h"

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

}  // namespace

std::u16string EraDateLine(const source::TitleLists& titles) {
  const auto& t1 = titles.t1;
  const float year = text::NumericValue(t1[10]);
  if (year < 1926.0f) return u"平成 -1 -1 -1 -1 -1 -1";
  // The receiving program knows only these two eras.
  std::u16string line = year > 1988.0f ? u"平成" : u"昭和";
  const float base = year > 1988.0f ? 1988.0f : 1925.0f;
  for (int i = 10; i <= 15; ++i) {
    line += u' ';
    if (i == 10 || i == 13) {
      // A blank or non-numeric year has no era year.
      float value = text::NumericValue(t1[i]);
      line += value == 0.0f ? u"-1" : F2(text::SingleToPlainText(value - base));
    } else {
      line += F2(t1[i]);
    }
  }
  return line;
}

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
        .Warning(p1[16].line, p1[16].item,
                 u"コード「" + t1[16] + u"」が L1.TXT にない為、岩種の名前は書かれません。");
  }
  std::u16string elevation = found.Number(1013, p1[17], t1[17]);
  rock = elevation == u"-1" ? u"@" : rock + elevation;
  for (size_t j : {12, 13, 14}) rock.append(u" ").append(found.Number(1013, p2[j], t2[j]));

  const float year = text::NumericValue(t1[10]);
  if (year < 1926.0f && !text::Trim(t1[10]).empty() && p1[10].file != 0) {
    found.Of(1009, p1[10])
        .Warning(p1[10].line, p1[10].item,
                 u"年「" + t1[10] + u"」は 1926 年より前か数値でない為、日付が -1 と書かれます。");
  }
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
      EraDateLine(titles),
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
