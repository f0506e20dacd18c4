#include "source/titles.h"

#include <vector>

#include "base/error.h"
#include "source/source_files.h"

namespace tjvx::source {
namespace {

// The items of a title file. A file with more than `limit` items was not written for this list,
// so its items cannot be placed: it throws Error::Kind::kOutOfRange at the first item too many.
std::vector<std::u16string> ReadItems(const std::u16string& path, size_t limit) {
  std::vector<std::u16string> items;
  std::optional<FieldReader> reader = OpenSourceFile(path);
  if (!reader) return items;
  while (!reader->AtEnd()) {
    if (items.size() == limit) {
      const std::string most = std::to_string(limit);
      throw base::Error(
          base::Error::Kind::kOutOfRange, path, reader->line(), -1,
          u"項目が多すぎます (最大 " + std::u16string(most.begin(), most.end()) + u" 項目)");
    }
    items.emplace_back(reader->ReadField());
  }
  return items;
}

}  // namespace

TitleLists ReadTitleFiles(std::u16string_view folder) {
  std::u16string base(folder);
  if (base.empty() || base.back() != u'\\') base += u'\\';
  std::vector<std::u16string> first = ReadItems(base + u"Titl01.txt", 23);
  std::vector<std::u16string> second = ReadItems(base + u"Titl02.txt", 41);
  auto item = [](const std::vector<std::u16string>& items, size_t i) {
    return i <= items.size() ? items[i - 1] : std::u16string();
  };
  TitleLists lists;
  for (size_t i = 1; i <= 23; ++i) lists.t1[i] = item(first, i);
  for (size_t i = 24; i <= 28; ++i) lists.t1[i] = item(second, i - 8);
  for (size_t j = 1; j <= 15; ++j) lists.t2[j] = item(second, j);
  return lists;
}

}  // namespace tjvx::source
