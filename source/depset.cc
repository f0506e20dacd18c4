#include "source/depset.h"

#include <algorithm>
#include <charconv>

#include "common/text.h"
#include "source/fcopysub.h"

namespace DEPSET {
namespace {

struct Member {
  std::u16string_view file;
  size_t fields;
  size_t depth_field;  // counted from 1
};

constexpr Member kMode1[] = {
    {u"X3.TXT", 7, 2},  {u"R31.TXT", 6, 2}, {u"R32.TXT", 6, 2},
    {u"R33.TXT", 6, 2}, {u"R34.TXT", 6, 2}, {u"R35.TXT", 6, 2},
    {u"R30.TXT", 6, 2}, {u"X11.TXT", 5, 2}, {u"X1.TXT", 4, 2},
};
constexpr Member kMode2[] = {
    {u"N8.TXT", 3, 3}, {u"G71.TXT", 5, 2}, {u"G73.TXT", 4, 2}, {u"G81.TXT", 5, 2}};

}  // namespace

std::u16string ShortestText(float value) {
  if (value == 0.0f) return u"0";  // also -0
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return tjvx::FromAscii(std::string_view(buffer, ec == std::errc() ? end - buffer : 0));
}

std::vector<DepthEntry> MergeDepths(std::vector<float> depths) {
  std::sort(depths.begin(), depths.end());
  // -0 and 0 compare equal and are one depth.
  depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
  std::vector<DepthEntry> list;
  list.reserve(depths.size());
  for (float value : depths) {
    list.push_back({static_cast<int>(list.size()) + 1, value, ShortestText(value)});
  }
  return list;
}

std::vector<DepthEntry> CollectDepths(std::u16string_view folder, int mode) {
  std::optional<tjvx::FieldReader> reader;
  return CollectDepths(
      [&](std::u16string_view name) {
        reader = FCOPYSUB::OpenSourceFile(std::u16string(folder) + u"\\" + std::u16string(name));
        return reader ? &*reader : nullptr;
      },
      mode);
}

std::vector<DepthEntry> CollectDepths(
    const std::function<tjvx::FieldReader*(std::u16string_view name)>& open, int mode) {
  std::vector<float> depths;
  auto collect = [&](const Member& member) {
    tjvx::FieldReader* reader = open(member.file);
    if (reader == nullptr) return;
    std::vector<std::u16string_view> record;
    while (!reader->AtEnd()) {
      reader->ReadRecord(member.fields, record);
      depths.push_back(tjvx::NumericValue(record[member.depth_field - 1]));
    }
  };
  if (mode == 1) {
    for (const Member& member : kMode1) collect(member);
  } else {
    for (const Member& member : kMode2) collect(member);
  }
  return MergeDepths(std::move(depths));
}

}  // namespace DEPSET
