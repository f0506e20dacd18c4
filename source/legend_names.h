#ifndef TJVX_SOURCE_LEGEND_NAMES_H_
#define TJVX_SOURCE_LEGEND_NAMES_H_

#include <string>

#include "source/code_table.h"
#include "source/field_reader.h"
#include "source/record_findings.h"

namespace tjvx::source {

// Reads the next line of a coded note file and names its legend codes.
// Kind 1 (X3.TXT, 7 fields) holds runs of up to three two-character codes in its two groups and
// is named from L4.TXT; kinds 2 to 6 (R31.TXT..R35.TXT, 6 fields) hold one code a group and are
// named from L13.TXT..L17.TXT. `depth` becomes the line's depth, a view into the reader's text, or
// "99999" when the file has ended (then `names` keeps its value). `names` becomes the group
// names, the second group after "～", in full width and held as a line's value
// (text::HoldTextFrom: without surrounding blanks, a blank inside as "_"), or "@" when nothing is
// left. A code run of more than three codes throws Error::Kind::kOutOfRange naming the file and
// line. Codes that find no name, and a depth that is not a number, are reported to `findings`.
void LookupLegendNames(PatternTables& tables, int kind, FieldReader& reader, std::u16string& names,
                       std::u16string_view& depth, RecordFindings* findings = nullptr);

}  // namespace tjvx::source

#endif  // TJVX_SOURCE_LEGEND_NAMES_H_
