#ifndef TJVX_CONVERT_INTERVAL_TESTS_H_
#define TJVX_CONVERT_INTERVAL_TESTS_H_

#include <array>
#include <string>
#include <string_view>

#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/field_reader.h"

namespace tjvx::convert {

// Records 4000 from X5.TXT (11 fields): start depth, end depth, the three interval lengths and
// the three readings. The end depth is the start depth plus the lengths in hundredths, summed in
// single precision as the log program does, so its last digit matches the program's.
void WriteRecords4000(source::FieldReader& x5, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

// The end depth text of record 4000 for a start depth and three lengths.
std::u16string EndDepth(std::u16string_view start_depth,
                        const std::array<std::u16string_view, 3>& lengths);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_INTERVAL_TESTS_H_
