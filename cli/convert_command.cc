// `tjvx convert SOURCE... DEST`: runs, for each source folder, the same conversion run as the
// window's run button, with DEST as the destination; several source folders are converted in
// parallel (--jobs) with one set of pattern tables.

#include <algorithm>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/utf.h"
#include "cli/command_line.h"
#include "cli/wildcards.h"
#include "convert/batch.h"
#include "convert/run.h"
#include "platform/console.h"
#include "source/code_table.h"

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

// The messages of a run on a terminal: they go to standard error, the folder question is answered
// by --yes or --no, asked on a terminal, else answered No. In a batch each message names its
// source folder (`name`) and the status lines are left to the progress line.
class ConsoleMessages : public base::MessageHost {
 public:
  ConsoleMessages(Console& console, Answer answer, bool quiet, std::string name = {})
      : console_(console), answer_(answer), quiet_(quiet), name_(std::move(name)) {}

  void SetStatus(std::u16string_view text) {
    if (quiet_ || !name_.empty() || text.empty()) return;
    auto lock = console_.Lock();
    std::cerr << base::ToUtf8(text) << '\n';
    console_.Release(std::move(lock));
  }

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
};

// A message box text on the lines of the summary.
std::string Indented(const std::u16string& message) {
  std::string text = base::ToUtf8(message);
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, "    ");
  }
  return text;
}

// The line after a conversion that changed source values: how many, and how to see them.
std::string WarningsNote(size_t warnings, const std::string& source) {
  return "警告 " + std::to_string(warnings) +
         " 件: 元の値のまま書かれなかった値があります。一覧: tjvx check \"" + source + "\"";
}

// The source folders of one `tjvx convert` on the terminal: the progress line follows the runs,
// each converted file's path goes to the standard output as its run ends, and a summary of the
// batch to the standard error at the end.
class ConvertBatch : public convert::BatchHost {
 public:
  ConvertBatch(const ConvertOptions& options, Answer answer, Console& console,
               std::vector<std::string> sources)
      : options_(options),
        answer_(answer),
        console_(console),
        sources_(std::move(sources)),
        batch_(sources_.size() > 1) {}

  void Started(size_t i) override { console_.Step(sources_[i], false); }
  int ShowMessage(size_t i, std::u16string_view prompt, int style,
                  std::u16string_view title) override {
    return MessagesOf(i).ShowMessage(prompt, style, title);
  }
  void SetStatus(size_t i, std::u16string_view text) override { MessagesOf(i).SetStatus(text); }
  void Finished(size_t i, const convert::RunResult& result) override {
    if (result.outcome == convert::RunOutcome::kConverted && !options_.quiet) {
      PrintConverted(i, result);
    }
    console_.Step(sources_[i], true);
  }

  // The exit status, after the summary of a batch.
  int Summarise(const std::vector<std::optional<convert::RunResult>>& results) const {
    size_t counts[3] = {0, 0, 0};
    for (const std::optional<convert::RunResult>& result : results) {
      ++counts[static_cast<int>(result->outcome)];
    }
    if (batch_ && !options_.quiet) {
      std::cerr << "tjvx: " << counts[0] << " converted, " << counts[1] << " refused, " << counts[2]
                << " failed\n";
      for (size_t i = 0; i < sources_.size(); ++i) PrintOutcome(i, *results[i]);
    }
    return counts[0] == sources_.size() ? 0 : 1;
  }

 private:
  ConsoleMessages MessagesOf(size_t i) {
    return ConsoleMessages(console_, answer_, options_.quiet, batch_ ? sources_[i] : std::string());
  }

  // The converted file's path on the standard output; a lone run's warnings after it.
  void PrintConverted(size_t i, const convert::RunResult& result) {
    auto lock = console_.Lock();
    // Output that nobody reads any more (a closed pipe, EPIPE) ends the printing, not the batch.
    if (output_open_) {
      std::cout << base::ToUtf8(result.converted_file) << std::endl;
      output_open_ = static_cast<bool>(std::cout);
    }
    if (result.warnings > 0 && !batch_) {
      std::cerr << "tjvx: " << WarningsNote(result.warnings, sources_[i]) << '\n';
    }
    console_.Release(std::move(lock));
  }

  // The summary's line for a source folder that was refused, failed or converted with warnings.
  void PrintOutcome(size_t i, const convert::RunResult& result) const {
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
  const bool batch_;
  bool output_open_ = true;  // guarded by the console's lock
};

}  // namespace

int Convert(const ConvertOptions& options) {
  const Answer answer = options.yes ? Answer::kYes : options.no ? Answer::kNo : Answer::kAsk;
  // Each pattern stands for its folders; one that matches nothing is refused as a missing source
  // would be, in its place in the batch, as is a host name that has no Windows form.
  std::vector<std::string> sources;
  std::vector<convert::BatchFolder> folders;
  const std::vector<std::string> given(options.paths.begin(), options.paths.end() - 1);
  for (ExpandedArgument& source : ExpandWildcards(given, Wanted::kFolders,
                                                  platform::kProgramExpandsWildcards,
                                                  options.paths.back())) {
    std::optional<std::u16string> refusal = std::move(source.refusal);
    if (!refusal) refusal = BackslashNameRefusal(source.path);
    folders.push_back({WindowsForm(source.path), std::move(refusal)});
    sources.push_back(std::move(source.path));
  }
  Console console(sources.size() > 1 && !options.quiet && platform::StandardErrorIsTerminal());
  console.SetTotal(sources.size());

  ConsoleMessages settings_messages(console, answer, options.quiet);
  const std::optional<std::u16string> folder = PatternFolder(options.pattern, settings_messages);
  if (!folder) return 2;
  // One set of tables for the whole batch: each table is read once, by the first run needing it.
  source::PatternTables tables(*folder);
  if (const std::optional<std::u16string> refusal = BackslashNameRefusal(options.paths.back())) {
    settings_messages.ShowMessage(*refusal, base::kMsgExclamation, {});
    return 1;
  }
  ConvertBatch batch(options, answer, console, std::move(sources));
  const convert::BatchResult result =
      convert::RunBatch(folders, WindowsForm(options.paths.back()), tables, batch, options.jobs);
  console.EndProgress();
  if (!result.synced) {
    // Files that may not be on the disk are not reported converted.
    std::cerr << "tjvx: the converted files could not be synced to the disk\n";
    return 1;
  }
  return batch.Summarise(result.runs);
}

}  // namespace tjvx::cli
