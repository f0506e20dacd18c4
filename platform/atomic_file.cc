#include "platform/atomic_file.h"

#include <cerrno>
#include <system_error>

#include "base/error.h"
#include "platform/drives.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {
namespace {

#ifndef _WIN32
mode_t ProcessUmask() {
  // umask can only be read by setting it; done once, before any thread writes files.
  static const mode_t mask = [] {
    mode_t m = umask(022);
    umask(m);
    return m;
  }();
  return mask;
}
#endif

}  // namespace

AtomicFile::AtomicFile(std::u16string path) : path_(std::move(path)) {
  std::optional<fs::path> host = Drives().ToHost(path_, LastName::kAsWritten);
  if (!host) Fail();
  final_ = *host;
#ifdef _WIN32
  for (unsigned n = GetCurrentProcessId() * 7919u + GetTickCount(); file_ == nullptr; ++n) {
    temporary_ = final_;
    temporary_ += L".tjvx-" + std::to_wstring(n % 1000000u);
    // _O_EXCL: a name that is already taken is skipped, never overwritten.
    int fd = _wopen(temporary_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                    _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno != EEXIST) Fail();
      continue;
    }
    file_ = _wfdopen(fd, L"wb");
    if (file_ == nullptr) {
      _close(fd);
      std::error_code ec;
      fs::remove(temporary_, ec);
      Fail();
    }
  }
#else
  std::string pattern = final_.string() + ".tjvx-XXXXXX";
  int fd = mkstemp(pattern.data());
  if (fd < 0) Fail();
  temporary_ = pattern;
  // mkstemp makes the file private; the converted file gets the usual permissions instead.
  fchmod(fd, 0666 & ~ProcessUmask());
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    std::error_code ec;
    fs::remove(temporary_, ec);
    Fail();
  }
#endif
}

AtomicFile::~AtomicFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!committed_ && !temporary_.empty()) {
    std::error_code ec;
    fs::remove(temporary_, ec);
  }
}

void AtomicFile::Fail() { throw base::Error(base::Error::Kind::kWriteFailed, path_); }

void AtomicFile::Write(std::string_view bytes) {
  if (file_ == nullptr) Fail();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail();
}

void AtomicFile::Commit() {
  if (file_ == nullptr) Fail();
  bool ok = std::fflush(file_) == 0;
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (!ok) Fail();
#ifdef _WIN32
  if (!MoveFileExW(temporary_.c_str(), final_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    Fail();
  }
#else
  std::error_code ec;
  fs::rename(temporary_, final_, ec);
  if (ec) Fail();
#endif
  committed_ = true;
}

}  // namespace tjvx::platform
