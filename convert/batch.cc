#include "convert/batch.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

#include "base/ascii.h"
#include "base/windows_path.h"
#include "platform/atomic_file.h"
#include "platform/drives.h"

namespace tjvx::convert {
namespace {

// The name a source folder's converted file takes: its last name, compared as the file system
// compares names.
std::u16string ConvertedName(std::u16string_view source) {
  std::u16string name(base::LastName(base::WithoutTrailingBackslashes(source, 3)));
  if (platform::kNamesIgnoreLetterCase) {
    for (char16_t& c : name) c = base::AsciiUpper(c);
  }
  return name;
}

// Two sources of one name in a batch would write one converted file, the later over the earlier:
// for each source, the earlier source of its name, or `folders.size()` for none. Folders refused
// before their run take no name.
std::vector<size_t> SameNameAs(const std::vector<BatchFolder>& folders) {
  std::vector<size_t> same_name_as(folders.size(), folders.size());
  std::map<std::u16string, size_t> first_of_name;
  for (size_t i = 0; i < folders.size(); ++i) {
    if (folders[i].refusal) continue;
    const auto [at, first] = first_of_name.emplace(ConvertedName(folders[i].source), i);
    if (!first) same_name_as[i] = at->second;
  }
  return same_name_as;
}

// One folder's run, as the batch's host sees it: the paths are the batch's, taken as given, and
// the messages and status lines go to the batch's host under the folder's index.
class FolderHost : public RunHost {
 public:
  FolderHost(BatchHost& host, size_t index, const std::u16string& source,
             const std::u16string& destination, const std::vector<std::u16string>* batch)
      : host_(host), index_(index), source_(source), destination_(destination), batch_(batch) {}

  std::u16string SourceFolder() override { return source_; }
  std::u16string Destination() override { return destination_; }
  bool PathsTakenAsGiven() const override { return true; }
  std::vector<std::u16string> BatchSourceFolders() const override {
    return batch_ != nullptr ? *batch_ : std::vector<std::u16string>();
  }
  void SetStatus(std::u16string_view text) override { host_.SetStatus(index_, text); }
  void FocusDestination() override {}
  void SetPointer(int) override {}
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    return host_.ShowMessage(index_, prompt, style, title);
  }

 private:
  BatchHost& host_;
  size_t index_;
  const std::u16string& source_;
  const std::u16string& destination_;
  const std::vector<std::u16string>* batch_;
};

class Batch {
 public:
  Batch(const std::vector<BatchFolder>& folders, const std::u16string& destination,
        source::PatternTables& tables, BatchHost& host)
      : folders_(folders),
        destination_(destination),
        tables_(tables),
        host_(host),
        many_(folders.size() > 1),
        same_name_as_(SameNameAs(folders)) {
    result_.runs.resize(folders.size());
    for (const BatchFolder& folder : folders) sources_.push_back(folder.source);
  }

  BatchResult Go(unsigned jobs) {
    // A batch makes its files durable all at once, before it returns, instead of one by one.
    if (many_) platform::SetDurability(platform::Durability::kDeferred);
    const size_t first_parallel = ConvertFirst();
    // Each worker takes the next source folder; one failure never stops the others.
    std::atomic<size_t> next{first_parallel};
    std::vector<std::thread> workers;
    const size_t count = folders_.size();
    const size_t workers_wanted = std::min<size_t>(std::max(1u, jobs), count - first_parallel);
    for (size_t w = 0; w < workers_wanted; ++w) {
      workers.emplace_back([&] {
        for (size_t i = next++; i < count && !host_.Cancelled(); i = next++) ConvertOne(i);
      });
    }
    for (std::thread& worker : workers) worker.join();
    result_.synced = platform::SyncDeferredFolders();
    if (many_) platform::SetDurability(platform::Durability::kEachFile);
    return std::move(result_);
  }

 private:
  // The first run goes alone: it asks about a missing destination and creates it once, so the
  // runs after it find it in place. Folders refused before it never reach the destination, so they
  // go alone too. Returns the first folder left to convert.
  size_t ConvertFirst() {
    size_t first_parallel = 0;
    while (first_parallel < folders_.size() && !host_.Cancelled()) {
      ConvertOne(first_parallel);
      if (!folders_[first_parallel++].refusal) break;
    }
    if (first_parallel == 0) return folders_.size();
    const RunResult& first = *result_.runs[first_parallel - 1];
    if (first.outcome == RunOutcome::kRefused && first.message == kCreateFolderQuestion) {
      // The destination was not made, so no run can write into it.
      for (size_t i = first_parallel; i < folders_.size(); ++i) {
        result_.runs[i] = first;
        host_.Finished(i, first);
      }
      first_parallel = folders_.size();
    }
    return first_parallel;
  }

  // The refusal of folder `i` before its run, if any.
  std::optional<std::u16string> RefusalOf(size_t i) const {
    if (folders_[i].refusal) return folders_[i].refusal;
    if (same_name_as_[i] < folders_.size()) {
      return std::u16string(kSameNameMessage) + u"\n" + folders_[same_name_as_[i]].source;
    }
    return std::nullopt;
  }

  void ConvertOne(size_t i) {
    host_.Started(i);
    FolderHost host(host_, i, folders_[i].source, destination_, many_ ? &sources_ : nullptr);
    RunResult result;
    if (const std::optional<std::u16string> refusal = RefusalOf(i)) {
      host.ShowMessage(*refusal, base::kMsgExclamation, {});
      result = {RunOutcome::kRefused, *refusal, {}};
    } else {
      // Runs of a batch share the processors among themselves, so each keeps to one thread.
      result = RunConversion(host, tables_, nullptr, many_ ? RunThreads::kOne : RunThreads::kTwo);
    }
    host_.Finished(i, result);
    result_.runs[i] = std::move(result);
  }

  const std::vector<BatchFolder>& folders_;
  const std::u16string& destination_;
  source::PatternTables& tables_;
  BatchHost& host_;
  const bool many_;
  const std::vector<size_t> same_name_as_;
  std::vector<std::u16string> sources_;
  BatchResult result_;
};

}  // namespace

unsigned DefaultJobs() { return std::max(1u, std::thread::hardware_concurrency()); }

BatchResult RunBatch(const std::vector<BatchFolder>& folders, const std::u16string& destination,
                     source::PatternTables& tables, BatchHost& host, unsigned jobs) {
  return Batch(folders, destination, tables, host).Go(jobs);
}

}  // namespace tjvx::convert
