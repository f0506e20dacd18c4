#ifndef TJVX_TEXT_RECORD_VALUES_H_
#define TJVX_TEXT_RECORD_VALUES_H_

#include <string>
#include <string_view>

#include "text/field_formats.h"

namespace tjvx::text {

// The value forms of the record lines, each written without leading blanks and added to a line
// being built, so a writer builds each line in one reused buffer.

// A number: blank, zero or not a number gives "-1", anything else stays as written ("08"), without
// its surrounding blanks.
ValueChange AppendNumberValue(std::u16string& line, std::u16string_view value);
// A bottom depth: formatted as a depth, then "9999" when blank or zero; the change of the depth
// form, else of the "9999".
ValueChange AppendBottomDepthValue(std::u16string& line, std::u16string_view value);
// A text: blank gives "@", each blank inside becomes "_".
void AppendTextValue(std::u16string& line, std::u16string_view value);
// The month (start 6) or day (start 9) of a yyyy/mm/dd date, two characters, as a number.
std::u16string DatePart(std::u16string_view date, size_t start);
ValueChange AppendDatePart(std::u16string& line, std::u16string_view date, size_t start);
// Whether a date has the form the date parts are read from: "yyyy/mm/dd" (digits and slashes).
bool IsDateText(std::u16string_view date);
// Whether `written`, a date's month and day as AppendDatePart wrote them joined by a blank, holds
// the month and day of `date`: its second and third runs of digits, whatever stands between them
// ("2004-08-05" gives "08 05" and keeps them; "2004/8/5" gives "-1 -1" and does not).
bool KeepsMonthAndDay(std::u16string_view date, std::u16string_view written);

// What a held text is written as when nothing is left of it.
inline constexpr std::u16string_view kNothingHeld = u"@";

// A text or a name written as held (a member's value, a table's name): without its surrounding
// blanks, `absent` when nothing is left, and each half-width blank inside written as "_", so that
// it stays one value of its line. Full-width blanks and other characters are kept as they are.
void AppendHeldText(std::u16string& line, std::u16string_view value,
                    std::u16string_view absent = kNothingHeld);
// The same for the held text that a writer has built at the end of a line, from `start` on.
void HoldTextFrom(std::u16string& line, size_t start, std::u16string_view absent = kNothingHeld);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_RECORD_VALUES_H_
