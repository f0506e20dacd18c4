#ifndef TJVX_CONVERT_RECORD_LOOP_H_
#define TJVX_CONVERT_RECORD_LOOP_H_

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/findings.h"
#include "source/field_reader.h"
#include "source/record_findings.h"
#include "text/field_formats.h"
#include "text/record_values.h"

namespace tjvx::convert {

// The loop the record writers share: it reads the records of one source file, `kFields` fields
// each, of which it takes the first `kTaken` (the others are passed over), and starts each record's
// line with the record code and the record's depth. The line is built in one buffer that keeps its
// room from line to line, and what a value loses on its way into the line is reported with the
// record's line and the field's number, counted from 1.
//
//   RecordLoop<8> records(g40, findings, u"3040");
//   while (records.Next()) {
//     records.Start(4);  // "3040 " and the depth of field 4
//     ...
//     out.Line(records.line());
//   }
//   records.Finish();
template <size_t kFields, size_t kTaken = kFields>
class RecordLoop {
 public:
  RecordLoop(source::FieldReader& reader, base::FindingSink& findings, std::u16string_view code)
      : reader_(reader), found_(findings, reader, code), start_(std::u16string(code) + u' ') {}

  // Reads the next record; false at the file's end.
  bool Next() {
    if (reader_.AtEnd()) return false;
    reader_.ReadRecord(fields_, kTaken);
    at_ = reader_.record_line();
    return true;
  }
  // Field `field` of the record, counted from 1.
  std::u16string_view Field(int field) const { return fields_[static_cast<size_t>(field) - 1]; }
  // The line where the record began.
  long long at() const { return at_; }

  // Begins the record's line: the record code, a blank and the depth of field `depth_field` in
  // the depth form ("1.50"). Returns what the depth lost.
  text::ValueChange Start(int depth_field) {
    line_ = start_;
    return Put(depth_field, text::AppendDepthText);
  }
  // Appends field `field` with `append` (a value form of the record lines) and reports what that
  // did to it.
  template <typename Append>
  text::ValueChange Put(int field, Append append) {
    return found_.Put(line_, at_, field, Field(field), append);
  }
  std::u16string& line() { return line_; }
  source::RecordFindings& found() { return found_; }
  // Reports the zeros counted; called once the file's records are written.
  void Finish() { found_.Finish(); }

 private:
  source::FieldReader& reader_;
  source::RecordFindings found_;
  std::u16string start_;  // the record code and a blank
  std::array<std::u16string_view, kFields> fields_;
  long long at_ = 0;
  std::u16string line_;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RECORD_LOOP_H_
