#ifndef TJVX_PLATFORM_ATOMIC_FILE_H_
#define TJVX_PLATFORM_ATOMIC_FILE_H_

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/interrupts.h"

namespace tjvx::platform {

// Whether something other than a regular file, a folder or a symbolic link holds the name of the
// Windows-form `path` (a FIFO, a socket, a device): such a thing is never replaced by a written
// file. A symbolic link is not followed: it is the link that a written file replaces.
bool HoldsSpecialFile(std::u16string_view path);

// A file written under a temporary name in its destination folder and renamed over the final name
// only by Commit(), so a failed run leaves an earlier file of that name intact and no partial file.
// On Linux the file has no name at all until Commit() (O_TMPFILE), so even a killed process leaves
// nothing; where the file system refuses that, or TJVX_NAMED_TEMPORARY_FILES is set, it is written
// under a short name ".tjvx-XXXXXX", which fits wherever the final name fits. An interrupt removes
// that name (see InstallInterruptCleanup). Commit() makes the file durable before it returns,
// unless durability is deferred (SetDurability).
class AtomicFile {
 public:
  // Creates the temporary file beside `path`; throws Error::Kind::kWriteFailed naming `path`, or
  // kNotRegularFile when `path` names a FIFO, socket or device (see HoldsSpecialFile).
  explicit AtomicFile(std::u16string path);
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  void Write(std::string_view bytes);
  // Flushes, syncs, closes and renames over the final name, then syncs the folder; an existing
  // regular file's read, write and execute bits pass to the new one (never set-user-ID,
  // set-group-ID or sticky bits). Throws kWriteFailed on any failure, kNotRegularFile when a FIFO,
  // socket or device has taken the final name meanwhile, and then leaves no temporary file, even
  // when the folder has been moved away meanwhile.
  void Commit();
  // The temporary file's path while it has one: empty for an unnamed file.
  const std::filesystem::path& temporary_path() const { return temporary_; }

 private:
  [[noreturn]] void Fail();
  [[noreturn]] void FailCommit();  // removes the temporary file first
  void Open();                     // POSIX: the temporary file in the folder held open
  void RemoveTemporary();
  // The steps of Commit(). Closes the file; fails when it does not close or `ok` is false.
  void CloseFile(bool ok);
  // POSIX: flushes the file, gives it the bits of the file it replaces, and syncs it when `sync`.
  void WriteOut(bool sync);
  // POSIX: links the unnamed file under a fresh temporary name in the folder. With interrupts
  // held.
  void NameUnnamedFile();
  // POSIX: renames the temporary file over the final name, unless a FIFO, socket or device holds
  // it. With interrupts held.
  void RenameOverFinal();
  // POSIX: syncs the folder `now`, or leaves it to SyncDeferredFolders().
  void MakeNameDurable(bool now);
  std::u16string path_;
  std::filesystem::path final_;
  std::filesystem::path folder_;
  std::filesystem::path temporary_;
  std::string temporary_name_;
  std::FILE* file_ = nullptr;
  int folder_fd_ = -1;  // POSIX: the destination folder, held so the name goes wherever it goes
  bool committed_ = false;
  TemporaryName listed_;
};

// When Commit() makes a file durable: before it returns (each file: the file and its folder are
// synced), or later, when SyncDeferredFolders() is called (a batch: one file-system sync for all
// its files before its summary). Windows always syncs each file.
enum class Durability { kEachFile, kDeferred };
void SetDurability(Durability durability);
// Makes durable every file committed while durability was deferred: one sync of each folder's
// file system. False when one failed.
bool SyncDeferredFolders();
// The syncs made so far in this process (file, folder and file-system syncs), for tests.
unsigned long long SyncCount();

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_ATOMIC_FILE_H_
