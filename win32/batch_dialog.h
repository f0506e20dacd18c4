#ifndef TJVX_WIN32_BATCH_DIALOG_H_
#define TJVX_WIN32_BATCH_DIALOG_H_

#include <windows.h>

#include <functional>
#include <string_view>

#include "form/site_batch.h"
#include "form/view.h"
#include "win32/report_dialog.h"

namespace tjvx::win32 {

// The identifiers of the site dialog's controls; the tests address them. Its close button is
// IDCANCEL, so Esc closes the dialog as well.
enum BatchControlId : int {
  kBatchList = 1101,
  kBatchSelectAll,
  kBatchSelectNone,
  kBatchReport,
  kBatchLog,
  kBatchDetail,
  kBatchProgress,
  kBatchStatus,
  kBatchSummary,
  kBatchConvert,
  kBatchCancel,
};

// What the site dialog borrows from the main window.
struct BatchDialogHooks {
  // A message box over `owner`, as the main window shows its own.
  std::function<int(HWND owner, std::u16string_view prompt, int style, std::u16string_view title)>
      show_message;
  // The log of a converted file, as the main window's log button shows it.
  std::function<bool(const form::LogDrawing& log, std::u16string_view name)> show_log;
  SaveFileHook save_file;
  // When set, handed the dialog's logic before it lists anything (tests hold its work at a gate).
  std::function<void(form::SiteBatchForm& logic)> opened;
};

// Shows the site dialog as a modal dialog over `owner`: the list of the site's borehole folders
// with tick boxes, check counts and outcomes (a click on a heading sorts), the detail pane, the
// progress bar, and the buttons 全て選択, 選択解除, 点検結果..., 柱状図, 変換, 中止 and 閉じる.
// It draws what its logic (form::SiteBatchForm) tells it and forwards every event to it; the
// logic's workers wake it with a posted message. Sizes follow `dpi`; the text is in `font`.
// Returns when the dialog is closed, once the folders in flight have ended.
void ShowBatchDialog(HWND owner, const form::SiteBatchSetup& setup, UINT dpi, HFONT font,
                     const BatchDialogHooks& hooks);

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_BATCH_DIALOG_H_
