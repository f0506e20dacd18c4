#ifndef TJVX_CLI_WILDCARDS_H_
#define TJVX_CLI_WILDCARDS_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"

namespace tjvx::cli {

inline constexpr std::u16string_view kNoMatchingFolderMessage = u"一致するフォルダがありません。";
inline constexpr std::u16string_view kNoMatchingFileMessage = u"一致するファイルがありません。";

// What the arguments name: source folders (SOURCE) or files (FILE).
enum class Wanted { kFolders, kFiles };

// One argument after expansion: a path to take as given, or the refusal of a pattern.
struct ExpandedArgument {
  std::string path;  // the argument, or its folder part as written followed by a matching name
  std::optional<std::u16string> refusal;  // the message naming the pattern that matched nothing
};

// The arguments with every pattern replaced by the matching folders or files of its folder, in
// natural order (B-2 before B-10). A pattern is an argument whose last name holds "*" or "?"; the
// names are matched as a Windows directory search matches them (letter case ignored). A pattern
// that matches nothing, or that holds a wildcard before its last name, stays as one argument with
// its refusal. Arguments without a wildcard stay as they are. With `expand` false (where the shell
// has expanded the patterns) every argument stays as it is.
// A folder a pattern matches that is `destination` itself (both taken as Windows resolves them,
// letter case ignored) is left out: "C:\SITE\*" converted into "C:\SITE\OUT" does not take OUT
// for a borehole folder. A pattern that matched only the destination matches nothing.
std::vector<ExpandedArgument> ExpandWildcards(const std::vector<std::string>& arguments,
                                              Wanted wanted,
                                              bool expand = platform::kProgramExpandsWildcards,
                                              const std::string& destination = {});

}  // namespace tjvx::cli

#endif  // TJVX_CLI_WILDCARDS_H_
