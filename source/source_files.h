#ifndef TJVX_SOURCE_SOURCE_FILES_H_
#define TJVX_SOURCE_SOURCE_FILES_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/findings.h"
#include "source/field_reader.h"

namespace tjvx::source {

// Every file a run reads by its fixed name: those of a borehole folder, then those of the pattern
// folder (the code tables, then the geology name tables). Each name is written once, here.
// clang-format off
enum class FileId : uint8_t {
  kX1, kX3, kX5, kX7, kX11, kX12, kR30, kR31, kR32, kR33, kR34, kR35, kR41, kN8, kN9,
  kG40, kG71, kG72, kG73, kG81, kTitle1, kTitle2,
  kL1, kL4, kL8, kL13, kL14, kL15, kL16, kL17, kL18, kL18B, kL19, kGeology, kSoil, kAdmixture,
};
// clang-format on

namespace internal {
inline constexpr std::u16string_view kFileNames[] = {
    u"X1.TXT",  u"X3.TXT",   u"X5.TXT",     u"X7.TXT",      u"X11.TXT",   u"X12.TXT",
    u"R30.TXT", u"R31.TXT",  u"R32.TXT",    u"R33.TXT",     u"R34.TXT",   u"R35.TXT",
    u"R41.TXT", u"N8.TXT",   u"N9.TXT",     u"G40.TXT",     u"G71.TXT",   u"G72.TXT",
    u"G73.TXT", u"G81.TXT",  u"Titl01.txt", u"Titl02.txt",  u"L1.TXT",    u"L4.TXT",
    u"L8.TXT",  u"L13.TXT",  u"L14.TXT",    u"L15.TXT",     u"L16.TXT",   u"L17.TXT",
    u"L18.TXT", u"L18B.TXT", u"L19.TXT",    u"KISHITU.TXT", u"SHITU.TXT", u"MAJIRI.TXT"};
}  // namespace internal

inline constexpr size_t kFileCount = std::size(internal::kFileNames);
static_assert(kFileCount == static_cast<size_t>(FileId::kAdmixture) + 1);
// The borehole folder's files are the ids before this one.
inline constexpr FileId kFirstPatternFile = FileId::kL1;

// The file's name as the files are written ("X1.TXT", "Titl01.txt", "KISHITU.TXT").
constexpr std::u16string_view FileName(FileId file) {
  return internal::kFileNames[static_cast<size_t>(file)];
}
constexpr bool InPatternFolder(FileId file) { return file >= kFirstPatternFile; }

// The ids of one folder's files, in their order.
std::span<const FileId> SourceFolderFiles();
std::span<const FileId> PatternFolderFiles();

// The file of `folder` (a source folder in Windows form, without its trailing "\").
std::u16string SourcePath(std::u16string_view folder, FileId file);

// The file of `folder`'s files that `name` names, letter case ignored as the files are looked up.
std::optional<FileId> FileNamed(std::span<const FileId> folder, std::u16string_view name);

// A source file ready for reading, or nothing when it is missing or empty (both leave the section
// out). Nothing is ever created in the source folder. Bytes that are not CP932 throw
// Error::Kind::kBadCharacter; a folder in the file's place kNotAFile; a FIFO, a device or anything
// else that is no regular file kReadFailed, at once.
// Data after a Ctrl-Z, which is never read, is reported to `findings`.
std::optional<FieldReader> OpenSourceFile(std::u16string_view path,
                                          base::FindingSink* findings = nullptr);
// The same for the fixed file `file` of the source folder `folder`.
std::optional<FieldReader> OpenSourceFile(std::u16string_view folder, FileId file,
                                          base::FindingSink* findings = nullptr);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_SOURCE_FILES_H_
