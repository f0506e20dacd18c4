#ifndef TJVX_CONVERT_RUN_STEPS_H_
#define TJVX_CONVERT_RUN_STEPS_H_

#include <functional>
#include <map>
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
      const std::function<void(const base::Error&)>& on_error = {}) {
    std::u16string_view reading;
    std::vector<source::DepthEntry> depths = source::CollectDepths(
        [&](std::u16string_view name) -> source::FieldReader* {
          reading = name;
          std::optional<source::FieldReader>& reader = opened_[std::u16string(name)];
          reader = source::OpenSourceFile(folder_ + u"\\" + std::u16string(name), &found_);
          return reader ? &*reader : nullptr;
        },
        1,
        on_error ? [&](const base::Error& error) {
          if (reading == u"X11.TXT") x11_failed_ = true;
          on_error(error);
        } : std::function<void(const base::Error&)>());
    return depths;
  }

  // X11.TXT as the depth list read it, from its start; none when it is absent or failed.
  std::optional<source::FieldReader> DepthMarks() {
    std::optional<source::FieldReader> x11;
    if (auto it = opened_.find(u"X11.TXT"); it != opened_.end()) {
      if (!x11_failed_) x11 = std::move(it->second);
      opened_.erase(it);
    }
    if (x11) x11->Rewind();
    return x11;
  }

  // A source file's reader: the one the depth list read, from its start, else the file opened
  // now (none when it is absent).
  std::optional<source::FieldReader> Open(std::u16string_view name) {
    if (auto it = opened_.find(name); it != opened_.end()) {
      std::optional<source::FieldReader> reader = std::move(it->second);
      opened_.erase(it);
      if (reader) reader->Rewind();
      return reader;
    }
    return source::OpenSourceFile(folder_ + u"\\" + std::u16string(name), &found_);
  }

 private:
  const std::u16string& folder_;
  base::FindingSink& found_;
  std::map<std::u16string, std::optional<source::FieldReader>, std::less<>> opened_;
  bool x11_failed_ = false;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RUN_STEPS_H_
