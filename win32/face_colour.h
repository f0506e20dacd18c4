#ifndef TJVX_WIN32_FACE_COLOUR_H_
#define TJVX_WIN32_FACE_COLOUR_H_

#include <windows.h>

namespace tjvx::win32 {

// The answer to WM_CTLCOLORSTATIC in a dialog: its labels stand on the dialog's own face colour
// in the usual text colour.
inline INT_PTR FaceColouredLabel(WPARAM wparam) {
  HDC dc = reinterpret_cast<HDC>(wparam);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_FACE_COLOUR_H_
