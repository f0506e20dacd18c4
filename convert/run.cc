#include "convert/run.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <optional>
#include <set>
#include <system_error>

#include "base/ascii.h"
#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/header.h"
#include "convert/interval_tests.h"
#include "convert/layers.h"
#include "convert/line_sink.h"
#include "convert/merged_records.h"
#include "convert/site_notes.h"
#include "platform/atomic_file.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "platform/system_folder.h"
#include "source/depth_list.h"
#include "source/record_findings.h"
#include "source/source_files.h"
#include "source/titles.h"
#include "text/path_check.h"
#include "text/path_components.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

using platform::FindEntry;

// Every file a run reads, so that the converted file can never take the place of one of them.
constexpr std::u16string_view kSourceFiles[] = {
    u"X1.TXT",  u"X3.TXT",  u"X5.TXT",     u"X7.TXT",    u"X11.TXT", u"X12.TXT",
    u"R30.TXT", u"R31.TXT", u"R32.TXT",    u"R33.TXT",   u"R34.TXT", u"R35.TXT",
    u"R41.TXT", u"N8.TXT",  u"N9.TXT",     u"G40.TXT",   u"G71.TXT", u"G72.TXT",
    u"G73.TXT", u"G81.TXT", u"Titl01.txt", u"Titl02.txt"};
constexpr std::u16string_view kPatternFiles[] = {
    u"L1.TXT",  u"L4.TXT",  u"L8.TXT",   u"L13.TXT", u"L14.TXT",     u"L15.TXT",   u"L16.TXT",
    u"L17.TXT", u"L18.TXT", u"L18B.TXT", u"L19.TXT", u"KISHITU.TXT", u"SHITU.TXT", u"MAJIRI.TXT"};

// The files in the order a conversion first opens them; findings are ordered by it.
constexpr std::u16string_view kRunFileOrder[] = {
    u"KISHITU.TXT", u"SHITU.TXT",  u"MAJIRI.TXT", u"X3.TXT",  u"R31.TXT", u"R32.TXT",
    u"R33.TXT",     u"R34.TXT",    u"R35.TXT",    u"R30.TXT", u"X11.TXT", u"X1.TXT",
    u"Titl01.txt",  u"Titl02.txt", u"L1.TXT",     u"X12.TXT", u"L4.TXT",  u"L13.TXT",
    u"L14.TXT",     u"L15.TXT",    u"L16.TXT",    u"L17.TXT", u"R41.TXT", u"N9.TXT",
    u"X7.TXT",      u"L8.TXT",     u"G40.TXT",    u"L19.TXT", u"X5.TXT",  u"N8.TXT",
    u"G71.TXT",     u"G73.TXT",    u"G81.TXT",    u"G72.TXT", u"L18.TXT", u"L18B.TXT"};

// What leaving a source file out does: the records it would have given.
struct SourceSection {
  std::u16string_view file;
  std::u16string_view records;
  std::u16string_view what;  // what is left out
};
constexpr SourceSection kSections[] = {
    {u"X1.TXT", u"2000", u"2000 の記録は書かれません。"},
    {u"X3.TXT", u"2001", u"2001 の 1 番目の名前は @ と書かれます。"},
    {u"R31.TXT", u"2001", u"2001 の 2 番目の名前は @ と書かれます。"},
    {u"R32.TXT", u"2001", u"2001 の 3 番目の名前は @ と書かれます。"},
    {u"R33.TXT", u"2001", u"2001 の 4 番目の名前は @ と書かれます。"},
    {u"R34.TXT", u"2001", u"2001 の 5 番目の名前は @ と書かれます。"},
    {u"R35.TXT", u"2001", u"2001 の 6 番目の名前は @ と書かれます。"},
    {u"X11.TXT", u"", u"深度の一覧にこのファイルの深度は入りません。"},
    {u"X12.TXT", u"2002", u"2002 の記録は書かれません。"},
    {u"R41.TXT", u"3000", u"3000 と 3010 の記録は書かれません。"},
    {u"N9.TXT", u"3020", u"3020 の記録は書かれません。"},
    {u"X7.TXT", u"3030", u"3030 の記録は書かれません。"},
    {u"G40.TXT", u"3040", u"3040 の記録は書かれません。"},
    {u"R30.TXT", u"3070", u"3070 の記録は書かれません。"},
    {u"X5.TXT", u"4000", u"4000 の記録は書かれません。"},
    {u"N8.TXT", u"5000", u"5000 の日付は -1 -1 と書かれます。"},
    {u"G71.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G73.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G81.TXT", u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {u"G72.TXT", u"5010", u"5010 の記録は書かれません。"},
    {u"Titl01.txt", u"1000", u"表題の項目は空として書かれます。"},
    {u"Titl02.txt", u"1006", u"表題の項目は空として書かれます。"},
};

// A notice for each source file that is missing or empty: its section is left out. A name that
// holds no file to read (a FIFO, a device) throws; in a check, `on_error` is handed the error
// instead and the other files are still looked at.
void ReportLeftOut(const std::u16string& folder, base::FindingSink& findings,
                   const std::function<void(const base::Error&)>& on_error = {}) {
  for (const SourceSection& section : kSections) {
    const std::u16string path = folder + u"\\" + std::u16string(section.file);
    std::optional<std::uintmax_t> size;
    try {
      size = platform::FileSize(path);
    } catch (const base::Error& error) {
      if (!on_error) throw;
      on_error(error);
      continue;
    }
    if (size && *size > 0) continue;
    findings.Report({base::Severity::kNotice, path, 0, 0, std::u16string(section.records),
                     std::u16string(size ? u"ファイルが空の為、" : u"ファイルがない為、") +
                         std::u16string(section.what)});
  }
}

// Whether `name` is one of `names` as the files are looked up: letter case ignored.
template <size_t N>
bool NamedAsOneOf(std::u16string_view name, const std::u16string_view (&names)[N]) {
  return std::any_of(std::begin(names), std::end(names), [&](std::u16string_view fixed) {
    return base::EqualsIgnoringAsciiCase(name, fixed);
  });
}

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
  if (NamedAsOneOf(name, kSourceFiles)) {
    for (const std::u16string& source : inputs.AllSourceFolders()) {
      if (platform::SamePlace(folder, source)) return true;
    }
  }
  if (NamedAsOneOf(name, kPatternFiles) && platform::SamePlace(folder, inputs.pattern_folder))
    return true;
  if (base::EqualsIgnoringAsciiCase(name, u"DozoraV5.ini")) {
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
  for (std::u16string_view input : kSourceFiles) {
    if (same(source + u"\\" + std::u16string(input))) return true;
  }
  for (std::u16string_view input : kPatternFiles) {
    if (same(inputs.pattern_folder + std::u16string(input))) return true;
  }
  // The settings file, whether this run read it or was given its pattern folder: a conversion
  // put in its place would lose the setting.
  for (const std::u16string& settings : inputs.settings_folders) {
    if (same(settings + u"\\DozoraV5.ini")) return true;
  }
  return false;
}

// The source folder without trailing separators ("C:\DATA\B-12\" gives "C:\DATA\B-12"); the
// window's box is trimmed of blanks first, a path given on the command line is taken as it is.
std::u16string SourceFolder(std::u16string_view text, bool as_given) {
  return std::u16string(base::WithoutTrailingBackslashes(as_given ? text : text::Trim(text), 3));
}

// Whether a name ends in a blank or a dot, which Windows strips when it looks the name up.
bool EndsInBlankOrDot(std::u16string_view folder) {
  return !folder.empty() && (folder.back() == u' ' || folder.back() == u'.') &&
         !folder.ends_with(u"\\.") && folder != u"." && !folder.ends_with(u"..");
}

bool IsDriveRoot(std::u16string_view folder) {
  return folder.size() <= 3 && folder.size() >= 2 && folder[1] == u':' &&
         (folder.size() == 2 || folder[2] == u'\\');
}

// The source files a borehole's depth list reads stay open, so the record writers after it read
// them from memory; X11.TXT serves only the depth list and the 2001 records that show its depths,
// and one the depth list could not read is not read again. Any other file is opened when asked
// for.
class DepthListFiles {
 public:
  DepthListFiles(const std::u16string& folder, base::FindingSink& found)
      : folder_(folder), found_(found) {}

  // The depth list of the folder, its files kept.
  std::vector<source::DepthEntry> Collect(
      const std::function<void(const base::Error&)>& on_error = {}) {
    std::u16string_view reading;
    std::vector<source::DepthEntry> depths = source::CollectDepths(
        [&](std::u16string_view name) -> source::FieldReader* {
          reading = name;
          std::optional<source::FieldReader>& reader = opened_[std::u16string(name)];
          reader = source::OpenSourceFile(folder_ + u"\\" + std::u16string(name), &found_);
          return reader ? &*reader : nullptr;
        },
        1,
        on_error ? [&](const base::Error& error) {
          if (reading == u"X11.TXT") x11_failed_ = true;
          on_error(error);
        } : std::function<void(const base::Error&)>());
    return depths;
  }

  // X11.TXT as the depth list read it, from its start; none when it is absent or failed.
  std::optional<source::FieldReader> DepthMarks() {
    std::optional<source::FieldReader> x11;
    if (auto it = opened_.find(u"X11.TXT"); it != opened_.end()) {
      if (!x11_failed_) x11 = std::move(it->second);
      opened_.erase(it);
    }
    if (x11) x11->Rewind();
    return x11;
  }

  // A source file's reader: the one the depth list read, from its start, else the file opened
  // now (none when it is absent).
  std::optional<source::FieldReader> Open(std::u16string_view name) {
    if (auto it = opened_.find(name); it != opened_.end()) {
      std::optional<source::FieldReader> reader = std::move(it->second);
      opened_.erase(it);
      if (reader) reader->Rewind();
      return reader;
    }
    return source::OpenSourceFile(folder_ + u"\\" + std::u16string(name), &found_);
  }

 private:
  const std::u16string& folder_;
  base::FindingSink& found_;
  std::map<std::u16string, std::optional<source::FieldReader>, std::less<>> opened_;
  bool x11_failed_ = false;
};

class Checker;

class Run {
  friend class Checker;

 public:
  Run(RunHost& host, source::PatternTables& tables, SiteRegistry* registry, RunThreads threads)
      : host_(host), tables_(tables), registry_(registry), threads_(threads) {}

  RunResult Go() {
    host_.SetStatus(kBusyText);
    const bool as_given = host_.PathsTakenAsGiven();
    // Both paths as Windows resolves them: "/" separates too, "." and ".." are gone.
    std::u16string destination = text::ResolvePath(host_.Destination());

    std::u16string checked = destination;
    if (!text::CheckPath(checked, host_, as_given)) {
      host_.ShowMessage(kBadPathMessage, base::kMsgExclamation, destination);
      host_.FocusDestination();
      return Refuse(kBadPathMessage);
    }

    const std::u16string source = text::ResolvePath(host_.SourceFolder());
    destination = text::ResolvePath(host_.Destination());
    if (text::Trim(source).empty()) return RefuseWithBox(kNoSourceMessage);
    if (text::Trim(destination).empty()) return RefuseWithBox(kNoDestinationMessage);

    const std::u16string source_folder = SourceFolder(source, as_given);
    // On Windows "B-12 " would be read as its look-alike "B-12": such a name is refused.
    if (platform::kNamesLoseTrailingBlanksAndDots && EndsInBlankOrDot(source_folder)) {
      return RefuseWithBox(std::u16string(kSourceNameEndMessage) + u"\n" + source_folder);
    }
    if (IsDriveRoot(source_folder)) return RefuseWithBox(kSourceRootMessage);
    std::optional<platform::EntryInfo> source_entry = FindEntry(source_folder);
    if (!source_entry || !source_entry->IsDirectory()) {
      return RefuseWithBox(std::u16string(kSourceMissingMessage) + u"\n" + source_folder);
    }
    // A folder that cannot be listed would fail at its first file; it is refused as a whole.
    if (!platform::CanListFolder(source_folder)) {
      return RefuseWithBox(std::u16string(kSourceUnreadableMessage) + u"\n" + source_folder);
    }

    // The destination as the path check left it (trimmed, "\" after the drive), without its
    // trailing "\": what passed the check is what is walked and written.
    destination = base::WithoutTrailingBackslashes(checked);
    std::optional<RunResult> stop;
    try {
      stop = WalkDestination(destination);
    } catch (const base::Error& error) {
      return Fail(error.Message());
    }
    if (stop) return *stop;

    // The converted file's name: the last name of the resolved source folder, which holds no
    // separator and is never "." or "..", so the file goes into the destination and nowhere else.
    const std::u16string name = text::SplitPath(source_folder, u"\\").back();
    result_.converted_file = destination + u"\\" + name;
    const std::optional<platform::EntryInfo> entry =
        FindEntry(result_.converted_file, platform::LastName::kAsWritten);
    if (entry && entry->IsDirectory()) return RefuseWithBox(kSameNameFolderMessage);
    // A FIFO, socket or device in the file's place is never replaced (nor waited on).
    if (platform::HoldsSpecialFile(result_.converted_file)) {
      return RefuseWithBox(kSameNameSpecialFileMessage);
    }
    Inputs inputs{{source_folder}, tables_.folder(), platform::SettingsFolders(), [&] {
                    std::vector<std::u16string> others;
                    for (const std::u16string& other : host_.BatchSourceFolders()) {
                      others.push_back(SourceFolder(text::ResolvePath(other), as_given));
                    }
                    return others;
                  }};
    if (OverwritesInput(destination, name, inputs)) return RefuseWithBox(kOverwritesInputMessage);

    host_.SetPointer(kPointerHourglass);
    try {
      Convert(source_folder, name, destination);
    } catch (const base::Error& error) {
      return Fail(error.Message());
    } catch (const std::bad_alloc&) {
      return Fail(u"メモリが足りない為に変換できません。\n" + source_folder);
    } catch (const std::exception& error) {
      return Fail(u"予期しないエラーの為に変換できません。\n" + source_folder + u"\n" +
                  base::FromUtf8(error.what()));
    }
    host_.SetStatus(kDoneText);
    host_.SetPointer(kPointerDefault);
    result_.outcome = RunOutcome::kConverted;
    result_.warnings = findings_.Counted(base::Severity::kWarning);
    return result_;
  }

 private:
  // Asks once when a level of the destination is missing; "Yes" creates every missing level.
  std::optional<RunResult> WalkDestination(const std::u16string& destination) {
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

  void Convert(const std::u16string& folder, const std::u16string& name,
               const std::u16string& destination) {
    // The groups from 3000 on read files of their own (R30.TXT is handed over once the depth list
    // has read it). With two threads, a second thread makes them one after another into memory
    // while this one makes the depth list, header, site and note records, then helps with those
    // left; they follow the notes into the file in their order. The first failure in the file's
    // order is the one reported, as with one thread.
    const bool two_threads = threads_ == RunThreads::kTwo;
    ReportLeftOut(folder, findings_);
    LaterGroups later(tables_, folder, result_.converted_file, two_threads);
    std::future<void> helper;  // declared after `later`: waits for the thread when unwinding
    if (two_threads) {
      try {
        helper = std::async(std::launch::async, [&later] { later.Work(); });
      } catch (const std::system_error&) {
        // No second thread to be had: this one makes the groups into memory after the notes.
      }
    }
    DepthListFiles files(folder, findings_);
    try {
      tables_.Geology();
      // The files of the depth list stay open, so their record writers read them from memory.
      const std::vector<source::DepthEntry> note_depths = files.Collect();
      // R30.TXT goes on to the 3070 records.
      later.GiveR30(files.Open(u"R30.TXT"));
      const source::TitleLists titles = source::ReadTitleFiles(folder, &findings_);
      if (registry_ != nullptr) registry_->Register(name, destination);

      RecordFile out(result_.converted_file);
      WriteHeader(titles, tables_, out, findings_);
      {
        std::optional<source::FieldReader> x1 = files.Open(u"X1.TXT");
        const std::optional<std::u16string> last_site_depth =
            WriteSiteRecords(x1, note_depths, out, findings_);
        x1.reset();
        NoteSources notes;
        const std::u16string_view coded[] = {u"X3.TXT",  u"R31.TXT", u"R32.TXT",
                                             u"R33.TXT", u"R34.TXT", u"R35.TXT"};
        for (size_t k = 0; k < 6; ++k) notes.coded[k] = files.Open(coded[k]);
        notes.x12 = files.Open(u"X12.TXT");
        notes.x11 = files.DepthMarks();
        WriteNotesRecords(notes, note_depths, last_site_depth, tables_, out, findings_);
      }
      if (two_threads) {
        later.Work();
        if (helper.valid()) helper.get();
        later.PutInto(out);
      } else {
        later.WriteAll(out);
      }
      later.TakeFindings(findings_);
      out.Commit();
    } catch (...) {
      later.Abandon();
      throw;
    }
  }

  // Record groups 3000 to 5010, in their order. Each opens its own files, but for R30.TXT, which
  // the depth list has read already and hands over.
  class LaterGroups {
   public:
    // `on_error`, in a check: an error opening a file is handed to it and the file taken as
    // missing, so the other files of a group are still read.
    LaterGroups(source::PatternTables& tables, const std::u16string& folder,
                const std::u16string& converted_file, bool in_memory,
                std::function<void(const base::Error&)> on_error = nullptr)
        : tables_(tables),
          folder_(folder),
          r30_(r30_given_.get_future()),
          on_error_(std::move(on_error)) {
      if (in_memory) made_.assign(kCount, EncodedLines(converted_file));
      // A check keeps what each group found; a conversion only counts it.
      for (base::FindingList& group : found_) group = base::FindingList(on_error_ != nullptr);
    }

    // R30.TXT's reader once the depth list is made; the 3070 records wait for it. Called once,
    // by the thread making the depth list.
    void GiveR30(std::optional<source::FieldReader> reader) {
      r30_given_.set_value(std::move(reader));
      r30_handed_ = true;
    }
    // One thread: straight into the file.
    void WriteAll(LineSink& out) {
      for (size_t k = 0; k < kCount; ++k) Write(k, out);
    }
    // A check: one group, an error ending only that group.
    static constexpr size_t kCount = 8;
    void CheckOne(size_t group, LineSink& out) {
      try {
        Write(group, out);
      } catch (const base::Error& error) {
        on_error_(error);
      }
    }
    // The findings of the groups, in the groups' order, after those of `findings`.
    void TakeFindings(base::FindingList& findings) {
      for (base::FindingList& group : found_) findings.Take(group);
    }
    // Makes the groups nobody has taken yet, each into its own memory; called by both threads.
    void Work() {
      for (size_t k = next_++; k < kCount; k = next_++) {
        try {
          Write(k, made_[k]);
        } catch (...) {
          // The groups after a failed one are never written, so nobody needs to make them.
          failed_[k] = std::current_exception();
          Stop();
        }
      }
    }
    // Leaves the groups nobody has taken yet.
    void Stop() { next_ = kCount; }
    // The run has failed: the groups not taken are left, and a 3070 waiting for R30.TXT gets
    // none, so the other thread ends. Called by the thread making the depth list.
    void Abandon() {
      Stop();
      if (!r30_handed_) GiveR30(std::nullopt);
    }
    // Once both threads are done: the groups into the file in order, up to the first failure.
    void PutInto(RecordFile& out) {
      for (size_t k = 0; k < kCount; ++k) {
        if (failed_[k]) std::rethrow_exception(failed_[k]);
        out.Encoded(made_[k].bytes());
        made_[k] = EncodedLines({});
      }
    }

   private:
    std::optional<source::FieldReader> Open(std::u16string_view name, base::FindingSink& found) {
      const std::u16string path = folder_ + u"\\" + std::u16string(name);
      if (!on_error_) return source::OpenSourceFile(path, &found);
      try {
        return source::OpenSourceFile(path, &found);
      } catch (const base::Error& error) {
        on_error_(error);
        return std::nullopt;
      }
    }

    void Write(size_t group, LineSink& out) {
      base::FindingList& found = found_[group];
      switch (group) {
        case 0:
          if (auto r41 = Open(u"R41.TXT", found)) WriteRecords3000And3010(*r41, out, found);
          break;
        case 1:
          if (auto n9 = Open(u"N9.TXT", found)) WriteRecords3020(*n9, out, found);
          break;
        case 2:
          if (auto x7 = Open(u"X7.TXT", found)) WriteRecords3030(*x7, tables_, out, found);
          break;
        case 3:
          if (auto g40 = Open(u"G40.TXT", found)) WriteRecords3040(*g40, out, found);
          break;
        case 4:
          if (auto r30 = r30_.get()) WriteRecords3070(*r30, tables_, out, found);
          break;
        case 5:
          if (auto x5 = Open(u"X5.TXT", found)) WriteRecords4000(*x5, out, found);
          break;
        case 6: {
          MergedMembers members = {Open(u"N8.TXT", found), Open(u"G71.TXT", found),
                                   Open(u"G73.TXT", found), Open(u"G81.TXT", found)};
          if (!on_error_) {
            WriteRecords5000(members, out, found);
            break;
          }
          // A check: the members read as a conversion reads them; after an error in one, each
          // member after it is read on its own, so its errors are found too.
          try {
            WriteRecords5000(members, out, found);
          } catch (const base::Error& error) {
            on_error_(error);
            size_t failed = 0;
            while (failed < members.size() &&
                   !(members[failed] && members[failed]->file() == error.file())) {
              ++failed;
            }
            for (size_t m = failed + 1; m < members.size(); ++m) {
              if (!members[m]) continue;
              MergedMembers one;
              one[m] = std::move(members[m]);
              one[m]->Rewind();
              try {
                WriteRecords5000(one, out, found);
              } catch (const base::Error& later_error) {
                on_error_(later_error);
              }
            }
          }
          break;
        }
        default:
          if (auto g72 = Open(u"G72.TXT", found)) WriteRecords5010(*g72, tables_, out, found);
          break;
      }
    }

    source::PatternTables& tables_;
    const std::u16string& folder_;
    std::promise<std::optional<source::FieldReader>> r30_given_;
    std::future<std::optional<source::FieldReader>> r30_;
    bool r30_handed_ = false;  // only the depth list's thread looks at it
    std::vector<EncodedLines> made_;
    std::array<std::exception_ptr, kCount> failed_{};
    std::atomic<size_t> next_{0};
    std::function<void(const base::Error&)> on_error_;
    std::array<base::FindingList, kCount> found_;
  };

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

// Discards the lines of a check, but encodes each as the converted file would, so a character the
// file cannot hold stops a check where it stops a conversion.
class DiscardedLines : public LineSink {
 public:
  explicit DiscardedLines(std::u16string path) : path_(std::move(path)) {}
  void Line(std::u16string_view text) override {
    bytes_.clear();
    platform::AppendCp932(text, path_, bytes_);
  }

 private:
  std::u16string path_;
  std::string bytes_;
};

// A check: the conversion's steps in the conversion's order, into discarded lines, with the
// findings kept. An error is reported and ends only the step (or file) that met it; the first
// error is the one a conversion stops at.
class Checker {
 public:
  Checker(source::PatternTables& tables) : tables_(tables) {}

  CheckResult Go(std::u16string_view given, bool as_given) {
    result_.folder = SourceFolder(given, as_given);
    // Whatever escapes the steps (memory running out where no step catches it) ends the check
    // with its error, never the program.
    Step([&] { Read(given); });
    return Finish();
  }

 private:
  void Read(std::u16string_view given) {
    const std::u16string& folder = result_.folder;
    if (text::Trim(given).empty()) return Failure(std::u16string(kNoSourceMessage));
    if (platform::kNamesLoseTrailingBlanksAndDots && EndsInBlankOrDot(folder)) {
      return Failure(std::u16string(kSourceNameEndMessage) + u"\n" + folder);
    }
    if (IsDriveRoot(folder)) return Failure(std::u16string(kSourceRootMessage));
    std::optional<platform::EntryInfo> entry = FindEntry(folder);
    if (!entry || !entry->IsDirectory()) return Failure(std::u16string(kSourceMissingMessage));

    const auto on_error = [this](const base::Error& error) { Error(error); };
    ReportLeftOut(folder, found_, on_error);
    LookAtPatternFolder();
    Step([&] { tables_.Geology(); });
    DepthListFiles files(folder, found_);
    files_ = &files;
    std::vector<source::DepthEntry> depths;
    Step([&] { depths = files.Collect(on_error); });
    DiscardedLines out(folder);
    Run::LaterGroups later(tables_, folder, folder, false, on_error);
    later.GiveR30(Open(u"R30.TXT"));
    source::TitleLists titles;
    Step([&] { titles = source::ReadTitleFiles(folder, &found_); });
    Step([&] { WriteHeader(titles, tables_, out, found_); });
    std::optional<source::FieldReader> x1 = Open(u"X1.TXT");
    std::optional<std::u16string> last_site_depth;
    Step([&] { last_site_depth = WriteSiteRecords(x1, depths, out, found_); });
    NoteSources notes;
    const std::u16string_view coded[] = {u"X3.TXT",  u"R31.TXT", u"R32.TXT",
                                         u"R33.TXT", u"R34.TXT", u"R35.TXT"};
    for (size_t k = 0; k < 6; ++k) notes.coded[k] = Open(coded[k]);
    notes.x12 = Open(u"X12.TXT");
    notes.x11 = files.DepthMarks();
    Step([&] { WriteNotesRecords(notes, depths, last_site_depth, tables_, out, found_); });
    for (size_t k = 0; k < Run::LaterGroups::kCount; ++k) Step([&] { later.CheckOne(k, out); });
    later.TakeFindings(found_);
  }

  template <typename Body>
  void Step(Body body) {
    try {
      body();
    } catch (const base::Error& error) {
      Error(error);
    } catch (const std::bad_alloc&) {
      Failure(u"メモリが足りない為に変換できません。\n" + result_.folder);
    } catch (const std::exception& error) {
      Failure(u"予期しないエラーの為に変換できません。\n" + result_.folder + u"\n" +
              base::FromUtf8(error.what()));
    }
  }

  // A pattern folder that is missing, or holds none of the tables, is told once, naming the
  // folder, in place of an error for every table it lacks.
  void LookAtPatternFolder() {
    std::u16string folder = tables_.folder();
    while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
    const std::optional<platform::EntryInfo> entry = FindEntry(folder);
    if (!entry || !entry->IsDirectory()) {
      pattern_message_ =
          u"パターンのフォルダ「" + folder + u"」がない為、表を読めず変換できません。";
    } else {
      auto present = [&](std::u16string_view name) {
        return FindEntry(tables_.folder() + std::u16string(name)).has_value();
      };
      for (std::u16string_view name : {u"KISHITU.TXT", u"SHITU.TXT", u"MAJIRI.TXT"}) {
        if (present(name)) return;
      }
      for (size_t id = 0; id < static_cast<size_t>(source::TableId::kCount); ++id) {
        if (present(source::TableFileName(static_cast<source::TableId>(id)))) return;
      }
      pattern_message_ = u"パターンのフォルダ「" + folder +
                         u"」に表 (KISHITU.TXT、L1.TXT など) がひとつもない為、変換できません。";
    }
    pattern_folder_ = folder;
  }

  // The first error of each file is reported; the first of all is the conversion's. The tables
  // of a pattern folder that is missing or holds none give one error, naming the folder.
  void Error(const base::Error& error) {
    if (pattern_folder_ && error.kind() == base::Error::Kind::kFileMissing &&
        error.file().starts_with(tables_.folder())) {
      if (!errors_in_.insert(*pattern_folder_).second) return;
      if (!stop_) stop_ = {*pattern_folder_, 0, pattern_message_, error.Message()};
      found_.Report({base::Severity::kError, *pattern_folder_, 0, 0, {}, pattern_message_});
      return;
    }
    if (!errors_in_.insert(error.file()).second) return;
    if (!stop_) stop_ = {error.file(), error.line(), error.Summary(), error.Message()};
    found_.Report({base::Severity::kError, error.file(), error.line(), 0, {}, error.Summary()});
  }
  // A failure of the whole folder, reported once (memory may run out at every step after).
  void Failure(const std::u16string& message) {
    if (!failures_.insert(message).second) return;
    if (!stop_) stop_ = {result_.folder, 0, message, message};
    found_.Report({base::Severity::kError, result_.folder, 0, 0, {}, message});
  }

  // A source file as a conversion opens it; an error in it is reported and gives none.
  std::optional<source::FieldReader> Open(std::u16string_view name) {
    std::optional<source::FieldReader> reader;
    Step([&] { reader = files_->Open(name); });
    return reader;
  }

  CheckResult Finish() {
    std::vector<base::Finding>& findings = found_.findings;
    // The pattern folder's error comes first, where the tables are read.
    auto rank = [this](const base::Finding& f) {
      return pattern_folder_ && f.file == *pattern_folder_ ? 0 : FileRank(f);
    };
    std::stable_sort(findings.begin(), findings.end(), [&](const auto& a, const auto& b) {
      const size_t ra = rank(a), rb = rank(b);
      return ra != rb ? ra < rb : a.line < b.line;
    });
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
      if (base::EqualsIgnoringAsciiCase(name, kRunFileOrder[i])) return i + 1;
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
  std::optional<Stop> stop_;
  std::set<std::u16string> errors_in_;
  std::set<std::u16string> failures_;
  DepthListFiles* files_ = nullptr;  // while Go reads the folder
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
    result.findings.push_back({base::Severity::kError, result.folder, 0, 0, {}, message});
    if (!result.stop_message.empty()) result.stop_message += u'\n';
    result.stop_message += message;
  }
  if (!messages.empty()) result.stop = 0;
  return result;
}

RunResult RunConversion(RunHost& host, source::PatternTables& tables, SiteRegistry* registry,
                        RunThreads threads) {
  return Run(host, tables, registry, threads).Go();
}

}  // namespace tjvx::convert
