#include "source/source_files.h"

#include "platform/cp932.h"
#include "platform/files.h"

namespace tjvx::source {

std::optional<FieldReader> OpenSourceFile(std::u16string_view path) {
  std::optional<std::string> bytes = platform::ReadFileBytes(path);
  if (!bytes || bytes->empty()) return std::nullopt;
  // A Ctrl-Z ends the file; the byte 0x1A is never part of a two-byte character, so the text
  // decoded from what stands before it holds no Ctrl-Z either.
  size_t eof = bytes->find('\x1A');
  if (eof != std::string::npos) bytes->resize(eof);
  std::u16string file(path);
  return FieldReader(platform::DecodeCp932(*bytes, file), file, FieldReader::CutAtCtrlZ{});
}

}  // namespace tjvx::source
