#include "win32/main_window.h"

#include <commctrl.h>

#include <algorithm>

#include "base/message_host.h"
#include "convert/run.h"
#include "form/file_names.h"
#include "form/look.h"
#include "platform/help.h"
#include "win32/text.h"

namespace tjvx::win32 {
namespace {

constexpr wchar_t kClassName[] = L"tjvx.MainWindow";
constexpr int kIconId = 1;

// Where each control stands at 96 dpi: x, y, width, height. A drop-down list's height is that of
// its open list.
struct Place {
  int id;
  int x, y, width, height;
};
constexpr Place kPlaces[] = {
    {kSourceFrame, 10, 8, 285, 318},
    {kSourceDriveList, 22, 32, 261, 240},
    {kSourceFolderList, 22, 62, 261, 190},
    {kSourceLabel, 22, 260, 261, 18},
    {kSourceFolderBox, 22, 280, 261, 24},
    {kDestinationFrame, 305, 8, 285, 318},
    {kDestinationDriveList, 317, 32, 261, 240},
    {kDestinationFolderList, 317, 62, 261, 190},
    {kDestinationLabel, 317, 260, 261, 18},
    {kDestinationBox, 317, 280, 261, 24},
    {kMessageFrame, 10, 332, 580, 52},
    {kStatusLine, 22, 354, 556, 22},
    {kWarningsLine, 22, 390, 568, 20},
    {kDecoration, 10, 418, 150, 64},
    {kConvertButton, 182, 434, 96, 32},
    {kCheckButton, 286, 434, 96, 32},
    {kShowLogButton, 390, 434, 96, 32},
    {kCloseButton, 494, 434, 96, 32},
};
constexpr int kClientWidth = 600;
constexpr int kClientHeight = 492;

COLORREF Colour(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// The message box's buttons and icon.
UINT BoxType(base::MessageStyle style) {
  const UINT buttons = style.buttons() == base::MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  switch (style.icon()) {
    case base::MessageIcon::kNone:
      break;
    case base::MessageIcon::kStop:
      return buttons | MB_ICONHAND;
    case base::MessageIcon::kQuestion:
      return buttons | MB_ICONQUESTION;
    case base::MessageIcon::kExclamation:
      return buttons | MB_ICONEXCLAMATION;
    case base::MessageIcon::kInformation:
      return buttons | MB_ICONASTERISK;
  }
  return buttons;
}

// The layer's pattern as a hatch brush's style; -1: a solid brush.
int Hatch(form::LayerFill fill) {
  switch (fill) {
    case form::LayerFill::kSolid:
      break;
    case form::LayerFill::kSparseDots:
      return HS_BDIAGONAL;
    case form::LayerFill::kHorizontalLines:
      return HS_HORIZONTAL;
    case form::LayerFill::kDots:
      return HS_FDIAGONAL;
    case form::LayerFill::kCrossHatch:
      return HS_DIAGCROSS;
  }
  return -1;
}

// Functions of Windows 10 1607 and later, looked up at run time so that the program still starts
// where they are missing (then at the system's DPI).
template <typename Function>
Function User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 == nullptr
             ? nullptr
             : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT WindowDpi(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (get_dpi != nullptr && window != nullptr) {
    if (UINT dpi = get_dpi(window); dpi != 0) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

// The system's message font (Yu Gothic UI or Meiryo UI on Japanese Windows) at `dpi`.
HFONT MessageFont(UINT dpi) {
  using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  static const auto for_dpi = User32Function<ForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW metrics = {};
  metrics.cbSize = sizeof metrics;
  if (for_dpi != nullptr &&
      for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi) != FALSE) {
    return CreateFontIndirectW(&metrics.lfMessageFont);
  }
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) == FALSE) {
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }
  // The metrics are at the system's DPI; the window may stand on a monitor of another.
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi),
                                          static_cast<int>(WindowDpi(nullptr)));
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

RECT WindowRectFor(int client_width, int client_height, DWORD style, UINT dpi) {
  RECT rect = {0, 0, client_width, client_height};
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjust == nullptr || adjust(&rect, style, FALSE, 0, dpi) == FALSE) {
    AdjustWindowRectEx(&rect, style, FALSE, 0);
  }
  return rect;
}

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// A small folder drawn at `left`, `top` in a box of `size` pixels: closed, or open with its
// front flap tilted.
void DrawFolder(HDC dc, int left, int top, int size, bool open) {
  const int w = size;
  const int h = size * 3 / 4;
  const int tab = size / 3;
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x9a, 0x6b, 0x12));
  HBRUSH back = CreateSolidBrush(RGB(0xe8, 0xb3, 0x3c));
  HBRUSH front = CreateSolidBrush(RGB(0xf8, 0xd7, 0x75));
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, back);
  const int y = top + (size - h) / 2;
  POINT body[] = {{left, y},
                  {left + tab, y},
                  {left + tab + 2, y + 2},
                  {left + w - 1, y + 2},
                  {left + w - 1, y + h},
                  {left, y + h}};
  Polygon(dc, body, 6);
  SelectObject(dc, front);
  if (open) {
    POINT flap[] = {
        {left + 3, y + h / 3}, {left + w, y + h / 3}, {left + w - 3, y + h}, {left, y + h}};
    Polygon(dc, flap, 4);
  } else {
    Rectangle(dc, left, y + h / 3, left + w, y + h + 1);
  }
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(front);
  DeleteObject(back);
  DeleteObject(pen);
}

}  // namespace

MainWindow::MainWindow() : logic_(*this) {}

MainWindow::~MainWindow() {
  SetPointer(convert::kPointerDefault);
  if (hwnd_ != nullptr) {
    quit_on_close_ = false;
    DestroyWindow(hwnd_);
  }
  if (font_ != nullptr) DeleteObject(font_);
}

bool MainWindow::Create(HINSTANCE instance) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId),
                                                       IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), 0));
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  if (RegisterClassExW(&window_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }

  dpi_ = WindowDpi(nullptr);
  const RECT rect = WindowRectFor(Scale(kClientWidth), Scale(kClientHeight), kWindowStyle, dpi_);
  const std::wstring caption = Wide(form::kWindowCaption);
  hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), kWindowStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr,
                          nullptr, instance, this);
  if (hwnd_ == nullptr) return false;
  CreateControls();
  // On a monitor of another DPI than the system's the window is made at the monitor's.
  dpi_ = WindowDpi(hwnd_);
  const RECT sized = WindowRectFor(Scale(kClientWidth), Scale(kClientHeight), kWindowStyle, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, sized.right - sized.left, sized.bottom - sized.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ApplyDpi();
  logic_.FillLists();
  return true;
}

void MainWindow::CreateControls() {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
  auto make = [&](const wchar_t* window_class, std::u16string_view caption, DWORD style, int id) {
    const std::wstring text = Wide(caption);
    CreateWindowExW(0, window_class, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                    hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  const DWORD group = BS_GROUPBOX;
  const DWORD drive_list = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
  const DWORD folder_list = LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
  const DWORD path_box = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  // Created in the order of the tab key.
  make(L"BUTTON", form::kSourceFrameCaption, group, kSourceFrame);
  make(L"COMBOBOX", u"", drive_list, kSourceDriveList);
  make(L"LISTBOX", u"", folder_list, kSourceFolderList);
  make(L"STATIC", form::kSourceLabelCaption, SS_LEFT, kSourceLabel);
  make(L"EDIT", u"", path_box, kSourceFolderBox);
  make(L"BUTTON", form::kDestinationFrameCaption, group, kDestinationFrame);
  make(L"COMBOBOX", u"", drive_list, kDestinationDriveList);
  make(L"LISTBOX", u"", folder_list, kDestinationFolderList);
  make(L"STATIC", form::kDestinationLabelCaption, SS_LEFT, kDestinationLabel);
  make(L"EDIT", u"", path_box, kDestinationBox);
  make(L"BUTTON", form::kMessageFrameCaption, group, kMessageFrame);
  make(L"STATIC", u"", SS_LEFT | SS_NOPREFIX, kStatusLine);
  make(L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kWarningsLine);
  make(L"STATIC", u"", SS_OWNERDRAW, kDecoration);
  // The buttons in the order they stand: run, check, log, close.
  make(L"BUTTON", form::kConvertCaption, BS_PUSHBUTTON | WS_TABSTOP, kConvertButton);
  make(L"BUTTON", form::kCheckCaption, BS_PUSHBUTTON | WS_TABSTOP, kCheckButton);
  make(L"BUTTON", form::kShowLogCaption, BS_PUSHBUTTON | WS_TABSTOP, kShowLogButton);
  make(L"BUTTON", form::kCloseCaption, BS_PUSHBUTTON | WS_TABSTOP, kCloseButton);
  // Enter in a folder list opens the entry, as a double-click does.
  for (int id : {kSourceFolderList, kDestinationFolderList})
    SetWindowSubclass(Control(id), FolderListProc, 1, 0);
  for (int id : {kSourceFrame, kDestinationFrame, kMessageFrame})
    SetWindowSubclass(Control(id), FrameProc, 2, 0);
}

int MainWindow::Scale(int pixels_at_96) const {
  return MulDiv(pixels_at_96, static_cast<int>(dpi_), 96);
}

void MainWindow::ApplyDpi() {
  HFONT font = MessageFont(dpi_);
  for (const Place& place : kPlaces) {
    HWND control = Control(place.id);
    SetWindowPos(control, nullptr, Scale(place.x), Scale(place.y), Scale(place.width),
                 Scale(place.height), SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  // A folder list entry holds the folder mark and a line of text.
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  const int item_height = std::max<int>(metrics.tmHeight + Scale(2), Scale(18));
  for (int id : {kSourceFolderList, kDestinationFolderList})
    SendMessageW(Control(id), LB_SETITEMHEIGHT, 0, item_height);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

bool MainWindow::Start() {
  RECT window = {};
  GetWindowRect(hwnd_, &window);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor) != FALSE) {
    const RECT& area = monitor.rcWork;
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    SetWindowPos(hwnd_, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return logic_.Start();
}

void MainWindow::ProcessMessage(MSG& message) {
  if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
      (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
    logic_.ShowHelp(platform::kHelpContents);
    return;
  }
  if (IsDialogMessageW(hwnd_, &message) != FALSE) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

int MainWindow::Run() {
  quit_on_close_ = true;
  MSG message = {};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) ProcessMessage(message);
  return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->Handle(message, wparam, lparam);
}

LRESULT CALLBACK MainWindow::FolderListProc(HWND list, UINT message, WPARAM wparam, LPARAM lparam,
                                            UINT_PTR, DWORD_PTR) {
  if (message == WM_GETDLGCODE && lparam != 0) {
    const MSG* key = reinterpret_cast<const MSG*>(lparam);
    if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
      return DefSubclassProc(list, message, wparam, lparam) | DLGC_WANTMESSAGE;
    }
  }
  if (message == WM_KEYDOWN && wparam == VK_RETURN) {
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(list));
    return 0;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(list, FolderListProc, 1);
  return DefSubclassProc(list, message, wparam, lparam);
}

LRESULT CALLBACK MainWindow::FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR) {
  // A frame paints nothing inside its line, and some systems leave that unpainted: it is filled
  // with the window's face colour first.
  if (message == WM_ERASEBKGND) {
    RECT client = {};
    GetClientRect(frame, &client);
    FillRect(reinterpret_cast<HDC>(wparam), &client, GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(frame, FrameProc, 2);
  return DefSubclassProc(frame, message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.CtlType == ODT_LISTBOX) DrawFolderEntry(item);
      if (item.CtlType == ODT_STATIC) DrawDecoration(item);
      return TRUE;
    }
    case WM_MEASUREITEM: {
      auto& item = *reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      item.itemHeight = static_cast<UINT>(Scale(18));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
      // Frames, labels and buttons stand on the window's own face colour.
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      const bool warnings = reinterpret_cast<HWND>(lparam) == Control(kWarningsLine);
      SetTextColor(dc, warnings ? Colour(form::kWarningsLineColour) : GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_SETCURSOR:
      if (hourglass_) {
        SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
        return TRUE;
      }
      break;
    case WM_HELP:
      logic_.ShowHelp(platform::kHelpContents);
      return TRUE;
    case 0x02E0: {  // WM_DPICHANGED: the window moved to a monitor of another DPI
      dpi_ = HIWORD(wparam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi();
      return 0;
    }
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      if (quit_on_close_) PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case kSourceDriveList:
    case kDestinationDriveList:
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageW(Control(id), CB_GETCURSEL, 0, 0));
        if (id == kSourceDriveList) {
          logic_.OnDriveChanged(form::Side::kSource, index);
        } else {
          logic_.OnDriveChanged(form::Side::kDestination, index);
        }
      }
      break;
    case kSourceFolderList:
    case kDestinationFolderList:
      if (code == LBN_DBLCLK) {
        const int row = static_cast<int>(SendMessageW(Control(id), LB_GETCURSEL, 0, 0));
        if (id == kSourceFolderList) {
          logic_.OnFolderOpened(form::Side::kSource, row);
        } else {
          logic_.OnFolderOpened(form::Side::kDestination, row);
        }
      }
      break;
    case kConvertButton:
      if (code == BN_CLICKED) logic_.OnConvertClicked();
      break;
    case kCloseButton:
      if (code == BN_CLICKED) logic_.OnCloseClicked();
      break;
    case kCheckButton:
      if (code == BN_CLICKED) logic_.OnCheckClicked();
      break;
    case kShowLogButton:
      if (code == BN_CLICKED) logic_.OnShowLogClicked();
      break;
  }
}

void MainWindow::DrawFolderEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const size_t side = item.CtlID == kSourceFolderList ? 0 : 1;
  if (item.itemID >= folders_[side].size()) return;
  const form::FolderEntry& entry = folders_[side][item.itemID];
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const int height = item.rcItem.bottom - item.rcItem.top;
  const int mark = std::min(Scale(16), height - 2);
  const int left = item.rcItem.left + Scale(2) + entry.level * Scale(form::kFolderIndent);
  DrawFolder(dc, left, item.rcItem.top + (height - mark) / 2, mark, entry.open);
  RECT text = item.rcItem;
  text.left = left + mark + Scale(4);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HGDIOBJ old = SelectObject(dc, font_);
  DrawTextW(dc, W(entry.caption), static_cast<int>(entry.caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  SelectObject(dc, old);
  if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &item.rcItem);
}

void MainWindow::DrawDecoration(const DRAWITEMSTRUCT& item) {
  // The decoration (form::kDecoration): a borehole column of coloured layers beside a depth
  // scale, on the window's light ground.
  const form::Decoration& plan = form::kDecoration;
  HDC dc = item.hDC;
  HBRUSH ground = CreateSolidBrush(Colour(plan.ground));
  FillRect(dc, &item.rcItem, ground);
  DeleteObject(ground);
  const int x0 = item.rcItem.left;
  const int y0 = item.rcItem.top;
  const int left = x0 + Scale(plan.column_left);
  const int width = Scale(plan.column_width);
  const int column_top = y0 + Scale(plan.column_top);
  SetBkMode(dc, TRANSPARENT);
  const int top = DrawLayers(dc, left, column_top, width);
  HPEN pen = CreatePen(PS_SOLID, 1, Colour(plan.outline));
  HGDIOBJ old_pen = SelectObject(dc, pen);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, left, column_top, left + width, top);
  // The borehole itself.
  const int hole = Scale(plan.borehole_half_width);
  RECT borehole = {left + width / 2 - hole, column_top, left + width / 2 + hole, top};
  HBRUSH hole_brush = CreateSolidBrush(Colour(plan.borehole));
  FillRect(dc, &borehole, hole_brush);
  DeleteObject(hole_brush);
  // The depth scale with a tick every layer.
  MoveToEx(dc, x0 + Scale(plan.scale_x), column_top, nullptr);
  LineTo(dc, x0 + Scale(plan.scale_x), top);
  int tick = column_top;
  for (const form::DecorationLayer& layer : plan.layers) {
    MoveToEx(dc, x0 + Scale(plan.tick_left), tick, nullptr);
    LineTo(dc, x0 + Scale(plan.tick_right), tick);
    tick += Scale(layer.height);
  }
  MoveToEx(dc, x0 + Scale(plan.tick_left), top, nullptr);
  LineTo(dc, x0 + Scale(plan.tick_right), top);
  // The drilling rig above ground, shrunk to a mark.
  HBRUSH rig = CreateSolidBrush(Colour(plan.rig));
  SelectObject(dc, rig);
  const int right = left + width;
  POINT mast[] = {{right + Scale(plan.rig_base_left), top},
                  {right + Scale(plan.rig_base_right), top},
                  {right + Scale(plan.rig_apex), y0 + Scale(plan.rig_apex_top)}};
  Polygon(dc, mast, 3);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(rig);
  DeleteObject(pen);
}

int MainWindow::DrawLayers(HDC dc, int left, int top, int width) const {
  for (const form::DecorationLayer& layer : form::kDecoration.layers) {
    RECT band = {left, top, left + width, top + Scale(layer.height)};
    HBRUSH ground = CreateSolidBrush(Colour(layer.ground));
    FillRect(dc, &band, ground);
    DeleteObject(ground);
    const int hatch = Hatch(layer.fill);
    HBRUSH pattern = hatch < 0 ? CreateSolidBrush(Colour(layer.colour))
                               : CreateHatchBrush(hatch, Colour(layer.colour));
    FillRect(dc, &band, pattern);
    DeleteObject(pattern);
    top = band.bottom;
  }
  return top;
}

HWND MainWindow::TextBox(form::TextControl control) const {
  switch (control) {
    case form::TextControl::kSourceFolderBox:
      return Control(kSourceFolderBox);
    case form::TextControl::kDestinationBox:
      return Control(kDestinationBox);
    case form::TextControl::kStatusLine:
      break;
    case form::TextControl::kWarningsLine:
      return Control(kWarningsLine);
  }
  return Control(kStatusLine);
}

void MainWindow::SetText(form::TextControl control, std::u16string_view text) {
  const std::wstring wide = Wide(text);
  HWND box = TextBox(control);
  SetWindowTextW(box, wide.c_str());
  // The run holds the message loop until it ends, so the status lines are painted now.
  if (control == form::TextControl::kStatusLine || control == form::TextControl::kWarningsLine) {
    UpdateWindow(box);
  }
}

std::u16string MainWindow::Text(form::TextControl control) {
  HWND box = TextBox(control);
  const int length = GetWindowTextLengthW(box);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(box, text.data(), length + 1)));
  return std::u16string(text.begin(), text.end());
}

void MainWindow::FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) {
  HWND list = Control(side == form::Side::kSource ? kSourceDriveList : kDestinationDriveList);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const form::DriveEntry& drive : drives) {
    const std::wstring caption = Wide(drive.caption);
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
}

void MainWindow::ShowDrive(form::Side side, int index) {
  // CB_SETCURSEL reports no change, so the logic hears of none.
  SendMessageW(Control(side == form::Side::kSource ? kSourceDriveList : kDestinationDriveList),
               CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void MainWindow::FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                                int current) {
  const size_t which = side == form::Side::kSource ? 0 : 1;
  folders_[which] = entries;
  HWND list = Control(side == form::Side::kSource ? kSourceFolderList : kDestinationFolderList);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  for (const form::FolderEntry& entry : entries) {
    const std::wstring caption = Wide(entry.caption);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(caption.c_str()));
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

int MainWindow::ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) {
  const std::wstring text = Wide(prompt);
  const std::wstring caption = Wide(title.empty() ? form::kProgramName : title);
  const base::MessageStyle kind = base::MessageStyle::FromValue(style);
  HWND owner = IsWindowVisible(hwnd_) != FALSE ? hwnd_ : nullptr;
  const int answer =
      MessageBoxW(owner, text.c_str(), caption.c_str(), BoxType(kind) | MB_SETFOREGROUND);
  return kind.Answer(answer == IDYES);
}

void MainWindow::SetPointer(int pointer) {
  hourglass_ = pointer == convert::kPointerHourglass;
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(hourglass_ ? 32514 : 32512)));
}

void MainWindow::FocusAndSelectAll(form::TextControl control) {
  HWND box = TextBox(control);
  SetFocus(box);
  SendMessageW(box, EM_SETSEL, 0, -1);
}

void MainWindow::Close() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool MainWindow::OpenDocument(const std::filesystem::path& file) {
  return platform::OpenDocument(file);
}

void MainWindow::ShowCheckReport(const form::CheckReport& report) {
  ShowReportDialog(hwnd_, report, dpi_, font_, save_file_hook_);
}

// The browser shows the log's A4 pages, which it prints sheet for sheet (Ctrl+P), from an HTML
// file in the temporary folder.
bool MainWindow::ShowLog(const form::LogDrawing& log, std::u16string_view name) {
  std::wstring folder(MAX_PATH + 1, L'\0');
  folder.resize(GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
  const std::wstring file = folder + Wide(form::LogFileName(name, u".html"));
  const std::u16string shown(file.begin(), file.end());
  if (folder.empty() || !WriteWholeFile(file, log.a4_html)) {
    ShowMessage(u"柱状図のファイルを書けませんでした。\n" + shown, base::kMsgExclamation, {});
    return false;
  }
  const bool opened = open_file_hook_ ? open_file_hook_(file) : platform::OpenDocument(file);
  if (!opened) {
    ShowMessage(std::u16string(form::kLogOpenFailedMessage) + u"\n" + shown, base::kMsgExclamation,
                {});
    return false;
  }
  return true;
}

void MainWindow::EnableButton(form::Button button, bool enabled) {
  switch (button) {
    case form::Button::kShowLog:
      EnableWindow(Control(kShowLogButton), enabled ? TRUE : FALSE);
      break;
  }
}

}  // namespace tjvx::win32
