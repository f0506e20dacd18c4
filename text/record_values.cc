#include "text/record_values.h"

#include "text/field_formats.h"

namespace tjvx::text {

void TrimLeftFrom(std::u16string& line, size_t start) {
  size_t blanks = start;
  while (blanks < line.size() && line[blanks] == u' ') ++blanks;
  line.erase(start, blanks - start);
}

ValueChange AppendNumberValue(std::u16string& line, std::u16string_view value) {
  const size_t start = line.size();
  const ValueChange change = AppendNormalisedField(line, kNumber, value);
  TrimLeftFrom(line, start);
  return change;
}

ValueChange AppendBottomDepthValue(std::u16string& line, std::u16string_view value) {
  std::u16string depth;  // at most seven characters, so it stays in the string itself
  const ValueChange form = AppendDepthText(depth, value);
  // A depth text has no leading blanks, and neither have "9999" and the value kept.
  const ValueChange zero = AppendNormalisedField(line, kBottomDepth, depth);
  return form != ValueChange::kNone ? form : zero;
}

void AppendTextValue(std::u16string& line, std::u16string_view value) {
  const size_t start = line.size();
  AppendNormalisedField(line, kText, value);
  TrimLeftFrom(line, start);
}

ValueChange AppendDatePart(std::u16string& line, std::u16string_view date, size_t start) {
  return AppendNumberValue(
      line, start - 1 < date.size() ? date.substr(start - 1, 2) : std::u16string_view());
}

bool IsDateText(std::u16string_view date) {
  if (date.size() != 10 || date[4] != u'/' || date[7] != u'/') return false;
  for (size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (date[i] < u'0' || date[i] > u'9') return false;
  }
  return true;
}

std::u16string DatePart(std::u16string_view date, size_t start) {
  std::u16string text;
  AppendDatePart(text, date, start);
  return text;
}

}  // namespace tjvx::text
