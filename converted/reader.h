#ifndef TJVX_CONVERTED_READER_H_
#define TJVX_CONVERTED_READER_H_

#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "converted/model.h"

// Reading a converted file back into its records, and writing the records out again. Each record
// code has one grammar (reader.cc, kGrammars): values taken from the left, then for some codes one
// free text, then values taken from the right, every two separated by one blank. A line whose
// values cannot be told apart that way, or whose depth or number is not numeric, is kept as its
// text (Record::kept_text), so every line the converter writes comes back byte for byte.
namespace tjvx::converted {

// Why a file is not read as a converted file, with the file and the 1-based line (0: the file as a
// whole). It is a base::Error of kind kNotConverted, so callers catch one error type; its reason
// tells refusals apart.
class ReadRefusal : public base::Error {
 public:
  enum class Kind {
    kNoFile,         // there is no file of the name
    kUnreadable,     // a folder in its place, or the file cannot be read
    kBadBytes,       // bytes that are not CP932
    kOtherCode,      // a character in a code the converter never writes (NEC / IBM duplicates)
    kFirstLine,      // the first line is not "GTJ Ge201"
    kLineEnd,        // a line not ended by CR LF, or a CR or LF on its own
    kUnknownCode,    // a line that does not begin with a record code and a blank
    kOrder,          // a record out of the order of the groups
    kMissingHeader,  // a header record 1000..1018 missing (named at the line where it belongs)
  };

  // `detail` completes the cause: the codes of kOrder ("3000 の後に 2001"), the missing code of
  // kMissingHeader ("1006"), the byte offset of kBadBytes and kOtherCode.
  ReadRefusal(Kind reason, std::u16string file, long long line, std::u16string detail = {});

  Kind reason() const { return reason_; }
  // The cause in Japanese, one sentence. Message() is what the user reads: that the file cannot be
  // read, the cause, the file and the line.
  const std::u16string& cause() const { return detail(); }

 private:
  Kind reason_;
};

// How many values a line of record `code` holds in the converted format (its free text, where it
// has one, counts as one value); 0 for a code the format does not have.
size_t ValueCount(int code);

// The records of a converted file's decoded text; `file` names it in refusals and in the result.
// Lines end in CR LF, the last one too. Throws ReadRefusal.
ConvertedFile ReadConvertedFile(std::u16string_view text, std::u16string file);

// The same from the file's bytes, decoded from CP932. Bytes that are not CP932, and characters
// written in a code other than the one the converter writes for them (so that WriteBack could not
// give the bytes again), are refused.
ConvertedFile ReadConvertedBytes(std::string_view bytes, std::u16string file);

// The same from a file: `path` in Windows form ("D:\OUT\B-12") or a host path, which is taken
// through the drive table ("/srv/out/B-12").
ConvertedFile ReadConvertedFileAt(std::u16string_view path);

// How many lines of each record code a file holds, as the first four characters of its lines
// tell: for a reader that makes room for the records before it reads them.
class CodeCounts {
 public:
  CodeCounts() = default;
  explicit CodeCounts(const ConvertedFile& file);
  // Counts the line that begins `line` (at least its code).
  void Count(std::string_view line);
  size_t of(int code) const;

 private:
  static constexpr int kLowest = 1000, kHighest = 5010;
  std::vector<size_t> counts_ = std::vector<size_t>(kHighest - kLowest + 1);
};

// The records of the file at `path` handed to `each` one at a time, in file order, none of them
// kept: a record's values view the file's text only during the call, so a reader that keeps what
// it needs does not hold the whole file's records. Refuses as ReadConvertedFileAt does; the
// records before the refusal have been handed over by then.
// `before`, when given, learns how many lines of each code follow before the first is handed over.
void ForEachRecordAt(std::u16string_view path,
                     const std::function<void(const Record& record)>& each,
                     const std::function<void(const CodeCounts& counts)>& before = {});

// The file's bytes: "GTJ Ge201", then each record as its code, a blank and its values joined by
// its grammar (or its kept text), each line ended by CR LF, in CP932. A record of an unknown code
// or with another number of values than its grammar has throws base::Error (kOutOfRange), as does
// a character CP932 cannot write.
std::string WriteBack(const ConvertedFile& converted);

// Whether `bytes` read as a converted file and written back give the same bytes; when not, `why`
// gets the refusal's message or the first line that changed.
bool RoundTrips(std::string_view bytes, std::u16string* why,
                std::u16string_view file = u"変換済みファイル");

}  // namespace tjvx::converted

#endif  // TJVX_CONVERTED_READER_H_
