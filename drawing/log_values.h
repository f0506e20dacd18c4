#ifndef TJVX_DRAWING_LOG_VALUES_H_
#define TJVX_DRAWING_LOG_VALUES_H_

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The values of a converted file's records as the log reads them: placeholders, texts as the
// drawing shows them, depths, counts, the blow count of a test and the dates of the title block.
namespace tjvx::drawing {

// Depths beyond this many metres are not drawn: they are taken as values that are not depths.
inline constexpr double kMaxDepth = 9000;

// Counts, readings and lengths beyond this are not taken as numbers: no borehole has them, and
// they would overflow the sums.
inline constexpr double kMaxCount = 1e9;

// An empty value: "@" for a text, "-1" for a number, "99999" for a depth beyond the last entry.
bool IsPlaceholderText(std::u16string_view trimmed);

// A value to be drawn, trimmed; a placeholder is an empty value and gives none.
std::optional<std::u16string_view> Present(std::u16string_view value);

// Appends a text as the drawing shows it: the converter wrote each blank of it as "_".
void AppendShown(std::u16string& out, std::u16string_view trimmed);

// `value` without the blanks around it (text::Trim); values are mostly written without any.
std::u16string_view Trimmed(std::u16string_view value);

// The number of a trimmed value when it is numeric, in single precision as every number of the
// converter is read.
std::optional<double> NumberOf(std::u16string_view trimmed);

// A depth: a number from 0 to kMaxDepth that is not the placeholder "-1". Single precision, as
// every depth of the converter is compared, so 1.5 and 1.50 are one depth.
std::optional<double> DepthOfNumber(std::u16string_view trimmed, std::optional<double> number);

// The depth of a value as written, trimmed first (DepthOfNumber).
std::optional<double> DepthOf(std::u16string_view value);

// A count of a value as written: a whole number from 0 to kMaxCount.
std::optional<long long> CountOf(std::u16string_view value);

// The length of an interval in cm when it counts: a number above 0.
std::optional<double> CountedLength(std::u16string_view trimmed);

// A length that is present and is no length at all: a text, or a number below 0.
bool IsBadLength(std::u16string_view trimmed);

// A test counted as the engineer counts it: `blows` over `length_cm` of the counted intervals,
// and the N value its point stands at.
struct BlowCount {
  long long blows = 0;
  double length_cm = 0;
  long long n = 0;
  bool operator==(const BlowCount&) const = default;
};

// The label of a count: the blows when they were counted over 30 cm, else blows/length ("50/12").
std::u16string BlowLabel(const BlowCount& count);

// The count of a test from its three lengths (cm) and readings, as the converted file writes
// them. An interval counts when its length is a number above 0; its reading is its blows, "-1"
// being 0 blows (the converter writes a 0 as "-1"). The point stands at the blows when the counted
// length is 30 cm or more, else at 30 x blows / length, rounded. None when no interval counts, or
// a reading is not a count of blows, or a reading other than "-1" stands in an interval that does
// not count; `lost` gets the indexes (0..5: lengths, then readings) of the values present that
// cannot be drawn.
std::optional<BlowCount> CountBlows(const std::array<std::u16string_view, 3>& lengths,
                                    const std::array<std::u16string_view, 3>& readings,
                                    std::vector<int>* lost = nullptr);

// A date of the title block from the 1009 record's era, year, month and day, the year counted in
// `era` (昭和, 平成 or 令和), shown in the era its day falls in: 昭和 to 1989-01-07, 平成 to
// 2019-04-30, 令和 after, the first year of an era written 元年. A month or day that is empty
// is left out, and the date takes the era of its year's first day. An era of another name is
// shown as written. None when the year is not a number.
std::optional<std::u16string> EraDate(std::u16string_view era, std::u16string_view year,
                                      std::u16string_view month, std::u16string_view day);

}  // namespace tjvx::drawing

#endif  // TJVX_DRAWING_LOG_VALUES_H_
