// `tjvx convert SOURCE... DEST`: runs, for each source folder, the same conversion run as the
// window's run button, with DEST as the destination; several source folders are converted in
// parallel (--jobs) with one set of pattern tables.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/ascii.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "cli/command_line.h"
#include "cli/wildcards.h"
#include "convert/run.h"
#include "platform/atomic_file.h"
#include "platform/console.h"
#include "platform/drives.h"
#include "platform/interrupts.h"
#include "source/settings.h"
#include "text/path_components.h"

namespace tjvx::cli {
namespace {

enum class Answer { kAsk, kYes, kNo };

// The standard output and error of a batch, shared by its parallel runs: one run writes at a time,
// and on a terminal a progress line stays under the messages.
class Console {
 public:
  explicit Console(bool progress) : progress_(progress) {}

  // Holds the console for the length of a message, and of its question's answer.
  std::unique_lock<std::mutex> Lock() {
    std::unique_lock<std::mutex> lock(mutex_);
    ClearProgress();
    return lock;
  }
  // Draws the progress line again after a message; the console must be held.
  void Release(std::unique_lock<std::mutex> lock) {
    DrawProgress();
    lock.unlock();
  }

  // A run starts (`finished` false) or ends; the progress line names it.
  void Step(const std::string& name, bool finished) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (finished) ++done_;
    current_ = name;
    DrawProgress();
  }
  void SetTotal(size_t total) { total_ = total; }
  // Removes the progress line for good.
  void EndProgress() {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgress();
    progress_ = false;
  }

 private:
  void ClearProgress() {
    if (progress_) std::cerr << "\r\x1b[K" << std::flush;
  }
  void DrawProgress() {
    if (!progress_) return;
    std::cerr << "\r\x1b[K[" << done_ << "/" << total_ << "] " << current_ << std::flush;
  }

  std::mutex mutex_;
  bool progress_;
  size_t done_ = 0;
  size_t total_ = 0;
  std::string current_;
};

// The run's user on a terminal: messages go to standard error, the folder question is answered
// by --yes or --no, asked on a terminal, else answered No. In a batch each message names its
// source folder (`name`) and the status lines are left to the progress line.
class CommandLineHost : public convert::RunHost {
 public:
  CommandLineHost(Console& console, Answer answer, bool quiet, std::string name = {})
      : console_(console), answer_(answer), quiet_(quiet), name_(std::move(name)) {}

  void SetPaths(std::u16string source, std::u16string destination) {
    source_ = std::move(source);
    destination_ = std::move(destination);
  }
  // The source folders of the whole batch, whose files no converted file may replace.
  void SetBatch(const std::vector<std::u16string>* batch) { batch_ = batch; }

  std::u16string SourceFolder() override { return source_; }
  // SOURCE and DEST name exactly the folders given, blanks and all.
  bool PathsTakenAsGiven() const override { return true; }
  std::vector<std::u16string> BatchSourceFolders() const override {
    return batch_ != nullptr ? *batch_ : std::vector<std::u16string>();
  }
  std::u16string Destination() override { return destination_; }
  void SetStatus(std::u16string_view text) override {
    if (quiet_ || !name_.empty() || text.empty()) return;
    auto lock = console_.Lock();
    std::cerr << base::ToUtf8(text) << '\n';
    console_.Release(std::move(lock));
  }
  void FocusDestination() override {}
  void SetPointer(int) override {}

  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    auto lock = console_.Lock();
    std::cerr << "tjvx: ";
    if (!name_.empty()) std::cerr << name_ << ": ";
    if (!title.empty()) std::cerr << base::ToUtf8(title) << ": ";
    std::cerr << base::ToUtf8(prompt);
    if (style != base::kMsgYesNoQuestion) {
      std::cerr << '\n';
      console_.Release(std::move(lock));
      return base::kAnswerOk;
    }
    bool yes = answer_ == Answer::kYes;
    if (answer_ == Answer::kAsk && platform::StandardInputIsTerminal()) {
      std::cerr << " [y/N] " << std::flush;
      std::string reply;
      std::getline(std::cin, reply);
      yes = !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
    } else {
      std::cerr << (yes ? " -> yes" : " -> no") << '\n';
    }
    console_.Release(std::move(lock));
    return yes ? base::kAnswerYes : base::kAnswerNo;
  }

 private:
  Console& console_;
  Answer answer_;
  bool quiet_;
  std::string name_;
  std::u16string source_, destination_;
  const std::vector<std::u16string>* batch_ = nullptr;
};

// A message box text on the lines of the summary.
std::string Indented(const std::u16string& message) {
  std::string text = base::ToUtf8(message);
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, "    ");
  }
  return text;
}

inline constexpr std::u16string_view kSameNameMessage =
    u"同じ名前の変換元フォルダが先に指定されている為に変換できません。";

// The name a source folder's converted file takes: its last name, compared as the file system
// compares names.
std::u16string ConvertedName(std::u16string_view source) {
  std::u16string name(base::LastName(base::WithoutTrailingBackslashes(source, 3)));
  if (platform::kNamesIgnoreLetterCase) {
    for (char16_t& c : name) c = base::AsciiUpper(c);
  }
  return name;
}

// The line after a conversion that changed source values: how many, and how to see them.
std::string WarningsNote(size_t warnings, const std::string& source) {
  return "警告 " + std::to_string(warnings) +
         " 件: 元の値のまま書かれなかった値があります。一覧: tjvx check \"" + source + "\"";
}

// Two sources of one name in a batch would write one converted file, the later over the earlier:
// for each source, the earlier source of its name, or `folders.size()` for none. Patterns that
// matched nothing take no name.
std::vector<size_t> SameNameAs(const std::vector<std::u16string>& folders,
                               const std::vector<std::optional<std::u16string>>& pattern_refusals) {
  std::vector<size_t> same_name_as(folders.size(), folders.size());
  std::map<std::u16string, size_t> first_of_name;
  for (size_t i = 0; i < folders.size(); ++i) {
    if (pattern_refusals[i]) continue;
    const auto [at, first] = first_of_name.emplace(ConvertedName(folders[i]), i);
    if (!first) same_name_as[i] = at->second;
  }
  return same_name_as;
}

// The source folders of one `tjvx convert` and what became of each.
class ConvertBatch {
 public:
  ConvertBatch(const ConvertOptions& options, Answer answer, Console& console,
               std::vector<std::string> sources,
               std::vector<std::optional<std::u16string>> pattern_refusals,
               std::u16string destination, source::PatternTables& tables)
      : options_(options),
        answer_(answer),
        console_(console),
        sources_(std::move(sources)),
        pattern_refusals_(std::move(pattern_refusals)),
        destination_(std::move(destination)),
        tables_(tables),
        batch_(sources_.size() > 1),
        results_(sources_.size()) {
    for (const std::string& source : sources_) source_folders_.push_back(WindowsForm(source));
    same_name_as_ = SameNameAs(source_folders_, pattern_refusals_);
  }

  // Converts every source folder; false when the converted files could not be synced.
  bool ConvertAll() {
    // A batch makes its files durable all at once, before its summary, instead of one by one.
    if (batch_) platform::SetDurability(platform::Durability::kDeferred);
    const size_t first_parallel = ConvertFirst();
    // Each worker takes the next source folder; one failure never stops the others.
    std::atomic<size_t> next{first_parallel};
    std::vector<std::thread> workers;
    const size_t jobs = std::min<size_t>(options_.jobs, sources_.size() - first_parallel);
    for (size_t w = 0; w < jobs; ++w) {
      workers.emplace_back([&] {
        for (size_t i = next++; i < sources_.size(); i = next++) ConvertOne(i);
      });
    }
    for (std::thread& worker : workers) worker.join();
    console_.EndProgress();
    return platform::SyncDeferredFolders();
  }

  // The exit status, after the summary of a batch.
  int Summarise() const {
    size_t counts[3] = {0, 0, 0};
    for (const convert::RunResult& result : results_) ++counts[static_cast<int>(result.outcome)];
    if (batch_ && !options_.quiet) {
      std::cerr << "tjvx: " << counts[0] << " converted, " << counts[1] << " refused, " << counts[2]
                << " failed\n";
      for (size_t i = 0; i < sources_.size(); ++i) PrintOutcome(i);
    }
    return counts[0] == sources_.size() ? 0 : 1;
  }

 private:
  // The first run goes alone: it asks about a missing destination and creates it once, so the
  // runs after it find it in place. Patterns that matched nothing before it never reach the
  // destination, so they go alone too. Returns the first source folder left to convert.
  size_t ConvertFirst() {
    size_t first_parallel = 0;
    while (first_parallel < sources_.size()) {
      ConvertOne(first_parallel);
      if (!pattern_refusals_[first_parallel++]) break;
    }
    const convert::RunResult& first = results_[first_parallel - 1];
    if (first.outcome == convert::RunOutcome::kRefused &&
        first.message == convert::kCreateFolderQuestion) {
      // The destination was not made, so no run can write into it.
      for (size_t i = first_parallel; i < sources_.size(); ++i) results_[i] = first;
      first_parallel = sources_.size();
    }
    return first_parallel;
  }

  // The refusal of source folder `i` before its run, if any.
  std::optional<std::u16string> RefusalOf(size_t i) const {
    std::optional<std::u16string> refusal = pattern_refusals_[i];
    if (!refusal) refusal = BackslashNameRefusal(sources_[i]);
    if (!refusal && same_name_as_[i] < sources_.size()) {
      refusal = std::u16string(kSameNameMessage) + u"\n" + source_folders_[same_name_as_[i]];
    }
    return refusal;
  }

  void ConvertOne(size_t i) {
    console_.Step(sources_[i], false);
    CommandLineHost host(console_, answer_, options_.quiet, batch_ ? sources_[i] : std::string());
    host.SetPaths(source_folders_[i], destination_);
    host.SetBatch(batch_ ? &source_folders_ : nullptr);
    if (const std::optional<std::u16string> refusal = RefusalOf(i)) {
      host.ShowMessage(*refusal, base::kMsgExclamation, {});
      results_[i] = {convert::RunOutcome::kRefused, *refusal, {}};
      console_.Step(sources_[i], true);
      return;
    }
    // Runs of a batch share the processors among themselves, so each keeps to one thread.
    results_[i] = convert::RunConversion(
        host, tables_, nullptr, batch_ ? convert::RunThreads::kOne : convert::RunThreads::kTwo);
    if (results_[i].outcome == convert::RunOutcome::kConverted && !options_.quiet) {
      PrintConverted(i);
    }
    console_.Step(sources_[i], true);
  }

  // The converted file's path on the standard output; a lone run's warnings after it.
  void PrintConverted(size_t i) {
    auto lock = console_.Lock();
    // Output that nobody reads any more (a closed pipe, EPIPE) ends the printing, not the batch.
    if (output_open_) {
      std::cout << base::ToUtf8(results_[i].converted_file) << std::endl;
      output_open_ = static_cast<bool>(std::cout);
    }
    if (results_[i].warnings > 0 && !batch_) {
      std::cerr << "tjvx: " << WarningsNote(results_[i].warnings, sources_[i]) << '\n';
    }
    console_.Release(std::move(lock));
  }

  // The summary's line for a source folder that was refused, failed or converted with warnings.
  void PrintOutcome(size_t i) const {
    const convert::RunResult& result = results_[i];
    if (result.outcome == convert::RunOutcome::kConverted) {
      if (result.warnings > 0) {
        std::cerr << "tjvx: " << sources_[i] << ": " << WarningsNote(result.warnings, sources_[i])
                  << '\n';
      }
      return;
    }
    std::cerr << "tjvx: "
              << (result.outcome == convert::RunOutcome::kRefused ? "refused" : "failed") << ": "
              << sources_[i] << ": " << Indented(result.message) << '\n';
  }

  const ConvertOptions& options_;
  const Answer answer_;
  Console& console_;
  const std::vector<std::string> sources_;
  const std::vector<std::optional<std::u16string>> pattern_refusals_;
  const std::u16string destination_;
  source::PatternTables& tables_;
  const bool batch_;
  std::vector<std::u16string> source_folders_;
  std::vector<size_t> same_name_as_;
  std::vector<convert::RunResult> results_;
  bool output_open_ = true;  // guarded by the console's lock
};

}  // namespace

int Convert(const ConvertOptions& options) {
  const Answer answer = options.yes ? Answer::kYes : options.no ? Answer::kNo : Answer::kAsk;
  // Each pattern stands for its folders; one that matches nothing is refused as a missing source
  // would be, in its place in the batch.
  std::vector<std::string> sources;
  std::vector<std::optional<std::u16string>> pattern_refusals;
  const std::vector<std::string> given(options.paths.begin(), options.paths.end() - 1);
  for (ExpandedArgument& source : ExpandWildcards(given, Wanted::kFolders)) {
    sources.push_back(std::move(source.path));
    pattern_refusals.push_back(std::move(source.refusal));
  }
  Console console(sources.size() > 1 && !options.quiet && platform::StandardErrorIsTerminal());
  console.SetTotal(sources.size());

  CommandLineHost settings_host(console, answer, options.quiet);
  const std::optional<std::u16string> folder = PatternFolder(options.pattern, settings_host);
  if (!folder) return 2;
  // One set of tables for the whole batch: each table is read once, by the first run needing it.
  source::PatternTables tables(*folder);
  if (const std::optional<std::u16string> refusal = BackslashNameRefusal(options.paths.back())) {
    settings_host.ShowMessage(*refusal, base::kMsgExclamation, {});
    return 1;
  }
  ConvertBatch batch(options, answer, console, std::move(sources), std::move(pattern_refusals),
                     WindowsForm(options.paths.back()), tables);
  if (!batch.ConvertAll()) {
    // Files that may not be on the disk are not reported converted.
    std::cerr << "tjvx: the converted files could not be synced to the disk\n";
    return 1;
  }
  return batch.Summarise();
}

}  // namespace tjvx::cli
