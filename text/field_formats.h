#ifndef TJVX_TEXT_FIELD_FORMATS_H_
#define TJVX_TEXT_FIELD_FORMATS_H_

#include <cstdint>
#include <string>
#include <string_view>

// The forms of one field in the converted file: a normalised value, a fixed-point number and a
// depth.
namespace tjvx::text {

// How NormaliseField treats a value.
enum FieldKind : int {
  kText = 1,         // blank gives "@"; each blank of a non-blank text becomes "_"
  kNumber = 2,       // blank, not a number or 0 gives "-1"; anything else stays as it is, but for
                     // its surrounding blanks
  kBottomDepth = 3,  // as kNumber with "9999"
};

// What writing a source value into its field did to it, for the findings of a check.
enum class ValueChange : uint8_t {
  kNone,         // written as it stands, or changed only as the format defines (a blank's default)
  kZero,         // a zero written as the field's "-1" or "9999": the field has no zero
  kNotANumber,   // a text that is not a number written as "-1" / "9999", or a depth laid out
                 // character by character
  kOutOfRange,   // a number beyond single precision written as "-1" / "9999"
  kTooWide,      // integer digits beyond the fixed-point columns cut off on the left
  kDecimalsCut,  // fraction digits beyond the second, not all zero, cut off
};

// One field in the form the converted file wants. Half-width and full-width blanks of a text each
// become one "_", so the text keeps its length in characters.
std::u16string NormaliseField(int kind, std::u16string_view value);
// NormaliseField(kind, value) appended to `line`, for lines built in one buffer.
// Returns what happened to a number (kNumber, kBottomDepth); a text is never changed.
ValueChange AppendNormalisedField(std::u16string& line, int kind, std::u16string_view value);
// The same for a kind known where it is asked (kText; kNumber or kBottomDepth), as most value
// forms of the records know theirs.
void AppendTextField(std::u16string& line, std::u16string_view value);
ValueChange AppendNumberField(std::u16string& line, int kind, std::u16string_view value);

// Lays a numeric text out with `integer_width` integer columns and `decimal_width` decimals:
// blanks are skipped, at most two fraction digits are taken and the rest cut off, longer integer
// parts lose their leftmost characters ("12.345", 5, 2 gives "   12.34"). A text of blanks only is
// left as it is. Signs and other characters are carried as integer digits.
void FormatFixedPoint(std::u16string& text, int integer_width, int decimal_width);

// A depth as the records write it: four integer columns, two decimals, leading blanks removed
// (1.5 gives "1.50"); a blank depth stays empty.
std::u16string DepthText(std::u16string_view value);
// DepthText(value) appended to `line`, for lines built in one buffer.
// Returns kNotANumber for a value that is not a plain decimal, kTooWide or kDecimalsCut for one
// that does not fit the columns.
ValueChange AppendDepthText(std::u16string& line, std::u16string_view value);
// The same for a depth the converter wrote itself (a depth list's text, a sum), which is a plain
// decimal: only kTooWide and kDecimalsCut are told.
ValueChange AppendMadeDepthText(std::u16string& line, std::u16string_view value);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_FIELD_FORMATS_H_
