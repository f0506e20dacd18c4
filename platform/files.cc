#include "platform/files.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "base/error.h"
#include "platform/drives.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {
#ifndef _WIN32
namespace {

// A name that is not there, as opposed to one that is there and cannot be read (a symbolic link
// that leads round in a loop is there).
bool IsMissing(int error) { return error == ENOENT || error == ENOTDIR || error == ENAMETOOLONG; }

// Opens for reading without ever waiting: a FIFO opens at once this way, where a plain open waits
// for a writer, and a FIFO or device is refused by its kind before anything is read.
int OpenWithoutWaiting(const char* path) {
  return open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
}

}  // namespace

std::optional<std::string> ReadFileBytes(std::u16string_view path) {
  // Every conversion reads some twenty files, so the file is opened as written first and its
  // size and kind taken from the open file; only a name that is not there as written is looked
  // up under another letter case.
  const std::optional<std::string> as_written = Drives().AsWrittenText(path);
  if (!as_written) return std::nullopt;
  int fd = OpenWithoutWaiting(as_written->c_str());
  if (fd < 0 && IsMissing(errno)) {
    const std::optional<fs::path> host = Drives().ToHost(path);
    if (!host || host->native() == *as_written) return std::nullopt;
    fd = OpenWithoutWaiting(host->c_str());
    if (fd < 0 && IsMissing(errno)) return std::nullopt;
  }
  if (fd < 0) throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    close(fd);
    throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  }
  if (S_ISDIR(info.st_mode)) {
    close(fd);
    throw base::Error(base::Error::Kind::kNotAFile, std::u16string(path));
  }
  // Only a regular file is read, as in the pattern folder: a FIFO or a device could keep a read
  // waiting for ever or never end.
  if (!S_ISREG(info.st_mode)) {
    close(fd);
    throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  }
  // A regular file never makes a read wait, so the flag that kept the open from waiting stays.
  // One read asks for a byte more than the size the file has: a read of a regular file that gives
  // less than it asked for has met the file's end, so a file of the size it had takes one read;
  // one that gained bytes since is read on, through a block, to its end.
  const size_t size = static_cast<size_t>(info.st_size > 0 ? info.st_size : 0);
  std::string bytes(size + 1, '\0');
  size_t got = 0;
  bool failed = false;
  char block[1 << 14];
  for (bool whole = false; !whole;) {
    const bool into_bytes = got < bytes.size();
    const ssize_t n = into_bytes ? read(fd, bytes.data() + got, bytes.size() - got)
                                 : read(fd, block, sizeof block);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    if (!into_bytes) bytes.append(block, static_cast<size_t>(n));
    got += static_cast<size_t>(n);
    // Less than asked for into the room the size gave: the end.
    whole = into_bytes && got < bytes.size();
  }
  close(fd);
  if (failed) throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  bytes.resize(got);
  return bytes;
}
#else
std::optional<std::string> ReadFileBytes(std::u16string_view path) {
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return std::nullopt;
  std::error_code ec;
  fs::file_status status = fs::status(*host, ec);
  if (!fs::exists(status)) return std::nullopt;
  if (fs::is_directory(status))
    throw base::Error(base::Error::Kind::kNotAFile, std::u16string(path));
  // Only a file on disk is read, as in the pattern folder: a device, a console or a pipe reached
  // through a link could keep a read waiting for ever. Opening one does not wait; its kind is
  // asked again of the open file, in case something else took the name in between.
  if (!fs::is_regular_file(status))
    throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  std::FILE* file = _wfopen(host->c_str(), L"rb");
  if (file == nullptr) throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != FILE_TYPE_DISK) {
    std::fclose(file);
    throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  }
  // One read of the size the file has, then blocks for anything it gained since.
  std::string bytes;
  std::uintmax_t size = fs::file_size(*host, ec);
  bytes.resize(ec ? 0 : static_cast<size_t>(size));
  size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  bytes.resize(got);
  char block[1 << 14];
  while (got > 0 || bytes.empty()) {
    got = std::fread(block, 1, sizeof block, file);
    if (got == 0) break;
    bytes.append(block, got);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  return bytes;
}
#endif

std::optional<std::uintmax_t> FileSize(std::u16string_view path) {
#ifndef _WIN32
  // One look at the name as written settles most files; only a name not there as written is
  // looked up under another letter case.
  if (const std::optional<std::string> as_written = Drives().AsWrittenText(path)) {
    struct stat info {};
    if (stat(as_written->c_str(), &info) == 0) {
      if (S_ISDIR(info.st_mode)) return 1;
      if (S_ISREG(info.st_mode)) return static_cast<std::uintmax_t>(info.st_size);
    }
  }
#endif
  std::optional<fs::path> host = Drives().ToHost(path);
  if (!host) return std::nullopt;
  std::error_code ec;
  fs::file_status status = fs::status(*host, ec);
  if (!fs::exists(status)) return std::nullopt;
  if (fs::is_directory(status)) return 1;
  std::uintmax_t size = fs::file_size(*host, ec);
  if (ec) throw base::Error(base::Error::Kind::kReadFailed, std::u16string(path));
  return size;
}

}  // namespace tjvx::platform
