#ifndef TJVX_SOURCE_RECORD_FINDINGS_H_
#define TJVX_SOURCE_RECORD_FINDINGS_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/findings.h"
#include "source/code_table.h"
#include "source/field_reader.h"
#include "source/rules.h"
#include "text/field_formats.h"

namespace tjvx::source {

// What a finding says: what happens to the value, and what to do (empty: the rule's help says it).
struct Said {
  std::u16string message;
  std::u16string fix = {};
};

// Reports what writing the records of one source file into one record code did to its values.
// The zeros a field writes as "-1" or "9999" are counted and reported once, by Finish(), with the
// first line, so that ordinary data gives one notice rather than hundreds.
class RecordFindings {
 public:
  // `file` is the source file's path (it must outlive this); `record` the record code ("3030").
  RecordFindings(base::FindingSink& sink, const std::u16string& file, std::u16string_view record)
      : sink_(sink), file_(file), record_(record), keeps_text_(sink.KeepsText()) {}
  // For the records `reader` reads: from the first line where a record began in the middle of a
  // line on, the values stand in other fields than they were written for, and the reader has told
  // of that line once, so nothing is reported of them here.
  RecordFindings(base::FindingSink& sink, const FieldReader& reader, std::u16string_view record)
      : RecordFindings(sink, reader.file(), record) {
    reader_ = &reader;
  }
  RecordFindings(const RecordFindings&) = delete;
  RecordFindings& operator=(const RecordFindings&) = delete;

  // A value of field `field` (1-based) of the record at `line` went into the line as `written`.
  void Value(text::ValueChange change, long long line, int field, std::u16string_view value,
             std::u16string_view written) {
    if (change != text::ValueChange::kNone) Changed(change, line, field, value, written);
  }
  // Appends `value` to `line` with `append` (a value form of the record lines) and reports what
  // that did to it.
  template <typename Append>
  text::ValueChange Put(std::u16string& line, long long at, int field, std::u16string_view value,
                        Append append) {
    const size_t start = line.size();
    const text::ValueChange change = append(line, value);
    if (change != text::ValueChange::kNone) {
      Changed(change, at, field, value, std::u16string_view(line).substr(start));
    }
    return change;
  }
  // A line written for the record at `line`: control characters copied from the source are
  // reported once per line.
  void Written(std::u16string_view text, long long line) {
    for (char16_t c : text) {
      if (c < u' ') return ControlCharacter(c, line);
    }
  }
  // A finding of `rule` at the record of `line`, field `field` (0 when none applies).
  void Report(const Rule& rule, long long line, int field, Said said) {
    Send(rule, line, field, std::move(said));
  }
  // The same, with the texts `make` builds (a Said) only when the sink keeps texts.
  template <typename Make>
  void ReportWith(const Rule& rule, long long line, int field, Make make) {
    if (Shifted(line)) return;
    if (!keeps_text_) return sink_.Count(rule.severity);
    Send(rule, line, field, make());
  }
  // What field `field` of this file's records holds ("打撃回数"), empty where the format does not
  // say: a message names the value by it.
  std::u16string_view Role(int field) const;
  // Reports the zeros counted; called once the file's records are written.
  void Finish();

  const std::u16string& file() const { return file_; }

 private:
  // Whether the record at `line` was read out of step with the lines.
  bool Shifted(long long line) const {
    return reader_ != nullptr && reader_->out_of_step_line() != 0 &&
           line >= reader_->out_of_step_line();
  }
  void Changed(text::ValueChange change, long long line, int field, std::u16string_view value,
               std::u16string_view written);
  void ControlCharacter(char16_t c, long long line);
  void Send(const Rule& rule, long long line, int field, Said said,
            std::vector<long long> lines = {});

  base::FindingSink& sink_;
  const std::u16string& file_;
  std::u16string record_;
  bool keeps_text_;
  const FieldReader* reader_ = nullptr;
  long long zeros_ = 0;
  long long first_zero_line_ = 0;
  int first_zero_field_ = 0;
  std::u16string zero_written_;
  std::vector<long long> zero_lines_;  // kept only when the sink keeps texts
};

// The rule of a value changed by `change` (kNotANumber for kNone).
const Rule& RuleOf(text::ValueChange change);

// What is said of a code `code` of the source file `file` that `table` does not hold:
// "コード「15」が L4.TXT にない為、<what_happens>", and to add it there or mend it here.
Said CodeMissing(std::u16string_view code, TableId table, std::u16string_view file,
                 std::u16string_view what_happens);

// A count or a line number as text.
std::u16string Decimal(long long value);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_RECORD_FINDINGS_H_
