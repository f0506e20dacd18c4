#include "convert/check_report.h"

#include <algorithm>
#include <charconv>
#include <cstddef>

#include "base/utf.h"

namespace tjvx::convert {
namespace {

std::u16string Number(long long value) { return base::FromAscii(std::to_string(value)); }

void AppendNumber(std::u16string& text, long long value) {
  char digits[24];
  const char* const end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  for (const char* d = digits; d < end; ++d) text += static_cast<char16_t>(*d);
}

bool IsControl(char16_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// "\x1b" for U+001B, "\u009b" for U+009B.
void AppendEscape(char16_t c, std::u16string& text) {
  constexpr char16_t kHex[] = u"0123456789abcdef";
  text += c < 0x80 ? u"\\x" : u"\\u00";
  text += kHex[(c >> 4) & 0xF];
  text += kHex[c & 0xF];
}

// Writes the control characters of `text` from `start` on as visible escapes (VisibleText).
void MakeVisible(std::u16string& text, size_t start) {
  // Most texts hold no control character and stay as they are.
  const auto first =
      std::find_if(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), IsControl);
  if (first == text.end()) return;
  const std::u16string rest(first, text.end());
  text.erase(first, text.end());
  for (char16_t c : rest) {
    if (IsControl(c)) {
      AppendEscape(c, text);
    } else {
      text += c;
    }
  }
}

void AppendVisible(std::u16string& text, std::u16string_view part) {
  const size_t start = text.size();
  text += part;
  MakeVisible(text, start);
}

// FindingSentence, appended to `text`.
void AppendFindingSentence(std::u16string& text, const base::Finding& finding) {
  const size_t start = text.size();
  if (!finding.depth.empty()) text.append(u"深度 ").append(finding.depth).append(u" m、");
  // A message of several lines (a refusal) stays on one line of the report.
  text += finding.message;
  std::replace(text.begin() + static_cast<std::ptrdiff_t>(start), text.end(), u'\n', u' ');
  // What to do follows the message's last sentence, or a blank after a path or a bracket.
  const std::u16string_view fix = FixOf(finding);
  if (!fix.empty() && text.size() > start && text.back() != u'。') text += u' ';
  text += fix;
  MakeVisible(text, start);
}

// FindingLine, appended to `text`.
void AppendFindingLine(std::u16string& text, const base::Finding& finding) {
  AppendVisible(text, FindingFileName(finding));
  if (finding.line > 0) {
    text += u':';
    AppendNumber(text, finding.line);
  }
  text += u": ";
  text += SeverityWord(finding.severity);
  text += u": ";
  AppendFindingSentence(text, finding);
  if (!finding.record.empty() || finding.field > 0) {
    text += u" (";
    if (!finding.record.empty()) {
      text += u"記録 ";
      AppendVisible(text, finding.record);
    }
    if (!finding.record.empty() && finding.field > 0) text += u"、";
    if (finding.field > 0) {
      text += u"項目 ";
      AppendNumber(text, finding.field);
    }
    text += u')';
  }
  // The rule last, as a compiler names the switch of a diagnostic.
  if (!finding.rule.empty()) {
    text += u" [";
    for (const char c : finding.rule) text += static_cast<char16_t>(c);
    text += u']';
  }
}

}  // namespace

std::u16string VisibleText(std::u16string_view text) {
  std::u16string visible;
  AppendVisible(visible, text);
  return visible;
}

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

const source::Rule* RuleOf(const base::Finding& finding) { return source::FindRule(finding.rule); }

std::u16string_view FixOf(const base::Finding& finding) {
  if (!finding.fix.empty()) return finding.fix;
  const source::Rule* rule = RuleOf(finding);
  return rule == nullptr ? std::u16string_view() : rule->fix;
}

std::u16string FindingSentence(const base::Finding& finding) {
  std::u16string text;
  AppendFindingSentence(text, finding);
  return text;
}

std::u16string RuleHelp(const source::Rule& rule) {
  return base::FromAscii(rule.id) + u" " + std::u16string(rule.title) + u"\n原因: " +
         std::u16string(rule.cause) + u"\n対処: " + std::u16string(rule.fix);
}

std::u16string FindingLine(const base::Finding& finding) {
  std::u16string text;
  AppendFindingLine(text, finding);
  return text;
}

std::u16string StopLines(const CheckResult& result) {
  std::u16string text = u"    変換はこのエラーで止まります:";
  size_t start = 0;
  for (;;) {
    const size_t end = result.stop_message.find(u'\n', start);
    text += u"\n    " +
            VisibleText(std::u16string_view(result.stop_message).substr(start, end - start));
    if (end == std::u16string::npos) break;
    start = end + 1;
  }
  return text;
}

std::u16string CountsLine(std::u16string_view name, const CheckResult& result) {
  auto apart = [&](base::Severity severity) {
    return Number(static_cast<long long>(result.Count(severity) - result.Plausibility(severity)));
  };
  return VisibleText(name) + u": エラー " + Number(result.Count(base::Severity::kError)) +
         u" 件、警告 " + apart(base::Severity::kWarning) + u" 件、通知 " +
         apart(base::Severity::kNotice) + u" 件、妥当性 " + Number(result.Plausibility()) + u" 件";
}

std::u16string ReportText(std::u16string_view name, const CheckResult& result) {
  // One text for all the lines: a report of a batch has lines by the thousand.
  std::u16string text;
  for (size_t k = 0; k < result.findings.size(); ++k) {
    AppendFindingLine(text, result.findings[k]);
    text += u'\n';
    if (result.stop == k) text.append(StopLines(result)).append(u"\n");
  }
  return text.append(CountsLine(name, result)).append(u"\n");
}

std::u16string WarningsLine(size_t warnings) {
  return u"警告 " + Number(static_cast<long long>(warnings)) +
         u" 件: 元の値のまま書かれなかった値があります（点検で一覧できます）。";
}

}  // namespace tjvx::convert
