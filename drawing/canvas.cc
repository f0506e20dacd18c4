#include "drawing/canvas.h"

#include <algorithm>
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

FittedLines& Canvas::FitTexts(std::span<const std::u16string_view> texts, double width,
                              double height, double size, double min_size) {
  FitText(texts, width, height, size, min_size, fitted_);
  if (fitted_.cut) ++drawing_.omitted.cut_texts;
  MakeRoomFor(fitted_.lines);
  return fitted_;
}

void Canvas::MakeRoomFor(std::vector<std::u16string_view>& lines) {
  std::u16string& chars = drawing_.chars;
  size_t added = 0;
  for (const std::u16string_view line : lines) {
    if (!IsAmong(drawing_, line)) added += line.size();
  }
  if (chars.capacity() - chars.size() >= added) return;
  constexpr size_t kNotAmong = std::numeric_limits<size_t>::max();
  line_places_.clear();
  for (const std::u16string_view line : lines) {
    line_places_.push_back(IsAmong(drawing_, line) ? static_cast<size_t>(line.data() - chars.data())
                                                   : kNotAmong);
  }
  chars.reserve(std::max(2 * chars.capacity(), chars.size() + added));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (line_places_[i] != kNotAmong) {
      lines[i] = std::u16string_view(chars).substr(line_places_[i], lines[i].size());
    }
  }
}

}  // namespace tjvx::drawing
