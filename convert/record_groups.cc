#include "convert/record_groups.h"

#include <algorithm>
#include <type_traits>

#include "convert/interval_tests.h"
#include "convert/layers.h"
#include "convert/merged_records.h"
#include "source/depth_list.h"

namespace tjvx::convert {
namespace {

using source::FileId;

// The files of one group, in the group's order; a file that is absent is none.
using GroupFiles = MergedMembers;

// One record group: the files it reads, in their order, and the writer of its records.
struct RecordGroup {
  std::array<FileId, 4> files;
  size_t file_count;
  void (*write)(GroupFiles& files, source::PatternTables& tables, LineSink& out,
                base::FindingSink& found);
};

// A writer of one file's records, with the pattern tables or without.
template <auto kWriter>
void OneFile(GroupFiles& files, source::PatternTables& tables, LineSink& out,
             base::FindingSink& found) {
  if constexpr (std::is_invocable_v<decltype(kWriter), source::FieldReader&, source::PatternTables&,
                                    LineSink&, base::FindingSink&>) {
    kWriter(*files[0], tables, out, found);
  } else {
    kWriter(*files[0], out, found);
  }
}

void Merged(GroupFiles& files, source::PatternTables&, LineSink& out, base::FindingSink& found) {
  WriteRecords5000(files, out, found);
}

constexpr RecordGroup kGroups[] = {
    {{FileId::kR41}, 1, OneFile<WriteRecords3000And3010>},
    {{FileId::kN9}, 1, OneFile<WriteRecords3020>},
    {{FileId::kX7}, 1, OneFile<WriteRecords3030>},
    {{FileId::kG40}, 1, OneFile<WriteRecords3040>},
    {{FileId::kR30}, 1, OneFile<WriteRecords3070>},
    {{FileId::kX5}, 1, OneFile<WriteRecords4000>},
    {{FileId::kN8, FileId::kG71, FileId::kG73, FileId::kG81}, 4, Merged},
    {{FileId::kG72}, 1, OneFile<WriteRecords5010>},
};
static_assert(std::size(kGroups) == RecordGroups::kCount);

}  // namespace

RecordGroups::RecordGroups(source::PatternTables& tables, const std::u16string& folder,
                           const std::u16string& converted_file, Lines lines, KeepGoing* keep_going)
    : tables_(tables),
      folder_(folder),
      keep_going_(keep_going),
      handed_over_(hand_over_.get_future()) {
  if (lines == Lines::kInMemory) made_.assign(kCount, EncodedLines(converted_file));
  for (base::FindingList& group : found_) group = base::FindingList(keep_going_ != nullptr);
}

void RecordGroups::TakeFromDepthList(
    const std::function<std::optional<source::FieldReader>(FileId)>& open) {
  for (const RecordGroup& group : kGroups) {
    for (size_t i = 0; i < group.file_count; ++i) {
      const FileId file = group.files[i];
      if (source::DepthListReads(1, file)) from_depth_list_[static_cast<size_t>(file)] = open(file);
    }
  }
  hand_over_done_ = true;
  hand_over_.set_value();
}

void RecordGroups::WriteAll(LineSink& out) {
  for (size_t k = 0; k < kCount; ++k) RunStep(keep_going_, folder_, [&] { Write(k, out); });
}

std::optional<size_t> RecordGroups::Take(From from) {
  const std::lock_guard<std::mutex> lock(taking_);
  const size_t end = std::min(last_, wanted_);
  if (first_ >= end) return std::nullopt;
  if (from == From::kFirst) return first_++;
  last_ = end - 1;
  return last_;
}

void RecordGroups::Work(From from) {
  while (const std::optional<size_t> k = Take(from)) {
    try {
      Write(*k, made_[*k]);
    } catch (...) {
      failed_[*k] = std::current_exception();
      // The groups after a failed one are never written, so nobody needs to make them; those
      // before it still are, since the first failure in the file's order is the one reported.
      const std::lock_guard<std::mutex> lock(taking_);
      wanted_ = std::min(wanted_, *k + 1);
    }
  }
}

void RecordGroups::Abandon() {
  {
    const std::lock_guard<std::mutex> lock(taking_);
    wanted_ = 0;
  }
  if (!hand_over_done_) {
    hand_over_done_ = true;
    hand_over_.set_value();
  }
}

void RecordGroups::PutInto(RecordFile& out) {
  for (size_t k = 0; k < kCount; ++k) {
    if (failed_[k]) std::rethrow_exception(failed_[k]);
    out.Encoded(made_[k].bytes());
    made_[k] = EncodedLines({});
  }
}

void RecordGroups::TakeFindings(base::FindingList& findings) {
  for (base::FindingList& group : found_) findings.Take(group);
}

std::optional<source::FieldReader> RecordGroups::Open(FileId file, base::FindingSink& found) {
  if (source::DepthListReads(1, file)) {
    handed_over_.wait();
    return std::move(from_depth_list_[static_cast<size_t>(file)]);
  }
  std::optional<source::FieldReader> reader;
  ReadFile(keep_going_, [&] { reader = source::OpenSourceFile(folder_, file, &found); });
  return reader;
}

void RecordGroups::Write(size_t k, LineSink& out) {
  const RecordGroup& group = kGroups[k];
  base::FindingList& found = found_[k];
  GroupFiles files;
  bool any = false;
  for (size_t i = 0; i < group.file_count; ++i) {
    files[i] = Open(group.files[i], found);
    any = any || files[i].has_value();
  }
  // A group none of whose files is there writes nothing.
  if (keep_going_ == nullptr) {
    if (any) group.write(files, tables_, out, found);
    return;
  }
  if (any) WriteKeepingGoing(k, files, out);
  for (size_t i = 0; i < group.file_count; ++i) {
    keep_going_->Done(group.files[i], std::move(files[i]));
  }
}

void RecordGroups::WriteKeepingGoing(size_t k, GroupFiles& files, LineSink& out) {
  const RecordGroup& group = kGroups[k];
  base::FindingList& found = found_[k];
  try {
    group.write(files, tables_, out, found);
  } catch (const base::Error& error) {
    keep_going_->Error(error);
    // A check reads the files as a conversion reads them; after an error in one, each file after
    // it is read on its own, so its errors are found too.
    size_t failed = 0;
    while (failed < group.file_count && !(files[failed] && files[failed]->file() == error.file())) {
      ++failed;
    }
    for (size_t i = failed + 1; i < group.file_count; ++i) {
      if (!files[i]) continue;
      GroupFiles one;
      one[i] = std::move(files[i]);
      one[i]->Rewind();
      ReadFile(keep_going_, [&] { group.write(one, tables_, out, found); });
      files[i] = std::move(one[i]);
    }
  }
}

}  // namespace tjvx::convert
