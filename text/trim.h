#ifndef TJVX_TEXT_TRIM_H_
#define TJVX_TEXT_TRIM_H_

#include <string>
#include <string_view>

namespace tjvx::text {

// Half-width blank handling: only U+0020 counts as a blank for trimming, as in the log program.
// Inline, for they are asked of most values of every record.
inline std::u16string_view TrimLeft(std::u16string_view text) {
  size_t start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  return text.substr(start);
}
inline std::u16string_view TrimRight(std::u16string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return text.substr(0, end);
}
inline std::u16string_view Trim(std::u16string_view text) { return TrimRight(TrimLeft(text)); }

// The text without leading and trailing blanks and NUL fillers, as a fixed-length buffer of the
// system leaves a folder name.
std::u16string TrimBlanksAndNuls(std::u16string_view text);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_TRIM_H_
