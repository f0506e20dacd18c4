#include "source/depth_list.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>

#include "base/utf.h"
#include "source/source_files.h"
#include "text/numbers.h"

namespace tjvx::source {
namespace {

struct Member {
  FileId file;
  size_t fields;
  size_t depth_field;  // counted from 1
};

constexpr Member kMode1[] = {
    {FileId::kX3, 7, 2},  {FileId::kR31, 6, 2}, {FileId::kR32, 6, 2},
    {FileId::kR33, 6, 2}, {FileId::kR34, 6, 2}, {FileId::kR35, 6, 2},
    {FileId::kR30, 6, 2}, {FileId::kX11, 5, 2}, {FileId::kX1, 4, 2},
};
constexpr Member kMode2[] = {
    {FileId::kN8, 3, 3}, {FileId::kG71, 5, 2}, {FileId::kG73, 4, 2}, {FileId::kG81, 5, 2}};

// The most fields a member's record has.
constexpr size_t kMostFields = 7;
static_assert(std::ranges::all_of(kMode1, [](const Member& m) { return m.fields <= kMostFields; }));
static_assert(std::ranges::all_of(kMode2, [](const Member& m) { return m.fields <= kMostFields; }));

// Appends `value` unless it equals the last value (the input comes in ascending order), so the
// first of equal depths stays; -0 and 0 compare equal and are one depth.
void AppendNew(std::vector<float>& out, float value) {
  if (out.empty() || out.back() < value) out.push_back(value);
}

// The depths ascending, each once. Depths are mostly a few ascending runs, one per member file
// read: up to kMaxRuns runs are merged one after another, dropping repeats as they go, so each
// merge is as long as the distinct depths so far; anything else is sorted.
std::vector<float> SortedDistinct(std::vector<float> depths) {
  constexpr size_t kMaxRuns = 16;
  std::vector<size_t> run_ends;
  for (size_t i = 1; i < depths.size() && run_ends.size() < kMaxRuns; ++i) {
    if (depths[i] < depths[i - 1]) run_ends.push_back(i);
  }
  if (run_ends.size() == kMaxRuns) {
    std::sort(depths.begin(), depths.end());
    depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
    return depths;
  }
  run_ends.push_back(depths.size());
  std::vector<float> distinct, merged;
  size_t run_start = 0;
  for (size_t run_end : run_ends) {
    merged.clear();
    merged.reserve(distinct.size() + (run_end - run_start));
    size_t i = 0, j = run_start;
    // On a tie the depth already merged comes first, as a stable merge would put it.
    while (i < distinct.size() && j < run_end) {
      AppendNew(merged, depths[j] < distinct[i] ? depths[j++] : distinct[i++]);
    }
    while (i < distinct.size()) AppendNew(merged, distinct[i++]);
    while (j < run_end) AppendNew(merged, depths[j++]);
    distinct.swap(merged);
    run_start = run_end;
  }
  return distinct;
}

}  // namespace

std::u16string ShortestText(float value) {
  if (value == 0.0f) return u"0";  // also -0
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return base::FromAscii(std::string_view(buffer, ec == std::errc() ? end - buffer : 0));
}

std::vector<DepthEntry> MergeDepths(std::vector<float> unsorted) {
  const std::vector<float> depths = SortedDistinct(std::move(unsorted));
  std::vector<DepthEntry> list;
  list.reserve(depths.size());
  for (float value : depths) {
    list.push_back({static_cast<int>(list.size()) + 1, value, ShortestText(value)});
  }
  return list;
}

bool DepthListReads(int mode, FileId file) {
  const std::span<const Member> members = mode == 1 ? std::span<const Member>(kMode1) : kMode2;
  return std::ranges::any_of(members, [&](const Member& m) { return m.file == file; });
}

std::vector<DepthEntry> CollectDepths(std::u16string_view folder, int mode) {
  std::optional<FieldReader> reader;
  return CollectDepths(
      [&](FileId file) {
        reader = OpenSourceFile(folder, file);
        return reader ? &*reader : nullptr;
      },
      mode);
}

std::vector<DepthEntry> CollectDepths(const std::function<FieldReader*(FileId file)>& open,
                                      int mode,
                                      const std::function<void(const base::Error&)>& on_error) {
  std::vector<float> depths;
  auto read = [&](const Member& member) {
    FieldReader* reader = open(member.file);
    if (reader == nullptr) return;
    std::array<std::u16string_view, kMostFields> record;
    const std::span<std::u16string_view> fields(record.data(), member.fields);
    while (!reader->AtEnd()) {
      // Only the fields up to the depth are taken; the rest are passed over.
      reader->ReadRecord(fields, member.depth_field);
      depths.push_back(text::NumericValue(record[member.depth_field - 1]));
    }
  };
  auto collect = [&](const Member& member) {
    if (!on_error) return read(member);
    try {
      read(member);
    } catch (const base::Error& error) {
      on_error(error);
    }
  };
  if (mode == 1) {
    for (const Member& member : kMode1) collect(member);
  } else {
    for (const Member& member : kMode2) collect(member);
  }
  return MergeDepths(std::move(depths));
}

}  // namespace tjvx::source
