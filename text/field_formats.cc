#include "text/field_formats.h"

#include <algorithm>

#include "platform/cp932.h"
#include "platform/files.h"
#include "text/numbers.h"
#include "text/trim.h"

namespace tjvx::text {
namespace {

// Why a value that is not blank reads as the number 0.
ValueChange ZeroOrWhy(std::u16string_view value) {
  if (value.size() == 1 && value[0] == u'0') return ValueChange::kZero;  // the common case
  if (!IsNumericText(value)) return ValueChange::kNotANumber;
  return IsZeroText(value) ? ValueChange::kZero : ValueChange::kOutOfRange;
}

}  // namespace

void AppendTextField(std::u16string& line, std::u16string_view value) {
  if (Trim(value).empty()) {
    line += u'@';
    return;
  }
  const size_t start = line.size();
  line += value;
  std::replace_if(
      line.begin() + static_cast<std::ptrdiff_t>(start), line.end(),
      [](char16_t c) { return c == u' ' || c == u'\u3000'; }, u'_');
}

ValueChange AppendNumberField(std::u16string& line, int kind, std::u16string_view value) {
  const std::u16string_view number = Trim(value);
  if (IsNonZeroNumber(number)) {
    // A number is read without its surrounding blanks and written so: blanks in a value would
    // split it in two, and no number holds one inside.
    line += number;
    return ValueChange::kNone;
  }
  static constexpr std::u16string_view kNoNumber = u"-1", kNoBottom = u"9999";
  line += kind == kNumber ? kNoNumber : kNoBottom;
  if (number.empty()) return ValueChange::kNone;
  return ZeroOrWhy(value);
}

ValueChange AppendNormalisedField(std::u16string& line, int kind, std::u16string_view value) {
  switch (kind) {
    case kText:
      AppendTextField(line, value);
      return ValueChange::kNone;
    case kNumber:
    case kBottomDepth:
      return AppendNumberField(line, kind, value);
    default:
      line += value;
      return ValueChange::kNone;
  }
}

std::u16string NormaliseField(int kind, std::u16string_view value) {
  std::u16string field;
  AppendNormalisedField(field, kind, value);
  return field;
}

namespace {

// The columns of FormatFixedPoint for a text that is not blank: `integer_columns` integer columns,
// then, when `decimal_columns` > 0, the point and the decimals; `out` holds that many characters,
// all blanks on entry. Returns what the columns lost of the text.
template <bool kLookForOthers = false>
ValueChange FixedPointColumns(std::u16string_view text, size_t integer_columns,
                              size_t decimal_columns, char16_t* out, bool* odd = nullptr) {
  // `odd` is set when a character other than a digit, a blank or a point is met, so a caller can
  // look closer at the rare text that is not a plain decimal without a pass of its own.
  bool other = false;
  // Before the first point a point cannot stand; after it, a second one is other too.
  auto note = [&](char16_t c) {
    if constexpr (kLookForOthers) {
      if ((c < u'0' || c > u'9') && c != u' ') other = true;
    }
  };
  const size_t point = text.find(u'.');
  // The integer part fills its columns from the right, blanks skipped; what does not fit is cut
  // off on the left.
  size_t column = integer_columns;
  size_t i = std::min(point, text.size());
  for (; i > 0 && column > 0; --i) {
    note(text[i - 1]);
    if (text[i - 1] != u' ') out[--column] = text[i - 1];
  }
  ValueChange change = ValueChange::kNone;
  for (; i > 0; --i) {
    note(text[i - 1]);
    if (text[i - 1] != u' ') change = ValueChange::kTooWide;
  }
  size_t k = point == std::u16string_view::npos ? text.size() : point + 1;
  if (decimal_columns > 0) {
    out[integer_columns] = u'.';
    // At most two fraction digits are taken (blanks and further points skipped), then zeros.
    size_t taken = 0;
    for (; k < text.size() && taken < 2; ++k) {
      note(text[k]);
      if (text[k] == u' ' || text[k] == u'.') continue;
      if (taken < decimal_columns) out[integer_columns + 1 + taken] = text[k];
      ++taken;
    }
    for (size_t d = taken; d < decimal_columns; ++d) out[integer_columns + 1 + d] = u'0';
  }
  for (; k < text.size(); ++k) {
    note(text[k]);
    if (decimal_columns > 0 && text[k] != u' ' && text[k] != u'0' && change == ValueChange::kNone) {
      change = ValueChange::kDecimalsCut;
    }
  }
  if (odd != nullptr) *odd = other;
  return change;
}

// Whether a depth is a plain decimal: blanks, an optional sign, digits and at most one point, with
// at least one digit. Anything else (letters, an exponent) is laid out character by character.
bool IsPlainDecimal(std::u16string_view text) {
  size_t digits = 0, points = 0, at = 0;
  while (at < text.size() && text[at] == u' ') ++at;
  if (at < text.size() && (text[at] == u'-' || text[at] == u'+')) ++at;
  for (; at < text.size(); ++at) {
    const char16_t c = text[at];
    if (c >= u'0' && c <= u'9') {
      ++digits;
    } else if (c == u'.') {
      ++points;
    } else if (c != u' ') {
      return false;
    }
  }
  return digits > 0 && points <= 1;
}

}  // namespace

void FormatFixedPoint(std::u16string& text, int integer_width, int decimal_width) {
  if (Trim(text).empty()) return;
  const size_t integer_columns = static_cast<size_t>(std::max(integer_width, 0));
  const size_t decimal_columns = static_cast<size_t>(std::max(decimal_width, 0));
  std::u16string out(integer_columns + (decimal_columns == 0 ? 0 : decimal_columns + 1), u' ');
  (void)FixedPointColumns(text, integer_columns, decimal_columns, out.data());
  text = std::move(out);
}

namespace {

// A depth of up to four digits, then a point and up to two digits, or none: its columns are its
// integer digits, the point and its decimals filled with zeros. Most depths are written so, and
// every record starts with one, so the columns are made in place and appended at once.
[[gnu::always_inline]] inline bool AppendPlainDepth(std::u16string& line,
                                                    std::u16string_view value) {
  const char16_t* const v = value.data();
  const size_t size = value.size();
  size_t digits = 0;
  while (digits < size && v[digits] >= u'0' && v[digits] <= u'9') ++digits;
  if (digits == 0 || digits > 4) return false;
  size_t decimals = 0;
  if (digits < size) {
    if (v[digits] != u'.') return false;
    decimals = size - digits - 1;
    if (decimals > 2) return false;
    for (size_t k = digits + 1; k < size; ++k) {
      if (v[k] < u'0' || v[k] > u'9') return false;
    }
  }
  // The integer digits as written, then the point and two decimals.
  // (Set one by one: a loop of at most four is made a call to memcpy.)
  char16_t depth[7];
  depth[0] = v[0];
  if (digits > 1) depth[1] = v[1];
  if (digits > 2) depth[2] = v[2];
  if (digits > 3) depth[3] = v[3];
  depth[digits] = u'.';
  depth[digits + 1] = decimals > 0 ? v[digits + 1] : u'0';
  depth[digits + 2] = decimals > 1 ? v[digits + 2] : u'0';
  line.append(depth, digits + 3);
  return true;
}

// The depth form of a value that is not a plain depth, out of line so that the short way keeps
// few registers.
template <bool kLookForOthers>
[[gnu::noinline]] ValueChange AppendOtherDepth(std::u16string& line, std::u16string_view value) {
  // A blank depth is left as it is, and without its leading blanks that is nothing.
  if (Trim(value).empty()) return ValueChange::kNone;
  char16_t columns[7] = {u' ', u' ', u' ', u' ', u' ', u' ', u' '};
  bool odd = false;
  const ValueChange change = FixedPointColumns<kLookForOthers>(value, 4, 2, columns, &odd);
  const char16_t* first = columns;
  while (*first == u' ') ++first;  // the point always stands
  line.append(first, static_cast<size_t>(columns + 7 - first));
  return odd && !IsPlainDecimal(value) ? ValueChange::kNotANumber : change;
}

template <bool kLookForOthers>
ValueChange AppendDepthColumns(std::u16string& line, std::u16string_view value) {
  if (AppendPlainDepth(line, value)) return ValueChange::kNone;
  return AppendOtherDepth<kLookForOthers>(line, value);
}

}  // namespace

ValueChange AppendDepthText(std::u16string& line, std::u16string_view value) {
  return AppendDepthColumns<true>(line, value);
}

ValueChange AppendMadeDepthText(std::u16string& line, std::u16string_view value) {
  return AppendDepthColumns<false>(line, value);
}

std::u16string DepthText(std::u16string_view value) {
  std::u16string text;
  AppendDepthText(text, value);
  return text;
}

}  // namespace tjvx::text
