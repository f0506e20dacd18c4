#ifndef TJVX_DRAWING_FILLS_H_
#define TJVX_DRAWING_FILLS_H_

#include <bitset>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "drawing/log_layout.h"

// The fills of layer names: a fixed palette of pale colours and a fixed set of hatches.
namespace tjvx::drawing {

// The hatch definitions a Fill's hatch index refers to, the same in every drawing.
std::vector<Hatch> HatchSet();

// Chooses one fill per layer name. A name's fill comes from a hash of the name over the palette
// and hatch set, so a name looks the same in every log; when two names of one log hash to the
// same fill, the later one takes the next free fill, so that within a log each name has its own
// fill while the set lasts.
class FillChooser {
 public:
  // The fill of `name`; `is_new` tells whether the name was seen for the first time.
  Fill For(std::u16string_view name, bool* is_new = nullptr);

  static constexpr int kColours = 12;
  // No hatch, then each HatchKind.
  static constexpr int kHatchChoices = 8;
  static constexpr int kFills = kColours * kHatchChoices;

 private:
  std::unordered_map<std::u16string, int> chosen_;
  std::bitset<kFills> taken_;
};

// `colour` mixed with white in the share `white` (0..1).
Colour Lighten(Colour colour, double white);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_FILLS_H_
