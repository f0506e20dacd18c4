#include "convert/run.h"

#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <future>
#include <map>
#include <optional>
#include <system_error>

#include "base/error.h"
#include "base/utf.h"
#include "convert/header.h"
#include "convert/interval_tests.h"
#include "convert/layers.h"
#include "convert/line_sink.h"
#include "convert/merged_records.h"
#include "convert/site_notes.h"
#include "platform/drives.h"
#include "platform/system_folder.h"
#include "source/depth_list.h"
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

bool OverwritesInput(std::u16string_view converted, const std::u16string& source,
                     const std::u16string& pattern_folder) {
  std::optional<std::filesystem::path> host =
      platform::Drives().ToHost(converted, platform::LastName::kAsWritten);
  std::error_code ec;
  // A converted file that is not there yet is none of the inputs; this spares looking up every
  // input in a destination folder that may hold thousands of files.
  if (!host || !std::filesystem::exists(*host, ec)) return false;
  auto same = [&](const std::u16string& input) {
    std::optional<std::filesystem::path> input_host = platform::Drives().ToHost(input);
    return input_host && std::filesystem::equivalent(*host, *input_host, ec) && !ec;
  };
  for (std::u16string_view name : kSourceFiles) {
    if (same(source + u"\\" + std::u16string(name))) return true;
  }
  for (std::u16string_view name : kPatternFiles) {
    if (same(pattern_folder + std::u16string(name))) return true;
  }
  // The settings file, whether this run read it or was given its pattern folder: a conversion
  // put in its place would lose the setting.
  for (const std::u16string& folder : platform::SettingsFolders()) {
    if (same(folder + u"\\DozoraV5.ini")) return true;
  }
  return false;
}

// The source folder without trailing separators ("C:\DATA\B-12\" gives "C:\DATA\B-12"); the
// window's box is trimmed of blanks first, a path given on the command line is taken as it is.
std::u16string SourceFolder(std::u16string_view text, bool as_given) {
  std::u16string folder(as_given ? text : text::Trim(text));
  while (folder.size() > 3 && folder.back() == u'\\') folder.pop_back();
  return folder;
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

class Run {
 public:
  Run(RunHost& host, source::PatternTables& tables, SiteRegistry* registry, RunThreads threads)
      : host_(host), tables_(tables), registry_(registry), threads_(threads) {}

  RunResult Go() {
    host_.SetLabel3(kBusyText);
    std::u16string source = host_.Text1();
    std::u16string destination = host_.Text2();

    std::u16string checked = destination;
    if (!text::CheckPath(checked, host_)) {
      host_.MsgBox(kBadPathMessage, base::kMsgExclamation, destination);
      host_.FocusText2SelectAll();
      return Refuse(kBadPathMessage);
    }

    source = host_.Text1();
    destination = host_.Text2();
    if (text::Trim(source).empty()) return RefuseWithBox(kNoSourceMessage);
    if (text::Trim(destination).empty()) return RefuseWithBox(kNoDestinationMessage);

    const std::u16string source_folder = SourceFolder(source, host_.SourceTakenAsGiven());
    // On Windows "B-12 " would be read as its look-alike "B-12": such a name is refused.
    if (platform::kNamesLoseTrailingBlanksAndDots && EndsInBlankOrDot(source_folder)) {
      return RefuseWithBox(std::u16string(kSourceNameEndMessage) + u"\n" + source_folder);
    }
    if (IsDriveRoot(source_folder)) return RefuseWithBox(kSourceRootMessage);
    std::optional<platform::EntryInfo> source_entry = FindEntry(source_folder);
    if (!source_entry || !source_entry->IsDirectory()) {
      return RefuseWithBox(kSourceMissingMessage);
    }

    // The destination as the path check left it (trimmed, "\" after the drive), without its
    // trailing "\": what passed the check is what is walked and written.
    destination = checked;
    while (!destination.empty() && destination.back() == u'\\') destination.pop_back();
    std::optional<RunResult> stop;
    try {
      stop = WalkDestination(destination);
    } catch (const base::Error& error) {
      return Fail(error.Message());
    }
    if (stop) return *stop;

    std::vector<std::u16string> parts = text::SplitPath(source_folder, u"\\");
    const std::u16string name = parts.back();
    result_.converted_file = destination + u"\\" + name;
    const std::optional<platform::EntryInfo> entry =
        FindEntry(result_.converted_file, platform::LastName::kAsWritten);
    if (entry && entry->IsDirectory()) return RefuseWithBox(kSameNameFolderMessage);
    // Only a file already there can be one of the inputs.
    if (entry && OverwritesInput(result_.converted_file, source_folder, tables_.folder())) {
      return RefuseWithBox(kOverwritesInputMessage);
    }

    host_.SetMousePointer(kPointerHourglass);
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
    host_.SetLabel3(kDoneText);
    host_.SetMousePointer(kPointerDefault);
    result_.outcome = RunOutcome::kConverted;
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
    if (host_.MsgBox(kCreateFolderQuestion, base::kMsgYesNoQuestion, {}) != base::kAnswerYes) {
      host_.SetLabel3(u"");
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
    LaterGroups later(tables_, folder, result_.converted_file, two_threads);
    std::future<void> helper;  // declared after `later`: waits for the thread when unwinding
    if (two_threads) {
      try {
        helper = std::async(std::launch::async, [&later] { later.Work(); });
      } catch (const std::system_error&) {
        // No second thread to be had: this one makes the groups into memory after the notes.
      }
    }
    try {
      tables_.Geology();
      // The files of the depth list stay open, so their record writers read them from memory.
      const std::vector<source::DepthEntry> note_depths = source::CollectDepths(
          [&](std::u16string_view name) -> source::FieldReader* {
            std::optional<source::FieldReader>& reader = opened_[std::u16string(name)];
            reader = source::OpenSourceFile(folder + u"\\" + std::u16string(name));
            return reader ? &*reader : nullptr;
          },
          1);
      // X11.TXT serves only the depth list; R30.TXT goes on to the 3070 records.
      opened_.erase(u"X11.TXT");
      later.GiveR30(Open(folder, u"R30.TXT"));
      const source::TitleLists titles = source::ReadTitleFiles(folder);
      if (registry_ != nullptr) registry_->Register(name, destination);

      RecordFile out(result_.converted_file);
      WriteHeader(titles, tables_, out);
      {
        std::optional<source::FieldReader> x1 = Open(folder, u"X1.TXT");
        const std::optional<std::u16string> last_site_depth =
            WriteSiteRecords(x1, note_depths, out);
        x1.reset();
        NoteSources notes;
        const std::u16string_view coded[] = {u"X3.TXT",  u"R31.TXT", u"R32.TXT",
                                             u"R33.TXT", u"R34.TXT", u"R35.TXT"};
        for (size_t k = 0; k < 6; ++k) notes.coded[k] = Open(folder, coded[k]);
        notes.x12 = Open(folder, u"X12.TXT");
        WriteNotesRecords(notes, note_depths, last_site_depth, tables_, out);
      }
      if (two_threads) {
        later.Work();
        if (helper.valid()) helper.get();
        later.PutInto(out);
      } else {
        later.WriteAll(out);
      }
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
    LaterGroups(source::PatternTables& tables, const std::u16string& folder,
                const std::u16string& converted_file, bool in_memory)
        : tables_(tables), folder_(folder), r30_(r30_given_.get_future()) {
      if (in_memory) made_.assign(kCount, EncodedLines(converted_file));
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
    static constexpr size_t kCount = 8;

    std::optional<source::FieldReader> Open(std::u16string_view name) {
      return source::OpenSourceFile(folder_ + u"\\" + std::u16string(name));
    }

    void Write(size_t group, LineSink& out) {
      switch (group) {
        case 0:
          if (auto r41 = Open(u"R41.TXT")) WriteRecords3000And3010(*r41, out);
          break;
        case 1:
          if (auto n9 = Open(u"N9.TXT")) WriteRecords3020(*n9, out);
          break;
        case 2:
          if (auto x7 = Open(u"X7.TXT")) WriteRecords3030(*x7, tables_, out);
          break;
        case 3:
          if (auto g40 = Open(u"G40.TXT")) WriteRecords3040(*g40, out);
          break;
        case 4:
          if (auto r30 = r30_.get()) WriteRecords3070(*r30, tables_, out);
          break;
        case 5:
          if (auto x5 = Open(u"X5.TXT")) WriteRecords4000(*x5, out);
          break;
        case 6: {
          MergedMembers members = {Open(u"N8.TXT"), Open(u"G71.TXT"), Open(u"G73.TXT"),
                                   Open(u"G81.TXT")};
          WriteRecords5000(members, out);
          break;
        }
        default:
          if (auto g72 = Open(u"G72.TXT")) WriteRecords5010(*g72, tables_, out);
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
  };

  // A source file's reader: the one the depth list read, from its start, else the file opened now.
  std::optional<source::FieldReader> Open(const std::u16string& folder, std::u16string_view name) {
    if (auto it = opened_.find(name); it != opened_.end()) {
      std::optional<source::FieldReader> reader = std::move(it->second);
      opened_.erase(it);
      if (reader) reader->Rewind();
      return reader;
    }
    return source::OpenSourceFile(folder + u"\\" + std::u16string(name));
  }

  RunResult Refuse(std::u16string_view message) {
    host_.SetLabel3(u"");
    result_.outcome = RunOutcome::kRefused;
    result_.message = std::u16string(message);
    return result_;
  }

  RunResult RefuseWithBox(std::u16string_view message) {
    host_.MsgBox(message, base::kMsgOk, {});
    return Refuse(message);
  }

  RunResult Fail(const std::u16string& message) {
    host_.MsgBox(message, base::kMsgExclamation, {});
    host_.SetMousePointer(kPointerDefault);
    host_.SetLabel3(u"");
    result_.outcome = RunOutcome::kFailed;
    result_.message = message;
    return result_;
  }

  RunHost& host_;
  source::PatternTables& tables_;
  SiteRegistry* registry_;
  RunThreads threads_;
  std::map<std::u16string, std::optional<source::FieldReader>, std::less<>> opened_;
  RunResult result_{RunOutcome::kRefused, {}, {}};
};

}  // namespace

RunResult RunConversion(RunHost& host, source::PatternTables& tables, SiteRegistry* registry,
                        RunThreads threads) {
  return Run(host, tables, registry, threads).Go();
}

}  // namespace tjvx::convert
