#ifndef TJVX_SOURCE_FIELD_READER_H_
#define TJVX_SOURCE_FIELD_READER_H_

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/findings.h"

namespace tjvx::source {

// Reads the comma-separated fields that every source file, code table and title file holds:
// - leading blanks (space, tab) are skipped;
// - a field that starts with a double quote runs to the next double quote, without the quotes, and
//   everything after it up to and including the next comma or line end is skipped; a missing
//   closing quote ends the field at the line end, so no value carries a line break;
// - an unquoted field runs to the next comma or line end, trailing blanks dropped;
// - a comma always introduces one more field, possibly empty ("1,2," holds three fields);
// - a line of nothing but blanks, where a new line begins, is skipped;
// - line ends are CR LF, LF or CR; a Ctrl-Z ends the file.
// Fields are views into the reader's own text and stay valid as long as the reader.
class FieldReader {
 public:
  // `file` names the file in error messages.
  FieldReader(std::u16string text, std::u16string file);
  // For text already cut at its first Ctrl-Z, so it need not be searched for one.
  struct CutAtCtrlZ {};
  FieldReader(std::u16string text, std::u16string file, CutAtCtrlZ);
  FieldReader(FieldReader&&) = default;
  FieldReader& operator=(FieldReader&&) = default;

  // True when nothing but blanks, line ends and Ctrl-Z remain. Asked before every record: a
  // character above the blank at the reading position answers at once (the character at the
  // text's end is below it).
  bool AtEnd() const { return data_[pos_] <= u' ' && OnlyBlanksLeft(); }
  // The next field. Throws Error::Kind::kRecordCutShort when the file has ended.
  std::u16string_view ReadField();
  // The next `count` fields, wherever they stand (a record may span lines). A record cut short by
  // the end of the file throws Error::Kind::kRecordCutShort naming the file and the record's line,
  // or, when a record began in the middle of a line before, that line and its number of fields:
  // a line with more fields than its record (an unquoted comma in a value) is what put the
  // records out of step with the lines.
  void ReadRecord(size_t count, std::vector<std::u16string_view>& fields) {
    fields.resize(count);
    ReadRecord(std::span(fields), count);
  }
  // The next fields.size() fields, into `fields`, as above.
  void ReadRecord(std::span<std::u16string_view> fields) { ReadRecord(fields, fields.size()); }
  // The same, taking only the first `taken` fields into `fields`; the others are passed over,
  // found only where each ends, and left as they were. Most records hold fields after the last
  // one a writer uses (40 of X7.TXT's 68), and the depth list uses the second field alone.
  void ReadRecord(std::span<std::u16string_view> fields, size_t taken);
  std::vector<std::u16string_view> ReadRecord(size_t count);
  // Drops the rest of the current line, line end included.
  void SkipLine();
  // Goes back to the start of the text, so a file read once can be read again without reading
  // and decoding it a second time.
  void Rewind();

  // Where the reader tells of a record that begins in the middle of a line: one warning at the
  // first such line, with its number of fields, unless the file ends inside a record (then the
  // error names that line).
  void ReportTo(base::FindingSink& findings) { findings_ = &findings; }
  // The first line where a record began in the middle of the line (0: none): the values of this
  // record and of those after it stand in other fields than they were written for.
  long long out_of_step_line() const { return out_of_step_line_; }

  // 1-based line of the reading position.
  long long line() const { return line_; }
  // 1-based line where the last record read (or the last field ReadField read) begins.
  long long record_line() const { return record_line_; }
  const std::u16string& file() const { return file_; }

 private:
  // ReadRecord(fields, taken) from field `first` on, the fields before it read (the reading
  // position, the comma flag, the line and the record's line in the members).
  void ReadRecordFrom(std::span<std::u16string_view> fields, size_t taken, size_t first);
  // Whether nothing but blanks, line ends and Ctrl-Z remain from the reading position.
  bool OnlyBlanksLeft() const;
  // The next field; a file that has ended throws naming `record_line` (0: the current line).
  std::u16string_view ReadFieldOf(long long record_line);
  bool AtLineEnd() const;
  // The field at `p` (the reading position, with the comma flag and the line) read by
  // ReadFieldOf into `value`; returns the position after it.
  const char16_t* LongWay(const char16_t* p, bool& after_comma, long long& line,
                          long long record_line, std::u16string_view& value);
  void ConsumeLineEnd();
  void SkipBlanks();
  [[noreturn]] void CutShort(long long line) const;
  // Notes the first line where a record begins in the middle of the line, where the record
  // before it, of `record_fields` fields, ended.
  void NoteMidLineStart(size_t record_fields);
  void NoteMidLineStartUnlessAtEnd(size_t record_fields);
  // "この行の項目数が ... 個あります (他の行は ... 個)" for the line noted.
  std::u16string TooManyFields() const;
  // Whether reading records of `record_fields` fields on from here, as long as anything is left,
  // ends inside a record; the reading position is kept.
  bool EndsInsideRecord(size_t record_fields);

  std::unique_ptr<const std::u16string> text_;  // on the heap, so views survive a move
  const char16_t* data_ = nullptr;              // text_'s characters
  std::u16string file_;
  size_t pos_ = 0;
  // The first Ctrl-Z, or the text's end; the character there (the Ctrl-Z or the string's
  // terminating NUL) is below the comma and stops the field scans without a bound check.
  size_t end_ = 0;
  long long line_ = 1;
  long long record_line_ = 1;
  bool after_comma_ = false;  // the last field ended with a comma, so one more field follows
  // The first line where a record began in the middle of the line (0: none yet), where that line
  // begins in the text, and how many fields the record has.
  long long mid_line_ = 0;
  size_t mid_line_begin_ = 0;
  size_t mid_line_record_fields_ = 0;
  // mid_line_ as first noted, kept by Rewind().
  long long out_of_step_line_ = 0;
  base::FindingSink* findings_ = nullptr;
};

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_FIELD_READER_H_
