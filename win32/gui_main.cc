// tjvx-gui.exe: the converter's window on Windows. `--screenshot FILE` saves a picture of the
// window (a 24-bit BMP) as soon as it is shown and ends the program (used for the documentation).

#include <windows.h>
// windows.h first: shellapi.h builds on its types.
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/form1_window.h"

namespace tjvx::win32 {
namespace {

constexpr UINT_PTR kScreenshotTimer = 1;

// Copies what the screen shows of `window`, frame and all, into a bottom-up 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& file) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  GdiFlush();
  const DWORD row = static_cast<DWORD>((width * 3 + 3) & ~3);
  const DWORD image = row * static_cast<DWORD>(height);
  BITMAPFILEHEADER header = {};
  header.bfType = 0x4D42;  // "BM"
  header.bfOffBits = sizeof header + sizeof info.bmiHeader;
  header.bfSize = header.bfOffBits + image;
  bool saved = false;
  if (FILE* out = _wfopen(file.c_str(), L"wb")) {
    saved = fwrite(&header, sizeof header, 1, out) == 1 &&
            fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
            fwrite(bits, image, 1, out) == 1;
    saved = fclose(out) == 0 && saved;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

std::wstring g_screenshot;

void CALLBACK TakeScreenshot(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  const bool saved = SaveWindowPicture(window, g_screenshot);
  PostQuitMessage(saved ? 0 : 1);
}

}  // namespace
}  // namespace tjvx::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
    if (std::wstring(argv[i]) == L"--screenshot") tjvx::win32::g_screenshot = argv[i + 1];
  }
  if (argv != nullptr) LocalFree(argv);

  tjvx::win32::Form1Window form;
  if (!form.Create(instance)) return 1;
  // Without a pattern folder the program ends here, after the start-up check's message.
  if (!form.Form_Load()) return 1;
  ShowWindow(form.hwnd(), show);
  UpdateWindow(form.hwnd());
  if (!tjvx::win32::g_screenshot.empty()) {
    // The window is painted before the picture is taken.
    SetTimer(form.hwnd(), tjvx::win32::kScreenshotTimer, 1500, tjvx::win32::TakeScreenshot);
  }
  return form.Run();
}
