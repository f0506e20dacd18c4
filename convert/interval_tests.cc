#include "convert/interval_tests.h"

#include <cmath>

#include "convert/record_loop.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

text::ValueChange AppendEndDepth(std::u16string& line, std::u16string_view start_depth,
                                 const std::array<std::u16string_view, 3>& lengths) {
  // Each quotient and each partial sum is a single precision number.
  float end = 0.0f;
  for (std::u16string_view length : lengths) end = end + text::NumericValue(length) / 100.0f;
  end = end + text::NumericValue(start_depth);
  // The sum as the log program writes a single (SingleToText); the depth form passes over the
  // blank before a number that is not negative, so it is left out.
  return text::AppendMadeDepthText(line, text::SingleToPlainText(end));
}

// Whether an end depth whose decimals were cut is off from the sum of its values by a hundredth
// or more: the sum of a long length is in exponent form, whose digits the depth form lays out as
// they come ("1.234568E+09" gives "1.23"). A sum's own far decimals are no such loss.
bool EndDepthIsOff(std::u16string_view written, std::u16string_view start_depth,
                   const std::array<std::u16string_view, 3>& lengths) {
  double end = text::NumericValue(start_depth);
  for (std::u16string_view length : lengths) end += text::NumericValue(length) / 100.0;
  return std::fabs(text::NumericValue(written) - end) >= 0.01;
}

}  // namespace

std::u16string EndDepth(std::u16string_view start_depth,
                        const std::array<std::u16string_view, 3>& lengths) {
  std::u16string text;
  AppendEndDepth(text, start_depth, lengths);
  return text;
}

void WriteRecords4000(source::FieldReader& x5, LineSink& out, base::FindingSink& findings) {
  RecordLoop<11> records(x5, findings, u"4000");
  source::RecordFindings& found = records.found();
  std::u16string& line = records.line();
  std::u16string start_depth;
  while (records.Next()) {
    const long long at = records.at();
    const bool start_changed = records.Start(2) != text::ValueChange::kNone;
    start_depth.assign(line, line.find(u' ') + 1);  // as the line writes it
    line += u' ';
    // The end depth is summed from the start depth as the line writes it.
    const size_t end_depth = line.size();
    const std::array<std::u16string_view, 3> lengths = {records.Field(7), records.Field(9),
                                                        records.Field(11)};
    // The sum is single precision, so its own far decimals are not a source value's loss.
    const text::ValueChange end_change = AppendEndDepth(line, start_depth, lengths);
    if (end_change != text::ValueChange::kNone && !start_changed &&
        (end_change != text::ValueChange::kDecimalsCut ||
         EndDepthIsOff(line.substr(end_depth), start_depth, lengths))) {
      found.Report(source::rules::kEndDepth, at, 0,
                   {u"貫入量を足した終わりの深度が深度の形 (4 桁.2 桁) に収まらない為、" +
                    line.substr(end_depth) + u" と書かれます。"});
    }
    for (int field : {7, 9, 11}) {
      line += u' ';
      records.Put(field, text::AppendNumberValue);
    }
    for (int field : {6, 8, 10}) {
      // A negative reading counts as none.
      line += u' ';
      const std::u16string_view blows = records.Field(field);
      // Only a number that begins with its sign is negative.
      if (text::TrimLeft(blows).starts_with(u'-') && text::NumericValue(blows) < 0.0f) {
        // "-1" is how the source itself writes no reading, and it is written as it stands.
        if (text::NumericValue(blows) != -1.0f) {
          found.Report(source::rules::kNegativeBlows, at, field,
                       {u"負の打撃回数「" + std::u16string(blows) +
                        u"」は回数なしとして -1 と書かれます。"});
        }
        text::AppendNumberValue(line, u"0");
      } else {
        records.Put(field, text::AppendNumberValue);
      }
    }
    out.Line(line);
  }
  records.Finish();
}

}  // namespace tjvx::convert
