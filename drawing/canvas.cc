#include "drawing/canvas.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

namespace tjvx::drawing {

bool IsAmong(const Drawing& drawing, std::u16string_view piece) {
  const std::less_equal<const char16_t*> not_after;
  const std::u16string& all = drawing.chars;
  return !piece.empty() && not_after(all.data(), piece.data()) &&
         not_after(piece.data() + piece.size(), all.data() + all.size());
}

Text KeptText(Drawing& drawing, Region region, double x, double y, double size, Anchor anchor,
              std::u16string_view chars) {
  size_t begin = 0;
  if (IsAmong(drawing, chars)) {
    begin = static_cast<size_t>(chars.data() - drawing.chars.data());
  } else {
    begin = drawing.chars.size();
    drawing.chars.append(chars);
  }
  if (begin + chars.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw std::length_error("the texts of the drawing are too long");
  }
  return Text{region,
              x,
              y,
              size,
              anchor,
              kBlack,
              static_cast<std::uint32_t>(begin),
              static_cast<std::uint32_t>(chars.size())};
}

}  // namespace tjvx::drawing
