#include "text/wildcard.h"

#include "base/ascii.h"

namespace tjvx::text {
namespace {

// How many code units the character at `at` takes: two for a surrogate pair.
size_t CharacterLength(std::u16string_view text, size_t at) {
  const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF &&
                    text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

// The match itself. A "*" first takes nothing; when the rest fails it takes one more character of
// the name, from the last "*" only: an earlier "*" taking more could never help, so a pattern of
// many stars costs no more than the length of the name times the length of the pattern.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
  size_t p = 0, n = 0;
  size_t star = std::u16string_view::npos, star_name = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {
      star = ++p;
      star_name = n;
    } else if (p < pattern.size() && pattern[p] == u'?') {
      ++p;
      n += CharacterLength(name, n);
    } else if (p < pattern.size() && base::AsciiUpper(pattern[p]) == base::AsciiUpper(name[n])) {
      ++p;
      ++n;
    } else if (star != std::u16string_view::npos) {
      p = star;
      star_name += CharacterLength(name, star_name);
      n = star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

}  // namespace

bool HasWildcard(std::u16string_view text) {
  return text.find_first_of(u"*?") != std::u16string_view::npos;
}

bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  if (Matches(pattern, name)) return true;
  return pattern.ends_with(u".*") && name.find(u'.') == std::u16string_view::npos &&
         Matches(pattern.substr(0, pattern.size() - 2), name);
}

}  // namespace tjvx::text
