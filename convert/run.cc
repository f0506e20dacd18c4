#include "convert/run.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <system_error>

#include "base/ascii.h"
#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/header.h"
#include "convert/line_sink.h"
#include "convert/record_groups.h"
#include "convert/run_steps.h"
#include "convert/site_notes.h"
#include "platform/atomic_file.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/system_folder.h"
#include "source/depth_list.h"
#include "source/settings.h"
#include "source/source_files.h"
#include "source/titles.h"
#include "text/path_check.h"
#include "text/path_components.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

using platform::FindEntry;

// The inputs of a run or batch: the folders whose fixed file names a converted file must not take.
struct Inputs {
  std::vector<std::u16string> source_folders;  // this run's first
  std::u16string pattern_folder;
  std::vector<std::u16string> settings_folders;
  // The rest of a batch's source folders, resolved when a name is first looked for among them: a
  // batch of a thousand folders would otherwise resolve a thousand paths in each of its runs.
  mutable std::function<std::vector<std::u16string>()> other_sources;

  // This run's source folder, then the rest of its batch.
  const std::vector<std::u16string>& AllSourceFolders() const {
    if (other_sources) {
      for (std::u16string& other : other_sources()) all_sources.push_back(std::move(other));
      other_sources = nullptr;
    }
    return all_sources;
  }
  mutable std::vector<std::u16string> all_sources = source_folders;
};

// Whether the file `name` in the Windows-form `folder` is, by its name, an input: a file of a
// source folder, a table of the pattern folder or a settings file, in any letter case, so that a
// new "X1.TXT" never shadows an "x1.txt" it would be looked up in place of. Only a name that is one
// of the fixed names costs a look at the folders.
bool NamesInput(std::u16string_view folder, std::u16string_view name, const Inputs& inputs) {
  if (source::FileNamed(source::SourceFolderFiles(), name)) {
    for (const std::u16string& source : inputs.AllSourceFolders()) {
      if (platform::SamePlace(folder, source)) return true;
    }
  }
  if (source::FileNamed(source::PatternFolderFiles(), name) &&
      platform::SamePlace(folder, inputs.pattern_folder)) {
    return true;
  }
  if (base::EqualsIgnoringAsciiCase(name, source::kSettingsFileName)) {
    for (const std::u16string& settings : inputs.settings_folders) {
      if (platform::SamePlace(folder, settings)) return true;
    }
  }
  return false;
}

// Whether writing the converted file `folder`\`name` would replace an input: by its name (see
// NamesInput), or because the file already there is an input under another name: a symbolic link
// to one, a hard link, or the same file reached through another drive.
bool OverwritesInput(const std::u16string& folder, const std::u16string& name,
                     const Inputs& inputs) {
  if (NamesInput(folder, name, inputs)) return true;
  const std::u16string converted = folder + u"\\" + name;
  std::optional<std::filesystem::path> host =
      platform::Drives().ToHost(converted, platform::LastName::kAsWritten);
  std::error_code ec;
  // A converted file that is not there yet is none of the inputs; this spares looking up every
  // input in a destination folder that may hold thousands of files.
  if (!host || !std::filesystem::exists(*host, ec)) return false;
  // A link is judged by the file it leads to, named as that file is named.
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(*host, ec))) {
    const std::filesystem::path target = std::filesystem::canonical(*host, ec);
    const std::u16string windows_target = ec ? u"" : platform::Drives().FromHost(target);
    const std::u16string_view target_name = base::LastName(windows_target);
    if (target_name.size() < windows_target.size() &&
        NamesInput(std::u16string_view(windows_target)
                       .substr(0, windows_target.size() - target_name.size() - 1),
                   target_name, inputs)) {
      return true;
    }
  }
  auto same = [&](const std::u16string& input) {
    std::optional<std::filesystem::path> input_host = platform::Drives().ToHost(input);
    return input_host && std::filesystem::equivalent(*host, *input_host, ec) && !ec;
  };
  const std::u16string& source = inputs.source_folders.front();
  for (source::FileId input : source::SourceFolderFiles()) {
    if (same(source::SourcePath(source, input))) return true;
  }
  for (source::FileId input : source::PatternFolderFiles()) {
    if (same(inputs.pattern_folder + std::u16string(source::FileName(input)))) return true;
  }
  // The settings file, whether this run read it or was given its pattern folder: a conversion
  // put in its place would lose the setting.
  for (const std::u16string& settings : inputs.settings_folders) {
    if (same(settings + u"\\" + std::u16string(source::kSettingsFileName))) return true;
  }
  return false;
}

class Run {
 public:
  Run(RunHost& host, source::PatternTables& tables, SiteRegistry* registry, RunThreads threads)
      : host_(host), tables_(tables), registry_(registry), threads_(threads) {}

  RunResult Go() {
    host_.SetStatus(kBusyText);
    const bool as_given = host_.PathsTakenAsGiven();
    std::u16string source_folder, destination;
    if (std::optional<RunResult> stop = TakePaths(as_given, source_folder, destination)) {
      return *stop;
    }
    try {
      if (std::optional<RunResult> stop = WalkDestination(destination)) return *stop;
    } catch (const base::Error& error) {
      return Fail(error.Message());
    }
    // The converted file's name: the last name of the resolved source folder, which holds no
    // separator and is never "." or "..", so the file goes into the destination and nowhere else.
    const std::u16string name = text::SplitPath(source_folder, u"\\").back();
    result_.converted_file = destination + u"\\" + name;
    if (std::optional<RunResult> stop =
            RefuseTakenPlace(source_folder, destination, name, as_given)) {
      return *stop;
    }

    host_.SetPointer(kPointerHourglass);
    try {
      Convert(source_folder, name, destination);
    } catch (const base::Error& error) {
      return Fail(error.Message());
    } catch (const std::exception& error) {
      return Fail(UnforeseenFailureMessage(source_folder, error));
    }
    host_.SetStatus(kDoneText);
    host_.SetPointer(kPointerDefault);
    result_.outcome = RunOutcome::kConverted;
    result_.warnings = findings_.Counted(base::Severity::kWarning);
    return result_;
  }

 private:
  // Checks the destination path, then both paths for blanks and the source folder itself, and
  // gives the source folder and the destination (as the path check left it: trimmed, "\" after
  // the drive, without its trailing "\"), or the refusal.
  std::optional<RunResult> TakePaths(bool as_given, std::u16string& source_folder,
                                     std::u16string& destination) {
    // Both paths as Windows resolves them: "/" separates too, "." and ".." are gone.
    destination = text::ResolvePath(host_.Destination());
    std::u16string checked = destination;
    if (!text::CheckPath(checked, host_, as_given)) {
      host_.ShowMessage(kBadPathMessage, base::kMsgExclamation, destination);
      host_.FocusDestination();
      return Refuse(kBadPathMessage);
    }
    const std::u16string source = host_.SourceFolder();
    source_folder = SourceFolder(source, as_given);
    const std::optional<std::u16string> refusal = SourceFolderRefusal(source, source_folder);
    // A blank source is told before a blank destination, the source folder's other faults after.
    if (refusal == kNoSourceMessage) return RefuseWithBox(kNoSourceMessage);
    if (text::Trim(text::ResolvePath(host_.Destination())).empty()) {
      return RefuseWithBox(kNoDestinationMessage);
    }
    if (refusal) return RefuseWithBox(*refusal);
    destination = base::WithoutTrailingBackslashes(checked);
    return std::nullopt;
  }

  // Asks once when a level of the destination is missing; "Yes" creates every missing level.
  std::optional<RunResult> WalkDestination(const std::u16string& destination) {
    // A destination that is there has every level above it there too: one look settles it.
    if (FindEntry(destination)) return std::nullopt;
    const std::vector<std::u16string> parts = text::SplitPath(destination, u"\\");
    bool missing = false;
    std::u16string path = parts[0];
    for (size_t k = 1; k < parts.size() && !missing; ++k) {
      path += u"\\" + parts[k];
      missing = !FindEntry(path).has_value();
    }
    if (!missing) return std::nullopt;
    if (host_.ShowMessage(kCreateFolderQuestion, base::kMsgYesNoQuestion, {}) != base::kAnswerYes) {
      host_.SetStatus(u"");
      result_.outcome = RunOutcome::kRefused;
      result_.message = std::u16string(kCreateFolderQuestion);
      return result_;
    }
    path = parts[0];
    for (size_t k = 1; k < parts.size(); ++k) {
      path += u"\\" + parts[k];
      if (!FindEntry(path) && !platform::CreateFolder(path)) {
        throw base::Error(base::Error::Kind::kFolderCreate, path);
      }
    }
    return std::nullopt;
  }

  // Refuses a converted file whose place holds a folder, a special file or an input.
  std::optional<RunResult> RefuseTakenPlace(const std::u16string& source_folder,
                                            const std::u16string& destination,
                                            const std::u16string& name, bool as_given) {
    Inputs inputs{{source_folder}, tables_.folder(), platform::SettingsFolders(), [&] {
                    std::vector<std::u16string> others;
                    for (const std::u16string& other : host_.BatchSourceFolders()) {
                      others.push_back(SourceFolder(other, as_given));
                    }
                    return others;
                  }};
    // Where nothing stands yet (as in most runs of a batch) there is no folder, special file or
    // file of another name in the way, and only the name can be an input's.
    if (platform::IsVacant(result_.converted_file)) {
      if (NamesInput(destination, name, inputs)) return RefuseWithBox(kOverwritesInputMessage);
      return std::nullopt;
    }
    const std::optional<platform::EntryInfo> entry =
        FindEntry(result_.converted_file, platform::LastName::kAsWritten);
    if (entry && entry->IsDirectory()) return RefuseWithBox(kSameNameFolderMessage);
    // A FIFO, socket or device in the file's place is never replaced (nor waited on).
    if (platform::HoldsSpecialFile(result_.converted_file)) {
      return RefuseWithBox(kSameNameSpecialFileMessage);
    }
    if (OverwritesInput(destination, name, inputs)) return RefuseWithBox(kOverwritesInputMessage);
    return std::nullopt;
  }

  // The run's steps (RunSteps), into the converted file. The record groups after the notes read
  // files of their own, so with two threads a second thread makes them into memory, from the last
  // back, while this one makes the depth list, header, site and note records, then makes those
  // left from the first on; they follow the notes into the file in their order. The first
  // failure in the file's order is the one reported, as with one thread.
  void Convert(const std::u16string& folder, const std::u16string& name,
               const std::u16string& destination) {
    const bool two_threads = threads_ == RunThreads::kTwo;
    RecordGroups groups(
        tables_, folder, result_.converted_file,
        two_threads ? RecordGroups::Lines::kInMemory : RecordGroups::Lines::kStraight, nullptr);
    std::future<void> helper;  // declared after `groups`: waits for the thread when unwinding
    if (two_threads) {
      try {
        helper = std::async(std::launch::async,
                            [&groups] { groups.Work(RecordGroups::From::kLast); });
      } catch (const std::system_error&) {
        // No second thread to be had: this one makes the groups into memory after the notes.
      }
    }
    RunSteps steps(folder, tables_, findings_, nullptr);
    try {
      steps.Read(groups);
      if (registry_ != nullptr) registry_->Register(name, destination);
      RecordFile out(result_.converted_file);
      steps.WriteUpToNotes(out);
      if (two_threads) {
        groups.Work(RecordGroups::From::kFirst);
        if (helper.valid()) helper.get();
        groups.PutInto(out);
      } else {
        groups.WriteAll(out);
      }
      groups.TakeFindings(findings_);
      out.Commit();
    } catch (...) {
      groups.Abandon();
      throw;
    }
  }

  RunResult Refuse(std::u16string_view message) {
    host_.SetStatus(u"");
    result_.outcome = RunOutcome::kRefused;
    result_.message = std::u16string(message);
    return result_;
  }

  RunResult RefuseWithBox(std::u16string_view message) {
    host_.ShowMessage(message, base::kMsgOk, {});
    return Refuse(message);
  }

  RunResult Fail(const std::u16string& message) {
    host_.ShowMessage(message, base::kMsgExclamation, {});
    host_.SetPointer(kPointerDefault);
    host_.SetStatus(u"");
    result_.outcome = RunOutcome::kFailed;
    result_.message = message;
    return result_;
  }

  RunHost& host_;
  source::PatternTables& tables_;
  SiteRegistry* registry_;
  RunThreads threads_;
  RunResult result_{RunOutcome::kRefused, {}, {}};
  base::FindingList findings_{false};  // a conversion only counts its findings
};

}  // namespace

RunResult RunConversion(RunHost& host, source::PatternTables& tables, SiteRegistry* registry,
                        RunThreads threads) {
  return Run(host, tables, registry, threads).Go();
}

}  // namespace tjvx::convert
