#include "convert/header.h"

#include "base/utf.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

std::u16string F1(std::u16string_view value) { return text::NormaliseField(text::kText, value); }
std::u16string F2(std::u16string_view value) { return text::NormaliseField(text::kNumber, value); }

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

void WriteHeader(const source::TitleLists& titles, source::PatternTables& tables, LineSink& out) {
  const auto& t1 = titles.t1;
  const auto& t2 = titles.t2;
  out.Line(u"GTJ Ge201");

  std::u16string rock;
  if (auto name = tables.Get(source::TableId::kL1).First(text::NumericValue(t1[16]))) {
    rock = std::u16string(*name) + u"_";
  }
  std::u16string elevation = F2(t1[17]);
  rock = elevation == u"-1" ? u"@" : rock + elevation;
  rock += u" " + F2(t2[12]) + u" " + F2(t2[13]) + u" " + F2(t2[14]);

  const std::u16string values[] = {
      F1(t1[1]),
      F1(t1[2]),
      F1(t1[4]),
      u"@",
      F1(t1[5]),
      F1(std::u16string(text::TrimRight(t1[6])) + std::u16string(text::TrimRight(t1[7]))),
      F2(t2[5]) + u" " + F2(t2[6]) + u" " + F2(t2[7]),
      F2(t2[8]) + u" " + F2(t2[9]) + u" " + F2(t2[10]),
      F1(t2[1]),
      EraDateLine(titles),
      F1(t2[3]),
      F1(t2[4]),
      F1(t1[20]) + u" " + F1(t1[21]) + u" " + F1(t1[22]) + u" " + F1(t1[23]),
      rock,
      F1(t1[24]),
      F1(t1[25]) + u" @",
      F1(t1[26]) + u" @",
      u"-1 -1 10.000 rockpat.asg",
      u"@ @",
  };
  int code = 1000;
  for (const std::u16string& value : values) {
    out.Line(base::FromAscii(std::to_string(code++)) + u" " + value);
  }
}

}  // namespace tjvx::convert
