#include "source/field_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/error.h"
#include "base/utf.h"
#include "source/rules.h"

namespace tjvx::source {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string Count(size_t n) { return base::FromAscii(std::to_string(n)); }
bool IsLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
// A comma or a line end; the three are below U+002D, so most characters take one comparison.
bool IsFieldEnd(char16_t c) { return c <= u',' && (c == u',' || IsLineEnd(c)); }

// The index of the first Ctrl-Z, or the size of the text. Big files rarely hold one, so the bytes
// are searched with memchr and a hit counts only where it is a whole U+001A.
size_t FindCtrlZ(const std::u16string& text) {
  if constexpr (std::endian::native == std::endian::little) {
    const char* bytes = reinterpret_cast<const char*>(text.data());
    const size_t size = text.size() * 2;
    for (size_t from = 0; from < size;) {
      const void* hit = std::memchr(bytes + from, 0x1A, size - from);
      if (hit == nullptr) break;
      const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - bytes);
      if (at % 2 == 0 && bytes[at + 1] == 0) return at / 2;
      from = at + 1;
    }
    return text.size();
  } else {
    return std::min(text.find(u'\x1A'), text.size());
  }
}

// The end of an unquoted field starting at `p`: the next comma or line end, or `end`. The
// character at `end` is the text's terminating NUL or a Ctrl-Z, both below the comma, so the inner
// loop needs no bound check; a NUL inside the text is passed over.
const char16_t* ScanUnquoted(const char16_t* p, const char16_t* end) {
  for (;;) {
    while (*p > u',') ++p;
    if (p >= end || IsFieldEnd(*p)) return p;
    ++p;
  }
}

// Past the line end at `p`; CR LF counts as one.
const char16_t* PastLineEnd(const char16_t* p, const char16_t* end) {
  if (*p == u'\r' && p + 1 < end && p[1] == u'\n') ++p;
  return p + 1;
}

// The end of a quoted field's text starting at `p`: the closing quote, the line end or `end`,
// bounded by the character at `end` as above.
const char16_t* ScanQuoted(const char16_t* p, const char16_t* end) {
  for (;;) {
    while (*p > u'"') ++p;
    if (p >= end || *p == u'"' || IsLineEnd(*p)) return p;
    ++p;
  }
}

// The length of an unquoted field at `start` whose first `n` characters are above the comma: up to
// the next comma, line end or the text's end; blanks, quotes and other characters below the comma
// are part of it. The character at `end` is below the comma, so the inner loop needs no bound
// check.
inline size_t UnquotedLength(const char16_t* start, size_t n, const char16_t* end) {
  for (;;) {
    const char16_t c = start[n];
    if (c == u',' || IsLineEnd(c) || start + n >= end) return n;
    do ++n;
    while (start[n] > u',');
  }
}

// `n` less the trailing blanks of the unquoted field of that length at `start`; its first character
// is not blank, so the loop stops there.
inline size_t TrimmedLength(const char16_t* start, size_t n) {
  while (IsBlank(start[n - 1])) --n;
  return n;
}

// A quoted field or an empty one before its comma, at `p`: its value goes to `value` and the
// position of its end (its comma, its line end or the text's end) is returned; null for any other
// field but an unquoted one (blanks first, a line end, the text's end), which takes the long way.
inline const char16_t* QuotedOrEmptyField(const char16_t* p, const char16_t* end,
                                          std::u16string_view& value) {
  if (*p == u'"') {
    const char16_t* const start = p + 1;
    p = ScanQuoted(start, end);
    value = std::u16string_view(start, static_cast<size_t>(p - start));
    // What follows the closing quote, up to the comma or line end, is dropped; mostly that is
    // nothing. The character at `end` is no quote.
    if (*p == u'"' && *++p != u',' && !IsLineEnd(*p)) p = ScanUnquoted(p, end);
    return p;
  }
  if (*p == u',') {  // the character at `end` is no comma
    value = std::u16string_view(p, 0);
    return p;
  }
  return nullptr;
}

// The field at `p` when it has one of the simplest shapes: unquoted, of characters above the comma;
// quoted, of characters above the quote; or empty; each ended at once by its comma or line end.
// Its value goes to `value`, `p` past its comma or line end, a line end counted in `line`; false,
// with `p` left at the field, for a field of any other shape. A blank before the comma or line end
// would have stopped the scan, so none is dropped. The character at the text's end is below the
// blank and no comma, quote or line end, so no scan needs a bound check. Forced inline: a call a
// field would cost about what reading the field does.
[[gnu::always_inline]] inline bool SimpleField(const char16_t*& p, std::u16string_view& value,
                                               long long& line) {
  const char16_t* q;
  if (*p > u',') {
    q = p + 1;
    while (*q > u',') ++q;
    value = std::u16string_view(p, static_cast<size_t>(q - p));
  } else if (*p == u'"') {
    q = p + 1;
    while (*q > u'"') ++q;
    if (*q != u'"') return false;
    value = std::u16string_view(p + 1, static_cast<size_t>(q - p - 1));
    ++q;
  } else if (*p == u',' || (IsLineEnd(*p) && p[-1] == u',')) {
    // Empty: ended by its comma, or by a line end right after the comma that promised it ("a,";
    // a record's first field starts above the blank, so a line end here follows a field).
    q = p;
    value = std::u16string_view(p, 0);
  } else {
    return false;
  }
  if (*q == u',') {
    p = q + 1;
  } else if (IsLineEnd(*q)) {
    p = q + (*q == u'\r' && q[1] == u'\n' ? 2 : 1);
    ++line;
  } else {
    return false;
  }
  return true;
}

// Past the end of a field at `p`: its comma, which promises one more field, or its line end,
// counted in `line`; nothing at the text's end. A comma or a line end is always before the text's
// end, whose character is neither, so the character after a CR can be looked at.
inline const char16_t* PastFieldEnd(const char16_t* p, bool& after_comma, long long& line) {
  const char16_t c = *p;
  if (c == u',') {
    after_comma = true;
    return p + 1;
  }
  after_comma = false;
  if (c == u'\r') {
    ++line;
    return p + (p[1] == u'\n' ? 2 : 1);
  }
  if (c == u'\n') {
    ++line;
    return p + 1;
  }
  return p;
}

}  // namespace

FieldReader::FieldReader(std::u16string text, std::u16string file)
    : text_(std::make_unique<const std::u16string>(std::move(text))), file_(std::move(file)) {
  data_ = text_->data();
  end_ = FindCtrlZ(*text_);
}

FieldReader::FieldReader(std::u16string text, std::u16string file, CutAtCtrlZ)
    : text_(std::make_unique<const std::u16string>(std::move(text))), file_(std::move(file)) {
  data_ = text_->data();
  end_ = text_->size();
}

bool FieldReader::AtLineEnd() const {
  return pos_ < end_ && (data_[pos_] == u'\r' || data_[pos_] == u'\n');
}

void FieldReader::ConsumeLineEnd() {
  pos_ = static_cast<size_t>(PastLineEnd(data_ + pos_, data_ + end_) - data_);
  ++line_;
}

void FieldReader::SkipBlanks() {
  while (pos_ < end_ && IsBlank(data_[pos_])) ++pos_;
}

bool FieldReader::OnlyBlanksLeft() const {
  for (size_t i = pos_; i < end_; ++i) {
    char16_t c = data_[i];
    if (!IsBlank(c) && c != u'\r' && c != u'\n') return false;
  }
  return true;
}

void FieldReader::CutShort(long long line) const {
  if (mid_line_ == 0) throw base::Error(base::Error::Kind::kRecordCutShort, file_, line);
  throw base::Error(base::Error::Kind::kRecordCutShort, file_, mid_line_, -1, TooManyFields());
}

std::u16string FieldReader::TooManyFields() const {
  // The fields of the line, counted as they are read: a comma outside a quoted value adds one.
  size_t fields = 1;
  bool field_start = true, quoted = false;
  for (size_t i = mid_line_begin_; i < end_ && data_[i] != u'\r' && data_[i] != u'\n'; ++i) {
    const char16_t c = data_[i];
    if (quoted) {
      quoted = c != u'"';
    } else if (c == u',') {
      ++fields;
      field_start = true;
    } else if (field_start && c == u'"') {
      quoted = true;
      field_start = false;
    } else if (!IsBlank(c)) {
      field_start = false;
    }
  }
  return u"この行の項目数が " + Count(fields) + u" 個あります (他の行は " +
         Count(mid_line_record_fields_) + u" 個)";
}

void FieldReader::NoteMidLineStart(size_t record_fields) {
  mid_line_ = line_;
  mid_line_begin_ = pos_;
  while (mid_line_begin_ > 0 && data_[mid_line_begin_ - 1] != u'\n' &&
         data_[mid_line_begin_ - 1] != u'\r') {
    --mid_line_begin_;
  }
  mid_line_record_fields_ = record_fields;
  if (out_of_step_line_ != 0) return;  // a file read again after Rewind() is told of once
  out_of_step_line_ = mid_line_;
  // A file that ends inside a record is an error naming this line; otherwise the conversion goes
  // on with the values shifted, and this line is the one to fix.
  if (findings_ != nullptr && !EndsInsideRecord(record_fields)) {
    findings_->Report({rules::kOutOfStep.severity,
                       file_,
                       mid_line_,
                       0,
                       {},
                       TooManyFields() + u"。この行から後のレコードは行の途中から読まれる為、"
                                         u"値がずれて書かれます。",
                       {},
                       rules::kOutOfStep.id});
  }
}

bool FieldReader::EndsInsideRecord(size_t record_fields) {
  // Reads on as the writers do (records while something is left), then goes back.
  const size_t pos = pos_;
  const long long line = line_;
  const bool after_comma = after_comma_;
  bool cut = false;
  do {
    for (size_t i = 0; i < record_fields && !cut; ++i) {
      if (!after_comma_ && AtEnd()) {
        cut = true;
      } else {
        ReadFieldOf(0);
      }
    }
  } while (!cut && !AtEnd());
  pos_ = pos;
  line_ = line;
  after_comma_ = after_comma;
  return cut;
}

std::u16string_view FieldReader::ReadField() {
  // The field begins after the blank lines ReadFieldOf skips; a field promised by a comma begins
  // on the current line.
  if (!after_comma_) {
    SkipBlanks();
    while (AtLineEnd()) {
      ConsumeLineEnd();
      SkipBlanks();
    }
  }
  record_line_ = line_;
  return ReadFieldOf(0);
}

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
  if (pos_ >= end_) {
    if (!after_comma_) CutShort(record_line > 0 ? record_line : line_);
    after_comma_ = false;
    return {};
  }
  if (AtLineEnd()) {  // "a,": the comma's field is empty
    ConsumeLineEnd();
    after_comma_ = false;
    return {};
  }
  // The field's text and its end are read as in ReadRecord, which keeps these steps inline in its
  // loop because every field of every file passes there.
  const char16_t* p = data_ + pos_;
  const char16_t* const end = data_ + end_;
  std::u16string_view value;
  if (*p == u'"') {
    const char16_t* const start = ++p;
    p = ScanQuoted(p, end);
    value = std::u16string_view(start, static_cast<size_t>(p - start));
    if (p < end && *p == u'"') p = ScanUnquoted(p + 1, end);
  } else {
    const char16_t* const start = p;
    p = ScanUnquoted(p, end);
    const char16_t* stop = p;
    while (stop > start && IsBlank(stop[-1])) --stop;
    value = std::u16string_view(start, static_cast<size_t>(stop - start));
  }
  after_comma_ = false;
  if (p < end) {
    if (*p == u',') {
      ++p;
      after_comma_ = true;
    } else {
      p = PastLineEnd(p, end);
      ++line_;
    }
  }
  pos_ = static_cast<size_t>(p - data_);
  return value;
}

inline const char16_t* FieldReader::LongWay(const char16_t* p, bool& after_comma, long long& line,
                                            long long record_line, std::u16string_view& value) {
  pos_ = static_cast<size_t>(p - data_);
  after_comma_ = after_comma;
  line_ = line;
  value = ReadFieldOf(record_line);
  after_comma = after_comma_;
  line = line_;
  return data_ + pos_;
}

void FieldReader::ReadRecord(std::span<std::u16string_view> fields, size_t taken) {
  // Most records start at once with a field and hold fields of the simplest shapes only
  // (SimpleField). Those are read here, in a loop that calls nothing, so it needs few registers
  // saved and restored; from the first field of any other shape on, the rest of the record is read
  // by ReadRecordFrom.
  const char16_t* p = data_ + pos_;
  if (after_comma_ || *p <= u' ') return ReadRecordFrom(fields, taken, 0);
  record_line_ = line_;
  std::u16string_view* field = fields.data();
  std::u16string_view* const last_taken = field + std::min(taken, fields.size());
  std::u16string_view* const last = field + fields.size();
  while (field != last_taken && SimpleField(p, *field, line_)) ++field;
  if (field == last_taken) {
    std::u16string_view passed;
    while (field != last && SimpleField(p, passed, line_)) ++field;
  }
  pos_ = static_cast<size_t>(p - data_);
  // Every field read here ended at its comma or its line end, just before `p`.
  after_comma_ = field != fields.data() && p[-1] == u',';
  const auto read = static_cast<size_t>(field - fields.data());
  if (read < fields.size()) return ReadRecordFrom(fields, taken, read);
  // A record that ends at a comma leaves the next one to begin in the middle of the line, unless
  // nothing follows (a comma at the end of the file).
  if (after_comma_ && mid_line_ == 0) return NoteMidLineStartUnlessAtEnd(fields.size());
}

void FieldReader::NoteMidLineStartUnlessAtEnd(size_t record_fields) {
  if (!AtEnd()) NoteMidLineStart(record_fields);
}

// Kept out of line, so that ReadRecord reaches it by a jump and saves no registers.
[[gnu::noinline]] void FieldReader::ReadRecordFrom(std::span<std::u16string_view> fields,
                                                   size_t taken, size_t first) {
  if (first == 0) {
    // The record's line is where its first field stands, after any blanks and blank lines.
    if (!after_comma_) {
      SkipBlanks();
      while (AtLineEnd()) {
        ConsumeLineEnd();
        SkipBlanks();
      }
    }
    record_line_ = line_;
  }
  const long long record_line = record_line_;
  const char16_t* const end = data_ + end_;
  // The position, the comma flag and the line stay in locals while the fields are read, and go
  // through the members around every field that takes the long way.
  const char16_t* p = data_ + pos_;
  bool after_comma = after_comma_;
  long long line = line_;
  const size_t taken_fields = std::min(taken, fields.size());
  for (size_t k = first; k < fields.size(); ++k) {
    // An unquoted field that starts with a character above the comma, a quoted one and an empty
    // one before its comma are read here; any other field (blanks first, a line end, the text's
    // end) takes the long way.
    std::u16string_view value;
    if (*p > u',') {
      const size_t n = UnquotedLength(p, 1, end);
      value = std::u16string_view(p, TrimmedLength(p, n));
      p = PastFieldEnd(p + n, after_comma, line);
    } else if (const char16_t* field_end = QuotedOrEmptyField(p, end, value)) {
      p = PastFieldEnd(field_end, after_comma, line);
    } else {
      p = LongWay(p, after_comma, line, record_line, value);
    }
    // The fields after the taken ones are found the same way, only where each ends.
    if (k < taken_fields) fields[k] = value;
  }
  pos_ = static_cast<size_t>(p - data_);
  after_comma_ = after_comma;
  line_ = line;
  record_line_ = record_line;
  // A record that ends at a comma leaves the next one to begin in the middle of the line, unless
  // nothing follows (a comma at the end of the file).
  if (after_comma && mid_line_ == 0 && !AtEnd()) NoteMidLineStart(fields.size());
}

std::vector<std::u16string_view> FieldReader::ReadRecord(size_t count) {
  std::vector<std::u16string_view> fields;
  fields.reserve(count);
  ReadRecord(count, fields);
  return fields;
}

void FieldReader::Rewind() {
  pos_ = 0;
  mid_line_ = 0;
  line_ = 1;
  record_line_ = 1;
  after_comma_ = false;
}

void FieldReader::SkipLine() {
  while (pos_ < end_ && !AtLineEnd()) ++pos_;
  if (AtLineEnd()) ConsumeLineEnd();
  after_comma_ = false;
}

}  // namespace tjvx::source
