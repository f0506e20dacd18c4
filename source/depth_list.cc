#include "source/depth_list.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
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

// Merges the distinct ascending depths [a, a_end) with the ascending run [b, b_end) into `out`,
// dropping repeats: a depth is written unless it equals the last one written, so the first of
// equal depths stays (-0 and 0 compare equal and are one depth), and on a tie the depth already
// merged comes first, as a stable merge would put it. Returns the end of what was written.
float* MergeRun(const float* a, const float* a_end, const float* b, const float* b_end,
                float* out) {
  float* const begin = out;
  auto append = [&](float value) {
    if (out == begin || out[-1] < value) *out++ = value;
  };
  while (a != a_end && b != b_end) append(*b < *a ? *b++ : *a++);
  while (a != a_end) append(*a++);
  while (b != b_end) append(*b++);
  return out;
}

// The depths ascending, each once. Depths are mostly a few ascending runs, one per member file
// read: up to kMaxRuns runs are merged one after another, dropping repeats as they go, so each
// merge is as long as the distinct depths so far; anything else is sorted.
std::vector<float> SortedDistinct(std::vector<float> depths) {
  constexpr size_t kMaxRuns = 16;
  std::array<size_t, kMaxRuns> run_ends;
  size_t runs = 0;
  for (size_t i = 1; i < depths.size(); ++i) {
    if (depths[i] < depths[i - 1]) {
      run_ends[runs++] = i;
      if (runs == kMaxRuns) {
        std::sort(depths.begin(), depths.end());
        depths.erase(std::unique(depths.begin(), depths.end()), depths.end());
        return depths;
      }
    }
  }
  // The merges go back and forth between two buffers long enough for every depth.
  std::vector<float> distinct(depths.size()), merged(depths.size());
  size_t distinct_size = 0, run_start = 0;
  for (size_t k = 0; k <= runs; ++k) {
    const size_t run_end = k < runs ? run_ends[k] : depths.size();
    const float* const run = depths.data();
    distinct_size = static_cast<size_t>(MergeRun(distinct.data(), distinct.data() + distinct_size,
                                                 run + run_start, run + run_end, merged.data()) -
                                        merged.data());
    distinct.swap(merged);
    run_start = run_end;
  }
  distinct.resize(distinct_size);
  return distinct;
}

// Depths are mostly decimals of up to two places, and for those the shortest text is found without
// std::to_chars: the decimal of the fewest places (none, one, two) that reads back as `value` is
// written into `text`, or false when none does. Below 16384 the single precision numbers lie less
// than 0.001 apart, so no two decimals of up to three places read back as the same number: the
// decimal found is the only one of its places and no other of as few digits exists, which makes it
// the text std::to_chars gives. A decimal reads back as `value` when its digits over its power of
// ten, both exact single precision numbers below 2^24, divide to `value`: the quotient is rounded
// as reading the decimal rounds it.
bool ShortDecimalText(float value, std::u16string& text) {
  constexpr float kPowers[] = {1.0f, 10.0f, 100.0f};
  const float size = std::fabs(value);
  if (!(size < 16384.0f)) return false;
  for (int places = 0; places < 3; ++places) {
    // Exact: the number's 24 bits times a power of ten of 7 bits, and a half, fit a double; the
    // nearest whole number is taken, a half rounded up.
    const auto digits =
        static_cast<unsigned long long>(static_cast<double>(size) * kPowers[places] + 0.5);
    if (static_cast<float>(digits) / kPowers[places] != size) continue;
    char16_t buffer[16];
    char16_t* const end = buffer + std::size(buffer);
    char16_t* p = end;
    unsigned long long rest = digits;
    for (int k = 0; k < places; ++k, rest /= 10) *--p = static_cast<char16_t>(u'0' + rest % 10);
    if (places > 0) *--p = u'.';
    do {
      *--p = static_cast<char16_t>(u'0' + rest % 10);
      rest /= 10;
    } while (rest > 0);
    if (value < 0) *--p = u'-';
    text.assign(p, static_cast<size_t>(end - p));
    return true;
  }
  return false;
}

}  // namespace

std::u16string ShortestText(float value) {
  if (value == 0.0f) return u"0";  // also -0
  if (std::u16string text; ShortDecimalText(value, text)) return text;
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
