#ifndef TJVX_CONVERT_RECORD_GROUPS_H_
#define TJVX_CONVERT_RECORD_GROUPS_H_

#include <array>
#include <atomic>
#include <exception>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/findings.h"
#include "convert/interval_tests.h"
#include "convert/layers.h"
#include "convert/line_sink.h"
#include "convert/merged_records.h"
#include "source/code_table.h"
#include "source/field_reader.h"
#include "source/source_files.h"

namespace tjvx::convert {

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
  std::optional<source::FieldReader> Open(source::FileId file, base::FindingSink& found) {
    const std::u16string path = source::SourcePath(folder_, file);
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
        if (auto r41 = Open(source::FileId::kR41, found)) WriteRecords3000And3010(*r41, out, found);
        break;
      case 1:
        if (auto n9 = Open(source::FileId::kN9, found)) WriteRecords3020(*n9, out, found);
        break;
      case 2:
        if (auto x7 = Open(source::FileId::kX7, found)) WriteRecords3030(*x7, tables_, out, found);
        break;
      case 3:
        if (auto g40 = Open(source::FileId::kG40, found)) WriteRecords3040(*g40, out, found);
        break;
      case 4:
        if (auto r30 = r30_.get()) WriteRecords3070(*r30, tables_, out, found);
        break;
      case 5:
        if (auto x5 = Open(source::FileId::kX5, found)) WriteRecords4000(*x5, out, found);
        break;
      case 6: {
        MergedMembers members = {
            Open(source::FileId::kN8, found), Open(source::FileId::kG71, found),
            Open(source::FileId::kG73, found), Open(source::FileId::kG81, found)};
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
        if (auto g72 = Open(source::FileId::kG72, found))
          WriteRecords5010(*g72, tables_, out, found);
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

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RECORD_GROUPS_H_
