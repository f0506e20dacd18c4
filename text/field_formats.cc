#include "text/field_formats.h"

#include <algorithm>

#include "platform/cp932.h"
#include "platform/files.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::text {

void AppendNormalisedField(std::u16string& line, int kind, std::u16string_view value) {
  switch (kind) {
    case kText: {
      if (Trim(value).empty()) {
        line += u'@';
        return;
      }
      const size_t start = line.size();
      line += value;
      for (size_t i = start; i < line.size(); ++i) {
        if (line[i] == u' ' || line[i] == u'\u3000') line[i] = u'_';
      }
      return;
    }
    case kNumber:
    case kBottomDepth:
      if (Trim(value).empty() || NumericValue(value) == 0.0f) {
        line += kind == kNumber ? u"-1" : u"9999";
        return;
      }
      line += value;
      return;
    default:
      line += value;
      return;
  }
}

std::u16string NormaliseField(int kind, std::u16string_view value) {
  std::u16string field;
  AppendNormalisedField(field, kind, value);
  return field;
}

namespace {

// The columns of FormatFixedPoint for a text that is not blank: `integer_columns` integer columns,
// then, when `decimal_columns` > 0, the point and the decimals; `out` holds that many characters,
// all blanks on entry.
void FixedPointColumns(std::u16string_view text, size_t integer_columns, size_t decimal_columns,
                       char16_t* out) {
  const size_t point = text.find(u'.');
  // The integer part fills its columns from the right, blanks skipped; what does not fit is cut
  // off on the left.
  size_t column = integer_columns;
  for (size_t i = std::min(point, text.size()); i > 0 && column > 0; --i) {
    if (text[i - 1] != u' ') out[--column] = text[i - 1];
  }
  if (decimal_columns > 0) {
    out[integer_columns] = u'.';
    // At most two fraction digits are taken (blanks and further points skipped), then zeros.
    size_t taken = 0;
    for (size_t i = point == std::u16string_view::npos ? text.size() : point + 1;
         i < text.size() && taken < 2; ++i) {
      if (text[i] == u' ' || text[i] == u'.') continue;
      if (taken < decimal_columns) out[integer_columns + 1 + taken] = text[i];
      ++taken;
    }
    for (size_t k = taken; k < decimal_columns; ++k) out[integer_columns + 1 + k] = u'0';
  }
}

}  // namespace

void FormatFixedPoint(std::u16string& text, int integer_width, int decimal_width) {
  if (Trim(text).empty()) return;
  const size_t integer_columns = static_cast<size_t>(std::max(integer_width, 0));
  const size_t decimal_columns = static_cast<size_t>(std::max(decimal_width, 0));
  std::u16string out(integer_columns + (decimal_columns == 0 ? 0 : decimal_columns + 1), u' ');
  FixedPointColumns(text, integer_columns, decimal_columns, out.data());
  text = std::move(out);
}

void AppendDepthText(std::u16string& line, std::u16string_view value) {
  // A blank depth is left as it is, and without its leading blanks that is nothing.
  if (Trim(value).empty()) return;
  char16_t columns[7] = {u' ', u' ', u' ', u' ', u' ', u' ', u' '};
  FixedPointColumns(value, 4, 2, columns);
  const char16_t* first = columns;
  while (*first == u' ') ++first;  // the point always stands
  line.append(first, static_cast<size_t>(columns + 7 - first));
}

std::u16string DepthText(std::u16string_view value) {
  std::u16string text;
  AppendDepthText(text, value);
  return text;
}

}  // namespace tjvx::text
