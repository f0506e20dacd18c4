#include "drawing/hatching.h"

#include <algorithm>
#include <cmath>

namespace tjvx::drawing {
namespace {

constexpr double kEpsilon = 1e-9;

// Lines x + y = c (rising to the right on a page whose y grows downwards), c on the grid.
void Rising(HatchStrokes& out, double s, double x0, double y0, double x1, double y1) {
  for (double k = std::ceil((x0 + y0) / s - kEpsilon); k * s <= x1 + y1 + kEpsilon; ++k) {
    const double c = k * s;
    const double from = std::max(x0, c - y1), to = std::min(x1, c - y0);
    if (to - from > kEpsilon) out.segments.push_back({from, c - from, to, c - to});
  }
}

// Lines y - x = c (falling to the right), c on the grid.
void Falling(HatchStrokes& out, double s, double x0, double y0, double x1, double y1) {
  for (double k = std::ceil((y0 - x1) / s - kEpsilon); k * s <= y1 - x0 + kEpsilon; ++k) {
    const double c = k * s;
    const double from = std::max(x0, y0 - c), to = std::min(x1, y1 - c);
    if (to - from > kEpsilon) out.segments.push_back({from, from + c, to, to + c});
  }
}

// Centres of the grid's cells, (i + 1/2) s across and down, that leave `radius` inside the box.
void Circles(HatchStrokes& out, double s, double radius, double x0, double y0, double x1,
             double y1) {
  const double first_i = std::ceil((x0 + radius) / s - 0.5 - kEpsilon);
  const double first_j = std::ceil((y0 + radius) / s - 0.5 - kEpsilon);
  for (double j = first_j; (j + 0.5) * s + radius <= y1 + kEpsilon; ++j) {
    for (double i = first_i; (i + 0.5) * s + radius <= x1 + kEpsilon; ++i) {
      out.circles.push_back({(i + 0.5) * s, (j + 0.5) * s, radius});
    }
  }
}

}  // namespace

HatchStrokes HatchBox(const Hatch& hatch, double x, double y, double width, double height) {
  HatchStrokes out;
  const double s = hatch.spacing;
  if (!(s > 0) || width <= 0 || height <= 0) return out;
  const double x1 = x + width, y1 = y + height;
  switch (hatch.kind) {
    case HatchKind::kDiagonal:
      Rising(out, s, x, y, x1, y1);
      break;
    case HatchKind::kBackDiagonal:
      Falling(out, s, x, y, x1, y1);
      break;
    case HatchKind::kCross:
      Rising(out, s, x, y, x1, y1);
      Falling(out, s, x, y, x1, y1);
      break;
    // Lines on the box's edges would only thicken its outline: these stay inside.
    case HatchKind::kHorizontal:
      for (double k = std::floor(y / s + kEpsilon) + 1; k * s < y1 - kEpsilon; ++k) {
        out.segments.push_back({x, k * s, x1, k * s});
      }
      break;
    case HatchKind::kVertical:
      for (double k = std::floor(x / s + kEpsilon) + 1; k * s < x1 - kEpsilon; ++k) {
        out.segments.push_back({k * s, y, k * s, y1});
      }
      break;
    case HatchKind::kDots:
      out.filled_circles = true;
      Circles(out, s, hatch.line_width, x, y, x1, y1);
      break;
    case HatchKind::kCircles:
      Circles(out, s, s * 0.28, x, y, x1, y1);
      break;
  }
  return out;
}

}  // namespace tjvx::drawing
