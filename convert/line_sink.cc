#include "convert/line_sink.h"

#include "platform/cp932.h"

namespace tjvx::convert {
namespace {

constexpr size_t kFlushBytes = 1 << 20;

}  // namespace

RecordFile::RecordFile(std::u16string path) : path_(path), file_(std::move(path)) {
  buffer_.reserve(kFlushBytes + 4096);
}

void RecordFile::Line(std::u16string_view text) {
  platform::AppendCp932(text, path_, buffer_);
  buffer_ += "\r\n";
  if (buffer_.size() >= kFlushBytes) Flush();
}

void RecordFile::Encoded(std::string_view bytes) {
  Flush();
  file_.Write(bytes);
}

void RecordFile::Flush() {
  file_.Write(buffer_);
  buffer_.clear();
}

void RecordFile::Commit() {
  Flush();
  file_.Commit();
}

void EncodedLines::Line(std::u16string_view text) {
  platform::AppendCp932(text, path_, bytes_);
  bytes_ += "\r\n";
}

}  // namespace tjvx::convert
