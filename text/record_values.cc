#include "text/record_values.h"

#include "text/field_formats.h"

namespace tjvx::text {

void TrimLeftFrom(std::u16string& line, size_t start) {
  size_t blanks = start;
  while (blanks < line.size() && line[blanks] == u' ') ++blanks;
  line.erase(start, blanks - start);
}

void AppendNumberValue(std::u16string& line, std::u16string_view value) {
  const size_t start = line.size();
  AppendNormalisedField(line, kNumber, value);
  TrimLeftFrom(line, start);
}

void AppendBottomDepthValue(std::u16string& line, std::u16string_view value) {
  std::u16string depth;  // at most seven characters, so it stays in the string itself
  AppendDepthText(depth, value);
  // A depth text has no leading blanks, and neither have "9999" and the value kept.
  AppendNormalisedField(line, kBottomDepth, depth);
}

void AppendTextValue(std::u16string& line, std::u16string_view value) {
  const size_t start = line.size();
  AppendNormalisedField(line, kText, value);
  TrimLeftFrom(line, start);
}

void AppendDatePart(std::u16string& line, std::u16string_view date, size_t start) {
  AppendNumberValue(line,
                    start - 1 < date.size() ? date.substr(start - 1, 2) : std::u16string_view());
}

std::u16string DatePart(std::u16string_view date, size_t start) {
  std::u16string text;
  AppendDatePart(text, date, start);
  return text;
}

}  // namespace tjvx::text
