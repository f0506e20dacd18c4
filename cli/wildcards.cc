#include "cli/wildcards.h"

#include <algorithm>

#include "base/ascii.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "cli/command_line.h"
#include "platform/drives.h"
#include "text/natural_order.h"
#include "text/path_components.h"
#include "text/wildcard.h"

namespace tjvx::cli {
namespace {

// Where the last name of an argument starts: after its last "\" or "/", or after the "X:" of a
// drive-relative path ("C:B-*"), else at the start.
size_t LastNameStart(std::string_view argument) {
  const size_t separator = argument.find_last_of("\\/");
  if (separator != std::string_view::npos) return separator + 1;
  return base::StartsWithDrive(argument) ? 2 : 0;
}

// The names in the folder `folder` (as written: "" is the working folder) that match `pattern`.
std::vector<std::u16string> Matches(const std::string& folder, std::u16string_view pattern,
                                    Wanted wanted) {
  const std::u16string listed = WindowsForm(folder.empty() ? std::string(".") : folder);
  std::vector<std::u16string> names =
      wanted == Wanted::kFolders ? platform::SubFolders(listed) : platform::FileNames(listed);
  // The drawings and printable pages that `tjvx preview` writes beside the converted files are not
  // taken for them (a name that is only ".svg" is no drawing's).
  auto is_drawing = [](std::u16string_view name) {
    const std::u16string_view stem_and_end = name.substr(name.empty() ? 0 : 1);
    return base::EndsWithIgnoringAsciiCase(stem_and_end, u".SVG") ||
           base::EndsWithIgnoringAsciiCase(stem_and_end, u".HTML");
  };
  std::erase_if(names, [&](const std::u16string& name) {
    return !text::MatchesWildcard(pattern, name) || (wanted == Wanted::kFiles && is_drawing(name));
  });
  std::sort(names.begin(), names.end(), text::NaturalLess);
  return names;
}

// A Windows-form folder as Windows resolves it, without trailing separators, for comparing two.
std::u16string ComparableFolder(const std::string& argument) {
  std::u16string folder = text::ResolvePath(WindowsForm(argument));
  while (folder.size() > 3 && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
  return folder;
}

}  // namespace

std::vector<ExpandedArgument> ExpandWildcards(const std::vector<std::string>& arguments,
                                              Wanted wanted, bool expand,
                                              const std::string& destination) {
  const std::u16string destination_folder =
      destination.empty() ? std::u16string() : ComparableFolder(destination);
  auto is_destination = [&](const std::string& path) {
    return !destination_folder.empty() &&
           base::EqualsIgnoringAsciiCase(ComparableFolder(path), destination_folder);
  };
  std::vector<ExpandedArgument> expanded;
  for (const std::string& argument : arguments) {
    const std::u16string wide = base::FromUtf8(argument);
    if (!expand || !text::HasWildcard(wide)) {
      expanded.push_back({argument, std::nullopt});
      continue;
    }
    const std::string folder = argument.substr(0, LastNameStart(argument));
    const std::u16string pattern = base::FromUtf8(argument.substr(folder.size()));
    std::vector<std::u16string> names;
    // Only the last name is expanded: a wildcard before it matches nothing.
    if (!text::HasWildcard(base::FromUtf8(folder))) names = Matches(folder, pattern, wanted);
    std::erase_if(names, [&](const std::u16string& name) {
      return is_destination(folder + base::ToUtf8(name));
    });
    if (names.empty()) {
      const std::u16string_view message =
          wanted == Wanted::kFolders ? kNoMatchingFolderMessage : kNoMatchingFileMessage;
      expanded.push_back({argument, std::u16string(message) + u"\n" + wide});
      continue;
    }
    for (const std::u16string& name : names) {
      expanded.push_back({folder + base::ToUtf8(name), std::nullopt});
    }
  }
  return expanded;
}

}  // namespace tjvx::cli
