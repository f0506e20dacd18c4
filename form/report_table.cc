#include "form/report_table.h"

#include "base/utf.h"
#include "convert/check_report.h"

namespace tjvx::form {
namespace {

std::u16string LineNumber(const CheckReport::Line& line) {
  return line.line > 0 ? base::FromAscii(std::to_string(line.line)) : std::u16string();
}

std::u16string Message(const CheckReport::Line& line) {
  std::u16string prefix = line.file;
  if (line.line > 0) prefix.append(u":").append(LineNumber(line));
  prefix.append(u": ").append(convert::SeverityWord(line.severity)).append(u": ");
  const std::u16string_view text = line.text;
  return std::u16string(text.starts_with(prefix) ? text.substr(prefix.size()) : text);
}

}  // namespace

std::u16string ReportCell(const CheckReport::Line& line, ReportColumn column) {
  switch (column) {
    case kSeverityColumn:
      return std::u16string(convert::SeverityWord(line.severity));
    case kFileColumn:
      return line.file;
    case kLineColumn:
      return LineNumber(line);
    case kMessageColumn:
      break;
  }
  return Message(line);
}

RowColours ReportRowColours(base::Severity severity) {
  switch (severity) {
    case base::Severity::kError:
      return {Rgb{0xa8, 0x00, 0x18}, Rgb{0xfd, 0xe4, 0xe4}};
    case base::Severity::kWarning:
      return {std::nullopt, Rgb{0xff, 0xf4, 0xc4}};
    case base::Severity::kNotice:
      break;
  }
  return {};
}

}  // namespace tjvx::form
