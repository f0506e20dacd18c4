#ifndef TJVX_SOURCE_SOURCE_FILES_H_
#define TJVX_SOURCE_SOURCE_FILES_H_

#include <optional>
#include <string_view>

#include "base/findings.h"
#include "source/field_reader.h"

namespace tjvx::source {

// A source file ready for reading, or nothing when it is missing or empty (both leave the section
// out). Nothing is ever created in the source folder. Bytes that are not CP932 throw
// Error::Kind::kBadCharacter; a folder in the file's place kNotAFile; a FIFO, a device or anything
// else that is no regular file kReadFailed, at once.
// Data after a Ctrl-Z, which is never read, is reported to `findings`.
std::optional<FieldReader> OpenSourceFile(std::u16string_view path,
                                          base::FindingSink* findings = nullptr);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_SOURCE_FILES_H_
