#ifndef TJVX_PLATFORM_INTERRUPTS_H_
#define TJVX_PLATFORM_INTERRUPTS_H_

#include <filesystem>
#include <string_view>

namespace tjvx::platform {

// Makes an interrupt (SIGINT, SIGTERM, SIGHUP; on Windows Ctrl+C, Ctrl+Break and a closed
// console) first remove the temporary files of every write in flight, then end the process as the
// interrupt would have; and makes a closed pipe on standard output an error of the write instead
// of the end of the process (SIGPIPE ignored), as is a file grown past the size limit (SIGXFSZ
// ignored). The command line calls it once at start.
void InstallInterruptCleanup();

// Holds the interrupt signals back from this thread for its lifetime (nothing on Windows), so
// that a handler never waits on the thread it runs in.
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;

 private:
  alignas(8) unsigned char saved_[128];  // the thread's earlier signal mask (POSIX)
};

// One entry of the list of temporary file names the interrupt handler removes. The entry is kept
// in a fixed table the handler reads without allocating or locking; each entry has a state that
// says whether the handler may read it, must wait for it, or must remove its file.
class TemporaryName {
 public:
  TemporaryName() = default;
  ~TemporaryName() { Clear(); }
  TemporaryName(const TemporaryName&) = delete;
  TemporaryName& operator=(const TemporaryName&) = delete;

  enum class Listing { kListed, kUnlisted, kInterrupted };
  // With interrupts held: takes an entry naming `name` in the folder `folder_fd` (POSIX) or the
  // whole path `path` (Windows) and marks it busy: a handler waits until it is marked created or
  // cleared. kInterrupted when the process is being interrupted (create nothing then); kUnlisted
  // when the table is full or the name too long for it (the file is then written unlisted).
  Listing Reserve(int folder_fd, std::string_view name, const std::filesystem::path& path);
  // With interrupts held, after Reserve: the file now exists; a handler removes it.
  void MarkCreated();
  // With interrupts held: a handler must wait again (before the name is removed or renamed).
  void MarkBusy();
  // Frees the entry: the name no longer concerns the handler.
  void Clear();
  bool reserved() const { return slot_ >= 0; }

 private:
  int slot_ = -1;
};

// Whether an interrupt has begun to end the process.
bool Interrupted();

}  // namespace tjvx::platform

#endif  // TJVX_PLATFORM_INTERRUPTS_H_
