#include "convert/values.h"

#include "common/text.h"
#include "source/fcopysub.h"

namespace tjvx {
namespace {

bool IsBlankOrZero(std::u16string_view value) {
  return Trim(value).empty() || NumericValue(value) == 0.0f;
}

template <typename Append>
std::u16string Value(Append append, std::u16string_view value) {
  std::u16string text;
  append(text, value);
  return text;
}

}  // namespace

void AppendNumberValue(std::u16string& line, std::u16string_view value) {
  if (IsBlankOrZero(value)) {
    line += u"-1";
  } else {
    line += TrimLeft(value);
  }
}

void AppendBottomDepthValue(std::u16string& line, std::u16string_view value) {
  const size_t start = line.size();
  FCOPYSUB::AppendDepthText(line, value);
  if (IsBlankOrZero(std::u16string_view(line).substr(start))) {
    line.resize(start);
    line += u"9999";
  }
}

void AppendTextValue(std::u16string& line, std::u16string_view value) {
  if (Trim(value).empty()) {
    line += u'@';
    return;
  }
  // Every blank becomes "_", so no leading blank is left to drop.
  const size_t start = line.size();
  line += value;
  for (size_t i = start; i < line.size(); ++i) {
    if (line[i] == u' ' || line[i] == u'\u3000') line[i] = u'_';
  }
}

void AppendDatePart(std::u16string& line, std::u16string_view date, size_t start) {
  AppendNumberValue(line,
                    start - 1 < date.size() ? date.substr(start - 1, 2) : std::u16string_view());
}

std::u16string NumberValue(std::u16string_view value) { return Value(AppendNumberValue, value); }

std::u16string BottomDepthValue(std::u16string_view value) {
  return Value(AppendBottomDepthValue, value);
}

std::u16string TextValue(std::u16string_view value) { return Value(AppendTextValue, value); }

std::u16string DatePart(std::u16string_view date, size_t start) {
  std::u16string text;
  AppendDatePart(text, date, start);
  return text;
}

}  // namespace tjvx
