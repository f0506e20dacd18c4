#ifndef TJVX_CONVERT_BATCH_H_
#define TJVX_CONVERT_BATCH_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/run.h"
#include "source/code_table.h"

// Many source folders converted into one destination with one set of pattern tables: the command
// line's `tjvx convert A B C DEST` and the window's site dialog.
namespace tjvx::convert {

inline constexpr std::u16string_view kSameNameMessage =
    u"同じ名前の変換元フォルダが先に指定されている為に変換できません。";

// How many source folders a batch converts at the same time unless told: one per processor.
unsigned DefaultJobs();

// One source folder of a batch.
struct BatchFolder {
  std::u16string source;  // Windows form, taken as given
  // Why its caller refuses the folder before its run (a pattern that matched nothing, a name that
  // has no Windows form); such a folder takes no converted name and never reaches the destination.
  std::optional<std::u16string> refusal;
};

// The user of a batch. Its calls come from the batch's threads, a folder's calls from the thread
// that converts it; they must be safe to make from several threads at once.
class BatchHost {
 public:
  virtual ~BatchHost() = default;

  // Whether to start no more folders; those in flight go to their end.
  virtual bool Cancelled() { return false; }
  // Folder `index` starts.
  virtual void Started(size_t index) = 0;
  // A message of folder `index`'s run, or its refusal before the run, with the answer a message
  // box of that style gives (the question about a missing destination comes from the first run
  // that reaches the destination, alone).
  virtual int ShowMessage(size_t index, std::u16string_view prompt, int style,
                          std::u16string_view title) = 0;
  // The status line of folder `index`'s run.
  virtual void SetStatus(size_t index, std::u16string_view text) = 0;
  // Folder `index` has ended with `result`. Every folder that started ends, and so does every
  // folder left unstarted because the destination was not made.
  virtual void Finished(size_t index, const RunResult& result) = 0;
};

struct BatchResult {
  // Each folder's result in the given order; none for a folder never started (cancelled).
  std::vector<std::optional<RunResult>> runs;
  // Whether every converted file was made durable before the batch returned.
  bool synced = true;
};

// Converts each folder of `folders` into `destination` as the run button would, with the rules of
// a batch: the tables are shared (each read once, by the first run needing it); a second folder of
// a converted name taken by an earlier one is refused, naming the earlier; the first run goes
// alone, so a missing destination is asked about once and made once, and a No leaves every folder
// refused; then up to `jobs` runs at a time, one thread each, one failure stopping no other. The
// converted files are made durable all at once at the end. Sites are not registered: runs that
// share a registry are the caller's to register, on its own thread.
BatchResult RunBatch(const std::vector<BatchFolder>& folders, const std::u16string& destination,
                     source::PatternTables& tables, BatchHost& host, unsigned jobs);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_BATCH_H_
