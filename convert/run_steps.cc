#include "convert/run_steps.h"

#include <new>

#include "base/utf.h"
#include "base/windows_path.h"
#include "convert/header.h"
#include "convert/record_groups.h"
#include "convert/run.h"
#include "convert/site_notes.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "text/path_components.h"
#include "text/trim.h"

namespace tjvx::convert {
namespace {

// What leaving a source file out does: the records it would have given.
struct SourceSection {
  source::FileId file;
  std::u16string_view records;
  std::u16string_view what;  // what is left out
};
constexpr SourceSection kSections[] = {
    {source::FileId::kX1, u"2000", u"2000 の記録は書かれません。"},
    {source::FileId::kX3, u"2001", u"2001 の 1 番目の名前は @ と書かれます。"},
    {source::FileId::kR31, u"2001", u"2001 の 2 番目の名前は @ と書かれます。"},
    {source::FileId::kR32, u"2001", u"2001 の 3 番目の名前は @ と書かれます。"},
    {source::FileId::kR33, u"2001", u"2001 の 4 番目の名前は @ と書かれます。"},
    {source::FileId::kR34, u"2001", u"2001 の 5 番目の名前は @ と書かれます。"},
    {source::FileId::kR35, u"2001", u"2001 の 6 番目の名前は @ と書かれます。"},
    {source::FileId::kX11, u"", u"深度の一覧にこのファイルの深度は入りません。"},
    {source::FileId::kX12, u"2002", u"2002 の記録は書かれません。"},
    {source::FileId::kR41, u"3000", u"3000 と 3010 の記録は書かれません。"},
    {source::FileId::kN9, u"3020", u"3020 の記録は書かれません。"},
    {source::FileId::kX7, u"3030", u"3030 の記録は書かれません。"},
    {source::FileId::kG40, u"3040", u"3040 の記録は書かれません。"},
    {source::FileId::kR30, u"3070", u"3070 の記録は書かれません。"},
    {source::FileId::kX5, u"4000", u"4000 の記録は書かれません。"},
    {source::FileId::kN8, u"5000", u"5000 の日付は -1 -1 と書かれます。"},
    {source::FileId::kG71, u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {source::FileId::kG73, u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {source::FileId::kG81, u"5000", u"5000 のこのファイルの値は @ と書かれます。"},
    {source::FileId::kG72, u"5010", u"5010 の記録は書かれません。"},
    {source::FileId::kTitle1, u"1000", u"表題の項目は空として書かれます。"},
    {source::FileId::kTitle2, u"1006", u"表題の項目は空として書かれます。"},
};

const SourceSection* SectionOf(source::FileId file) {
  for (const SourceSection& section : kSections) {
    if (section.file == file) return &section;
  }
  return nullptr;
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

}  // namespace

std::u16string_view RecordCodeOf(source::FileId file) {
  const SourceSection* section = SectionOf(file);
  return section == nullptr ? std::u16string_view() : section->records;
}

std::u16string SourceFolder(std::u16string_view text, bool as_given) {
  const std::u16string resolved = text::ResolvePath(text);
  return std::u16string(
      base::WithoutTrailingBackslashes(as_given ? resolved : text::Trim(resolved), 3));
}

std::optional<std::u16string> SourceFolderRefusal(std::u16string_view text,
                                                  const std::u16string& folder) {
  if (text::Trim(text::ResolvePath(text)).empty()) return std::u16string(kNoSourceMessage);
  // On Windows "B-12 " would be read as its look-alike "B-12": such a name is refused.
  if (platform::kNamesLoseTrailingBlanksAndDots && EndsInBlankOrDot(folder)) {
    return std::u16string(kSourceNameEndMessage) + u"\n" + folder;
  }
  if (IsDriveRoot(folder)) return std::u16string(kSourceRootMessage);
  const std::optional<platform::EntryInfo> entry = platform::FindEntry(folder);
  if (!entry || !entry->IsDirectory()) {
    return std::u16string(kSourceMissingMessage) + u"\n" + folder;
  }
  // A folder that cannot be listed would fail at its first file; it is refused as a whole.
  if (!platform::CanListFolder(folder)) {
    return std::u16string(kSourceUnreadableMessage) + u"\n" + folder;
  }
  return std::nullopt;
}

std::u16string UnforeseenFailureMessage(const std::u16string& folder, const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    return u"メモリが足りない為に変換できません。\n" + folder;
  }
  return u"予期しないエラーの為に変換できません。\n" + folder + u"\n" +
         base::FromUtf8(error.what());
}

const source::Rule& UnforeseenFailureRule(const std::exception& error) {
  return dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? source::rules::kMemory
                                                                : source::rules::kUnforeseen;
}

std::vector<source::DepthEntry> DepthListFiles::Collect(KeepGoing* keep_going) {
  source::FileId reading{};
  auto open = [&](source::FileId file) -> source::FieldReader* {
    reading = file;
    const auto k = static_cast<size_t>(file);
    held_[k] = true;
    kept_[k] = source::OpenSourceFile(folder_, file, &found_);
    return kept_[k] ? &*kept_[k] : nullptr;
  };
  if (keep_going == nullptr) return source::CollectDepths(open, 1);
  return source::CollectDepths(open, 1, [&](const base::Error& error) {
    if (reading == source::FileId::kX11) x11_failed_ = true;
    keep_going->Error(error);
  });
}

std::optional<source::FieldReader> DepthListFiles::DepthMarks() {
  // X11.TXT is read for nothing else, so one the depth list did not read is not opened now.
  if (!held_[static_cast<size_t>(source::FileId::kX11)]) return std::nullopt;
  std::optional<source::FieldReader> x11 = Open(source::FileId::kX11);
  if (x11_failed_) x11.reset();
  return x11;
}

std::optional<source::FieldReader> DepthListFiles::Open(source::FileId file) {
  const auto k = static_cast<size_t>(file);
  if (!held_[k]) return source::OpenSourceFile(folder_, file, &found_);
  held_[k] = false;
  std::optional<source::FieldReader> reader = std::move(kept_[k]);
  kept_[k].reset();
  if (reader) reader->Rewind();
  return reader;
}

void ReportLeftOut(const std::u16string& folder, base::FindingSink& findings, KeepGoing* keep_going,
                   const std::function<bool(source::FileId)>& read) {
  for (const SourceSection& section : kSections) {
    if (read(section.file)) continue;
    const std::u16string path = source::SourcePath(folder, section.file);
    ReadFile(keep_going, [&] {
      const std::optional<std::uintmax_t> size = platform::FileSize(path);
      if (size && *size > 0) return;
      const source::Rule& rule = source::rules::kFileLeftOut;
      findings.Report({rule.severity,
                       path,
                       0,
                       0,
                       std::u16string(section.records),
                       std::u16string(size ? u"ファイルが空の為、" : u"ファイルがない為、") +
                           std::u16string(section.what),
                       {},
                       rule.id});
    });
  }
}

std::optional<source::FieldReader> RunSteps::Open(source::FileId file) {
  std::optional<source::FieldReader> reader;
  Step([&] { reader = files_.Open(file); });
  return reader;
}

void RunSteps::Done(source::FileId file, std::optional<source::FieldReader>& reader) {
  if (keep_going_ != nullptr) keep_going_->Done(file, std::move(reader));
  reader.reset();
}

void RunSteps::Read(RecordGroups& groups) {
  // A file left out is a notice for those who read the findings; a conversion's sink only counts,
  // and only its warnings are told, so it does not look every source file up once more for them.
  // A check (which keeps going) tells of them after its steps, from the files they read.
  if (findings_.KeepsText() && keep_going_ == nullptr) {
    ReportLeftOut(folder_, findings_, nullptr, [](source::FileId) { return false; });
  }
  Step([&] { tables_.Geology(); });
  // The files of the depth list stay open, so their record writers read them from memory.
  Step([&] { depths_ = files_.Collect(keep_going_); });
  groups.TakeFromDepthList([&](source::FileId file) { return Open(file); });
  Step([&] { titles_ = source::ReadTitleFiles(folder_, &findings_); });
}

void RunSteps::WriteUpToNotes(LineSink& out) {
  Step([&] { WriteHeader(titles_, tables_, out, findings_); });
  std::optional<std::u16string> last_site_depth;
  {
    std::optional<source::FieldReader> x1 = Open(source::FileId::kX1);
    Step([&] { last_site_depth = WriteSiteRecords(x1, depths_, out, findings_); });
    Done(source::FileId::kX1, x1);
  }
  NoteSources notes;
  for (size_t k = 0; k < notes.coded.size(); ++k) notes.coded[k] = Open(kCodedNoteFiles[k]);
  notes.x12 = Open(source::FileId::kX12);
  notes.x11 = files_.DepthMarks();
  Step([&] { WriteNotesRecords(notes, depths_, last_site_depth, tables_, out, findings_); });
  for (size_t k = 0; k < notes.coded.size(); ++k) Done(kCodedNoteFiles[k], notes.coded[k]);
  Done(source::FileId::kX12, notes.x12);
  // X11.TXT that failed in the depth list is none here, though its records before the fault
  // stand; the check reads it again.
  if (notes.x11) Done(source::FileId::kX11, notes.x11);
}

}  // namespace tjvx::convert
