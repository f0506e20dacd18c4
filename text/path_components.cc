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

}  // namespace tjvx::text
