#ifndef TJVX_TEXT_PATH_COMPONENTS_H_
#define TJVX_TEXT_PATH_COMPONENTS_H_

#include <string>
#include <string_view>
#include <vector>

// Path components: a folder path broken at its separators.
namespace tjvx::text {

// How many characters of `path` are separator characters (each character of `separators` counts).
int CountSeparators(std::u16string_view path, std::u16string_view separators);

// The pieces of `path` between separator characters: "C:\A\B" gives "C:", "A", "B"; a trailing
// separator gives an empty last piece, two in a row an empty piece between them. There are always
// CountSeparators(path, separators) + 1 pieces. parts[0] is the first piece.
std::vector<std::u16string> SplitPath(std::u16string_view path, std::u16string_view separators);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_PATH_COMPONENTS_H_
