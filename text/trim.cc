#include "text/trim.h"

namespace tjvx::text {

std::u16string_view TrimLeft(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  return text.substr(start);
}

std::u16string_view TrimRight(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return text.substr(0, end);
}

std::u16string_view Trim(std::u16string_view text) { return TrimRight(TrimLeft(text)); }

std::u16string TrimBlanksAndNuls(std::u16string_view text) {
  auto filler = [](char16_t c) { return c == u' ' || c == u'\0'; };
  size_t start = 0, end = text.size();
  while (start < end && filler(text[start])) ++start;
  while (end > start && filler(text[end - 1])) --end;
  return std::u16string(text.substr(start, end - start));
}

}  // namespace tjvx::text
