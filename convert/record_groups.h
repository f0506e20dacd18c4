#ifndef TJVX_CONVERT_RECORD_GROUPS_H_
#define TJVX_CONVERT_RECORD_GROUPS_H_

#include <array>
#include <cstddef>
#include <exception>
#include <functional>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/findings.h"
#include "convert/line_sink.h"
#include "convert/merged_records.h"
#include "convert/run_steps.h"
#include "source/code_table.h"
#include "source/field_reader.h"
#include "source/source_files.h"

namespace tjvx::convert {

// The record groups after the notes, 3000 to 5010, in the file's order. Each reads files of its
// own, which it opens itself, but for those the depth list has read already and hands over. With
// two threads a second one makes groups into memory while the first makes the depth list and the
// records up to the notes.
class RecordGroups {
 public:
  // Where the groups' lines go: straight into the sink WriteAll is given, or each group into
  // memory of its own (Work), put into the converted file `converted_file` afterwards (PutInto).
  enum class Lines { kStraight, kInMemory };

  // The groups of the source folder `folder`, run under `keep_going` (none in a conversion). A
  // check's findings keep their texts; a conversion's are only counted.
  RecordGroups(source::PatternTables& tables, const std::u16string& folder,
               const std::u16string& converted_file, Lines lines, KeepGoing* keep_going);

  // Hands over the groups' files the depth list has read, each opened by `open`; a group reading
  // one of them waits until then. Called once, by the thread making the depth list.
  void TakeFromDepthList(
      const std::function<std::optional<source::FieldReader>(source::FileId)>& open);
  // Every group in turn into `out`, each as one step of the run.
  void WriteAll(LineSink& out);
  // The end of the groups not taken yet that a thread takes from.
  enum class From { kFirst, kLast };
  // Makes the groups nobody has taken yet, each into its own memory; called by both threads. The
  // second thread takes from the last group back, the one that made the notes from the first
  // group on, so they meet where the work runs out instead of one waiting for the other's last.
  void Work(From from);
  // The run has failed: the groups not taken are left, and a group waiting for the depth list's
  // files gets none, so the other thread ends. Called by the thread making the depth list.
  void Abandon();
  // Once both threads are done: the groups into the file in order, up to the first failure.
  void PutInto(RecordFile& out);
  // The findings of the groups, in the groups' order, after those of `findings`.
  void TakeFindings(base::FindingList& findings);

  static constexpr size_t kCount = 8;

 private:
  // Takes the next group from `from`; none when every group still wanted is taken.
  std::optional<size_t> Take(From from);
  std::optional<source::FieldReader> Open(source::FileId file, base::FindingSink& found);
  void Write(size_t group, LineSink& out);
  // A group's records as a check writes them: an error ends only the file that met it.
  void WriteKeepingGoing(size_t group, MergedMembers& files, LineSink& out);

  source::PatternTables& tables_;
  const std::u16string& folder_;
  KeepGoing* keep_going_;
  // The depth list's readers of the groups' files, by file, ready once `handed_over_` is.
  std::array<std::optional<source::FieldReader>, source::kFileCount> from_depth_list_;
  std::promise<void> hand_over_;
  std::shared_future<void> handed_over_;
  bool hand_over_done_ = false;  // only the depth list's thread looks at it
  std::vector<EncodedLines> made_;
  std::array<std::exception_ptr, kCount> failed_{};
  std::mutex taking_;
  size_t first_ = 0, last_ = kCount;  // the groups not taken yet are [first_, last_)
  // Groups from here on are not wanted: one before them failed, or the run did.
  size_t wanted_ = kCount;
  std::array<base::FindingList, kCount> found_;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RECORD_GROUPS_H_
