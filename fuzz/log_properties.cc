#include "fuzz/log_properties.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>
#include <string_view>

#include "base/utf.h"
#include "drawing/log_records.h"

namespace tjvx::fuzz {
namespace {

constexpr double kSlack = 1e-4;  // mm

// A plain decimal number as the converter writes them ("12", "-1", "3.75"), else none.
std::optional<double> PlainNumber(std::u16string_view text) {
  if (text.empty() || text.size() > 32) return std::nullopt;
  const std::string ascii = base::ToUtf8(text);
  char* end = nullptr;
  const double value = std::strtod(ascii.c_str(), &end);
  if (end != ascii.c_str() + ascii.size() || !std::isfinite(value)) return std::nullopt;
  // A decimal exponent ("30.e0") is a number as the log reads numbers; hexadecimal forms, inf and
  // nan are not.
  if (ascii.find_first_of("xXpPnN") != std::string::npos) return std::nullopt;
  return value;
}

std::optional<double> DepthOf(std::u16string_view text) {
  const std::optional<double> depth = PlainNumber(text);
  if (!depth || *depth < 0 || *depth > drawing::kMaxDepth) return std::nullopt;
  return static_cast<float>(*depth);
}

// Whether a 4000 record must have a point: a depth, a counted interval, a count of blows or
// "-1" in each counted interval and "-1" in every other.
bool HasPoint(const converted::Record& record) {
  if (!record.Drawable() || record.values.size() != 8) return false;
  const converted::Values& v = record.values;
  if (v[0] == u"-1" || !DepthOf(v[0])) return false;
  bool counted = false;
  for (int i = 0; i < 3; ++i) {
    const std::optional<double> length = PlainNumber(v[2 + i]);
    const bool counts = length && *length > 0 && *length <= 1e9;
    const std::u16string_view reading = v[5 + i];
    if (reading == u"-1") {
      counted = counted || counts;
      continue;
    }
    const std::optional<double> blows = PlainNumber(reading);
    if (!counts || !blows || *blows < 0 || *blows > 1e9 || *blows != std::floor(*blows)) {
      return false;
    }
    counted = true;
  }
  return counted;
}

}  // namespace

std::vector<std::string> LogLayoutFaults(const converted::ConvertedFile& file,
                                         const drawing::Drawing& drawing) {
  std::vector<std::string> faults;
  const double k = drawing.mm_per_metre;
  // The tops and bottoms an interval of notes may have, in mm.
  std::set<float> depths = {0};
  std::vector<double> point_depths;
  for (const converted::Record& record : file.records) {
    if (record.code == 2001 && record.Drawable() && !record.values.empty()) {
      if (const std::optional<double> depth = DepthOf(record.values[0])) {
        depths.insert(static_cast<float>(*depth * k));
      }
    }
    if (record.code == 4000 && HasPoint(record)) point_depths.push_back(*DepthOf(record.values[0]));
  }
  auto is_depth = [&](double y) {
    const auto at = depths.lower_bound(static_cast<float>(y - kSlack));
    return at != depths.end() && *at <= y + kSlack;
  };
  auto is_page_top = [&](double y) {
    if (drawing.page_body <= 0) return false;
    const double pages = y / drawing.page_body;
    return std::fabs(pages - std::round(pages)) * drawing.page_body < kSlack;
  };

  const drawing::NoteBlockPlace* above = nullptr;
  for (size_t i = 0; i < drawing.note_blocks.size(); ++i) {
    const drawing::NoteBlockPlace& block = drawing.note_blocks[i];
    const std::string name = "note block " + std::to_string(i + 1);
    if (!is_depth(block.interval_top) || !is_depth(block.interval_bottom)) {
      faults.push_back(name + " describes no interval between two 2001 depths");
    }
    if (!block.drawn) continue;
    if (block.top < block.interval_top - kSlack) {
      faults.push_back(name + " starts above its interval's top");
    }
    if (block.bottom > drawing.log_bottom + kSlack) {
      faults.push_back(name + " ends below the log's bottom");
    }
    const double below_above =
        above == nullptr ? block.interval_top : above->bottom + drawing::kNoteBlockGap;
    if (above != nullptr && block.top < above->bottom - kSlack) {
      faults.push_back(name + " starts over the block above");
    }
    const bool at_top = std::fabs(block.top - block.interval_top) < kSlack;
    const bool under_above = block.leader && std::fabs(block.top - below_above) < kSlack;
    if (!at_top && !under_above && !is_page_top(block.top)) {
      faults.push_back(name + " starts neither at its interval's top nor below the block above");
    }
    above = &block;
  }

  size_t points = 0;
  std::vector<double> point_ys;
  for (const drawing::Page& page : drawing.pages) {
    // No line of the notes below the log's bottom on this page.
    const double bottom = drawing::DepthY(drawing, page, drawing.deepest);
    for (const drawing::Text& text : page.texts) {
      if (text.region != drawing::Region::kNotes) continue;
      const double line_bottom = text.y + (1.25 - 0.98) * text.size;
      if (line_bottom > bottom + kSlack) {
        faults.push_back("a note line ends below the log's bottom: " +
                         base::ToUtf8(drawing.TextOf(text)));
      }
    }
    for (const drawing::Mark& mark : page.marks) {
      if (mark.region != drawing::Region::kGraph) continue;
      ++points;
      point_ys.push_back(mark.y - drawing.log_top + page.top_depth * k);
    }
  }
  if (points != point_depths.size()) {
    faults.push_back(std::to_string(point_depths.size()) + " tests with a counted interval, " +
                     std::to_string(points) + " points");
  } else {
    std::sort(point_depths.begin(), point_depths.end());
    std::sort(point_ys.begin(), point_ys.end());
    for (size_t i = 0; i < points; ++i) {
      if (std::fabs(point_ys[i] - point_depths[i] * k) > 1e-3) {
        faults.push_back("a point stands off its test's depth");
        break;
      }
    }
  }
  return faults;
}

}  // namespace tjvx::fuzz
