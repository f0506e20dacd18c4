#ifndef TJVX_FORM_LOOK_H_
#define TJVX_FORM_LOOK_H_

#include <array>
#include <cstdint>

// The colours and sizes both windows draw with, so the Qt window and the Win32 window look alike.
// Sizes are pixels at 96 dpi; a window scales them to its own.
namespace tjvx::form {

// A colour of the screen.
struct Rgb {
  std::uint8_t red, green, blue;
  bool operator==(const Rgb&) const = default;
};

// The warnings line under the message frame: a dark orange that reads as a caution on the
// window's face colour.
inline constexpr Rgb kWarningsLineColour{0x9c, 0x3d, 0x00};

// The indentation of one level of a folder list.
inline constexpr int kFolderIndent = 14;

// How a layer of the decoration is filled over its ground. Each window draws the nearest pattern
// its toolkit has: the Win32 window's hatch brushes have no dots, and draw diagonals for them.
enum class LayerFill { kSolid, kSparseDots, kHorizontalLines, kDots, kCrossHatch };

// One layer of the decoration's column, from the top.
struct DecorationLayer {
  int height;
  Rgb colour;  // of its pattern
  // The lighter ground under its pattern. (The Qt window lightens `colour` by 30 % instead,
  // which gives other grounds to the second, fourth and fifth layers; its picture is kept so.)
  Rgb ground;
  LayerFill fill;
};

// The decoration at the left of the buttons: on a light ground, a borehole's column of coloured
// layers cut by the borehole, beside a depth scale with a tick at every layer, and the drilling
// rig shrunk to a mark at the column's right. Horizontal places of the rig are counted from the
// column's right edge; it stands on the column's bottom.
struct Decoration {
  int width, height;
  Rgb ground;
  int column_left, column_top, column_width;
  std::array<DecorationLayer, 5> layers;
  Rgb outline;  // of the column, and the scale's line and ticks
  int borehole_half_width;
  Rgb borehole;
  int scale_x, tick_left, tick_right;
  Rgb rig;
  int rig_base_left, rig_base_right, rig_apex, rig_apex_top;
};

inline constexpr Decoration kDecoration = {
    .width = 150,
    .height = 64,
    .ground = {0xf4, 0xf1, 0xe8},
    .column_left = 36,
    .column_top = 4,
    .column_width = 70,
    .layers = {{
        {8, {0x8d, 0x6e, 0x4a}, {0xb7, 0x8f, 0x60}, LayerFill::kSolid},
        {14, {0xd9, 0xb8, 0x6c}, {0xf5, 0xef, 0x8c}, LayerFill::kSparseDots},
        {10, {0x9a, 0xa7, 0x8f}, {0xc8, 0xd9, 0xba}, LayerFill::kHorizontalLines},
        {12, {0xc9, 0x9b, 0x6b}, {0xff, 0xc9, 0x8b}, LayerFill::kDots},
        {12, {0x7a, 0x7d, 0x85}, {0x9e, 0xa2, 0xad}, LayerFill::kCrossHatch},
    }},
    .outline = {0x33, 0x33, 0x33},
    .borehole_half_width = 3,
    .borehole = {0x20, 0x30, 0x50},
    .scale_x = 20,
    .tick_left = 16,
    .tick_right = 24,
    .rig = {0xc0, 0x39, 0x2b},
    .rig_base_left = 12,
    .rig_base_right = 30,
    .rig_apex = 21,
    .rig_apex_top = 6,
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_LOOK_H_
