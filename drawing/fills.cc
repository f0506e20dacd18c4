#include "drawing/fills.h"

#include <cmath>
#include <cstdint>

namespace tjvx::drawing {
namespace {

// Pale colours far enough apart to tell side by side, light enough for black names over them.
constexpr Colour kPalette[FillChooser::kColours] = {
    0xE8C07D, 0xA7C7E7, 0xC5E1A5, 0xF4B6C2, 0xD7CCC8, 0xFFE082,
    0xB39DDB, 0x80CBC4, 0xFFAB91, 0xBCAAA4, 0xE6EE9C, 0x90CAF9,
};

constexpr Colour kHatchColour = 0x303030;

// FNV-1a over the UTF-16 code units: fixed, so a name keeps its fill from build to build.
std::uint32_t NameHash(std::u16string_view name) {
  std::uint32_t hash = 2166136261u;
  for (char16_t c : name) {
    hash = (hash ^ static_cast<std::uint32_t>(c & 0xFF)) * 16777619u;
    hash = (hash ^ static_cast<std::uint32_t>(c >> 8)) * 16777619u;
  }
  return hash;
}

Fill FillOf(int index) {
  return Fill{kPalette[index % FillChooser::kColours], index / FillChooser::kColours - 1};
}

}  // namespace

std::vector<Hatch> HatchSet() {
  return {
      {"hatch-diagonal", HatchKind::kDiagonal, kHatchColour, 1.6, 0.12},
      {"hatch-back-diagonal", HatchKind::kBackDiagonal, kHatchColour, 1.6, 0.12},
      {"hatch-cross", HatchKind::kCross, kHatchColour, 2.0, 0.1},
      {"hatch-horizontal", HatchKind::kHorizontal, kHatchColour, 1.2, 0.12},
      {"hatch-vertical", HatchKind::kVertical, kHatchColour, 1.6, 0.12},
      {"hatch-dots", HatchKind::kDots, kHatchColour, 1.2, 0.3},
      {"hatch-circles", HatchKind::kCircles, kHatchColour, 2.4, 0.12},
  };
}

Fill FillChooser::For(std::u16string_view name, bool* is_new) {
  auto [it, inserted] = chosen_.try_emplace(std::u16string(name), 0);
  if (is_new != nullptr) *is_new = inserted;
  if (inserted) {
    const int hashed = static_cast<int>(NameHash(name) % kFills);
    int index = hashed;
    while (taken_.test(index)) {
      index = (index + 1) % kFills;
      if (index == hashed) break;  // every fill is taken: names share from here on
    }
    taken_.set(index);
    it->second = index;
  }
  return FillOf(it->second);
}

Colour Lighten(Colour colour, double white) {
  auto mix = [&](int shift) {
    const double channel = static_cast<double>((colour >> shift) & 0xFF);
    return static_cast<Colour>(std::lround(channel + (255.0 - channel) * white)) << shift;
  };
  return mix(16) | mix(8) | mix(0);
}

}  // namespace tjvx::drawing
