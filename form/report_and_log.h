#ifndef TJVX_FORM_REPORT_AND_LOG_H_
#define TJVX_FORM_REPORT_AND_LOG_H_

#include <optional>
#include <string>
#include <string_view>

#include "convert/check.h"
#include "convert/run.h"
#include "form/view.h"

// What the windows show of a check and of a converted file, made once for the main window and
// the site dialog.
namespace tjvx::form {

// The report dialog's contents for a check of a source folder.
CheckReport ReportOf(const convert::CheckResult& result);

// Draws the converted file `file` into `log`: the whole log on one page for the screen and on A4
// pages for the printer. Returns the message box text when it cannot be drawn (a file that is no
// converted file, or cannot be read).
std::optional<std::u16string> DrawLog(std::u16string_view file, LogDrawing& log);

}  // namespace tjvx::form

#endif  // TJVX_FORM_REPORT_AND_LOG_H_
