#ifndef TJVX_WIN32_REPORT_DIALOG_H_
#define TJVX_WIN32_REPORT_DIALOG_H_

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "form/view.h"

namespace tjvx::win32 {

// The identifiers of the report dialog's controls; the tests address them. Its close button is
// IDCANCEL, so Esc closes the dialog as well.
enum ReportControlId : int {
  kReportList = 1001,
  kReportSummary,
  kReportCopy,
  kReportSave,
};

// Answers where to save instead of the save dialog (tests): gets the suggested file (a full path)
// and returns the chosen one, or an empty string for "cancelled".
using SaveFileHook = std::function<std::wstring(const std::wstring& suggested)>;

// Shows a check's report as a modal dialog over `owner`: a list with a row per finding (severity
// with its icon and colour, file, line, message), the counts under it, and the buttons コピー
// (the whole report to the clipboard), 保存... (a UTF-8 text file) and 閉じる. Ctrl+C copies the
// selected rows, Ctrl+A selects them all. Sizes follow `dpi`; the text is in `font`. Returns when
// the dialog is closed.
void ShowReportDialog(HWND owner, const form::CheckReport& report, UINT dpi, HFONT font,
                      const SaveFileHook& save_hook);

// `text` with every line break as CR LF, as the clipboard and Windows' text files hold them.
std::u16string WithCrLf(std::u16string_view text);
// Writes `bytes` as the whole file `file`; a file left half written is removed. False on failure.
bool WriteWholeFile(const std::wstring& file, std::string_view bytes);

}  // namespace tjvx::win32

#endif  // TJVX_WIN32_REPORT_DIALOG_H_
