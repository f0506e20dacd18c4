#include "form/report_and_log.h"

#include <exception>

#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/check_report.h"
#include "drawing/html.h"
#include "drawing/log_layout.h"
#include "drawing/log_records.h"
#include "drawing/svg.h"
#include "form/converter_form.h"
#include "form/file_names.h"

namespace tjvx::form {

CheckReport ReportOf(const convert::CheckResult& result) {
  CheckReport report;
  report.title = std::u16string(kReportTitle) + u" - " + result.folder;
  for (const base::Finding& finding : result.findings) {
    report.lines.push_back({finding.severity, std::u16string(convert::FindingFileName(finding)),
                            finding.line, convert::FindingLine(finding),
                            base::FromAscii(finding.rule)});
  }
  report.summary = convert::CountsLine(result.folder, result);
  if (result.stop) report.summary.append(u"\n").append(convert::StopLines(result));
  report.text = convert::ReportText(result.folder, result);
  report.file_name = ReportFileName(result.folder);
  return report;
}

std::optional<std::u16string> DrawLog(std::u16string_view file, LogDrawing& log) {
  const std::u16string_view name = base::LastName(file);
  std::u16string failure;
  try {
    // The file is read once for the screen's long page and the printer's A4 pages.
    drawing::LogContents contents = drawing::ReadLogContentsAt(file);
    log.svg = drawing::WriteSvg(drawing::LayOutLogContents(contents, drawing::LayoutOptions{}));
    drawing::LayoutOptions a4;
    a4.paper = drawing::Paper::kA4;
    const drawing::Drawing pages = drawing::LayOutLogContents(std::move(contents), a4);
    for (size_t i = 0; i < pages.pages.size(); ++i) {
      log.a4_pages.push_back(drawing::WritePageSvg(pages, i));
    }
    log.a4_html = drawing::WriteHtml(pages, name);
    return std::nullopt;
  } catch (const base::Error& error) {
    // A refused converted file too: its refusal is an Error of its own.
    failure = error.Message();
  } catch (const std::exception& error) {
    failure = base::FromUtf8(error.what());
  }
  return u"柱状図を描けませんでした。\n" + std::u16string(file) + u"\n" + failure;
}

}  // namespace tjvx::form
