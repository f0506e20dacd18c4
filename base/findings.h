#ifndef TJVX_BASE_FINDINGS_H_
#define TJVX_BASE_FINDINGS_H_

#include <array>
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
  // A notice that counts the values of a file (its zeros): every line it counts, in order, once
  // each; empty for any other finding.
  std::vector<long long> lines = {};
  // The stable ID of the finding's kind ("W-CODE-MISSING"); its help tells cause and fix.
  std::string_view rule = {};
  // What to do about it, when the finding says more than its rule's help.
  std::u16string fix = {};
  // The depth of the record in metres as the converted file writes it ("3.20", a layer's
  // "2.50～5.30"), when the record has one and the finding is not about the depth itself.
  std::u16string depth = {};
};

// Where the readers and record writers report what they find. A conversion always reports, so the
// calls are made only where something is found (or once per file for counted notices).
class FindingSink {
 public:
  virtual ~FindingSink() = default;
  virtual void Report(Finding finding) = 0;
  // Whether the sink keeps what findings say. A sink that only counts (a conversion's) is told of
  // each finding by Count(), so nobody builds a text that nobody reads.
  virtual bool KeepsText() const { return true; }
  virtual void Count(Severity severity) { Report({severity, {}, 0, 0, {}, {}}); }
};

// Findings kept in the order they were reported, or, when made with `keep_text` false, only
// counted.
class FindingList : public FindingSink {
 public:
  explicit FindingList(bool keep_text = true) : keep_text_(keep_text) {}
  void Report(Finding finding) override {
    ++counts_[static_cast<size_t>(finding.severity)];
    if (keep_text_) findings.push_back(std::move(finding));
  }
  bool KeepsText() const override { return keep_text_; }
  void Count(Severity severity) override { ++counts_[static_cast<size_t>(severity)]; }
  // How many findings of `severity` were reported, kept or not.
  size_t Counted(Severity severity) const { return counts_[static_cast<size_t>(severity)]; }
  // Takes over the findings and counts of `other`, after its own.
  void Take(FindingList& other) {
    for (size_t k = 0; k < 3; ++k) counts_[k] += other.counts_[k];
    for (Finding& finding : other.findings) findings.push_back(std::move(finding));
    other.findings.clear();
    other.counts_ = {};
  }

  std::vector<Finding> findings;

 private:
  bool keep_text_;
  std::array<size_t, 3> counts_{};
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
