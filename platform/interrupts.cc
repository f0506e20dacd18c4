#include "platform/interrupts.h"

#include <atomic>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <time.h>
#include <unistd.h>
#endif

namespace tjvx::platform {
namespace {

// Enough for every run of the largest batch (--jobs is at most 1024) and a few more.
constexpr int kSlots = 1100;
// The entry states: the handler skips a free entry, waits for a busy one and removes the file of a
// created one.
enum State : int { kFree = 0, kBusy = 1, kCreated = 2 };

struct Slot {
  std::atomic<int> state{kFree};
#ifdef _WIN32
  wchar_t path[1024];
#else
  int folder_fd = -1;
  char name[256];
#endif
};

static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the states lock-free");
static_assert(std::atomic<bool>::is_always_lock_free, "the handler sets the flag lock-free");

Slot slots[kSlots];
// Set by the first interrupt: from then on no temporary file is created.
std::atomic<bool> interrupted{false};

// Removes the file of every created entry, waiting for the busy ones. Only lock-free atomics and
// unlink calls: it runs in a signal handler.
void RemoveListedFiles() {
  interrupted.store(true);
  for (Slot& slot : slots) {
    int state;
    while ((state = slot.state.load()) == kBusy) {
#ifdef _WIN32
      Sleep(0);
#else
      const timespec pause{0, 100000};
      nanosleep(&pause, nullptr);
#endif
    }
    if (state != kCreated) continue;
#ifdef _WIN32
    DeleteFileW(slot.path);
#else
    unlinkat(slot.folder_fd, slot.name, 0);
#endif
  }
}

#ifdef _WIN32

BOOL WINAPI OnConsoleEvent(DWORD) {
  RemoveListedFiles();
  return FALSE;  // the default handler then ends the process as it would have
}

#else

constexpr int kInterruptSignals[] = {SIGINT, SIGTERM, SIGHUP};

sigset_t InterruptSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal_number : kInterruptSignals) sigaddset(&set, signal_number);
  return set;
}

void OnInterrupt(int signal_number) {
  RemoveListedFiles();
  // The signal again, with its default action, so the parent sees what ended the process. It is
  // held while its handler runs, so it is delivered when let through.
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  sigaction(signal_number, &action, nullptr);
  raise(signal_number);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal_number);
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

#endif

}  // namespace

void InstallInterruptCleanup() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_mask = InterruptSet();
  for (int signal_number : kInterruptSignals) {
    struct sigaction previous {};
    sigaction(signal_number, nullptr, &previous);
    // A signal ignored by whoever started the program (nohup, a background job) stays ignored.
    if (previous.sa_handler == SIG_IGN) continue;
    sigaction(signal_number, &action, nullptr);
  }
  signal(SIGPIPE, SIG_IGN);
  // A file-size limit (ulimit -f) then fails the write with EFBIG, which the run reports as a
  // write failure and cleans up after, instead of killing the process mid-file.
  signal(SIGXFSZ, SIG_IGN);
#endif
}

InterruptsHeld::InterruptsHeld() {
#ifndef _WIN32
  static_assert(sizeof(sigset_t) <= sizeof saved_);
  const sigset_t set = InterruptSet();
  pthread_sigmask(SIG_BLOCK, &set, reinterpret_cast<sigset_t*>(saved_));
#endif
}

InterruptsHeld::~InterruptsHeld() {
#ifndef _WIN32
  pthread_sigmask(SIG_SETMASK, reinterpret_cast<sigset_t*>(saved_), nullptr);
#endif
}

TemporaryName::Listing TemporaryName::Reserve(int folder_fd, std::string_view name,
                                              const std::filesystem::path& path) {
  Clear();
#ifdef _WIN32
  (void)folder_fd;
  (void)name;
  const std::wstring& text = path.native();
  if (text.size() >= std::size(Slot{}.path)) return Listing::kUnlisted;
#else
  (void)path;
  if (name.size() >= sizeof(Slot{}.name)) return Listing::kUnlisted;
#endif
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (slots[i].state.compare_exchange_strong(expected, kBusy)) {
      slot_ = i;
      break;
    }
  }
  if (slot_ < 0) return Listing::kUnlisted;
  // Checked after the entry is busy: either this sees the interrupt, or the handler, which sets
  // the flag before it reads the table, waits for this entry.
  if (interrupted.load()) {
    Clear();
    return Listing::kInterrupted;
  }
  Slot& slot = slots[slot_];
#ifdef _WIN32
  std::memcpy(slot.path, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
#else
  slot.folder_fd = folder_fd;
  std::memcpy(slot.name, name.data(), name.size());
  slot.name[name.size()] = '\0';
#endif
  return Listing::kListed;
}

void TemporaryName::MarkCreated() {
  if (slot_ >= 0) slots[slot_].state.store(kCreated);
}

void TemporaryName::MarkBusy() {
  if (slot_ >= 0) slots[slot_].state.store(kBusy);
}

void TemporaryName::Clear() {
  if (slot_ < 0) return;
  slots[slot_].state.store(kFree);
  slot_ = -1;
}

bool Interrupted() { return interrupted.load(); }

}  // namespace tjvx::platform
