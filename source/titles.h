#ifndef TJVX_SOURCE_TITLES_H_
#define TJVX_SOURCE_TITLES_H_

#include <array>
#include <string>
#include <string_view>

#include "base/findings.h"

namespace tjvx::source {

// The title fields of a borehole, from Titl01.txt and Titl02.txt of the source folder.
// t1[i] (i = 1..23) is item i of Titl01.txt and t1[24..28] are items 16..20 of Titl02.txt;
// t2[j] (j = 1..15) is item j of Titl02.txt. Missing items are empty; index 0 is unused.
struct TitleLists {
  std::array<std::u16string, 29> t1;
  std::array<std::u16string, 16> t2;
  // Where each item stands: the file's path and the item's line (0 for a missing item).
  struct Place {
    int file = 0;  // 1: Titl01.txt (file1), 2: Titl02.txt (file2)
    long long line = 0;
    int item = 0;  // the item's number in its file, from 1
  };
  std::array<Place, 29> t1_place;
  std::array<Place, 16> t2_place;
  std::u16string file1, file2;  // the two files' paths
};

// Titl01.txt holds at most 23 items and Titl02.txt at most 41; a file with more throws
// Error::Kind::kOutOfRange naming it and the line of the first item too many. Missing files give
// empty items; nothing is created or deleted.
// Data after a Ctrl-Z is reported to `findings`.
TitleLists ReadTitleFiles(std::u16string_view folder, base::FindingSink* findings = nullptr);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_TITLES_H_
