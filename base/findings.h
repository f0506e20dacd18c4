#ifndef TJVX_BASE_FINDINGS_H_
#define TJVX_BASE_FINDINGS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tjvx::base {

// How much a finding matters: an error stops the conversion, a warning is a source value that does
// not reach the converted file as it stands, a notice is a change the user may want to know of.
enum class Severity : uint8_t { kNotice, kWarning, kError };

// One thing a reader or record writer found in the data it read.
struct Finding {
  Severity severity = Severity::kWarning;
  std::u16string file;     // the file's path as the run opened it (Windows form)
  long long line = 0;      // 1-based line of the record, 0 for the whole file
  int field = 0;           // 1-based field of the record, 0 when none applies
  std::u16string record;   // the record code the finding affects ("3030"), empty when none
  std::u16string message;  // what happens to the value, in Japanese
};

// Where the readers and record writers report what they find. A conversion always reports, so the
// calls are made only where something is found (or once per file for counted notices).
class FindingSink {
 public:
  virtual ~FindingSink() = default;
  virtual void Report(Finding finding) = 0;
};

// Findings kept in the order they were reported.
class FindingList : public FindingSink {
 public:
  void Report(Finding finding) override { findings.push_back(std::move(finding)); }
  std::vector<Finding> findings;
};

// Findings nobody wants.
class NoFindings : public FindingSink {
 public:
  void Report(Finding) override {}
};

// A sink for callers that want no findings.
inline FindingSink& NoFindingsSink() {
  static NoFindings none;
  return none;
}

}  // namespace tjvx::base

#endif  // TJVX_BASE_FINDINGS_H_
