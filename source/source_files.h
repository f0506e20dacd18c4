#ifndef TJVX_SOURCE_SOURCE_FILES_H_
#define TJVX_SOURCE_SOURCE_FILES_H_

#include <optional>
#include <string_view>

#include "base/findings.h"
#include "source/field_reader.h"

namespace tjvx::source {

// The fixed names of the files of a borehole folder, each looked up in any letter case.
inline constexpr std::u16string_view kBoreholeFiles[] = {
    u"X1.TXT",  u"X3.TXT",  u"X5.TXT",     u"X7.TXT",    u"X11.TXT", u"X12.TXT",
    u"R30.TXT", u"R31.TXT", u"R32.TXT",    u"R33.TXT",   u"R34.TXT", u"R35.TXT",
    u"R41.TXT", u"N8.TXT",  u"N9.TXT",     u"G40.TXT",   u"G71.TXT", u"G72.TXT",
    u"G73.TXT", u"G81.TXT", u"Titl01.txt", u"Titl02.txt"};

// Whether `name` is one of kBoreholeFiles, letter case ignored.
bool IsBoreholeFileName(std::u16string_view name);

// A source file ready for reading, or nothing when it is missing or empty (both leave the section
// out). Nothing is ever created in the source folder. Bytes that are not CP932 throw
// Error::Kind::kBadCharacter; a folder in the file's place kNotAFile; a FIFO, a device or anything
// else that is no regular file kReadFailed, at once.
// Data after a Ctrl-Z, which is never read, is reported to `findings`.
std::optional<FieldReader> OpenSourceFile(std::u16string_view path,
                                          base::FindingSink* findings = nullptr);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_SOURCE_FILES_H_
