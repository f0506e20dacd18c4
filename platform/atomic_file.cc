#include "platform/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <set>
#include <system_error>

#include "base/error.h"
#include "platform/drives.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace tjvx::platform {
namespace {

// Writers hand a file whole buffers (a converted file's lines a megabyte at a time), so its stream
// keeps no buffer of its own: each write goes to the file at once, without a copy, and the
// stream need not ask the file's block size to size a buffer.
void KeepNoStreamBuffer(std::FILE* file) { std::setvbuf(file, nullptr, _IONBF, 0); }

std::atomic<Durability> durability{Durability::kEachFile};
std::atomic<unsigned long long> syncs{0};
std::mutex deferred_mutex;
std::set<fs::path> deferred_folders;

// ".tjvx-" and six letters or digits, different at every call in the process and across processes.
std::string FreshTemporaryName() {
  static std::atomic<unsigned long long> state{
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
      (static_cast<unsigned long long>(
#ifdef _WIN32
           GetCurrentProcessId()
#else
           getpid()
#endif
               )
       << 40)};
  // splitmix64 over a shared counter.
  unsigned long long z = state.fetch_add(0x9E3779B97F4A7C15ull) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".tjvx-";
  for (int i = 0; i < 6; ++i, z /= 62) name += kLetters[z % 62];
  return name;
}

#ifdef _WIN32

// The path for the wide file calls: with the \\?\ prefix once it is too long for the classic
// limit, so long paths work where the system allows them.
std::wstring Win32Path(const fs::path& path) {
  std::wstring text = path.lexically_normal().native();
  for (wchar_t& c : text) {
    if (c == L'/') c = L'\\';
  }
  if (text.size() < MAX_PATH - 12 || text.rfind(L"\\\\?\\", 0) == 0) return text;
  if (text.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + text.substr(2);
  if (text.size() >= 3 && text[1] == L':' && text[2] == L'\\') return L"\\\\?\\" + text;
  return text;
}

#else

// O_TMPFILE unless switched off, and only with /proc to give the unnamed file a name.
bool UnnamedFilesWanted() {
  static const bool proc = access("/proc/self/fd", X_OK) == 0;
  const char* named = std::getenv("TJVX_NAMED_TEMPORARY_FILES");
  return proc && (named == nullptr || *named == '\0');
}

#endif

// The name held by a FIFO, socket or device; a link is looked at itself, not followed.
bool IsSpecial(const fs::path& host) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(host, ec);
  if (ec || !fs::exists(status)) return false;
  return !fs::is_regular_file(status) && !fs::is_directory(status) && !fs::is_symlink(status);
}

}  // namespace

bool HoldsSpecialFile(std::u16string_view path) {
  const std::optional<fs::path> host = Drives().ToHost(path, LastName::kAsWritten);
  return host && IsSpecial(*host);
}

void SetDurability(Durability value) { durability = value; }

unsigned long long SyncCount() { return syncs.load(); }

bool SyncDeferredFolders() {
  std::set<fs::path> folders;
  {
    std::lock_guard<std::mutex> lock(deferred_mutex);
    folders.swap(deferred_folders);
  }
  bool ok = true;
#ifndef _WIN32
  for (const fs::path& folder : folders) {
    ++syncs;
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
      sync();  // a folder that cannot be opened for reading: every file system then
      continue;
    }
    ok = syncfs(fd) == 0 && ok;
    close(fd);
  }
#endif
  return ok;
}

AtomicFile::AtomicFile(std::u16string path) : path_(std::move(path)) {
  std::optional<fs::path> host = Drives().ToHost(path_, LastName::kAsWritten);
  if (!host) Fail();
  final_ = *host;
  if (IsSpecial(final_)) throw base::Error(base::Error::Kind::kNotRegularFile, path_);
  folder_ = final_.parent_path();
  if (folder_.empty()) folder_ = ".";
#ifdef _WIN32
  while (file_ == nullptr) {
    temporary_name_ = FreshTemporaryName();
    temporary_ = folder_ / temporary_name_;
    const std::wstring wide = Win32Path(temporary_);
    if (listed_.Reserve(-1, temporary_name_, wide) == TemporaryName::Listing::kInterrupted) {
      temporary_.clear();
      Fail();
    }
    // Shared for deletion, so that the interrupt handler can remove it while it is open.
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      listed_.Clear();
      temporary_.clear();
      if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
      Fail();
    }
    listed_.MarkCreated();
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
      CloseHandle(handle);
      RemoveTemporary();
      Fail();
    }
    file_ = _fdopen(fd, "wb");
    if (file_ == nullptr) {
      _close(fd);
      RemoveTemporary();
      Fail();
    }
    KeepNoStreamBuffer(file_);
  }
#else
  folder_fd_ = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that may be written but not listed can still hold names and unnamed files.
  if (folder_fd_ < 0 && errno == EACCES) {
    folder_fd_ = open(folder_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  }
  if (folder_fd_ < 0) Fail();
  try {
    Open();
  } catch (...) {
    close(folder_fd_);
    throw;
  }
#endif
}

#ifndef _WIN32
void AtomicFile::Open() {
  int fd = -1;
  if (UnnamedFilesWanted()) {
    // The mode is 0666 less the umask, as for any new file.
    fd = openat(folder_fd_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail();
  }
  while (fd < 0) {
    temporary_name_ = FreshTemporaryName();
    InterruptsHeld held;
    if (listed_.Reserve(folder_fd_, temporary_name_, {}) == TemporaryName::Listing::kInterrupted) {
      Fail();
    }
    fd = openat(folder_fd_, temporary_name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
      listed_.Clear();
      if (errno == EEXIST) continue;
      Fail();
    }
    listed_.MarkCreated();
    temporary_ = folder_ / temporary_name_;
  }
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    RemoveTemporary();
    Fail();
  }
  KeepNoStreamBuffer(file_);
}
#endif

AtomicFile::~AtomicFile() {
  if (file_ != nullptr) std::fclose(file_);
  if (!committed_) RemoveTemporary();
  listed_.Clear();
#ifndef _WIN32
  if (folder_fd_ >= 0) close(folder_fd_);
#endif
}

void AtomicFile::RemoveTemporary() {
  if (temporary_.empty()) return;
  InterruptsHeld held;
  listed_.MarkBusy();
#ifdef _WIN32
  DeleteFileW(Win32Path(temporary_).c_str());
#else
  // Through the folder held open: the name is removed even when the folder was moved away.
  unlinkat(folder_fd_, temporary_name_.c_str(), 0);
#endif
  listed_.Clear();
  temporary_.clear();
}

void AtomicFile::Fail() { throw base::Error(base::Error::Kind::kWriteFailed, path_); }

void AtomicFile::FailCommit() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  RemoveTemporary();
  Fail();
}

void AtomicFile::Write(std::string_view bytes) {
  if (file_ == nullptr) Fail();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) Fail();
}

void AtomicFile::Commit() {
  if (file_ == nullptr) FailCommit();
#ifdef _WIN32
  // The file is flushed to the disk and closed, then moved over the final name, written through.
  bool ok = std::fflush(file_) == 0;
  ++syncs;
  ok = ok && FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file_)))) != 0;
  CloseFile(ok);
  listed_.MarkBusy();
  ++syncs;
  if (!MoveFileExW(Win32Path(temporary_).c_str(), Win32Path(final_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    listed_.MarkCreated();
    FailCommit();
  }
  listed_.Clear();
  temporary_.clear();
  committed_ = true;
#else
  const bool each_file = durability.load() == Durability::kEachFile;
  WriteOut(each_file);
  {
    // The interrupts wait from naming the file until it has the final name, in one window: the
    // handler never meets a name this thread is changing.
    InterruptsHeld held;
    if (temporary_.empty()) NameUnnamedFile();
    CloseFile(true);
    RenameOverFinal();
  }
  committed_ = true;
  MakeNameDurable(each_file);
#endif
}

void AtomicFile::CloseFile(bool ok) {
  ok = std::fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (!ok) FailCommit();
}

#ifndef _WIN32
void AtomicFile::WriteOut(bool sync) {
  bool ok = std::fflush(file_) == 0;
  const int fd = fileno(file_);
  // The regular file it replaces keeps its read, write and execute bits; a link is replaced
  // itself, so its target's bits are not taken, and the bits that run a program as its owner or
  // group (or keep a folder's names) never pass to a converted file.
  struct stat replaced {};
  if (lstat(final_.c_str(), &replaced) == 0 && S_ISREG(replaced.st_mode)) {
    ok = fchmod(fd, replaced.st_mode & 0777) == 0 && ok;
  }
  if (sync) {
    ++syncs;
    ok = ok && fsync(fd) == 0;
  }
  if (!ok) FailCommit();
}

void AtomicFile::NameUnnamedFile() {
  // The unnamed file gets a fresh temporary name, by the folder's path: a folder moved away
  // meanwhile is not written into.
  const std::string self = "/proc/self/fd/" + std::to_string(fileno(file_));
  for (;;) {
    temporary_name_ = FreshTemporaryName();
    const fs::path name = folder_ / temporary_name_;
    if (listed_.Reserve(folder_fd_, temporary_name_, {}) == TemporaryName::Listing::kInterrupted) {
      FailCommit();
    }
    if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
      listed_.Clear();
      if (errno == EEXIST) continue;
      FailCommit();
    }
    listed_.MarkCreated();
    temporary_ = name;
    return;
  }
}

void AtomicFile::RenameOverFinal() {
  // A FIFO or device made at the name while the file was written is not replaced either.
  if (IsSpecial(final_)) {
    RemoveTemporary();
    throw base::Error(base::Error::Kind::kNotRegularFile, path_);
  }
  listed_.MarkBusy();
  if (rename(temporary_.c_str(), final_.c_str()) != 0) {
    listed_.MarkCreated();
    FailCommit();
  }
  listed_.Clear();
  temporary_.clear();
}

void AtomicFile::MakeNameDurable(bool now) {
  if (now) {
    ++syncs;
    // A folder opened only as a path cannot be synced (EBADF), nor can some file systems' (EINVAL).
    if (fsync(folder_fd_) != 0 && errno != EBADF && errno != EINVAL) FailCommit();
    return;
  }
  std::lock_guard<std::mutex> lock(deferred_mutex);
  deferred_folders.insert(folder_);
}
#endif

}  // namespace tjvx::platform
