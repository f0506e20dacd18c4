#include "source/field_reader.h"

#include "common/error.h"

namespace tjvx {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

FieldReader::FieldReader(std::u16string text, std::u16string file)
    : text_(std::make_unique<const std::u16string>(std::move(text))), file_(std::move(file)) {
  data_ = text_->data();
  end_ = text_->find(u'\x1A');
  if (end_ == std::u16string::npos) end_ = text_->size();
}

bool FieldReader::AtLineEnd() const {
  return pos_ < end_ && (data_[pos_] == u'\r' || data_[pos_] == u'\n');
}

void FieldReader::ConsumeLineEnd() {
  if (data_[pos_] == u'\r' && pos_ + 1 < end_ && data_[pos_ + 1] == u'\n') ++pos_;
  ++pos_;
  ++line_;
}

void FieldReader::SkipUntil(char16_t stop) {
  while (pos_ < end_) {
    const char16_t c = data_[pos_];
    if (c == stop || c == u'\r' || c == u'\n') return;
    ++pos_;
  }
}

void FieldReader::SkipBlanks() {
  while (pos_ < end_ && IsBlank(data_[pos_])) ++pos_;
}

bool FieldReader::AtEnd() const {
  for (size_t i = pos_; i < end_; ++i) {
    char16_t c = data_[i];
    if (!IsBlank(c) && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

void FieldReader::CutShort(long long line) const {
  throw Error(Error::Kind::kRecordCutShort, file_, line);
}

std::u16string_view FieldReader::ReadField() { return ReadFieldOf(0); }

std::u16string_view FieldReader::ReadFieldOf(long long record_line) {
  // Find where the field begins: blank lines are skipped unless a comma has promised a field.
  for (;;) {
    SkipBlanks();
    if (AtLineEnd() && !after_comma_) {
      ConsumeLineEnd();
      continue;
    }
    break;
  }
  if (AtTextEnd()) {
    if (!after_comma_) CutShort(record_line > 0 ? record_line : line_);
    after_comma_ = false;
    return {};
  }
  if (AtLineEnd()) {  // "a,": the comma's field is empty
    ConsumeLineEnd();
    after_comma_ = false;
    return {};
  }
  std::u16string_view all(*text_);
  std::u16string_view value;
  if (data_[pos_] == u'"') {
    size_t start = ++pos_;
    SkipUntil(u'"');
    value = all.substr(start, pos_ - start);
    if (pos_ < end_ && data_[pos_] == u'"') {
      ++pos_;
      SkipUntil(u',');
    }
  } else {
    size_t start = pos_;
    SkipUntil(u',');
    size_t stop = pos_;
    while (stop > start && IsBlank(data_[stop - 1])) --stop;
    value = all.substr(start, stop - start);
  }
  after_comma_ = false;
  if (pos_ < end_ && data_[pos_] == u',') {
    ++pos_;
    after_comma_ = true;
  } else if (AtLineEnd()) {
    ConsumeLineEnd();
  }
  return value;
}

void FieldReader::ReadRecord(size_t count, std::vector<std::u16string_view>& fields) {
  fields.clear();
  // The record's line is where its first field stands, after any blank lines.
  if (!after_comma_) {
    SkipBlanks();
    while (AtLineEnd()) {
      ConsumeLineEnd();
      SkipBlanks();
    }
  }
  const long long record_line = line_;
  for (size_t i = 0; i < count; ++i) fields.push_back(ReadFieldOf(record_line));
}

std::vector<std::u16string_view> FieldReader::ReadRecord(size_t count) {
  std::vector<std::u16string_view> fields;
  fields.reserve(count);
  ReadRecord(count, fields);
  return fields;
}

void FieldReader::Rewind() {
  pos_ = 0;
  line_ = 1;
  after_comma_ = false;
}

void FieldReader::SkipLine() {
  while (pos_ < end_ && !AtLineEnd()) ++pos_;
  if (AtLineEnd()) ConsumeLineEnd();
  after_comma_ = false;
}

}  // namespace tjvx
