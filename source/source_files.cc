#include "source/source_files.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "source/record_findings.h"

namespace tjvx::source {
namespace {

// The ids from `first` up to, not including, `end`.
template <FileId kFirst, FileId kEnd>
constexpr auto Ids() {
  std::array<FileId, static_cast<size_t>(kEnd) - static_cast<size_t>(kFirst)> ids{};
  for (size_t k = 0; k < ids.size(); ++k)
    ids[k] = static_cast<FileId>(static_cast<size_t>(kFirst) + k);
  return ids;
}
constexpr auto kSourceFolderFiles = Ids<FileId::kX1, kFirstPatternFile>();
constexpr auto kPatternFolderFiles = Ids<kFirstPatternFile, static_cast<FileId>(kFileCount)>();

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

std::span<const FileId> SourceFolderFiles() { return kSourceFolderFiles; }
std::span<const FileId> PatternFolderFiles() { return kPatternFolderFiles; }

std::u16string SourcePath(std::u16string_view folder, FileId file) {
  std::u16string path;
  const std::u16string_view name = FileName(file);
  path.reserve(folder.size() + 1 + name.size());
  path.append(folder).append(1, u'\\').append(name);
  return path;
}

std::optional<FileId> FileNamed(std::span<const FileId> folder, std::u16string_view name) {
  for (FileId file : folder) {
    if (base::EqualsIgnoringAsciiCase(name, FileName(file))) return file;
  }
  return std::nullopt;
}

std::optional<FieldReader> OpenSourceFile(std::u16string_view folder, FileId file,
                                          base::FindingSink* findings) {
  return OpenSourceFile(SourcePath(folder, file), findings);
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
