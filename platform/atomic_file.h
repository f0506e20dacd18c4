#ifndef TJVX_PLATFORM_ATOMIC_FILE_H_
#define TJVX_PLATFORM_ATOMIC_FILE_H_

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tjvx::platform {

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

#endif  // TJVX_PLATFORM_ATOMIC_FILE_H_
