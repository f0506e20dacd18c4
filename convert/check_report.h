#ifndef TJVX_CONVERT_CHECK_REPORT_H_
#define TJVX_CONVERT_CHECK_REPORT_H_

#include <string>
#include <string_view>

#include "base/findings.h"
#include "convert/check.h"
#include "source/rules.h"

// The text of a check's findings, the same on the command line and in the window.
namespace tjvx::convert {

// "エラー", "警告" or "通知".
std::u16string_view SeverityWord(base::Severity severity);

// `text` with every control character (C0, DEL and C1) written as a visible escape, "\x1b" or
// "\u009b": a value read from a source file or a folder's name never acts on the terminal or
// window the report goes to. Every text of the report goes through it.
std::u16string VisibleText(std::u16string_view text);

// One finding as a compiler writes a diagnostic: where, how much it matters, the depth of its
// record, what happens, what to do, the record and field, and the rule: "X7.TXT:6: 警告: 深度
// 8.40～11.60 m、コード「13」が L8.TXT にない為、名前が @ と書かれます。L8.TXT にコード 13 を
// 加えるか、X7.TXT のコードを直してください。 (記録 3030、項目 13) [W-CODE-MISSING]".
std::u16string FindingLine(const base::Finding& finding);

// What the finding says, as FindingLine gives it after its severity: the depth, what happens and
// what to do.
std::u16string FindingSentence(const base::Finding& finding);

// What to do about a finding: its own fix, else its rule's.
std::u16string_view FixOf(const base::Finding& finding);

// The rule of a finding; null for a finding without one.
const source::Rule* RuleOf(const base::Finding& finding);

// The help of a rule, as the report dialogs show it: its ID and title, cause and what to do.
std::u16string RuleHelp(const source::Rule& rule);

// The line under the finding a conversion stops at, and the conversion's message after it.
std::u16string StopLines(const CheckResult& result);

// "B-12: エラー 0 件、警告 4 件、通知 2 件、妥当性 1 件": the warnings and notices of values
// changed and files left out, then the findings of the plausibility rules.
std::u16string CountsLine(std::u16string_view name, const CheckResult& result);

// The whole report of one folder: each finding on a line, the stop under its finding, the counts.
std::u16string ReportText(std::u16string_view name, const CheckResult& result);

// The line under the message frame after a conversion that changed `warnings` source values.
std::u16string WarningsLine(size_t warnings);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_CHECK_REPORT_H_
