#ifndef TJVX_CONVERT_MERGED_RECORDS_H_
#define TJVX_CONVERT_MERGED_RECORDS_H_

#include <array>
#include <optional>
#include <string>

#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/field_reader.h"

namespace tjvx {

// Records 4000 from X5.TXT (11 fields): start depth, end depth, the three interval lengths and
// the three readings. The end depth is the start depth plus the lengths in hundredths, summed in
// single precision as the log program does, so its last digit matches the program's.
void WriteRecords4000(FieldReader& x5, LineSink& out);

// The end depth text of record 4000 for a start depth and three lengths.
std::u16string EndDepth(std::u16string_view start_depth,
                        const std::array<std::u16string_view, 3>& lengths);

// The member files of record 5000, in their fixed order: N8.TXT, G71.TXT, G73.TXT, G81.TXT.
using MergedMembers = std::array<std::optional<FieldReader>, 4>;

// Records 5000: one line for every depth that any member holds, ascending, carrying the date of
// N8.TXT and the values of G71.TXT, G73.TXT and G81.TXT at that depth. A member contributes its
// first record at the depth, wherever it stands in the file, else its defaults ("-1 -1" for the
// date, "@" for values). Each member is read once.
void WriteRecords5000(MergedMembers& members, LineSink& out);

// Records 5010 from G72.TXT (8 fields): depth, value, text and the names of its two codes in
// L18.TXT and L18B.TXT (first match), joined by "／", in full width.
void WriteRecords5010(FieldReader& g72, PatternTables& tables, LineSink& out);

}  // namespace tjvx

#endif  // TJVX_CONVERT_MERGED_RECORDS_H_
