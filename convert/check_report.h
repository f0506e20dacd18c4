#ifndef TJVX_CONVERT_CHECK_REPORT_H_
#define TJVX_CONVERT_CHECK_REPORT_H_

#include <string>
#include <string_view>

#include "base/findings.h"
#include "convert/check.h"

// The text of a check's findings, the same on the command line and in the window.
namespace tjvx::convert {

// "エラー", "警告" or "通知".
std::u16string_view SeverityWord(base::Severity severity);

// `text` with every control character (C0, DEL and C1) written as a visible escape, "\x1b" or
// "\u009b": a value read from a source file or a folder's name never acts on the terminal or
// window the report goes to. Every text of the report goes through it.
std::u16string VisibleText(std::u16string_view text);

// One finding as a compiler writes a diagnostic:
// "X7.TXT:12: 警告: コード「99」が L8.TXT にない為、名前が @ と書かれます。 (記録 3030、項目 9)".
std::u16string FindingLine(const base::Finding& finding);

// The line under the finding a conversion stops at, and the conversion's message after it.
std::u16string StopLines(const CheckResult& result);

// "B-12: エラー 0 件、警告 4 件、通知 2 件".
std::u16string CountsLine(std::u16string_view name, const CheckResult& result);

// The whole report of one folder: each finding on a line, the stop under its finding, the counts.
std::u16string ReportText(std::u16string_view name, const CheckResult& result);

// The line under the message frame after a conversion that changed `warnings` source values.
std::u16string WarningsLine(size_t warnings);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_CHECK_REPORT_H_
