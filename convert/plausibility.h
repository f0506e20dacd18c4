#ifndef TJVX_CONVERT_PLAUSIBILITY_H_
#define TJVX_CONVERT_PLAUSIBILITY_H_

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/findings.h"
#include "source/field_reader.h"
#include "source/source_files.h"
#include "source/titles.h"

// The plausibility rules of the check: values that convert, but that a borehole cannot hold.
namespace tjvx::convert {

// The source files a check's steps have read, each reader as the steps left it, so the rules
// after them read a file's records without opening and decoding it again. A file the steps did
// not hand over (a step failed before it) is opened when it is first asked for.
class ReadSourceFiles {
 public:
  // Keeps the steps' reader of `file`; none for a file missing, empty or failed to open.
  void Keep(source::FileId file, std::optional<source::FieldReader> reader);
  // The reader of `file` of the source folder `folder`, from its start and telling of nothing
  // (the steps have told of what the file holds); null for none. It stays this object's, and so
  // does the text its fields view. A file not kept is opened now, and may throw as the steps'
  // opening did. `lines` is set to the lines the steps read of it (0 for a file opened now): its
  // records are no more, if they read it to its end.
  source::FieldReader* Reader(std::u16string_view folder, source::FileId file, size_t& lines);
  // Whether the steps handed over a reader of `file`: they found bytes in it.
  bool HadBytes(source::FileId file) const { return had_bytes_[static_cast<size_t>(file)]; }

 private:
  std::array<std::optional<source::FieldReader>, source::kFileCount> readers_;
  std::array<bool, source::kFileCount> held_{};  // whether readers_ holds the file's, unread yet
  std::array<bool, source::kFileCount> had_bytes_{};
};

// The records of a borehole folder's source files, for the rules that compare files and for the
// depths findings name, read from the files the run's steps read once they have all been read. A
// file is read on its own, when its records are first asked for: one that cannot be read gives
// the records before its fault (the steps have told of it), and the records read out of step with
// their lines are left out, their values standing in other fields.
class BoreholeRecords {
 public:
  struct Record {
    long long line = 0;  // where the record begins
    // The fields read of the record (RecordFieldsRead): fields[k - 1] is field k.
    const std::u16string_view* fields = nullptr;
    std::u16string_view Field(int k) const { return fields[k - 1]; }
  };

  // The records of the source folder `folder` (Windows form, no trailing "\") from `files`, and
  // its title items as the steps read them.
  BoreholeRecords(std::u16string folder, ReadSourceFiles files, source::TitleLists titles);

  const std::u16string& folder() const { return folder_; }
  // The records of `file`.
  std::span<const Record> Of(source::FileId file) const;
  // The record of `file` that begins at `line`; null for none.
  const Record* At(source::FileId file, long long line) const;
  const source::TitleLists& titles() const { return titles_; }

 private:
  // The records of one file, and the fields read of them, one record's after another's.
  struct FileRecords {
    std::vector<Record> records;
    std::vector<std::u16string_view> fields;
  };
  // Reads the records of `file`, the first time they are asked for.
  const std::vector<Record>& RecordsOf(source::FileId file) const;

  std::u16string folder_;
  source::TitleLists titles_;
  // Filled as the rules ask: most findings name their depth already, so a file only the depths
  // would read is seldom read.
  mutable ReadSourceFiles files_;
  mutable std::array<std::optional<FileRecords>, source::kFileCount> records_;
};

// How many fields of a record of `file` the rules and the depths read, from the first.
size_t RecordFieldsRead(source::FileId file);

// Reports what the plausibility rules find in `records` to `findings`: layers whose bottom is not
// below their top (X7.TXT, G40.TXT), gaps and overlaps between the layers of X7.TXT, depths below
// the bottom of the borehole, tests without a counted interval or of more than 50 blows (X5.TXT),
// dates not in the calendar (N8.TXT, N9.TXT, the title dates) and a first survey date after the
// second.
void CheckPlausibility(const BoreholeRecords& records, base::FindingSink& findings);

// Gives each finding of a source file's record the record's depth (Finding::depth), unless the
// finding is about a depth of the record itself.
void AddRecordDepths(const BoreholeRecords& records, std::vector<base::Finding>& findings);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_PLAUSIBILITY_H_
