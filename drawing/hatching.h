#ifndef TJVX_DRAWING_HATCHING_H_
#define TJVX_DRAWING_HATCHING_H_

#include <vector>

#include "drawing/log_layout.h"

// The strokes of a hatch over a box, as plain geometry, so a back end draws them with lines and
// circles alone (a renderer of the small SVG profile has no patterns).
namespace tjvx::drawing {

struct HatchSegment {
  double x1, y1, x2, y2;
};
struct HatchCircle {
  double x, y, radius;
};

struct HatchStrokes {
  std::vector<HatchSegment> segments;  // stroked with the hatch's line width
  std::vector<HatchCircle> circles;    // filled for kDots, stroked for kCircles
  bool filled_circles = false;
};

// The strokes of `hatch` inside the box at (x, y) of `width` x `height` on a page: lines clipped to
// the box, and the dots or circles that lie wholly inside it. The lines and dots stand on a grid
// fixed to the page, so the hatch runs on unbroken from one box into the next.
HatchStrokes HatchBox(const Hatch& hatch, double x, double y, double width, double height);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_HATCHING_H_
