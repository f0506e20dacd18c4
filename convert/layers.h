#ifndef TJVX_CONVERT_LAYERS_H_
#define TJVX_CONVERT_LAYERS_H_

#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/field_reader.h"

namespace tjvx::convert {

// Each writer takes its opened source file (11, 3, 68, 8 or 6 fields a record) and appends its
// lines. Values are written without leading blanks; depths in the depth form ("1.50"), numbers
// with "-1" for blank, zero or non-numeric values, bottom depths with "9999", texts with "@".

// Records 3000 (depth, value A, value B) for every record of R41.TXT, then records 3010 (depth,
// value C) for every record again.
void WriteRecords3000And3010(source::FieldReader& r41, LineSink& out,
                             base::FindingSink& findings = base::NoFindingsSink());

// Records 3020 from N9.TXT: depth, month and day of the yyyy/mm/dd date.
void WriteRecords3020(source::FieldReader& n9, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

// Records 3030 from X7.TXT: one line per non-zero code of the twenty code fields, with the
// layer's depths and the code's L8.TXT name (first match) in full width.
void WriteRecords3030(source::FieldReader& x7, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

// Records 3040 from G40.TXT: top depth, bottom depth and name text.
void WriteRecords3040(source::FieldReader& g40, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

// Records 3070 from R30.TXT: depth and the L19.TXT names of its two codes (the last matching
// entry of each), joined by "～", as the table holds them.
void WriteRecords3070(source::FieldReader& r30, source::PatternTables& tables, LineSink& out,
                      base::FindingSink& findings = base::NoFindingsSink());

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_LAYERS_H_
