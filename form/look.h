#ifndef TJVX_FORM_LOOK_H_
#define TJVX_FORM_LOOK_H_

#include <cstdint>

// The colours and sizes both windows draw with, so the Qt window and the Win32 window look alike.
namespace tjvx::form {

// A colour of the screen.
struct Rgb {
  std::uint8_t red, green, blue;
  bool operator==(const Rgb&) const = default;
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_LOOK_H_
