#include "convert/tests_and_merged.h"

#include <unordered_map>
#include <vector>

#include "common/text.h"
#include "convert/values.h"
#include "source/depset.h"
#include "source/fcopysub.h"

namespace tjvx {
namespace {

using FCOPYSUB::DepthText;

// -0 and 0 are one depth.
float DepthKey(float depth) { return depth == 0.0f ? 0.0f : depth; }

// The values one member gives a 5000 line, joined by blanks.
std::u16string MemberValues(size_t member, const std::vector<std::u16string_view>& f) {
  auto value = [](std::u16string_view v) {
    return v.empty() ? std::u16string(u"@") : std::u16string(v);
  };
  switch (member) {
    case 0:  // N8.TXT: the date pair
      return f[1].empty() ? u"-1 -1" : DatePart(f[1], 6) + u" " + DatePart(f[1], 9);
    case 1:  // G71.TXT
      return value(f[4]);
    case 2:  // G73.TXT
      return value(f[2]) + u" " + value(f[3]);
    default:  // G81.TXT: A, B, then the fixed "@", then C
      return value(f[2]) + u" " + value(f[3]) + u" @ " + value(f[4]);
  }
}

struct MemberLayout {
  size_t fields;
  size_t depth_field;  // counted from 0
  std::u16string_view defaults;
};

constexpr MemberLayout kMembers[] = {
    {3, 2, u"-1 -1"}, {5, 1, u"@"}, {4, 1, u"@ @"}, {5, 1, u"@ @ @ @"}};

}  // namespace

std::u16string EndDepth(std::u16string_view start_depth,
                        const std::array<std::u16string_view, 3>& lengths) {
  // Each quotient and each partial sum is a single precision number.
  float end = 0.0f;
  for (std::u16string_view length : lengths) end = end + NumericValue(length) / 100.0f;
  end = end + NumericValue(start_depth);
  return DepthText(SingleToText(end));
}

void WriteRecords4000(FieldReader& x5, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!x5.AtEnd()) {
    x5.ReadRecord(11, f);
    const std::u16string start = DepthText(f[1]);
    std::u16string line = u"4000 " + start + u" " + EndDepth(start, {f[6], f[8], f[10]});
    for (size_t i : {6, 8, 10}) line += u" " + NumberValue(f[i]);
    for (size_t i : {5, 7, 9}) {
      // A negative reading counts as none.
      line += u" " + NumberValue(NumericValue(f[i]) < 0.0f ? std::u16string_view(u"0") : f[i]);
    }
    out.Line(line);
  }
}

void WriteRecords5000(MergedMembers& members, LineSink& out) {
  std::array<std::unordered_map<float, std::u16string, FloatKeyHash>, 4> values;
  std::vector<float> depths;
  std::vector<std::u16string_view> f;
  for (size_t m = 0; m < members.size(); ++m) {
    if (!members[m]) continue;
    FieldReader& reader = *members[m];
    while (!reader.AtEnd()) {
      reader.ReadRecord(kMembers[m].fields, f);
      const float depth = DepthKey(NumericValue(f[kMembers[m].depth_field]));
      depths.push_back(depth);
      // The first record at a depth counts.
      if (!values[m].contains(depth)) values[m].emplace(depth, MemberValues(m, f));
    }
  }
  for (const DEPSET::DepthEntry& entry : DEPSET::MergeDepths(std::move(depths))) {
    std::u16string line = u"5000 " + DepthText(entry.text);
    for (size_t m = 0; m < members.size(); ++m) {
      auto it = values[m].find(DepthKey(entry.value));
      line += u" ";
      line += it != values[m].end() ? it->second : std::u16string(kMembers[m].defaults);
    }
    out.Line(line);
  }
}

void WriteRecords5010(FieldReader& g72, PatternTables& tables, LineSink& out) {
  std::vector<std::u16string_view> f;
  while (!g72.AtEnd()) {
    g72.ReadRecord(8, f);
    std::u16string first, second;
    if (!f[3].empty()) {
      if (auto name = tables.Get(TableId::kL18).First(NumericValue(f[3]))) first = *name;
    }
    if (!f[5].empty()) {
      if (auto name = tables.Get(TableId::kL18B).First(NumericValue(f[5]))) second = *name;
    }
    std::u16string names = !first.empty() && !second.empty() ? ToFullWidth(first + u"／" + second)
                           : !first.empty()                  ? ToFullWidth(first)
                           : !second.empty()                 ? ToFullWidth(second)
                                                             : u"@";
    const std::u16string value = f[2].empty() ? u"-1" : std::u16string(TrimLeft(f[2]));
    const std::u16string text = f[7].empty() ? u"@" : std::u16string(TrimLeft(f[7]));
    out.Line(u"5010 " + DepthText(f[1]) + u" " + value + u" " + text + u" " +
             std::u16string(TrimLeft(names)));
  }
}

}  // namespace tjvx
