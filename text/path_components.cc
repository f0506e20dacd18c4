#include "text/path_components.h"

#include <algorithm>

namespace tjvx::text {

int CountSeparators(std::u16string_view path, std::u16string_view separators) {
  int total = 0;
  for (char16_t separator : separators)
    total += static_cast<int>(std::count(path.begin(), path.end(), separator));
  return total;
}

std::vector<std::u16string> SplitPath(std::u16string_view path, std::u16string_view separators) {
  std::vector<std::u16string> parts;
  size_t start = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (separators.find(path[i]) != std::u16string_view::npos) {
      parts.emplace_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.emplace_back(path.substr(start));
  return parts;
}

std::u16string ResolvePath(std::u16string_view path) {
  std::u16string slashed(path);
  std::replace(slashed.begin(), slashed.end(), u'/', u'\\');
  const size_t first = slashed.find(u'\\');
  if (first == std::u16string::npos) return slashed;
  // What stands before the first separator ("C:", or "" for "\x") is never taken away.
  std::u16string resolved = slashed.substr(0, first);
  std::vector<std::u16string> names =
      SplitPath(std::u16string_view(slashed).substr(first + 1), u"\\");
  const bool trailing = names.back().empty() || names.back() == u"." || names.back() == u"..";
  std::vector<std::u16string> kept;
  for (std::u16string& name : names) {
    if (name == u".") continue;
    if (name == u"..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(std::move(name));
  }
  if (!kept.empty() && kept.back().empty()) kept.pop_back();
  for (const std::u16string& name : kept) resolved += u"\\" + name;
  if (trailing || kept.empty()) resolved += u'\\';
  return resolved;
}

}  // namespace tjvx::text
