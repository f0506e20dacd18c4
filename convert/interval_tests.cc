#include "convert/interval_tests.h"

#include <cmath>

#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"

namespace tjvx::convert {
namespace {

text::ValueChange AppendEndDepth(std::u16string& line, std::u16string_view start_depth,
                                 const std::array<std::u16string_view, 3>& lengths) {
  // Each quotient and each partial sum is a single precision number.
  float end = 0.0f;
  for (std::u16string_view length : lengths) end = end + text::NumericValue(length) / 100.0f;
  end = end + text::NumericValue(start_depth);
  return text::AppendMadeDepthText(line, text::SingleToText(end));
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
  source::RecordFindings found(findings, x5, u"4000");
  std::array<std::u16string_view, 11> f;
  std::u16string line, start_depth;
  while (!x5.AtEnd()) {
    x5.ReadRecord(f);
    const long long at = x5.record_line();
    start_depth.clear();
    const bool start_changed =
        found.Put(start_depth, at, 2, f[1], text::AppendDepthText) != text::ValueChange::kNone;
    line.assign(u"4000 ");
    line += start_depth;
    line += u' ';
    // The end depth is summed from the start depth as the line writes it.
    const size_t end_depth = line.size();
    // The sum is single precision, so its own far decimals are not a source value's loss.
    const text::ValueChange end_change = AppendEndDepth(line, start_depth, {f[6], f[8], f[10]});
    if (end_change != text::ValueChange::kNone && !start_changed &&
        (end_change != text::ValueChange::kDecimalsCut ||
         EndDepthIsOff(line.substr(end_depth), start_depth, {f[6], f[8], f[10]}))) {
      found.Warning(at, 0,
                    u"貫入長を足した終わりの深度が深度の形 (4 桁.2 桁) に収まらない為、" +
                        line.substr(end_depth) + u" と書かれます。");
    }
    for (size_t i : {6, 8, 10}) {
      line += u' ';
      found.Put(line, at, static_cast<int>(i) + 1, f[i], text::AppendNumberValue);
    }
    for (size_t i : {5, 7, 9}) {
      // A negative reading counts as none.
      line += u' ';
      if (text::NumericValue(f[i]) < 0.0f) {
        // "-1" is how the source itself writes no reading, and it is written as it stands.
        if (text::NumericValue(f[i]) != -1.0f) {
          found.Warning(
              at, static_cast<int>(i) + 1,
              u"負の打撃回数「" + std::u16string(f[i]) + u"」は回数なしとして -1 と書かれます。");
        }
        text::AppendNumberValue(line, u"0");
      } else {
        found.Put(line, at, static_cast<int>(i) + 1, f[i], text::AppendNumberValue);
      }
    }
    out.Line(line);
  }
  found.Finish();
}

}  // namespace tjvx::convert
