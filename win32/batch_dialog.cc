#include "win32/batch_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/dialog_frame.h"
#include "win32/text.h"

namespace tjvx::win32 {
namespace {

// Posted by the logic's workers: results wait to be shown.
constexpr UINT kWakeMessage = WM_APP + 1;

COLORREF Colour(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

// The column widths at 96 dpi; the message takes what is left.
constexpr int kColumnWidths[form::kBatchColumnCount] = {150, 56, 56, 56, 72, 330};

class BatchWindow : public form::SiteBatchView {
 public:
  BatchWindow(const form::SiteBatchSetup& setup, UINT dpi, HFONT font,
              const BatchDialogHooks& hooks)
      : dpi_(dpi),
        font_(font),
        hooks_(hooks),
        logic_(*this, setup, [this] { PostMessageW(dialog_, kWakeMessage, 0, 0); }) {}

  static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<BatchWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<BatchWindow*>(lparam);
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      self->dialog_ = dialog;
    }
    return self == nullptr ? FALSE : self->Handle(message, wparam, lparam);
  }

  // form::SiteBatchView.
  void ShowRows(const std::vector<form::BatchRow>& rows, int selected) override {
    HWND list = Item(kBatchList);
    filling_ = true;
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    colours_.clear();
    for (size_t row = 0; row < rows.size(); ++row) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.pszText = const_cast<wchar_t*>(L"");
      SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      colours_.push_back(rows[row].colours);
      SetRow(static_cast<int>(row), rows[row]);
    }
    if (selected >= 0) {
      SetItemState(selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(selected), FALSE);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    filling_ = false;
  }
  void ShowRow(int position, const form::BatchRow& row) override {
    if (position < 0 || static_cast<size_t>(position) >= colours_.size()) return;
    filling_ = true;
    colours_[static_cast<size_t>(position)] = row.colours;
    SetRow(position, row);
    SendMessageW(Item(kBatchList), LVM_REDRAWITEMS, static_cast<WPARAM>(position), position);
    filling_ = false;
  }
  void SetText(form::BatchText text, std::u16string_view value) override {
    const int id = text == form::BatchText::kStatus    ? kBatchStatus
                   : text == form::BatchText::kSummary ? kBatchSummary
                                                       : kBatchDetail;
    SetWindowTextW(Item(id), Wide(WithCrLf(value)).c_str());
  }
  void SetProgress(int done, int total) override {
    HWND bar = Item(kBatchProgress);
    SendMessageW(bar, PBM_SETRANGE32, 0, std::max(total, 1));
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
  }
  void EnableButton(form::BatchButton button, bool enabled) override {
    static constexpr int kIds[] = {kBatchSelectAll, kBatchSelectNone, kBatchReport,
                                   kBatchLog,       kBatchConvert,    kBatchCancel};
    EnableWindow(Item(kIds[static_cast<size_t>(button)]), enabled ? TRUE : FALSE);
  }
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    return hooks_.show_message(dialog_, prompt, style, title);
  }
  void ShowCheckReport(const form::CheckReport& report) override {
    ShowReportDialog(dialog_, report, dpi_, font_, hooks_.save_file);
  }
  bool ShowLog(const form::LogDrawing& log, std::u16string_view name) override {
    return hooks_.show_log(log, name);
  }

 private:
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_INITDIALOG:
        SetWindowTextW(dialog_, Wide(logic_.Title()).c_str());
        CreateControls();
        SizeDialog(GetWindow(dialog_, GW_OWNER));
        Layout();
        if (hooks_.opened) hooks_.opened(logic_);
        logic_.Start();
        SetFocus(Item(kBatchList));
        return FALSE;
      case kWakeMessage:
        logic_.Deliver();
        return TRUE;
      case WM_SIZE:
        Layout();
        return TRUE;
      case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lparam);
        limits->ptMinTrackSize = {Scale(560), Scale(400)};
        return TRUE;
      }
      case WM_CTLCOLORSTATIC:
        return FaceColouredLabel(wparam);
      case WM_COMMAND:
        if (HIWORD(wparam) == BN_CLICKED) return OnClicked(LOWORD(wparam));
        break;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->idFrom == kBatchList) return OnListNotify(header);
        break;
      }
      case WM_DESTROY:
        logic_.Stop();
        break;
    }
    return FALSE;
  }

  INT_PTR OnClicked(int id) {
    switch (id) {
      case kBatchSelectAll:
        logic_.OnSelectAllClicked();
        return TRUE;
      case kBatchSelectNone:
        logic_.OnSelectNoneClicked();
        return TRUE;
      case kBatchReport:
        logic_.OnReportClicked();
        return TRUE;
      case kBatchLog:
        logic_.OnShowLogClicked();
        return TRUE;
      case kBatchConvert:
        logic_.OnConvertClicked();
        return TRUE;
      case kBatchCancel:
        logic_.OnCancelClicked();
        return TRUE;
      case IDOK:
      case IDCANCEL:
        // Closing waits for the folders in flight and starts no more.
        logic_.Stop();
        EndDialog(dialog_, IDCANCEL);
        return TRUE;
    }
    return FALSE;
  }

  INT_PTR OnListNotify(const NMHDR* header) {
    switch (header->code) {
      case LVN_ITEMCHANGED: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (filling_ || change->iItem < 0 || (change->uChanged & LVIF_STATE) == 0) break;
        const UINT changed = change->uNewState ^ change->uOldState;
        // A tick box clicked or toggled with the space bar (the state image 0 of a new row aside).
        if ((changed & LVIS_STATEIMAGEMASK) != 0 &&
            (change->uOldState & LVIS_STATEIMAGEMASK) != 0) {
          logic_.OnTickChanged(
              change->iItem, (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
        }
        if ((changed & LVIS_SELECTED) != 0) {
          const bool selected = (change->uNewState & LVIS_SELECTED) != 0;
          if (selected) {
            logic_.OnRowSelected(change->iItem);
          } else if (SendMessageW(header->hwndFrom, LVM_GETSELECTEDCOUNT, 0, 0) == 0) {
            logic_.OnRowSelected(-1);
          }
        }
        break;
      }
      case LVN_COLUMNCLICK:
        logic_.OnSortClicked(
            static_cast<form::BatchColumn>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem));
        break;
      case LVN_ITEMACTIVATE:
        logic_.OnReportClicked();
        break;
      case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header));
        LRESULT result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
          result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
          const size_t row = static_cast<size_t>(draw->nmcd.dwItemSpec);
          if (row < colours_.size()) {
            if (colours_[row].text) draw->clrText = Colour(*colours_[row].text);
            if (colours_[row].ground) draw->clrTextBk = Colour(*colours_[row].ground);
          }
          result = CDRF_NEWFONT;
        }
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
        return TRUE;
      }
    }
    return FALSE;
  }

  void CreateControls() {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dialog_, GWLP_HINSTANCE));
    auto make = [&](DWORD extended, const wchar_t* window_class, std::u16string_view caption,
                    DWORD style, int id) {
      HWND control = CreateWindowExW(
          extended, window_class, Wide(caption).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 10,
          10, dialog_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
      return control;
    };
    const DWORD button = BS_PUSHBUTTON | WS_TABSTOP;
    // Created in the order of the tab key: the list, the buttons that choose and open, the pane,
    // then convert, cancel and close.
    HWND list =
        make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, u"",
             LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP | WS_GROUP, kBatchList);
    make(0, L"BUTTON", form::kSelectAllCaption, button, kBatchSelectAll);
    make(0, L"BUTTON", form::kSelectNoneCaption, button, kBatchSelectNone);
    make(0, L"BUTTON", form::kBatchReportCaption, button, kBatchReport);
    make(0, L"BUTTON", form::kBatchLogCaption, button, kBatchLog);
    make(WS_EX_CLIENTEDGE, L"EDIT", u"",
         ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kBatchDetail);
    make(0, PROGRESS_CLASSW, u"", 0, kBatchProgress);
    make(0, L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kBatchStatus);
    make(0, L"STATIC", u"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kBatchSummary);
    make(0, L"BUTTON", form::kBatchConvertCaption, button, kBatchConvert);
    make(0, L"BUTTON", form::kBatchCancelCaption, button, kBatchCancel);
    make(0, L"BUTTON", form::kBatchCloseCaption, button, IDCANCEL);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (size_t column = 0; column < form::kBatchColumnCount; ++column) {
      const std::wstring heading = Wide(form::kBatchHeadings[column]);
      LVCOLUMNW entry = {};
      entry.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
      const bool count = column >= static_cast<size_t>(form::BatchColumn::kErrors) &&
                         column <= static_cast<size_t>(form::BatchColumn::kNotices);
      entry.fmt = count ? LVCFMT_RIGHT : LVCFMT_LEFT;
      entry.cx = Scale(kColumnWidths[column]);
      entry.pszText = const_cast<wchar_t*>(heading.c_str());
      entry.iSubItem = static_cast<int>(column);
      SendMessageW(list, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&entry));
    }
  }

  // The list above; under it the buttons that choose and open, the detail pane, the progress bar
  // with the line of what is going on, and the summary beside convert, cancel and close.
  void Layout() {
    RECT client = {};
    GetClientRect(dialog_, &client);
    const int margin = Scale(10);
    const int gap = Scale(8);
    const int button_width = Scale(96);
    const int button_height = Scale(28);
    const int width = std::max<int>(client.right - 2 * margin, 4 * button_width + 3 * gap);
    const int right = margin + width;
    auto place = [&](int id, int x, int y, int w, int h) {
      SetWindowPos(Item(id), nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int closing_top = client.bottom - margin - button_height;
    const int running_top = closing_top - gap - Scale(20);
    const int detail_top = running_top - gap - Scale(64);
    const int choosing_top = detail_top - gap - button_height;
    place(kBatchList, margin, margin, width, std::max(choosing_top - gap - margin, Scale(60)));
    place(kBatchSelectAll, margin, choosing_top, button_width, button_height);
    place(kBatchSelectNone, margin + button_width + gap, choosing_top, button_width, button_height);
    place(kBatchReport, right - 2 * button_width - gap, choosing_top, button_width, button_height);
    place(kBatchLog, right - button_width, choosing_top, button_width, button_height);
    place(kBatchDetail, margin, detail_top, width, Scale(64));
    const int bar_width = Scale(240);
    place(kBatchProgress, margin, running_top + Scale(1), bar_width, Scale(18));
    place(kBatchStatus, margin + bar_width + gap, running_top + Scale(1), width - bar_width - gap,
          Scale(18));
    const int buttons_left = right - 3 * button_width - 2 * gap;
    place(kBatchSummary, margin, closing_top + (button_height - Scale(18)) / 2,
          std::max(buttons_left - gap - margin, 0), Scale(18));
    place(kBatchConvert, buttons_left, closing_top, button_width, button_height);
    place(kBatchCancel, buttons_left + button_width + gap, closing_top, button_width,
          button_height);
    place(IDCANCEL, right - button_width, closing_top, button_width, button_height);
    InvalidateRect(dialog_, nullptr, TRUE);
  }

  // The dialog's first size, centred over the owner within its monitor's work area.
  void SizeDialog(HWND owner) {
    RECT rect = {0, 0, Scale(780), Scale(540)};
    AdjustWindowRectEx(&rect, static_cast<DWORD>(GetWindowLongW(dialog_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(dialog_, GWL_EXSTYLE)));
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner != nullptr ? owner : dialog_, MONITOR_DEFAULTTOPRIMARY),
                    &monitor);
    const RECT& area = monitor.rcWork;
    const int w = std::min<int>(rect.right - rect.left, area.right - area.left);
    const int h = std::min<int>(rect.bottom - rect.top, area.bottom - area.top);
    RECT around = area;
    if (owner != nullptr && IsWindowVisible(owner) != FALSE) GetWindowRect(owner, &around);
    int x = around.left + (around.right - around.left - w) / 2;
    int y = around.top + (around.bottom - around.top - h) / 2;
    x = std::clamp<int>(x, area.left, std::max<int>(area.left, area.right - w));
    y = std::clamp<int>(y, area.top, std::max<int>(area.top, area.bottom - h));
    SetWindowPos(dialog_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void SetRow(int position, const form::BatchRow& row) {
    HWND list = Item(kBatchList);
    for (size_t column = 0; column < form::kBatchColumnCount; ++column) {
      const std::wstring text = Wide(row.cells[column]);
      LVITEMW item = {};
      item.iSubItem = static_cast<int>(column);
      item.pszText = const_cast<wchar_t*>(text.c_str());
      SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(position),
                   reinterpret_cast<LPARAM>(&item));
    }
    SetItemState(position, INDEXTOSTATEIMAGEMASK(row.ticked ? 2 : 1), LVIS_STATEIMAGEMASK);
  }

  void SetItemState(int position, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(Item(kBatchList), LVM_SETITEMSTATE, static_cast<WPARAM>(position),
                 reinterpret_cast<LPARAM>(&item));
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }
  int Scale(int pixels_at_96) const { return MulDiv(pixels_at_96, static_cast<int>(dpi_), 96); }

  const UINT dpi_;
  const HFONT font_;
  const BatchDialogHooks& hooks_;
  HWND dialog_ = nullptr;
  std::vector<form::RowColours> colours_;
  bool filling_ = false;  // the list is being filled: its notifications are the dialog's own
  form::SiteBatchForm logic_;
};

}  // namespace

void ShowBatchDialog(HWND owner, const form::SiteBatchSetup& setup, UINT dpi, HFONT font,
                     const BatchDialogHooks& hooks) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS;
  InitCommonControlsEx(&controls);
  BatchWindow window(setup, dpi, font, hooks);
  RunDialogWithoutTemplateControls(owner, 280, BatchWindow::Proc,
                                   reinterpret_cast<LPARAM>(&window));
}

}  // namespace tjvx::win32
