#ifndef TJVX_FUZZ_LOG_PROPERTIES_H_
#define TJVX_FUZZ_LOG_PROPERTIES_H_

#include <string>
#include <vector>

#include "converted/model.h"
#include "drawing/log_layout.h"

namespace tjvx::fuzz {

// What must hold of the log drawn from any converted file, worked out from the file's records
// apart from the drawing's own reading of them; each fault a readable sentence, none when all
// holds:
// - each note block describes an interval between two 2001 depths (0 for the first), and starts
//   at its interval's top, or below the block above with a leader, or at a page's top; none
//   starts above its interval's top, over the block above, or ends below the log's bottom, and no
//   line of the notes does;
// - every 4000 record with a depth, a counted interval (length above 0), and a count of blows
//   (or "-1") in each counted interval and none elsewhere has exactly one point in the N graph,
//   at its depth; every other one none.
std::vector<std::string> LogLayoutFaults(const converted::ConvertedFile& file,
                                         const drawing::Drawing& drawing);

}  // namespace tjvx::fuzz

#endif  // TJVX_FUZZ_LOG_PROPERTIES_H_
