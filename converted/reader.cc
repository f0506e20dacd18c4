#include "converted/reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>

#include "base/error.h"
#include "base/utf.h"
#include "base/windows_path.h"
#include "platform/cp932.h"
#include "platform/drives.h"
#include "platform/files.h"
#include "text/numbers.h"

namespace tjvx::converted {
namespace {

constexpr std::u16string_view kFirstLine = u"GTJ Ge201";

// What a value must be for its line to be drawn. Blanks separate the values, so no value taken from
// the left or the right holds one; only the free text between them may.
enum class Form : unsigned char {
  kDepth,        // as the writers lay a depth out ("1.50", "-0.50", ".50"): numeric
  kBottomDepth,  // a depth, or "9999" for a layer open at the bottom: numeric
  kNumber,       // numeric, or "-1" for none
  kCount,        // digits
  kText,         // not empty ("@" for none)
  kLiteral,      // exactly the given text
};

struct Value {
  Form form = Form::kText;
  std::u16string_view literal = {};
};

constexpr Value kD{Form::kDepth}, kB{Form::kBottomDepth}, kN{Form::kNumber}, kC{Form::kCount},
    kT{Form::kText}, kAt{Form::kLiteral, u"@"}, kNone{Form::kLiteral, u"-1"};
constexpr Value Literal(std::u16string_view text) { return {Form::kLiteral, text}; }

constexpr size_t kMostValues = Values::kMost;

struct ValueForms {
  std::array<Value, kMostValues> items{};
  size_t count = 0;
};

template <typename... V>
constexpr ValueForms Of(V... values) {
  static_assert(sizeof...(V) <= kMostValues);
  return ValueForms{{values...}, sizeof...(V)};
}

// A record's values: `left` from the left, then when `middle` one free text that may hold blanks
// (and may be empty), then `right` from the right; each two separated by one blank.
struct Grammar {
  int code;
  ValueForms left;
  bool middle = false;
  ValueForms right = {};
};

constexpr bool kMiddle = true;

// Every record code, in the order of the file: the header records exactly once each, then the
// groups, each as often as it comes. The values' indices are those documented in model.h.
constexpr Grammar kGrammars[] = {
    // The header: title, borehole, site, "@", client, contractor, latitude and longitude (degrees,
    // minutes, seconds), person, the era with two dates, method, machine, four texts, the rock
    // name (a table's name with the elevation) and three numbers, then texts and fixed values.
    {1000, Of(kT)},
    {1001, Of(kT)},
    {1002, Of(kT)},
    {1003, Of(kAt)},
    {1004, Of(kT)},
    {1005, Of(kT)},
    {1006, Of(kN, kN, kN)},
    {1007, Of(kN, kN, kN)},
    {1008, Of(kT)},
    {1009, Of(kT, kN, kN, kN, kN, kN, kN)},
    {1010, Of(kT)},
    {1011, Of(kT)},
    {1012, Of(kT, kT, kT, kT)},
    {1013, Of(), kMiddle, Of(kN, kN, kN)},
    {1014, Of(kT)},
    {1015, Of(kT, kAt)},
    {1016, Of(kT, kAt)},
    {1017, Of(kNone, kNone, Literal(u"10.000"), Literal(u"rockpat.asg"))},
    {1018, Of(kAt, kAt)},
    // The groups. The converter writes a blank inside a name or a member's value as "_", but files
    // written before it did so hold such blanks, and these grammars still read them: the rock
    // name of 1013, the names of 3070 and 5010 and the G71 value of 5000 are the free text of
    // their lines; six names of 2001 with blanks cannot be told apart, so such a line is kept as
    // text.
    {2000, Of(kD, kT, kAt, kC)},
    {2001, Of(kD, kAt, kT, kT, kT, kT, kT, kT, kNone, kC)},
    {2002, Of(kT)},
    {3000, Of(kD, kN, kN)},
    {3010, Of(kD, kN)},
    {3020, Of(kD, kN, kN)},
    {3030, Of(kD, kB, kT)},
    {3040, Of(kD, kB, kT)},
    {3070, Of(kD), kMiddle},
    {4000, Of(kD, kD, kN, kN, kN, kN, kN, kN)},
    {5000, Of(kD, kN, kN), kMiddle, Of(kT, kT, kT, kT, kAt, kT)},
    {5010, Of(kD, kN, kT), kMiddle},
};
constexpr size_t ValueCount(const Grammar& grammar) {
  return grammar.left.count + (grammar.middle ? 1 : 0) + grammar.right.count;
}
static_assert(std::all_of(std::begin(kGrammars), std::end(kGrammars),
                          [](const Grammar& g) { return ValueCount(g) <= kMostValues; }));
constexpr size_t kHeaderRecords = 19;  // 1000..1018, the first entries of kGrammars
static_assert(kGrammars[kHeaderRecords - 1].code == 1018 && kGrammars[kHeaderRecords].code == 2000);

constexpr int kLowestCode = 1000, kHighestCode = 5010;

// The place in kGrammars of each code from kLowestCode on, -1 for none.
constexpr auto kPlaceOfCode = [] {
  std::array<signed char, kHighestCode - kLowestCode + 1> place{};
  place.fill(-1);
  for (size_t i = 0; i < std::size(kGrammars); ++i) {
    place[static_cast<size_t>(kGrammars[i].code - kLowestCode)] = static_cast<signed char>(i);
  }
  return place;
}();

// The place of `code` in kGrammars, or -1.
int PlaceOf(int code) {
  if (code < kLowestCode || code > kHighestCode) return -1;
  return kPlaceOfCode[static_cast<size_t>(code - kLowestCode)];
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

using text::kNoNumber;
using text::NumericEnd;

bool IsNumeric(std::u16string_view s) { return NumericEnd(s, 0) == s.size(); }

bool IsNumber(Form form) {
  return form == Form::kDepth || form == Form::kBottomDepth || form == Form::kNumber;
}

bool Fits(const Value& value, std::u16string_view piece) {
  switch (value.form) {
    case Form::kDepth:
    case Form::kBottomDepth:
    case Form::kNumber:
      return IsNumeric(piece);
    case Form::kCount:
      return !piece.empty() && std::all_of(piece.begin(), piece.end(), IsDigit);
    case Form::kText:
      return !piece.empty();
    case Form::kLiteral:
      return piece == value.literal;
  }
  return false;
}

using Pieces = std::array<std::u16string_view, kMostValues>;

// The values of `rest`, a line after its code and blank, as `grammar` tells them apart, into
// `pieces` in the order of Record::values; false when they cannot be told apart or one is not of
// its form.
bool SplitValues(const Grammar& grammar, std::u16string_view rest, Pieces& pieces) {
  constexpr size_t kNoBlank = std::u16string_view::npos;
  const ValueForms& left = grammar.left;
  size_t at = 0;
  for (size_t k = 0; k < left.count; ++k) {
    // Without a middle text the last value runs to the line's end.
    const bool last = !grammar.middle && k + 1 == left.count;
    size_t end;
    if (IsNumber(left.items[k].form)) {
      // A number is read as far as it goes in one pass; it is the whole value when a blank
      // follows it, or for the last value the line's end.
      end = NumericEnd(rest, at);
      if (end == kNoNumber) return false;
      if (last ? end != rest.size() : end == rest.size() || rest[end] != u' ') return false;
    } else {
      end = last ? rest.size() : rest.find(u' ', at);
      if (end == kNoBlank) return false;
      const std::u16string_view piece = rest.substr(at, end - at);
      if (last && piece.find(u' ') != kNoBlank) return false;
      if (!Fits(left.items[k], piece)) return false;
    }
    pieces[k] = rest.substr(at, end - at);
    at = end + 1;
  }
  if (!grammar.middle) return true;
  // The right values from the line's end; the blank before each stands at or after `at`, where
  // the middle text begins.
  const ValueForms& right = grammar.right;
  size_t stop = rest.size();
  for (size_t k = right.count; k-- > 0;) {
    if (stop == 0) return false;
    const size_t blank = rest.rfind(u' ', stop - 1);
    if (blank == kNoBlank || blank < at) return false;
    const std::u16string_view piece = rest.substr(blank + 1, stop - blank - 1);
    if (!Fits(right.items[k], piece)) return false;
    pieces[left.count + 1 + k] = piece;
    stop = blank;
  }
  pieces[left.count] = rest.substr(at, stop - at);
  return true;
}

std::u16string Cause(ReadRefusal::Kind kind, const std::u16string& detail) {
  using Kind = ReadRefusal::Kind;
  switch (kind) {
    case Kind::kNoFile:
      return u"ファイルがありません。";
    case Kind::kUnreadable:
      return u"ファイルの代わりにフォルダがあるか、ファイルを読み込めません。";
    case Kind::kBadBytes:
      return u"CP932 (Shift-JIS) でないバイトがあります（" + detail + u"）。";
    case Kind::kOtherCode:
      return u"変換プログラムが書かない符号の文字があります（" + detail +
             u"）。NEC・IBM 拡張文字の、同じ文字の別の符号です。";
    case Kind::kFirstLine:
      return u"1 行目が GTJ Ge201 ではありません。";
    case Kind::kLineEnd:
      return u"行が CR LF で終わっていません。";
    case Kind::kUnknownCode:
      return u"行が記録コードと空白で始まっていません。";
    case Kind::kOrder:
      return u"記録コードの順序が正しくありません（" + detail + u"）。";
    case Kind::kMissingHeader:
      return u"ヘッダーの記録 " + detail + u" がありません。";
  }
  return {};
}

// The 1-based line of the byte at `offset`.
long long LineOfByte(std::string_view bytes, size_t offset) {
  return 1 + std::count(bytes.begin(), bytes.begin() + static_cast<long>(offset), '\n');
}

constexpr bool IsLeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Where two codes read as one character (NEC row 13 and the JIS symbols, the NEC-selected and the
// IBM extensions), the converter writes the one the encoder chooses; a file holding the other
// would not come back byte for byte. Every such code begins with one of these bytes (the test of
// the codec checks that every other code comes back), so only those are encoded again.
constexpr bool MayBeSharedCode(unsigned char lead) {
  return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xFA;
}

// What a byte that starts a character is, looked up rather than worked out byte by byte.
enum class Start : unsigned char { kSingle, kLead, kSharedLead };
constexpr auto kStarts = [] {
  std::array<Start, 256> starts{};
  for (size_t b = 0; b < starts.size(); ++b) {
    const auto byte = static_cast<unsigned char>(b);
    starts[b] = !IsLeadByte(byte)       ? Start::kSingle
                : MayBeSharedCode(byte) ? Start::kSharedLead
                                        : Start::kLead;
  }
  return starts;
}();

void RefuseOtherCodes(std::string_view bytes, const std::u16string& file) {
  constexpr size_t kWord = sizeof(std::uint64_t);
  const size_t n = bytes.size();
  size_t i = 0;
  while (i + 1 < n) {
    // Most of a converted file is ASCII, whose bytes lead no code: eight of them are passed over
    // at once.
    if (i + kWord <= n) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + i, kWord);
      if ((word & 0x8080808080808080u) == 0) {
        i += kWord;
        continue;
      }
    }
    // The others character by character up to the end of those eight bytes.
    for (const size_t stop = std::min(i + kWord, n - 1); i < stop;) {
      const Start start = kStarts[static_cast<unsigned char>(bytes[i])];
      if (start == Start::kSingle) {
        ++i;
        continue;
      }
      if (start == Start::kSharedLead) {
        const std::string_view code = bytes.substr(i, 2);
        std::u16string character;
        try {
          character = platform::DecodeCp932(code, file);
        } catch (const base::Error&) {
          // A lead byte without a trail byte it takes: bytes that are not CP932, refused as
          // reading the whole file refuses them (this runs before a piece is decoded).
          throw ReadRefusal(ReadRefusal::Kind::kBadBytes, file, LineOfByte(bytes, i),
                            u"バイト位置 " + base::Digits(static_cast<long long>(i)));
        }
        if (platform::EncodeCp932(character, file) != code) {
          throw ReadRefusal(ReadRefusal::Kind::kOtherCode, file, LineOfByte(bytes, i),
                            u"バイト位置 " + base::Digits(static_cast<long long>(i)));
        }
      }
      i += 2;  // the lead and its trail byte
    }
  }
}

// The text of a converted file's bytes, decoded from CP932; refuses bytes that are not CP932 and
// characters written in another code than the converter's.
std::u16string DecodeConverted(std::string_view bytes, const std::u16string& file) {
  std::u16string text;
  try {
    text = platform::DecodeCp932(bytes, file);
  } catch (const base::Error& error) {
    throw ReadRefusal(ReadRefusal::Kind::kBadBytes, file, error.line(),
                      u"バイト位置 " + base::Digits(error.offset()));
  }
  RefuseOtherCodes(bytes, file);
  return text;
}

// Checks that the records come in the order of kGrammars: the header records once each, then the
// groups.
class OrderCheck {
 public:
  explicit OrderCheck(const std::u16string& file) : file_(file) {}

  void Next(int place, long long line) {
    const auto at = static_cast<size_t>(place);
    if (next_header_ < kHeaderRecords) {
      if (at > next_header_) Refuse(ReadRefusal::Kind::kMissingHeader, line, MissingCode());
      if (at < next_header_) RefuseOrder(at, line);
      ++next_header_;
    } else if (at < last_) {
      RefuseOrder(at, line);
    }
    last_ = at;
  }

  // After the last line, numbered `lines`.
  void Finish(long long lines) const {
    if (next_header_ < kHeaderRecords) {
      Refuse(ReadRefusal::Kind::kMissingHeader, lines + 1, MissingCode());
    }
  }

 private:
  std::u16string MissingCode() const { return base::Digits(kGrammars[next_header_].code); }

  [[noreturn]] void RefuseOrder(size_t at, long long line) const {
    Refuse(ReadRefusal::Kind::kOrder, line,
           base::Digits(kGrammars[last_].code) + u" の後に " + base::Digits(kGrammars[at].code));
  }

  [[noreturn]] void Refuse(ReadRefusal::Kind kind, long long line, std::u16string detail) const {
    throw ReadRefusal(kind, file_, line, std::move(detail));
  }

  const std::u16string& file_;
  size_t next_header_ = 0;  // the place of the header record that comes next
  size_t last_ = 0;         // the place of the last record's code
};

constexpr size_t kNoEnd = std::u16string_view::npos;

// Whether one of the four characters in `four` is below 0x0E. Taking 0x0E from each sets the top
// bit of such a character, whose own top bit is clear; a borrow that runs on into the characters
// above comes only from such a character.
bool HasControl(std::uint64_t four) {
  constexpr std::uint64_t kEach = 0x0001000100010001u;
  return ((four - kEach * 0x0E) & ~four & kEach * 0x8000) != 0;
}

// The index of the CR that ends the line beginning at `at`, or kNoEnd when the line is not ended
// by CR LF (a CR or an LF on its own, or the text's end). One pass: most characters are above CR,
// and eight at a time are passed over while none of them is at or below it.
size_t LineEnd(std::u16string_view text, size_t at) {
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  const char16_t* p = begin + at;
  for (; end - p >= 8; p += 8) {
    std::uint64_t four[2];
    std::memcpy(four, p, sizeof four);
    if (HasControl(four[0]) || HasControl(four[1])) break;
  }
  for (; p < end; ++p) {
    if (*p > u'\r') continue;
    if (*p == u'\n') return kNoEnd;
    if (*p == u'\r') {
      return p + 1 < end && p[1] == u'\n' ? static_cast<size_t>(p - begin) : kNoEnd;
    }
  }
  return kNoEnd;
}

// The number of LFs in `text`, counted in blocks whose count fits 16 bits, which the compiler
// counts eight characters at a time.
size_t CountLineFeeds(std::u16string_view text) {
  constexpr size_t kBlock = 0xFFFF;
  size_t count = 0;
  for (size_t at = 0; at < text.size(); at += kBlock) {
    std::uint16_t in_block = 0;
    for (const char16_t c : text.substr(at, kBlock)) in_block += c == u'\n' ? 1 : 0;
    count += in_block;
  }
  return count;
}

// The code of a line that begins with four digits and a blank, else -1.
int CodeOf(std::u16string_view line) {
  if (line.size() < 5 || line[4] != u' ') return -1;
  int code = 0;
  for (size_t i = 0; i < 4; ++i) {
    if (!IsDigit(line[i])) return -1;
    code = code * 10 + (line[i] - u'0');
  }
  return code;
}

}  // namespace

size_t ValueCount(int code) {
  if (code < kLowestCode || code > kHighestCode) return 0;
  const signed char place = kPlaceOfCode[static_cast<size_t>(code - kLowestCode)];
  return place < 0 ? 0 : ValueCount(kGrammars[static_cast<size_t>(place)]);
}

ReadRefusal::ReadRefusal(Kind reason, std::u16string file, long long line, std::u16string detail)
    : base::Error(base::Error::Kind::kNotConverted, std::move(file), line, -1,
                  Cause(reason, detail)),
      reason_(reason) {}

namespace {

// Reads the records of a converted file's text in file order, handing each to `take` (as a
// Record& it may move from) with its values viewing the text; refuses naming `name`. The text
// comes whole or in pieces, each of whole lines (every line ends in the piece it begins in).
class RecordScanner {
 public:
  explicit RecordScanner(const std::u16string& name) : name_(name), order_(name) {}

  // The lines read so far.
  long long lines() const { return number_; }

  template <typename Take>
  void Scan(std::u16string_view text, Take&& take) {
    using Kind = ReadRefusal::Kind;
    if (number_ == 0) {
      const size_t first_end = std::min(text.find(u'\r'), text.find(u'\n'));
      if (text.substr(0, first_end) != kFirstLine) throw ReadRefusal(Kind::kFirstLine, name_, 1);
    }
    for (size_t at = 0; at < text.size();) {
      ++number_;
      const size_t cr = LineEnd(text, at);
      if (cr == kNoEnd) throw ReadRefusal(Kind::kLineEnd, name_, number_);
      const std::u16string_view line = text.substr(at, cr - at);
      at = cr + 2;
      if (number_ == 1) continue;

      const int code = CodeOf(line);
      const int place = PlaceOf(code);
      if (place < 0) throw ReadRefusal(Kind::kUnknownCode, name_, number_);
      order_.Next(place, number_);

      record_.code = code;
      record_.line = number_;
      const Grammar& grammar = kGrammars[place];
      const std::u16string_view rest = line.substr(5);
      // Values::Viewing keeps where each value ends in 32 bits; a longer line is kept as text.
      if (rest.size() <= UINT32_MAX && SplitValues(grammar, rest, pieces_)) {
        // Each value begins one blank after the one before ends, so their ends tell them apart.
        const size_t count = ValueCount(grammar);
        for (size_t k = 0; k < count; ++k) {
          ends_[k] =
              static_cast<std::uint32_t>(pieces_[k].data() - rest.data() + pieces_[k].size());
        }
        record_.values = Values::Viewing(rest, ends_, count);
      } else {
        record_.values = Values::KeptViewing(rest);
      }
      take(record_);
    }
  }

  // After the last piece: refuses an empty text and a missing header record.
  void Finish() {
    if (number_ == 0) Scan(std::u16string_view(), [](Record&) {});
    order_.Finish(number_);
  }

 private:
  const std::u16string& name_;
  OrderCheck order_;
  Pieces pieces_;
  std::array<std::uint32_t, kMostValues> ends_{};
  Record record_;
  long long number_ = 0;
};

// The records of `text`, which the file keeps and its records view.
ConvertedFile ReadKeptText(std::u16string text, std::u16string file) {
  ConvertedFile converted;
  converted.file = std::move(file);
  converted.text = std::make_shared<const std::u16string>(std::move(text));
  converted.records.reserve(CountLineFeeds(*converted.text));
  RecordScanner scanner(converted.file);
  scanner.Scan(*converted.text,
               [&](Record& record) { converted.records.push_back(std::move(record)); });
  scanner.Finish();
  return converted;
}

// The bytes of the converted file at `path` (Windows form, or a host path through the drive
// table), and the file's name in Windows form.
std::string ReadFileOf(std::u16string_view path, std::u16string& file) {
  file = base::StartsWithDrive(path)
             ? std::u16string(path)
             : platform::Drives().FromHost(std::filesystem::path(base::ToUtf8(path)));
  std::optional<std::string> bytes;
  try {
    bytes = platform::ReadFileBytes(file);
  } catch (const base::Error& error) {
    if (error.kind() == base::Error::Kind::kFileMissing) {
      throw ReadRefusal(ReadRefusal::Kind::kNoFile, file, 0);
    }
    throw ReadRefusal(ReadRefusal::Kind::kUnreadable, file, 0);
  }
  if (!bytes) throw ReadRefusal(ReadRefusal::Kind::kNoFile, file, 0);
  return std::move(*bytes);
}

}  // namespace

ConvertedFile ReadConvertedFile(std::u16string_view text, std::u16string file) {
  return ReadKeptText(std::u16string(text), std::move(file));
}

ConvertedFile ReadConvertedBytes(std::string_view bytes, std::u16string file) {
  return ReadKeptText(DecodeConverted(bytes, file), std::move(file));
}

ConvertedFile ReadConvertedFileAt(std::u16string_view path) {
  std::u16string file;
  std::u16string text;
  {
    // The bytes are let go before the records are read, which can then take their memory.
    const std::string bytes = ReadFileOf(path, file);
    text = DecodeConverted(bytes, file);
  }
  return ReadKeptText(std::move(text), std::move(file));
}

CodeCounts::CodeCounts(const ConvertedFile& file) {
  for (const Record& record : file.records) {
    if (record.code >= kLowest && record.code <= kHighest) ++counts_[record.code - kLowest];
  }
}

void CodeCounts::Count(std::string_view line) {
  if (line.size() < 4) return;
  int code = 0;
  for (int i = 0; i < 4; ++i) {
    if (line[i] < '0' || line[i] > '9') return;
    code = code * 10 + (line[i] - '0');
  }
  if (code >= kLowest && code <= kHighest) ++counts_[code - kLowest];
}

size_t CodeCounts::of(int code) const {
  return code >= kLowest && code <= kHighest ? counts_[code - kLowest] : 0;
}

void ForEachRecordAt(std::u16string_view path,
                     const std::function<void(const Record& record)>& each,
                     const std::function<void(const CodeCounts& counts)>& before) {
  std::u16string file;
  const std::string bytes = ReadFileOf(path, file);
  RefuseOtherCodes(bytes, file);
  if (before) {
    // Every line begins after an LF byte, which no CP932 character holds.
    CodeCounts counts;
    for (size_t at = 0; at < bytes.size();) {
      counts.Count(std::string_view(bytes).substr(at, 4));
      const size_t lf = bytes.find('\n', at);
      if (lf == std::string::npos) break;
      at = lf + 1;
    }
    before(counts);
  }
  // Decoded a piece of whole lines at a time into one buffer, so the file's text is never held
  // whole. Trail bytes of CP932 are never CR or LF, so a piece ends after an LF byte.
  constexpr size_t kPiece = 1 << 16;
  RecordScanner scanner(file);
  std::u16string text;
  for (size_t start = 0; start < bytes.size();) {
    // The piece ends after the last LF of its first kPiece bytes, or of a line that is longer.
    size_t end = bytes.size();
    if (start + kPiece < bytes.size()) {
      size_t lf = std::string_view(bytes).substr(start, kPiece).rfind('\n');
      lf = lf == std::string_view::npos ? bytes.find('\n', start + kPiece) : start + lf;
      if (lf != std::string::npos) end = lf + 1;
    }
    const std::string_view piece(bytes.data() + start, end - start);
    try {
      platform::DecodeCp932(piece, file, text);
    } catch (const base::Error& error) {
      throw ReadRefusal(
          ReadRefusal::Kind::kBadBytes, file, scanner.lines() + error.line(),
          u"バイト位置 " + base::Digits(static_cast<long long>(start) + error.offset()));
    }
    scanner.Scan(text, [&](const Record& record) { each(record); });
    start = end;
  }
  scanner.Finish();
}

std::string WriteBack(const ConvertedFile& converted) {
  std::string out;
  std::u16string line(kFirstLine);
  platform::AppendCp932(line, converted.file, out);
  out += "\r\n";
  for (const Record& record : converted.records) {
    const int place = PlaceOf(record.code);
    if (place < 0) {
      throw base::Error(
          base::Error::Kind::kOutOfRange, converted.file, record.line, -1,
          u"記録コード " + base::Digits(record.code) + u" は変換済みファイルにありません。");
    }
    line.clear();
    for (int unit = 1000; unit > 0; unit /= 10) {
      line += static_cast<char16_t>(u'0' + record.code / unit % 10);
    }
    line += u' ';
    if (record.values.kept()) {
      line += record.values.text();
    } else {
      const size_t count = ValueCount(kGrammars[place]);
      if (record.values.size() != count) {
        throw base::Error(base::Error::Kind::kOutOfRange, converted.file, record.line, -1,
                          u"記録 " + base::Digits(record.code) + u" の値が " +
                              base::Digits(static_cast<long long>(record.values.size())) +
                              u" 個あります（" + base::Digits(static_cast<long long>(count)) +
                              u" 個のはずです）。");
      }
      // Every two values, the free text among them, are separated by one blank: the values'
      // text holds them so.
      line += record.values.text();
    }
    platform::AppendCp932(line, converted.file, out);
    out += "\r\n";
  }
  return out;
}

bool RoundTrips(std::string_view bytes, std::u16string* why, std::u16string_view file) {
  std::string back;
  try {
    back = WriteBack(ReadConvertedBytes(bytes, std::u16string(file)));
  } catch (const ReadRefusal& refusal) {
    if (why != nullptr) *why = refusal.Message();
    return false;
  } catch (const base::Error& error) {
    if (why != nullptr) *why = error.Message();
    return false;
  }
  if (back == bytes) return true;
  if (why != nullptr) {
    const size_t differ = static_cast<size_t>(
        std::mismatch(back.begin(), back.end(), bytes.begin(), bytes.end()).first - back.begin());
    *why = std::u16string(file) + u" の " + base::Digits(LineOfByte(bytes, differ)) +
           u" 行目が書き戻すと変わります。";
  }
  return false;
}

}  // namespace tjvx::converted
