#include "win32/report_dialog.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <vector>

#include "base/utf.h"
#include "form/converter_form.h"
#include "form/report_table.h"
#include "win32/dialog_frame.h"
#include "win32/text.h"

namespace tjvx::win32 {
namespace {

// What the dialog procedure works with, from WM_INITDIALOG on.
struct ReportState {
  const form::CheckReport* report = nullptr;
  UINT dpi = 96;
  HFONT font = nullptr;
  const SaveFileHook* save_hook = nullptr;
  HIMAGELIST icons = nullptr;

  int Scale(int pixels_at_96) const { return MulDiv(pixels_at_96, static_cast<int>(dpi), 96); }
};

// The icons of the severities, in the image list's order.
constexpr int kErrorIcon = 0;
constexpr int kWarningIcon = 1;
constexpr int kNoticeIcon = 2;

COLORREF Colour(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

int IconOf(base::Severity severity) {
  switch (severity) {
    case base::Severity::kError:
      return kErrorIcon;
    case base::Severity::kWarning:
      return kWarningIcon;
    case base::Severity::kNotice:
      break;
  }
  return kNoticeIcon;
}

// The message box's icons at the small icon size of `dpi`: scaled down from the large ones where
// the common controls can (version 6), else drawn into the list at its size.
HIMAGELIST SeverityIcons(const ReportState& state) {
  const int size = state.Scale(16);
  HIMAGELIST icons = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 3, 0);
  using ScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  const auto scale_down = comctl == nullptr ? nullptr
                                            : reinterpret_cast<ScaleDownFn>(reinterpret_cast<void*>(
                                                  GetProcAddress(comctl, "LoadIconWithScaleDown")));
  // IDI_ERROR, IDI_WARNING, IDI_INFORMATION in the image list's order.
  for (WORD id : {WORD{32513}, WORD{32515}, WORD{32516}}) {
    HICON icon = nullptr;
    if (scale_down != nullptr &&
        SUCCEEDED(scale_down(nullptr, MAKEINTRESOURCEW(id), size, size, &icon))) {
      ImageList_AddIcon(icons, icon);
      DestroyIcon(icon);
    } else {
      ImageList_AddIcon(icons, LoadIconW(nullptr, MAKEINTRESOURCEW(id)));
    }
  }
  return icons;
}

void AddColumn(HWND list, int index, const wchar_t* caption, int format) {
  LVCOLUMNW column = {};
  column.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = format;
  column.pszText = const_cast<wchar_t*>(caption);
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int row, int column, const std::wstring& text) {
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void FillList(HWND list, const ReportState& state) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
               LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(state.icons));
  std::array<std::wstring, form::kReportColumnCount> headings;
  for (int column = 0; column < form::kReportColumnCount; ++column) {
    headings[column] = Wide(form::kReportHeadings[column]);
    AddColumn(list, column, headings[column].c_str(),
              column == form::kLineColumn ? LVCFMT_RIGHT : LVCFMT_LEFT);
  }
  const std::vector<form::CheckReport::Line>& lines = state.report->lines;
  for (size_t row = 0; row < lines.size(); ++row) {
    const form::CheckReport::Line& line = lines[row];
    const std::wstring severity = Wide(form::ReportCell(line, form::kSeverityColumn));
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = static_cast<int>(row);
    item.pszText = const_cast<wchar_t*>(severity.c_str());
    item.iImage = IconOf(line.severity);
    item.lParam = static_cast<LPARAM>(row);
    const int index =
        static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    for (int column = form::kFileColumn; column < form::kReportColumnCount; ++column) {
      SetCell(list, index, column,
              Wide(form::ReportCell(line, static_cast<form::ReportColumn>(column))));
    }
  }
  // Each column as wide as its widest cell and its heading; the line numbers keep a gap before
  // the message.
  for (int column = 0; column < form::kReportColumnCount; ++column) {
    SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE);
    const int cells =
        lines.empty() ? 0 : static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    const int heading = static_cast<int>(SendMessageW(
        list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(headings[column].c_str())));
    const int gap = column == form::kLineColumn ? state.Scale(form::kLineColumnGap) : 0;
    SendMessageW(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                 std::max(cells, heading + state.Scale(20)) + gap);
  }
}

// The selected rows' report lines in the list's order, each ended by CR LF.
std::u16string SelectedLines(HWND list, const ReportState& state) {
  std::u16string text;
  for (int row = -1;;) {
    row = static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED));
    if (row < 0) break;
    if (static_cast<size_t>(row) < state.report->lines.size()) {
      text += state.report->lines[static_cast<size_t>(row)].text + u"\r\n";
    }
  }
  return text;
}

bool SetClipboardText(HWND owner, std::u16string_view text) {
  if (OpenClipboard(owner) == FALSE) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  bool done = false;
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    auto* target = static_cast<char16_t*>(GlobalLock(memory));
    std::copy(text.begin(), text.end(), target);
    target[text.size()] = u'\0';
    GlobalUnlock(memory);
    done = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!done) GlobalFree(memory);
  }
  CloseClipboard();
  return done;
}

std::wstring DocumentsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) {
    return folder;
  }
  return {};
}

// Asks where to save the report, suggesting its name in the documents folder; empty when
// cancelled.
std::wstring AskReportFile(HWND dialog, const ReportState& state) {
  const std::wstring folder = DocumentsFolder();
  const std::wstring name = Wide(state.report->file_name);
  if (*state.save_hook) return (*state.save_hook)(folder.empty() ? name : folder + L"\\" + name);
  std::vector<wchar_t> file(32768, L'\0');
  std::copy(name.begin(), name.end(), file.begin());
  static constexpr wchar_t kFilter[] =
      L"テキスト ファイル (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";
  OPENFILENAMEW choice = {};
  choice.lStructSize = sizeof choice;
  choice.hwndOwner = dialog;
  choice.lpstrFilter = kFilter;
  choice.lpstrFile = file.data();
  choice.nMaxFile = static_cast<DWORD>(file.size());
  choice.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  const std::wstring title = Wide(form::kSaveReportTitle);
  choice.lpstrTitle = title.c_str();
  choice.lpstrDefExt = L"txt";
  // The working folder is the logic's: the dialog leaves it where it was.
  choice.Flags =
      OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  if (GetSaveFileNameW(&choice) == FALSE) return {};
  return file.data();
}

void SaveReport(HWND dialog, const ReportState& state) {
  const std::wstring file = AskReportFile(dialog, state);
  if (file.empty()) return;
  if (!WriteWholeFile(file, base::ToUtf8(WithCrLf(state.report->text)))) {
    const std::wstring text = Wide(form::kSaveFailedMessage) + L"\n" + file;
    MessageBoxW(dialog, text.c_str(), Wide(form::kProgramName).c_str(), MB_OK | MB_ICONEXCLAMATION);
  }
}

// The height `text` takes in the dialog's font at `width`, and at least `lines` lines.
int TextHeight(HWND dialog, const ReportState& state, const std::wstring& text, int width,
               int lines) {
  HDC dc = GetDC(dialog);
  HGDIOBJ old = SelectObject(dc, state.font);
  RECT needed = {0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  TEXTMETRICW metrics = {};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(dialog, dc);
  return std::max<int>(needed.bottom - needed.top, metrics.tmHeight * lines) + state.Scale(2);
}

// Places the controls in the dialog's client area: the list above, the help of the focused row's
// rule and the counts under it, the buttons at the bottom (copy and save at the left, close at the
// right).
void Layout(HWND dialog, const ReportState& state) {
  RECT client = {};
  GetClientRect(dialog, &client);
  const int margin = state.Scale(10);
  const int gap = state.Scale(8);
  const int button_width = state.Scale(96);
  const int button_height = state.Scale(28);
  const int width = std::max<int>(client.right - 2 * margin, button_width * 3);
  // The counts take the lines they need at the dialog's width; the help keeps room for four lines,
  // so the list does not move from row to row.
  const int summary_height =
      TextHeight(dialog, state, Wide(WithCrLf(state.report->summary)), width, 1);
  wchar_t help[2048] = L"";
  GetDlgItemTextW(dialog, kReportHelp, help, static_cast<int>(std::size(help)));
  const int help_height = TextHeight(dialog, state, help, width, 4);
  const int buttons_top = client.bottom - margin - button_height;
  const int summary_top = buttons_top - gap - summary_height;
  const int help_top = summary_top - gap - help_height;
  auto place = [&](int id, int x, int y, int w, int h) {
    SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(kReportList, margin, margin, width, std::max(help_top - gap - margin, state.Scale(40)));
  place(kReportHelp, margin, help_top, width, help_height);
  place(kReportSummary, margin, summary_top, width, summary_height);
  place(kReportCopy, margin, buttons_top, button_width, button_height);
  place(kReportSave, margin + button_width + gap, buttons_top, button_width, button_height);
  place(IDCANCEL, client.right - margin - button_width, buttons_top, button_width, button_height);
  InvalidateRect(dialog, nullptr, TRUE);
}

void CreateControls(HWND dialog, ReportState& state) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
  auto make = [&](DWORD extended, const wchar_t* window_class, const std::wstring& caption,
                  DWORD style, int id) {
    HWND control = CreateWindowExW(
        extended, window_class, caption.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
        dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
    return control;
  };
  // Created in the order of the tab key: the list, then the buttons.
  HWND list = make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                   LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, kReportList);
  make(0, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, kReportHelp);
  make(0, L"STATIC", Wide(WithCrLf(state.report->summary)), SS_LEFT | SS_NOPREFIX, kReportSummary);
  make(0, L"BUTTON", Wide(form::kCopyCaption), BS_PUSHBUTTON | WS_TABSTOP, kReportCopy);
  make(0, L"BUTTON", Wide(form::kSaveCaption), BS_PUSHBUTTON | WS_TABSTOP, kReportSave);
  make(0, L"BUTTON", Wide(form::kCloseDialogCaption), BS_DEFPUSHBUTTON | WS_TABSTOP, IDCANCEL);
  SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
  state.icons = SeverityIcons(state);
  FillList(list, state);
}

// The dialog's first size: wide enough for the longest message and tall enough for the rows where
// the owner's monitor allows, centred over the owner.
void SizeDialog(HWND dialog, HWND owner, const ReportState& state) {
  HWND list = GetDlgItem(dialog, kReportList);
  int width = 0;
  for (int column = 0; column < form::kReportColumnCount; ++column) {
    width += static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
  }
  const int rows = static_cast<int>(state.report->lines.size());
  const DWORD view = static_cast<DWORD>(SendMessageW(
      list, LVM_APPROXIMATEVIEWRECT, static_cast<WPARAM>(rows + 1), MAKELPARAM(-1, -1)));
  const int list_height = HIWORD(view);
  RECT rect = {0, 0, width + GetSystemMetrics(SM_CXVSCROLL) + state.Scale(28),
               list_height + state.Scale(220)};
  AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)));
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : dialog, MONITOR_DEFAULTTOPRIMARY),
                  &monitor);
  const RECT& area = monitor.rcWork;
  const int w = std::clamp<int>(rect.right - rect.left, state.Scale(640),
                                std::max<int>((area.right - area.left) * 9 / 10, state.Scale(640)));
  const int h =
      std::clamp<int>(rect.bottom - rect.top, state.Scale(320),
                      std::max<int>((area.bottom - area.top) * 85 / 100, state.Scale(320)));
  RECT around = area;
  if (owner != nullptr && IsWindowVisible(owner) != FALSE) GetWindowRect(owner, &around);
  int x = around.left + (around.right - around.left - w) / 2;
  int y = around.top + (around.bottom - around.top - h) / 2;
  x = std::clamp<int>(x, area.left, std::max<int>(area.left, area.right - w));
  y = std::clamp<int>(y, area.top, std::max<int>(area.top, area.bottom - h));
  SetWindowPos(dialog, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shows the help of row `row`'s rule under the list.
void ShowHelp(HWND dialog, const ReportState& state, size_t row) {
  const std::u16string help = row < state.report->lines.size()
                                  ? WithCrLf(form::ReportHelp(state.report->lines[row]))
                                  : std::u16string();
  SetDlgItemTextW(dialog, kReportHelp, Wide(help).c_str());
  Layout(dialog, state);
}

// WM_INITDIALOG: the dialog keeps `state`, takes the report's title, makes its controls and
// takes its first size and layout; the first row has the focus.
void InitDialog(HWND dialog, ReportState& state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&state));
  SetWindowTextW(dialog, Wide(state.report->title).c_str());
  CreateControls(dialog, state);
  SizeDialog(dialog, GetWindow(dialog, GW_OWNER), state);
  Layout(dialog, state);
  HWND list = GetDlgItem(dialog, kReportList);
  // The first row has the focus (not the selection), so the arrow keys start there.
  LVITEMW focus = {};
  focus.stateMask = LVIS_FOCUSED;
  focus.state = LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&focus));
  ShowHelp(dialog, state, 0);
  SetFocus(list);
}

// A click on one of the dialog's buttons; false for any other control.
bool OnButton(HWND dialog, const ReportState& state, int id) {
  switch (id) {
    case kReportCopy:
      SetClipboardText(dialog, WithCrLf(state.report->text));
      return true;
    case kReportSave:
      SaveReport(dialog, state);
      return true;
    case IDOK:
    case IDCANCEL:
      EndDialog(dialog, id);
      return true;
  }
  return false;
}

// The list's custom drawing: each row is asked for, and gets the colours of its severity.
LRESULT DrawListRow(NMLVCUSTOMDRAW& draw, const ReportState& state) {
  if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw.nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  const size_t row = static_cast<size_t>(draw.nmcd.lItemlParam);
  if (row < state.report->lines.size()) {
    const form::RowColours colours = form::ReportRowColours(state.report->lines[row].severity);
    if (colours.text) draw.clrText = Colour(*colours.text);
    if (colours.ground) draw.clrTextBk = Colour(*colours.ground);
  }
  return CDRF_NEWFONT;
}

// Ctrl with a key in the list: Ctrl+C copies the selected rows, Ctrl+A selects them all.
void OnListControlKey(HWND dialog, HWND list, const ReportState& state, WORD key) {
  if (key == 'C') {
    if (const std::u16string lines = SelectedLines(list, state); !lines.empty()) {
      SetClipboardText(dialog, lines);
    }
  } else if (key == 'A') {
    LVITEMW all = {};
    all.stateMask = LVIS_SELECTED;
    all.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&all));
  }
}

// A notification of the list; false for what is left to the dialog's default.
bool OnListNotify(HWND dialog, const ReportState& state, LPARAM lparam) {
  const auto* header = reinterpret_cast<const NMHDR*>(lparam);
  if (header->idFrom != kReportList) return false;
  if (header->code == NM_CUSTOMDRAW) {
    const LRESULT result = DrawListRow(*reinterpret_cast<NMLVCUSTOMDRAW*>(lparam), state);
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return true;
  }
  if (header->code == LVN_ITEMCHANGED) {
    // The row that gets the focus shows its rule's help.
    const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lparam);
    if ((change.uChanged & LVIF_STATE) != 0 && (change.uNewState & LVIS_FOCUSED) != 0 &&
        (change.uOldState & LVIS_FOCUSED) == 0 && change.iItem >= 0) {
      ShowHelp(dialog, state, static_cast<size_t>(change.lParam));
    }
    return false;
  }
  if (header->code == LVN_KEYDOWN && GetKeyState(VK_CONTROL) < 0) {
    OnListControlKey(dialog, header->hwndFrom, state,
                     reinterpret_cast<const NMLVKEYDOWN*>(lparam)->wVKey);
    return true;
  }
  return false;
}

INT_PTR CALLBACK ReportProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<ReportState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog, *reinterpret_cast<ReportState*>(lparam));
      return FALSE;
    case WM_SIZE:
      if (state != nullptr) Layout(dialog, *state);
      return TRUE;
    case WM_GETMINMAXINFO:
      if (state != nullptr) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
        limits->ptMinTrackSize = {state->Scale(420), state->Scale(240)};
      }
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return FaceColouredLabel(wparam);
    case WM_COMMAND:
      return state != nullptr && HIWORD(wparam) == BN_CLICKED &&
                     OnButton(dialog, *state, LOWORD(wparam))
                 ? TRUE
                 : FALSE;
    case WM_NOTIFY:
      return state != nullptr && OnListNotify(dialog, *state, lparam) ? TRUE : FALSE;
    case WM_DESTROY:
      if (state != nullptr && state->icons != nullptr) {
        ImageList_Destroy(state->icons);
        state->icons = nullptr;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void ShowReportDialog(HWND owner, const form::CheckReport& report, UINT dpi, HFONT font,
                      const SaveFileHook& save_hook) {
  ReportState state;
  state.report = &report;
  state.dpi = dpi;
  state.font = font;
  state.save_hook = &save_hook;

  RunDialogWithoutTemplateControls(owner, 240, ReportProc, reinterpret_cast<LPARAM>(&state));
}

std::u16string WithCrLf(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r')) out += u'\r';
    out += text[i];
  }
  return out;
}

bool WriteWholeFile(const std::wstring& file, std::string_view bytes) {
  HANDLE out = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  bool written = true;
  for (size_t done = 0; written && done < bytes.size();) {
    DWORD count = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 30));
    written = WriteFile(out, bytes.data() + done, chunk, &count, nullptr) != FALSE && count > 0;
    done += count;
  }
  written = CloseHandle(out) != FALSE && written;
  if (!written) DeleteFileW(file.c_str());
  return written;
}

}  // namespace tjvx::win32
