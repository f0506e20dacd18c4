#include "text/record_values.h"

#include <algorithm>

#include "text/field_formats.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::text {

ValueChange AppendNumberValue(std::u16string& line, std::u16string_view value) {
  return AppendNumberField(line, kNumber, value);
}

void HoldTextFrom(std::u16string& line, size_t start, std::u16string_view absent) {
  size_t end = line.size();
  while (end > start && line[end - 1] == u' ') --end;
  size_t first = start;
  while (first < end && line[first] == u' ') ++first;
  // Most texts have no blanks around them, and nothing is moved then.
  if (end < line.size()) line.resize(end);
  if (first > start) line.erase(start, first - start);
  if (line.size() == start) {
    line += absent;
    return;
  }
  std::replace(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), u' ', u'_');
}

void AppendHeldText(std::u16string& line, std::u16string_view value, std::u16string_view absent) {
  const std::u16string_view held = Trim(value);
  if (held.empty()) {
    line += absent;
    return;
  }
  const size_t start = line.size();
  line += held;
  std::replace(line.begin() + static_cast<std::ptrdiff_t>(start), line.end(), u' ', u'_');
}

ValueChange AppendBottomDepthValue(std::u16string& line, std::u16string_view value) {
  std::u16string depth;  // at most seven characters, so it stays in the string itself
  const ValueChange form = AppendDepthText(depth, value);
  // A depth text has no leading blanks, and neither have "9999" and the value kept.
  const ValueChange zero = AppendNumberField(line, kBottomDepth, depth);
  return form != ValueChange::kNone ? form : zero;
}

void AppendTextValue(std::u16string& line, std::u16string_view value) {
  // Every blank of a text becomes "_", so it has none to drop.
  AppendTextField(line, value);
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

bool KeepsMonthAndDay(std::u16string_view date, std::u16string_view written) {
  std::u16string_view runs[3];
  size_t found = 0;
  for (size_t i = 0; i < date.size() && found < 3;) {
    if (date[i] < u'0' || date[i] > u'9') {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < date.size() && date[i] >= u'0' && date[i] <= u'9') ++i;
    runs[found++] = date.substr(start, i - start);
  }
  const size_t blank = written.find(u' ');
  if (found < 3 || blank == std::u16string_view::npos) return false;
  const std::u16string_view month = written.substr(0, blank), day = written.substr(blank + 1);
  return month != u"-1" && day != u"-1" && NumericValue(month) == NumericValue(runs[1]) &&
         NumericValue(day) == NumericValue(runs[2]);
}

std::u16string DatePart(std::u16string_view date, size_t start) {
  std::u16string text;
  AppendDatePart(text, date, start);
  return text;
}

}  // namespace tjvx::text
