#ifndef TJVX_CONVERT_CHECK_H_
#define TJVX_CONVERT_CHECK_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/findings.h"
#include "source/code_table.h"

namespace tjvx::convert {

// What a check of a source folder found.
struct CheckResult {
  std::u16string folder;  // the source folder (Windows form)
  // Ordered by the order in which a conversion first opens the files, then by line.
  std::vector<base::Finding> findings;
  // The finding a conversion stops at, and the conversion's message for it; none when a
  // conversion of the folder goes through.
  std::optional<size_t> stop;
  std::u16string stop_message;

  size_t Count(base::Severity severity) const;
  // 0 clean (notices only), 1 warnings but no errors, 2 errors.
  int Status() const;
};

// Reads the source folder `folder` and its pattern tables exactly as a conversion does, writing
// nothing, and reports every finding: an error ends only the file or step that met it, so every
// file is read. `as_given`: the folder is taken as written rather than trimmed of blanks.
CheckResult CheckSourceFolder(std::u16string_view folder, source::PatternTables& tables,
                              bool as_given = true);

// The check of a source folder when a conversion cannot start for want of a pattern folder: the
// messages a conversion shows on the way to it (an unreadable settings file, " DOZORA の設定が
// ありません.") are the folder's errors, all of them together the message it stops with.
CheckResult CheckWithoutPatternFolder(std::u16string_view folder,
                                      const std::vector<std::u16string>& messages,
                                      bool as_given = true);

// The file name of a finding's path ("X7.TXT").
std::u16string_view FindingFileName(const base::Finding& finding);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_CHECK_H_
