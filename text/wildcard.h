#ifndef TJVX_TEXT_WILDCARD_H_
#define TJVX_TEXT_WILDCARD_H_

#include <string_view>

// The wildcards of a Windows command line: "*" and "?" in a name.
namespace tjvx::text {

// Whether `text` holds "*" or "?".
bool HasWildcard(std::u16string_view text);

// Whether the name `name` matches the pattern `pattern` as a Windows directory search matches it:
// "*" stands for any characters (none too), "?" for exactly one character (a Japanese character,
// even one outside the basic plane, is one), a-z and A-Z count as one letter, and every other
// character stands for itself. A pattern ending in ".*" also matches names without that
// extension, so "*.*" matches every name and "B-1.*" matches "B-1".
bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_WILDCARD_H_
