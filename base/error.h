#ifndef TJVX_BASE_ERROR_H_
#define TJVX_BASE_ERROR_H_

#include <exception>
#include <string>

namespace tjvx::base {

// The one error channel of the converter. A routine that cannot go on throws an Error naming the
// file, the place in it and the cause; the conversion run turns it into its message box.
class Error : public std::exception {
 public:
  enum class Kind {
    kFileMissing,     // a needed file is not there
    kNotAFile,        // a folder stands where a file is needed
    kReadFailed,      // the file exists but cannot be read
    kWriteFailed,     // the converted file cannot be written
    kBadCharacter,    // bytes that are not CP932
    kRecordCutShort,  // the file ends inside a record
    kFolderCreate,    // a destination folder cannot be created
    kOutOfRange,      // a value or an index beyond what the converter holds
    kNotRegularFile,  // a FIFO, socket or device stands where a file is to be written
    kNotConverted,    // a file is not read as a converted file (the detail gives the cause)
  };

  Error(Kind kind, std::u16string file, long long line = 0, long long offset = -1,
        std::u16string detail = {});

  Kind kind() const { return kind_; }
  const std::u16string& file() const { return file_; }
  // 1-based line of the file, 0 when the error has no line.
  long long line() const { return line_; }
  // 0-based byte offset in the file, -1 when the error has no offset.
  long long offset() const { return offset_; }
  const std::u16string& detail() const { return detail_; }

  // The Japanese text shown to the user: the cause, the file, and where in it.
  std::u16string Message() const;
  // The cause and the detail without the file and line, for a report that names them itself:
  // "ファイルに Shift-JIS でないバイトがある為に変換できません。 (バイト位置 12)".
  std::u16string Summary() const;
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Kind kind_;
  std::u16string file_;
  long long line_;
  long long offset_;
  std::u16string detail_;
  std::string what_;
};

}  // namespace tjvx::base

#endif  // TJVX_BASE_ERROR_H_
