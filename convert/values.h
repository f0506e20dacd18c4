#ifndef TJVX_CONVERT_VALUES_H_
#define TJVX_CONVERT_VALUES_H_

#include <string>
#include <string_view>

namespace tjvx {

// The value forms of the record lines, each written without leading blanks. The Append forms add
// the value to a line being built, so a writer builds each line in one reused buffer.

// A number: blank, zero or not a number gives "-1", anything else stays as written ("08").
std::u16string NumberValue(std::u16string_view value);
void AppendNumberValue(std::u16string& line, std::u16string_view value);
// A bottom depth: formatted as a depth, then "9999" when blank or zero.
std::u16string BottomDepthValue(std::u16string_view value);
void AppendBottomDepthValue(std::u16string& line, std::u16string_view value);
// A text: blank gives "@", each blank inside becomes "_".
std::u16string TextValue(std::u16string_view value);
void AppendTextValue(std::u16string& line, std::u16string_view value);
// The month (start 6) or day (start 9) of a yyyy/mm/dd date, two characters, as a number.
std::u16string DatePart(std::u16string_view date, size_t start);
void AppendDatePart(std::u16string& line, std::u16string_view date, size_t start);

}  // namespace tjvx

#endif  // TJVX_CONVERT_VALUES_H_
