#include "convert/interval_tests.h"

#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/record_values.h"

namespace tjvx::convert {
namespace {

void AppendEndDepth(std::u16string& line, std::u16string_view start_depth,
                    const std::array<std::u16string_view, 3>& lengths) {
  // Each quotient and each partial sum is a single precision number.
  float end = 0.0f;
  for (std::u16string_view length : lengths) end = end + text::NumericValue(length) / 100.0f;
  end = end + text::NumericValue(start_depth);
  text::AppendDepthText(line, text::SingleToText(end));
}

}  // namespace

std::u16string EndDepth(std::u16string_view start_depth,
                        const std::array<std::u16string_view, 3>& lengths) {
  std::u16string text;
  AppendEndDepth(text, start_depth, lengths);
  return text;
}

void WriteRecords4000(source::FieldReader& x5, LineSink& out) {
  std::array<std::u16string_view, 11> f;
  std::u16string line, start_depth;
  while (!x5.AtEnd()) {
    x5.ReadRecord(f);
    start_depth.clear();
    text::AppendDepthText(start_depth, f[1]);
    line.assign(u"4000 ");
    line += start_depth;
    line += u' ';
    // The end depth is summed from the start depth as the line writes it.
    AppendEndDepth(line, start_depth, {f[6], f[8], f[10]});
    for (size_t i : {6, 8, 10}) {
      line += u' ';
      text::AppendNumberValue(line, f[i]);
    }
    for (size_t i : {5, 7, 9}) {
      // A negative reading counts as none.
      line += u' ';
      text::AppendNumberValue(line,
                              text::NumericValue(f[i]) < 0.0f ? std::u16string_view(u"0") : f[i]);
    }
    out.Line(line);
  }
}

}  // namespace tjvx::convert
