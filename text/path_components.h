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

// A Windows-form path as Windows resolves it: "/" separates like "\", a "." name is dropped and a
// ".." name takes away the name before it, never the drive or what stands before the first
// separator ("C:\x\a/../../B-12" gives "C:\B-12", "C:\.." gives "C:\"). Blanks, repeated separators
// and a trailing separator are kept, so the checks after this still see them.
std::u16string ResolvePath(std::u16string_view path);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_PATH_COMPONENTS_H_
