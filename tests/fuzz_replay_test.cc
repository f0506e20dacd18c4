// Replays, without libFuzzer, every input that once broke a fuzz target (tests/fuzzFail/<target>/)
// and the seed corpora (fuzz/corpus/<target>/) through the fuzz targets' bodies. A broken property
// aborts the test program, so a regression cannot pass unseen.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "fuzz/fuzz_targets.h"
#include "tests/test_support.h"
#include "text/path_check.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;

using Body = int (*)(const uint8_t*, size_t);

// Feeds every file of the target's regression and seed folders to `body`; the count of inputs.
int Replay(const char* target, Body body) {
  int inputs = 0;
  for (const fs::path& folder : {test::RepositoryPath("tests/fuzzFail") / target,
                                 test::RepositoryPath("fuzz/corpus") / target}) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (!entry.is_regular_file()) continue;
      SCOPED_TRACE(entry.path().string());
      const std::string bytes = test::ReadBytes(entry.path());
      EXPECT_EQ(body(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
      ++inputs;
    }
  }
  return inputs;
}

TEST(FuzzReplay, Cp932DecoderAndFieldReader) {
  EXPECT_GT(Replay("cp932_fields", fuzz::Cp932Fields), 0);
}

TEST(FuzzReplay, TextRoutines) { EXPECT_GT(Replay("text_routines", fuzz::TextRoutines), 0); }

#ifndef _WIN32  // these map drive letters to scratch folders, which only the drive table can do

TEST(FuzzReplay, CheckPath) { EXPECT_GT(Replay("check_path", fuzz::CheckPathOnDrives), 0); }

TEST(FuzzReplay, WholeConversion) {
  EXPECT_GT(Replay("whole_conversion", fuzz::WholeConversion), 0);
}

#ifdef TJVX_HAVE_EXPAT  // the drawings are parsed with expat
TEST(FuzzReplay, PreviewDrawing) { EXPECT_GT(Replay("preview_drawing", fuzz::PreviewDrawing), 0); }
#endif

#endif

}  // namespace
}  // namespace tjvx
