// tjvx-gui.exe: the converter's window on Windows. For the documentation's pictures, each of
// these saves a 24-bit BMP as soon as what it shows is on the screen and ends the program:
//   --screenshot FILE          the window;
//   --report-screenshot FILE   the check's report of the source folder (the 点検 button);
//   --batch-screenshot FILE    the site dialog over the source folder (the 一括変換... button)
//                              once its folders are checked and converted into the root of
//                              drive O: (the first folder with an error ticked too), with the
//                              first refused folder chosen.

#include <windows.h>
// windows.h first: shellapi.h, objbase.h and commctrl.h build on its types.
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "win32/main_window.h"

namespace tjvx::win32 {
namespace {

constexpr UINT_PTR kScreenshotTimer = 1;
constexpr UINT_PTR kReportTimer = 2;
constexpr UINT_PTR kBatchTimer = 3;
constexpr UINT kSettle = 1500;

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
bool g_report = false;
bool g_batch = false;
form::SiteBatchForm* g_batch_logic = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring(name) == L"#32770" && IsWindowVisible(window) != FALSE) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

// Runs in the report dialog's own message loop: takes the dialog and closes it.
void CALLBACK TakeReport(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  const bool saved = dialog != nullptr && SaveWindowPicture(dialog, g_screenshot);
  if (dialog != nullptr) EndDialog(dialog, IDCANCEL);
  PostQuitMessage(saved ? 0 : 1);
}

// Runs in the site dialog's own message loop and drives it as a user would: once the checks are
// in, the first unticked folder (one with an error) is ticked as well and 変換 is pressed; once
// the conversion is done the first refused folder is chosen, and the dialog is taken and closed.
void CALLBACK DriveBatch(HWND window, UINT, UINT_PTR timer, DWORD) {
  static int step = 0;
  static int waited = 0;
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  if (dialog == nullptr || g_batch_logic == nullptr || g_batch_logic->busy()) return;
  HWND list = GetDlgItem(dialog, kBatchList);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  auto set_state = [list](int row, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  };
  if (step == 0) {
    for (int row = 0; row < rows; ++row) {
      const UINT state =
          static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
      if (state == INDEXTOSTATEIMAGEMASK(1)) {
        set_state(row, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
        break;
      }
    }
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kBatchConvert, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kBatchConvert)));
    step = 1;
  } else if (step == 1) {
    const int outcome = static_cast<int>(form::BatchColumn::kOutcome);
    for (int row = 0; row < rows; ++row) {
      wchar_t text[64] = {};
      LVITEMW item = {};
      item.iSubItem = outcome;
      item.pszText = text;
      item.cchTextMax = 64;
      SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
      if (std::wstring(text) == L"拒否") {
        set_state(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        break;
      }
    }
    SetFocus(list);
    step = 2;
  } else if (++waited * 200 >= static_cast<int>(kSettle)) {
    KillTimer(window, timer);
    const bool saved = SaveWindowPicture(dialog, g_screenshot);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PostQuitMessage(saved ? 0 : 1);
  }
}

void CALLBACK TakeScreenshot(HWND window, UINT, UINT_PTR timer, DWORD) {
  KillTimer(window, timer);
  if (g_batch) {
    // The dialog holds the loop from its first message on; the timer drives it from inside.
    SetTimer(window, kBatchTimer, 200, DriveBatch);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kBatchButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, kBatchButton)));
    return;
  }
  if (g_report) {
    // The check runs and its dialog holds the loop; the picture is taken from inside it.
    SetTimer(window, kReportTimer, kSettle, TakeReport);
    HWND check_button = GetDlgItem(window, kCheckButton);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kCheckButton, BN_CLICKED),
                 reinterpret_cast<LPARAM>(check_button));
    return;
  }
  const bool saved = SaveWindowPicture(window, g_screenshot);
  PostQuitMessage(saved ? 0 : 1);
}

}  // namespace
}  // namespace tjvx::win32

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
    const std::wstring option = argv[i];
    if (option == L"--screenshot" || option == L"--report-screenshot" ||
        option == L"--batch-screenshot") {
      tjvx::win32::g_screenshot = argv[i + 1];
      tjvx::win32::g_report = option == L"--report-screenshot";
      tjvx::win32::g_batch = option == L"--batch-screenshot";
    }
  }
  if (argv != nullptr) LocalFree(argv);
  // The shell's open command and the save dialog may use COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

  tjvx::win32::MainWindow form;
  if (!form.Create(instance)) return 1;
  // Without a pattern folder the program ends here, after the start-up check's message.
  if (!form.Start()) return 1;
  if (tjvx::win32::g_batch) {
    form.logic().SetFolder(tjvx::form::Side::kDestination, u"O:\\");
    form.SetBatchDialogHook(
        [](tjvx::form::SiteBatchForm& logic) { tjvx::win32::g_batch_logic = &logic; });
  }
  ShowWindow(form.hwnd(), show);
  UpdateWindow(form.hwnd());
  if (!tjvx::win32::g_screenshot.empty()) {
    // The window is painted before the picture is taken.
    SetTimer(form.hwnd(), tjvx::win32::kScreenshotTimer, tjvx::win32::kSettle,
             tjvx::win32::TakeScreenshot);
  }
  const int code = form.Run();
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
