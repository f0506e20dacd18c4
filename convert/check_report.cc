#include "convert/check_report.h"

#include "base/utf.h"

namespace tjvx::convert {
namespace {

std::u16string Number(long long value) { return base::FromAscii(std::to_string(value)); }

}  // namespace

std::u16string_view SeverityWord(base::Severity severity) {
  switch (severity) {
    case base::Severity::kError:
      return u"エラー";
    case base::Severity::kWarning:
      return u"警告";
    case base::Severity::kNotice:
      return u"通知";
  }
  return {};
}

std::u16string FindingLine(const base::Finding& finding) {
  std::u16string text(FindingFileName(finding));
  if (finding.line > 0) text.append(u":").append(Number(finding.line));
  text += u": ";
  text += SeverityWord(finding.severity);
  text += u": ";
  // A message of several lines (a refusal) stays on one line of the report.
  for (char16_t c : finding.message) text += c == u'\n' ? u' ' : c;
  if (!finding.record.empty() || finding.field > 0) {
    text += u" (";
    if (!finding.record.empty()) text += u"記録 " + finding.record;
    if (!finding.record.empty() && finding.field > 0) text += u"、";
    if (finding.field > 0) text += u"項目 " + Number(finding.field);
    text += u")";
  }
  return text;
}

std::u16string StopLines(const CheckResult& result) {
  std::u16string text = u"    変換はこのエラーで止まります:";
  size_t start = 0;
  for (;;) {
    const size_t end = result.stop_message.find(u'\n', start);
    text += u"\n    " + result.stop_message.substr(start, end - start);
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  return text;
}

std::u16string CountsLine(std::u16string_view name, const CheckResult& result) {
  return std::u16string(name) + u": エラー " + Number(result.Count(base::Severity::kError)) +
         u" 件、警告 " + Number(result.Count(base::Severity::kWarning)) + u" 件、通知 " +
         Number(result.Count(base::Severity::kNotice)) + u" 件";
}

std::u16string ReportText(std::u16string_view name, const CheckResult& result) {
  std::u16string text;
  for (size_t k = 0; k < result.findings.size(); ++k) {
    text += FindingLine(result.findings[k]) + u"\n";
    if (result.stop == k) text += StopLines(result) + u"\n";
  }
  return text + CountsLine(name, result) + u"\n";
}

std::u16string WarningsLine(size_t warnings) {
  return u"警告 " + Number(static_cast<long long>(warnings)) +
         u" 件: 元の値のまま書かれなかった値があります（点検で一覧できます）。";
}

}  // namespace tjvx::convert
