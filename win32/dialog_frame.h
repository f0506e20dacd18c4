#ifndef TJVX_WIN32_DIALOG_FRAME_H_
#define TJVX_WIN32_DIALOG_FRAME_H_

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

// Shows a modal, resizable dialog of `height` dialog units made from a template without controls:
// `procedure` makes them at the window's DPI when it is given `parameter` in WM_INITDIALOG.
inline void RunDialogWithoutTemplateControls(HWND owner, short height, DLGPROC procedure,
                                             LPARAM parameter) {
  struct Template {
    DLGTEMPLATE header;
    WORD menu, window_class, title;
  };
  alignas(DWORD) Template dialog = {};
  dialog.header.style =
      WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_MODALFRAME | WS_CLIPCHILDREN;
  dialog.header.cx = 400;
  dialog.header.cy = height;
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.header, owner, procedure, parameter);
}

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_DIALOG_FRAME_H_
