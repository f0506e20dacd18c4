#ifndef TJVX_PLATFORM_FILES_H_
#define TJVX_PLATFORM_FILES_H_

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tjvx::platform {

// The bytes of a file named in Windows form, or nothing when there is no such file. A folder in the
// file's place throws Error::Kind::kNotAFile, a file that cannot be read kReadFailed; both name
// `path`. Nothing is ever created in the file's folder.
std::optional<std::string> ReadFileBytes(std::u16string_view path);

// The size of a file, or nothing when there is no file of that name (a folder counts as a file
// here, so that reading it later reports it).
std::optional<std::uintmax_t> FileSize(std::u16string_view path);

// A file written under a temporary name in its destination folder and renamed over the final name
// only by Commit(), so a failed run leaves an earlier file of that name intact and no partial file.
class AtomicFile {
 public:
  // Creates the temporary file beside `path`; throws Error::Kind::kWriteFailed naming `path`.
  explicit AtomicFile(std::u16string path);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view bytes);
  // Flushes, closes and renames over the final name; throws kWriteFailed on any failure.
  void Commit();
  const std::filesystem::path& temporary_path() const { return temporary_; }

 private:
  [[noreturn]] void Fail();
  std::u16string path_;
  std::filesystem::path final_;
  std::filesystem::path temporary_;
  std::FILE* file_ = nullptr;
  bool committed_ = false;
};

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_FILES_H_
