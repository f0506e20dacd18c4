#ifndef TJVX_CONVERT_RUN_STEPS_H_
#define TJVX_CONVERT_RUN_STEPS_H_

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/findings.h"
#include "source/depth_list.h"
#include "source/field_reader.h"
#include "source/source_files.h"

// The steps a conversion and a check of a source folder share.
namespace tjvx::convert {

// A notice for each source file that is missing or empty: its section is left out. A name that
// holds no file to read (a FIFO, a device) throws; in a check, `on_error` is handed the error
// instead and the other files are still looked at.
void ReportLeftOut(const std::u16string& folder, base::FindingSink& findings,
                   const std::function<void(const base::Error&)>& on_error = {});

// The source folder without trailing separators ("C:\DATA\B-12\" gives "C:\DATA\B-12"); the
// window's box is trimmed of blanks first, a path given on the command line is taken as it is.
std::u16string SourceFolder(std::u16string_view text, bool as_given);

// Whether a name ends in a blank or a dot, which Windows strips when it looks the name up.
bool EndsInBlankOrDot(std::u16string_view folder);

bool IsDriveRoot(std::u16string_view folder);

// The source files a borehole's depth list reads stay open, so the record writers after it read
// them from memory; X11.TXT serves only the depth list and the 2001 records that show its depths,
// and one the depth list could not read is not read again. Any other file is opened when asked
// for.
class DepthListFiles {
 public:
  DepthListFiles(const std::u16string& folder, base::FindingSink& found)
      : folder_(folder), found_(found) {}

  // The depth list of the folder, its files kept.
  std::vector<source::DepthEntry> Collect(
      const std::function<void(const base::Error&)>& on_error = {});

  // X11.TXT as the depth list read it, from its start; none when it is absent or failed.
  std::optional<source::FieldReader> DepthMarks();

  // A source file's reader: the one the depth list read, from its start, else the file opened
  // now (none when it is absent).
  std::optional<source::FieldReader> Open(source::FileId file);

 private:
  const std::u16string& folder_;
  base::FindingSink& found_;
  // The readers the depth list opened (none for a file absent or failed to open), by file.
  std::array<std::optional<source::FieldReader>, source::kFileCount> kept_;
  std::array<bool, source::kFileCount> held_{};  // whether kept_ holds the file's reader
  bool x11_failed_ = false;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RUN_STEPS_H_
