#include "text/trim.h"

namespace tjvx::text {

std::u16string TrimBlanksAndNuls(std::u16string_view text) {
  auto filler = [](char16_t c) { return c == u' ' || c == u'\0'; };
  size_t start = 0, end = text.size();
  while (start < end && filler(text[start])) ++start;
  while (end > start && filler(text[end - 1])) --end;
  return std::u16string(text.substr(start, end - start));
}

}  // namespace tjvx::text
