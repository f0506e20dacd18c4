#ifndef TJVX_CONVERT_MERGED_RECORDS_H_
#define TJVX_CONVERT_MERGED_RECORDS_H_

#include <array>
#include <optional>
#include <string>

#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/field_reader.h"

namespace tjvx::convert {

// The member files of record 5000, in their fixed order: N8.TXT, G71.TXT, G73.TXT, G81.TXT.
using MergedMembers = std::array<std::optional<source::FieldReader>, 4>;

// Records 5000: one line for every depth that any member holds, ascending, carrying the date of
// N8.TXT and the values of G71.TXT, G73.TXT and G81.TXT at that depth. A member contributes its
// first record at the depth, wherever it stands in the file, else its defaults ("-1 -1" for the
// date, "@" for values). Each member is read once.
void WriteRecords5000(MergedMembers& members, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

// Records 5010 from G72.TXT (8 fields): depth, value, text and the names of its two codes in
// L18.TXT and L18B.TXT (first match), joined by "／", in full width.
void WriteRecords5010(source::FieldReader& g72, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_MERGED_RECORDS_H_
