#ifndef TJVX_TESTS_TEST_SUPPORT_H_
#define TJVX_TESTS_TEST_SUPPORT_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_host.h"
#include "convert/run.h"

namespace tjvx::test {

// Temporary folders mapped as drives C: and D: (and Z: as "/") for the length of a test. On
// Windows the two letters stand in front of the real drives C: and D: for this process only.
class TempDrives {
 public:
  TempDrives();
  ~TempDrives();
  const std::filesystem::path& c() const { return c_; }
  const std::filesystem::path& d() const { return d_; }

 private:
  std::filesystem::path base_, c_, d_;
};

// Sets or removes a variable of the process environment.
void SetEnvironment(const char* name, const std::filesystem::path& value);
void UnsetEnvironment(const char* name);

// Writes `text` (UTF-8 in the test source) to `path` as CP932, lines joined by CR LF as given.
void WriteCp932(const std::filesystem::path& path, std::u16string_view text);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);

// A message host that records every message box and answers from a script.
class RecordingHost : public base::MessageHost {
 public:
  struct Box {
    std::u16string prompt;
    int style;
    std::u16string title;
  };
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override;

  std::vector<Box> boxes;
  std::vector<int> answers;  // taken in order; kAnswerOk when exhausted
};

// A run host with path boxes, a status line and a pointer that tests can read.
class ScriptedRunHost : public convert::RunHost {
 public:
  ScriptedRunHost(std::u16string source, std::u16string destination)
      : source_folder(std::move(source)), destination(std::move(destination)) {}
  std::u16string SourceFolder() override { return source_folder; }
  std::u16string Destination() override { return destination; }
  void SetStatus(std::u16string_view text) override { status_history.emplace_back(text); }
  void FocusDestination() override { destination_selected = true; }
  void SetPointer(int pointer) override { pointers.push_back(pointer); }
  bool PathsTakenAsGiven() const override { return as_given; }
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    return boxes.ShowMessage(prompt, style, title);
  }
  const std::u16string& status() const { return status_history.back(); }

  std::u16string source_folder, destination;
  std::vector<std::u16string> status_history;
  std::vector<int> pointers;
  bool destination_selected = false;
  bool as_given = false;  // the command line's source, not the window's box
  RecordingHost boxes;
};

// The sample borehole copied to C:\DATA\B-12 and the sample pattern folder to D:\DOZORA, on
// temporary drives, with the tables and site registry a run needs.
class SampleFolders {
 public:
  SampleFolders();
  convert::RunResult Convert(convert::RunHost& host) {
    return convert::RunConversion(host, tables_, &registry_);
  }
  std::filesystem::path Source() const { return drives_.c() / "DATA" / "B-12"; }
  std::filesystem::path Pattern() const { return drives_.d() / "DOZORA"; }

 protected:
  TempDrives drives_;
  source::PatternTables tables_;
  convert::SiteRegistry registry_;
};

// Copies a folder tree of the repository (relative to its root) to `to`.
void CopyTree(const std::filesystem::path& from_repository, const std::filesystem::path& to);
// A path inside the repository.
std::filesystem::path RepositoryPath(const std::filesystem::path& relative);

// The boreholes of a generated site, each made from the sample borehole: without the four files
// whose values its check warns of (notices only), the sample itself (four warnings), or the sample
// with a byte that is no Shift-JIS in N9.TXT (an error, at which a conversion fails).
enum class BoreholeKind { kClean, kWarnings, kError };
void WriteBorehole(const std::filesystem::path& folder, BoreholeKind kind);

// Every file below `folder` with its bytes, for before-and-after comparisons.
std::vector<std::pair<std::string, std::string>> Snapshot(const std::filesystem::path& folder);

// The decoded lines of a converted file.
std::vector<std::u16string> ConvertedLines(const std::filesystem::path& file);

}  // namespace tjvx::test

#endif  // TJVX_TESTS_TEST_SUPPORT_H_
