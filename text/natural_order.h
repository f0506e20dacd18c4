#ifndef TJVX_TEXT_NATURAL_ORDER_H_
#define TJVX_TEXT_NATURAL_ORDER_H_

#include <string_view>

// The order in which folder and file names are listed to engineers: B-2 before B-10.
namespace tjvx::text {

// Whether `a` comes before `b` in natural order: a run of digits 0-9 counts as one number and is
// compared by its value (so "B-2" < "B-10" and "B-02" sits with "B-2"), a-z count as A-Z, and every
// other character (Japanese text too) is compared by its UTF-16 code. Names that are equal this
// way ("B-01" and "B-1", "b-1" and "B-1") are ordered by their code units, so no two different
// names are ever equal and a sort gives one order on every system.
bool NaturalLess(std::u16string_view a, std::u16string_view b);

}  // namespace tjvx::text

#endif  // TJVX_TEXT_NATURAL_ORDER_H_
