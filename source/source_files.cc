#include "source/source_files.h"

#include <algorithm>

#include "base/ascii.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "source/record_findings.h"

namespace tjvx::source {
namespace {

// Reports what stands after the Ctrl-Z at `eof` unless it is only blanks, line ends and Ctrl-Z.
void ReportAfterCtrlZ(std::string_view bytes, size_t eof, const std::u16string& file,
                      base::FindingSink& findings) {
  const std::string_view rest = bytes.substr(eof);
  if (rest.find_first_not_of(" \t\r\n\x1A") == std::string_view::npos) return;
  const long long line =
      1 + std::count(bytes.begin(), bytes.begin() + static_cast<long>(eof), '\n');
  findings.Report({base::Severity::kWarning,
                   file,
                   line,
                   0,
                   {},
                   u"Ctrl-Z (ファイルの終わりの印) の後にあるデータは読まれません。"});
}

}  // namespace

bool IsBoreholeFileName(std::u16string_view name) {
  return std::any_of(
      std::begin(kBoreholeFiles), std::end(kBoreholeFiles),
      [&](std::u16string_view fixed) { return base::EqualsIgnoringAsciiCase(name, fixed); });
}

std::optional<FieldReader> OpenSourceFile(std::u16string_view path, base::FindingSink* findings) {
  std::optional<std::string> bytes = platform::ReadFileBytes(path);
  if (!bytes || bytes->empty()) return std::nullopt;
  // A Ctrl-Z ends the file; the byte 0x1A is never part of a two-byte character, so the text
  // decoded from what stands before it holds no Ctrl-Z either.
  size_t eof = bytes->find('\x1A');
  if (eof != std::string::npos && findings != nullptr) {
    ReportAfterCtrlZ(*bytes, eof, std::u16string(path), *findings);
  }
  if (eof != std::string::npos) bytes->resize(eof);
  std::u16string file(path);
  FieldReader reader(platform::DecodeCp932(*bytes, file), file, FieldReader::CutAtCtrlZ{});
  if (findings != nullptr) reader.ReportTo(*findings);
  return reader;
}

}  // namespace tjvx::source
