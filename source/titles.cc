#include "source/titles.h"

#include <vector>

#include "base/error.h"
#include "source/source_files.h"

namespace tjvx::source {
namespace {

// The items of a title file. A file with more than `limit` items was not written for this list,
// so its items cannot be placed: it throws Error::Kind::kOutOfRange at the first item too many.
struct Items {
  std::vector<std::u16string> items;
  std::vector<long long> lines;
};

Items ReadItems(const std::u16string& path, size_t limit, base::FindingSink* findings) {
  Items read;
  std::vector<std::u16string>& items = read.items;
  std::optional<FieldReader> reader = OpenSourceFile(path, findings);
  if (!reader) return read;
  while (!reader->AtEnd()) {
    if (items.size() == limit) {
      const std::string most = std::to_string(limit);
      throw base::Error(
          base::Error::Kind::kOutOfRange, path, reader->line(), -1,
          u"項目が多すぎます (最大 " + std::u16string(most.begin(), most.end()) + u" 項目)");
    }
    items.emplace_back(reader->ReadField());
    read.lines.push_back(reader->record_line());
  }
  return read;
}

}  // namespace

TitleLists ReadTitleFiles(std::u16string_view folder, base::FindingSink* findings) {
  // A folder given with its trailing "\\" is taken without it.
  if (folder.ends_with(u'\\')) folder.remove_suffix(1);
  TitleLists lists;
  lists.file1 = SourcePath(folder, FileId::kTitle1);
  lists.file2 = SourcePath(folder, FileId::kTitle2);
  const Items first = ReadItems(lists.file1, 23, findings);
  const Items second = ReadItems(lists.file2, 41, findings);
  auto item = [](const Items& read, size_t i) {
    return i <= read.items.size() ? read.items[i - 1] : std::u16string();
  };
  auto place = [](const Items& read, int file, size_t i) {
    return TitleLists::Place{file, i <= read.lines.size() ? read.lines[i - 1] : 0,
                             static_cast<int>(i)};
  };
  for (size_t i = 1; i <= 23; ++i) {
    lists.t1[i] = item(first, i);
    lists.t1_place[i] = place(first, 1, i);
  }
  for (size_t i = 24; i <= 28; ++i) {
    lists.t1[i] = item(second, i - 8);
    lists.t1_place[i] = place(second, 2, i - 8);
  }
  for (size_t j = 1; j <= 15; ++j) {
    lists.t2[j] = item(second, j);
    lists.t2_place[j] = place(second, 2, j);
  }
  return lists;
}

}  // namespace tjvx::source
