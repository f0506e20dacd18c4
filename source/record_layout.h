#ifndef TJVX_SOURCE_RECORD_LAYOUT_H_
#define TJVX_SOURCE_RECORD_LAYOUT_H_

#include <cstddef>
#include <string_view>

#include "source/source_files.h"

// What the fields of a borehole folder's records hold, as far as the format says.
namespace tjvx::source {

// The fields of a record that hold its depth: the depth (the top of a layer), and the bottom of a
// layer; 0 for none. Fields are counted from 1.
struct DepthFields {
  int depth = 0;
  int bottom = 0;
};

// How many fields a record of `file` has; 0 for a file not read as records (the title files,
// whose items are read one by one, and the pattern folder's tables).
size_t RecordFieldCount(FileId file);

// The depth fields of a record of `file`.
DepthFields RecordDepthFields(FileId file);

// What field `field` of a record of `file` (an item of a title file) holds, by its role in the
// format: "深度", "上端深度", "コード", "打撃回数" …; empty where the format does not say.
std::u16string_view FieldRole(FileId file, int field);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_RECORD_LAYOUT_H_
