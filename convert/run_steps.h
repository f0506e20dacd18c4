#ifndef TJVX_CONVERT_RUN_STEPS_H_
#define TJVX_CONVERT_RUN_STEPS_H_

#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "base/findings.h"
#include "convert/line_sink.h"
#include "source/code_table.h"
#include "source/depth_list.h"
#include "source/field_reader.h"
#include "source/rules.h"
#include "source/source_files.h"
#include "source/titles.h"

// The steps of a run over a source folder, which a conversion and a check both take.
namespace tjvx::convert {

class RecordGroups;

// The record code a source file's records are written as ("3030" for X7.TXT, "3000" for R41.TXT,
// which gives 3010 too); empty for a file that gives no record of its own.
std::u16string_view RecordCodeOf(source::FileId file);

// The source folder of a path box's text: as Windows resolves it, without trailing separators
// ("C:\DATA\B-12\" gives "C:\DATA\B-12"). The window's box is trimmed of blanks first; a path
// given on the command line is taken as it is.
std::u16string SourceFolder(std::u16string_view text, bool as_given);

// Why the source folder `folder`, made by SourceFolder from `text`, cannot be converted: blank,
// a name Windows would read as another, a drive's root, missing, or not to be listed. None when
// it can be.
std::optional<std::u16string> SourceFolderRefusal(std::u16string_view text,
                                                  const std::u16string& folder);

// The message of a run of `folder` ended by a failure no step names: memory running out, or
// anything else, with its own text.
std::u16string UnforeseenFailureMessage(const std::u16string& folder, const std::exception& error);
// The rule of such a failure: E-MEMORY or E-UNFORESEEN.
const source::Rule& UnforeseenFailureRule(const std::exception& error);

// How a run meets an error. A conversion has no policy: the first error ends the run, which fails
// with its message. A check keeps going: each error is handed here and ends only the step, or the
// file within a step, that met it, so every file is read.
class KeepGoing {
 public:
  virtual ~KeepGoing() = default;
  // An error of a step or of one file.
  virtual void Error(const base::Error& error) = 0;
  // A failure of the whole folder (memory running out, or one nobody foresaw), a finding of
  // `rule`.
  virtual void Failure(const source::Rule& rule, const std::u16string& message) = 0;
  // A source file the steps are done with: its reader as they left it (none: the file is missing,
  // empty or could not be opened). A check keeps it, so the rules that judge the borehole as a
  // whole read its text without opening and decoding the file again; a conversion, which has no
  // policy, keeps nothing.
  virtual void Done(source::FileId file, std::optional<source::FieldReader> reader) = 0;
};

// Runs one step of a run of `folder`: under `keep_going` whatever it throws is handed to it and
// ends only the step; without, it goes on up.
template <typename Body>
void RunStep(KeepGoing* keep_going, const std::u16string& folder, Body&& body) {
  if (keep_going == nullptr) return body();
  try {
    body();
  } catch (const base::Error& error) {
    keep_going->Error(error);
  } catch (const std::exception& error) {
    keep_going->Failure(UnforeseenFailureRule(error), UnforeseenFailureMessage(folder, error));
  }
}

// Reads one file of a step that reads several: under `keep_going` an error of the file is handed
// to it and ends only that file; without, it goes on up.
template <typename Body>
void ReadFile(KeepGoing* keep_going, Body&& body) {
  if (keep_going == nullptr) return body();
  try {
    body();
  } catch (const base::Error& error) {
    keep_going->Error(error);
  }
}

// The files in the order a run's steps first open them, the tables where a lookup first needs
// them; a check orders its findings by it.
inline constexpr auto kRunFileOrder = [] {
  using enum source::FileId;
  return std::array{kGeology, kSoil, kAdmixture, kX3,     kR31,    kR32, kR33, kR34, kR35,
                    kR30,     kX11,  kX1,        kTitle1, kTitle2, kL1,  kX12, kL4,  kL13,
                    kL14,     kL15,  kL16,       kL17,    kR41,    kN9,  kX7,  kL8,  kG40,
                    kL19,     kX5,   kN8,        kG71,    kG73,    kG81, kG72, kL18, kL18B};
}();

// The source files a borehole's depth list reads stay open, so the record writers after it read
// them from memory; X11.TXT serves only the depth list and the 2001 records that show its depths,
// and one the depth list could not read is not read again. Any other file is opened when asked
// for.
class DepthListFiles {
 public:
  DepthListFiles(const std::u16string& folder, base::FindingSink& found)
      : folder_(folder), found_(found) {}

  // The depth list of the folder, its files kept.
  std::vector<source::DepthEntry> Collect(KeepGoing* keep_going);

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

// A notice to `findings` for each source file of `folder` that is missing or empty: its section is
// left out. A file `read` tells of, which the steps have read and found bytes in, needs no look.
// Under `keep_going` an error of one file's look ends only that look.
void ReportLeftOut(const std::u16string& folder, base::FindingSink& findings, KeepGoing* keep_going,
                   const std::function<bool(source::FileId)>& read);

// The steps of one run over the source folder `folder`, in the converted file's order. Each step
// and each file runs under `keep_going` (none in a conversion); the findings go to `findings`.
class RunSteps {
 public:
  RunSteps(const std::u16string& folder, source::PatternTables& tables, base::FindingSink& findings,
           KeepGoing* keep_going)
      : folder_(folder),
        tables_(tables),
        findings_(findings),
        keep_going_(keep_going),
        files_(folder, findings) {}

  // The steps before the first line: the notices of files left out (a conversion's, whose findings
  // are read; a check tells of them once its steps have read the files), the geology tables, the
  // depth list (whose files `groups` takes as far as it reads them) and the title files.
  void Read(RecordGroups& groups);
  // The lines up to the notes: the header, the site records (2000) and the notes (2001, 2002).
  // The record groups after them write themselves (RecordGroups).
  void WriteUpToNotes(LineSink& out);

  // The title items the steps read (empty when the title files failed).
  const source::TitleLists& titles() const { return titles_; }

 private:
  template <typename Body>
  void Step(Body&& body) {
    RunStep(keep_going_, folder_, body);
  }
  // A source file as the steps open it; in a check, one that cannot be opened is none.
  std::optional<source::FieldReader> Open(source::FileId file);
  // Hands a file the steps are done with to the check (Done); a conversion just closes it.
  void Done(source::FileId file, std::optional<source::FieldReader>& reader);

  const std::u16string& folder_;
  source::PatternTables& tables_;
  base::FindingSink& findings_;
  KeepGoing* keep_going_;
  DepthListFiles files_;
  std::vector<source::DepthEntry> depths_;
  source::TitleLists titles_;
};

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RUN_STEPS_H_
