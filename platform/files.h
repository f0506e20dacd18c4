#ifndef TJVX_PLATFORM_FILES_H_
#define TJVX_PLATFORM_FILES_H_

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tjvx::platform {

// The bytes of a file named in Windows form, or nothing when there is no such file. A folder in the
// file's place throws Error::Kind::kNotAFile; anything else that is no regular file (a FIFO, a
// device, a symbolic link that loops) and a file that cannot be read throw kReadFailed; both name
// `path`. Opening never waits, not even on a FIFO. Nothing is ever created in the file's folder.
std::optional<std::string> ReadFileBytes(std::u16string_view path);

// The size of a file, or nothing when there is no file of that name (a folder counts as a file
// here, so that reading it later reports it).
std::optional<std::uintmax_t> FileSize(std::u16string_view path);

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_FILES_H_
