#ifndef TJVX_CONVERT_HEADER_H_
#define TJVX_CONVERT_HEADER_H_

#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/titles.h"

namespace tjvx::convert {

// The identification line "GTJ Ge201" and the header records 1000 to 1018 from the title fields
// and the rock name table L1.TXT.
void WriteHeader(const source::TitleLists& titles, source::PatternTables& tables, LineSink& out,
                 base::FindingSink& findings = base::NoFindingsSink());

// The value of record 1009: the era and the two dates of t1[10..15] in era years.
std::u16string EraDateLine(const source::TitleLists& titles);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_HEADER_H_
