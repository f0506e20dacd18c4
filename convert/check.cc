#include "convert/check.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "base/ascii.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/line_sink.h"
#include "convert/plausibility.h"
#include "convert/record_groups.h"
#include "convert/run_steps.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"

namespace tjvx::convert {
namespace {

using platform::FindEntry;

using source::FileId;

// Discards the lines of a check, but a character the converted file cannot hold stops a check
// where it stops a conversion: such a line is encoded as the converted file would encode it, which
// fails as it fails there.
class DiscardedLines : public LineSink {
 public:
  explicit DiscardedLines(std::u16string path) : path_(std::move(path)) {}
  void Line(std::u16string_view text) override {
    if (platform::Cp932CanWrite(text)) return;
    std::string bytes;
    platform::AppendCp932(text, path_, bytes);
  }

 private:
  std::u16string path_;
};

// A check: the run's steps in the run's order under a policy that keeps going, into discarded
// lines, with the findings kept. An error is reported and ends only the step (or file) that met
// it; the first error is the one a conversion stops at.
class Checker : public KeepGoing {
 public:
  Checker(source::PatternTables& tables) : tables_(tables) {}

  CheckResult Go(std::u16string_view given, bool as_given) {
    result_.folder = SourceFolder(given, as_given);
    // Whatever escapes the steps (memory running out where no step catches it) ends the check
    // with its error, never the program.
    RunStep(this, result_.folder, [&] { Read(given); });
    return Finish();
  }

 private:
  void Read(std::u16string_view given) {
    const std::u16string& folder = result_.folder;
    if (std::optional<std::u16string> refusal = SourceFolderRefusal(given, folder)) {
      return Failure(source::rules::kSourceFolder, *refusal);
    }
    RecordGroups groups(tables_, folder, folder, RecordGroups::Lines::kStraight, this);
    RunSteps steps(folder, tables_, found_, this);
    steps.Read(groups);
    DiscardedLines out(folder);
    steps.WriteUpToNotes(out);
    groups.WriteAll(out);
    groups.TakeFindings(found_);
    // The files left out, from what the steps read: only a file they found no bytes in is looked
    // up. These notices are sorted first among their file's findings, as if told before its steps.
    ReportLeftOut(folder, found_, this, [this](FileId file) { return read_.HadBytes(file); });
    // Once every file is read: the rules that judge the borehole as a whole, and the depth of
    // each finding's record, from the files and title items as the steps read them.
    const BoreholeRecords records(folder, std::move(read_), steps.titles());
    CheckPlausibility(records, found_);
    AddRecordDepths(records, found_.findings);
  }

  // A pattern folder that is missing, or holds none of the tables, is told once, naming the
  // folder, in place of an error for every table it lacks.
  void LookAtPatternFolder() {
    const std::u16string folder(base::WithoutTrailingBackslashes(tables_.folder(), 3));
    const std::optional<platform::EntryInfo> entry = FindEntry(folder);
    if (!entry || !entry->IsDirectory()) {
      pattern_message_ =
          u"パターンのフォルダ「" + folder + u"」がない為、表を読めず変換できません。";
    } else {
      for (FileId file : source::PatternFolderFiles()) {
        if (FindEntry(tables_.folder() + std::u16string(source::FileName(file)))) return;
      }
      pattern_message_ = u"パターンのフォルダ「" + folder +
                         u"」に表 (KISHITU.TXT、L1.TXT など) がひとつもない為、変換できません。";
    }
    pattern_folder_ = folder;
  }

  // The first error of each file is reported; the first of all is the conversion's. The tables
  // of a pattern folder that is missing or holds none give one error, naming the folder.
  void Error(const base::Error& error) override {
    const bool table_missing = error.kind() == base::Error::Kind::kFileMissing &&
                               error.file().starts_with(tables_.folder());
    // The pattern folder is looked at only when a table is missing from it.
    if (table_missing && !pattern_looked_at_) {
      pattern_looked_at_ = true;
      LookAtPatternFolder();
    }
    if (pattern_folder_ && table_missing) {
      if (!errors_in_.insert(*pattern_folder_).second) return;
      if (!stop_) stop_ = {*pattern_folder_, 0, pattern_message_, error.Message()};
      Report(source::rules::kPatternFolder, *pattern_folder_, 0, pattern_message_);
      return;
    }
    if (!errors_in_.insert(error.file()).second) return;
    if (!stop_) stop_ = {error.file(), error.line(), error.Summary(), error.Message()};
    const source::Rule& rule = RuleOf(error);
    std::u16string fix;
    if (&rule == &source::rules::kTableMissing) {
      fix = u"パターンのフォルダに " + std::u16string(base::LastName(error.file())) +
            u" を置いてください。";
    }
    Report(rule, error.file(), error.line(), error.Summary(), std::move(fix));
  }
  // The steps' files, kept for the plausibility rules.
  void Done(FileId file, std::optional<source::FieldReader> reader) override {
    read_.Keep(file, std::move(reader));
  }
  // A failure of the whole folder, reported once (memory may run out at every step after).
  void Failure(const source::Rule& rule, const std::u16string& message) override {
    if (!failures_.insert(message).second) return;
    if (!stop_) stop_ = {result_.folder, 0, message, message};
    Report(rule, result_.folder, 0, message);
  }
  void Report(const source::Rule& rule, const std::u16string& file, long long line,
              std::u16string message, std::u16string fix = {}) {
    found_.Report(
        {rule.severity, file, line, 0, {}, std::move(message), {}, rule.id, std::move(fix)});
  }

  // The rule of an error that ends a step or a file.
  static const source::Rule& RuleOf(const base::Error& error) {
    using Kind = base::Error::Kind;
    switch (error.kind()) {
      case Kind::kFileMissing:
        return source::rules::kTableMissing;
      case Kind::kNotAFile:
      case Kind::kReadFailed:
      case Kind::kNotRegularFile:
        return source::rules::kFileUnreadable;
      case Kind::kBadCharacter:
        return source::rules::kNotShiftJis;
      case Kind::kRecordCutShort:
        return source::rules::kRecordCutShort;
      case Kind::kOutOfRange:
        return source::rules::kTooMany;
      case Kind::kWriteFailed:
      case Kind::kFolderCreate:
      case Kind::kNotConverted:
        break;
    }
    return source::rules::kUnforeseen;
  }

  CheckResult Finish() {
    std::vector<base::Finding>& findings = found_.findings;
    // The pattern folder's error comes first, where the tables are read.
    auto rank = [this](const base::Finding& f) {
      return pattern_folder_ && f.file == *pattern_folder_ ? 0 : FileRank(f);
    };
    // Each finding's rank is found once, not at every comparison. A file's left-out notice, told
    // after the steps, goes before the file's other findings of no line.
    std::vector<size_t> ranks(findings.size()), order(findings.size());
    std::vector<long long> lines(findings.size());
    for (size_t i = 0; i < findings.size(); ++i) {
      ranks[i] = rank(findings[i]);
      lines[i] = findings[i].rule == source::rules::kFileLeftOut.id ? -1 : findings[i].line;
    }
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return ranks[a] != ranks[b] ? ranks[a] < ranks[b] : lines[a] < lines[b];
    });
    std::vector<base::Finding> sorted;
    sorted.reserve(findings.size());
    for (const size_t i : order) sorted.push_back(std::move(findings[i]));
    findings = std::move(sorted);
    if (stop_) {
      for (size_t i = 0; i < findings.size(); ++i) {
        const base::Finding& f = findings[i];
        if (f.severity == base::Severity::kError && f.file == stop_->file &&
            f.line == stop_->line && f.message == stop_->summary) {
          result_.stop = i;
          result_.stop_message = stop_->message;
          break;
        }
      }
    }
    result_.findings = std::move(findings);
    return std::move(result_);
  }

  // The place of a finding's file in the order a conversion opens the files; the folder itself
  // comes first and a file of no known name last.
  static size_t FileRank(const base::Finding& finding) {
    const std::u16string_view name = FindingFileName(finding);
    for (size_t i = 0; i < std::size(kRunFileOrder); ++i) {
      if (base::EqualsIgnoringAsciiCase(name, source::FileName(kRunFileOrder[i]))) return i + 1;
    }
    return finding.file.find(u'\\') == std::u16string::npos || name.empty()
               ? 0
               : std::size(kRunFileOrder) + 1;
  }

  struct Stop {
    std::u16string file;
    long long line;
    std::u16string summary;
    std::u16string message;
  };
  source::PatternTables& tables_;
  CheckResult result_;
  base::FindingList found_;
  ReadSourceFiles read_;
  std::optional<Stop> stop_;
  std::set<std::u16string> errors_in_;
  std::set<std::u16string> failures_;
  bool pattern_looked_at_ = false;
  // The pattern folder when it is missing or holds no table, and what is said of it.
  std::optional<std::u16string> pattern_folder_;
  std::u16string pattern_message_;
};

}  // namespace

std::u16string_view FindingFileName(const base::Finding& finding) {
  return base::LastName(finding.file);
}

size_t CheckResult::Count(base::Severity severity) const {
  return static_cast<size_t>(std::count_if(findings.begin(), findings.end(),
                                           [&](const auto& f) { return f.severity == severity; }));
}

size_t CheckResult::Plausibility(std::optional<base::Severity> severity) const {
  return static_cast<size_t>(std::count_if(findings.begin(), findings.end(), [&](const auto& f) {
    const source::Rule* rule = source::FindRule(f.rule);
    return rule != nullptr && rule->plausibility && (!severity || f.severity == *severity);
  }));
}

int CheckResult::Status() const {
  if (Count(base::Severity::kError) > 0) return 2;
  return Count(base::Severity::kWarning) > 0 ? 1 : 0;
}

CheckResult CheckSourceFolder(std::u16string_view folder, source::PatternTables& tables,
                              bool as_given) {
  return Checker(tables).Go(folder, as_given);
}

CheckResult CheckWithoutPatternFolder(std::u16string_view folder,
                                      const std::vector<std::u16string>& messages, bool as_given) {
  CheckResult result;
  result.folder = SourceFolder(folder, as_given);
  for (const std::u16string& message : messages) {
    const source::Rule& rule = source::rules::kSettings;
    result.findings.push_back({rule.severity, result.folder, 0, 0, {}, message, {}, rule.id});
    if (!result.stop_message.empty()) result.stop_message += u'\n';
    result.stop_message += message;
  }
  if (!messages.empty()) result.stop = 0;
  return result;
}

}  // namespace tjvx::convert
