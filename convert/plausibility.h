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

// The records of a borehole folder's source files, read once all the run's steps have read them,
// for the rules that compare files and for the depths findings name. A file is read on its own:
// one that cannot be read gives the records before its fault (the steps have told of it), and the
// records read out of step with their lines are left out, their values standing in other fields.
class BoreholeRecords {
 public:
  // The fields kept of a record: the rules look no further.
  static constexpr size_t kKeptFields = 11;
  struct Record {
    long long line = 0;                                   // where the record begins
    std::array<std::u16string_view, kKeptFields> fields;  // fields[k - 1] is field k
    std::u16string_view Field(int k) const { return fields[static_cast<size_t>(k) - 1]; }
  };

  // The records of the source folder `folder` (Windows form, no trailing "\"), and its title
  // items.
  explicit BoreholeRecords(const std::u16string& folder);

  const std::u16string& folder() const { return folder_; }
  std::span<const Record> Of(source::FileId file) const {
    return records_[static_cast<size_t>(file)];
  }
  // The record of `file` that begins at `line`; null for none.
  const Record* At(source::FileId file, long long line) const;
  const source::TitleLists& titles() const { return titles_; }

 private:
  std::u16string folder_;
  std::array<std::optional<source::FieldReader>, source::kFileCount> readers_;
  std::array<std::vector<Record>, source::kFileCount> records_;
  source::TitleLists titles_;
};

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
