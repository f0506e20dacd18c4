#ifndef TJVX_SOURCE_DEPTH_LIST_H_
#define TJVX_SOURCE_DEPTH_LIST_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "source/field_reader.h"
#include "source/source_files.h"

// Depth collection: every depth a group of source files mentions, sorted, equal ones merged.
namespace tjvx::source {

// One entry of the depth list. Depths are single precision numbers, so 1.5 and 1.50 are one depth.
struct DepthEntry {
  int number;  // running number from 1
  float value;
  std::u16string text;  // the shortest decimal that reads back as `value` ("0.5", "12", "-0.5")
};

// The member files of mode 1 (X3, R31..R35, R30, X11, X1) or of any other mode (N8, G71, G73,
// G81), read from `folder` (no trailing "\"). Missing or empty members add nothing; nothing is
// written anywhere. A record cut short throws Error::Kind::kRecordCutShort.
std::vector<DepthEntry> CollectDepths(std::u16string_view folder, int mode);

// The same from readers the caller keeps: `member` gives the reader of a member file, or null when
// it is missing or empty. Each reader is read to its end.
// With `on_error`, an error of one member (opening or reading it) is handed to it and the other
// members are read on; without, it is thrown.
std::vector<DepthEntry> CollectDepths(
    const std::function<FieldReader*(FileId file)>& member, int mode,
    const std::function<void(const base::Error&)>& on_error = nullptr);

// Whether the depth list of `mode` (see CollectDepths) reads `file`.
bool DepthListReads(int mode, FileId file);

// The depth list of a set of depths: sorted ascending, each value once.
std::vector<DepthEntry> MergeDepths(std::vector<float> depths);

// The shortest decimal text, in fixed notation with a leading zero, that reads back as `value`.
std::u16string ShortestText(float value);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_DEPTH_LIST_H_
