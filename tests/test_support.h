#ifndef TJVX_TESTS_TEST_SUPPORT_H_
#define TJVX_TESTS_TEST_SUPPORT_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/host.h"

namespace tjvx::testing {

// Temporary folders mapped as drives C: and D: (and Z: as "/") for the length of a test.
class TempDrives {
 public:
  TempDrives();
  ~TempDrives();
  const std::filesystem::path& c() const { return c_; }
  const std::filesystem::path& d() const { return d_; }

 private:
  std::filesystem::path base_, c_, d_;
};

// Writes `text` (UTF-8 in the test source) to `path` as CP932, lines joined by CR LF as given.
void WriteCp932(const std::filesystem::path& path, std::u16string_view text);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);

// A message host that records every message box and answers from a script.
class RecordingHost : public MessageHost {
 public:
  struct Box {
    std::u16string prompt;
    int style;
    std::u16string title;
  };
  int MsgBox(std::u16string_view prompt, int style, std::u16string_view title) override;

  std::vector<Box> boxes;
  std::vector<int> answers;  // taken in order; kAnswerOk when exhausted
};

}  // namespace tjvx::testing

#endif  // TJVX_TESTS_TEST_SUPPORT_H_
