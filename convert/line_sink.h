#ifndef TJVX_CONVERT_LINE_SINK_H_
#define TJVX_CONVERT_LINE_SINK_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"

namespace tjvx::convert {

// Where the record writers put their lines: the converted file, or a list in tests.
class LineSink {
 public:
  virtual ~LineSink() = default;
  // One line, without its line end.
  virtual void Line(std::u16string_view text) = 0;
};

// The converted file: CP932 lines ended by CR LF, written under a temporary name and put in place
// by Commit(), so a failed run leaves no partial file and an earlier file of the name intact.
class RecordFile : public LineSink {
 public:
  explicit RecordFile(std::u16string path);
  void Line(std::u16string_view text) override;
  // Lines already encoded, each with its CR LF (what an EncodedLines gathered).
  void Encoded(std::string_view bytes);
  void Commit();

 private:
  void Flush();
  std::u16string path_;
  platform::AtomicFile file_;
  std::string buffer_;
};

// Lines encoded as the converted file holds them (CP932, CR LF), kept in memory until they are put
// into it; `path` names the converted file in the message of a character CP932 cannot write.
class EncodedLines : public LineSink {
 public:
  explicit EncodedLines(std::u16string path) : path_(std::move(path)) {}
  void Line(std::u16string_view text) override;
  const std::string& bytes() const { return bytes_; }

 private:
  std::u16string path_;
  std::string bytes_;
};

// Lines kept in memory.
class LineCollector : public LineSink {
 public:
  void Line(std::u16string_view text) override { lines.emplace_back(text); }
  std::vector<std::u16string> lines;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_LINE_SINK_H_
