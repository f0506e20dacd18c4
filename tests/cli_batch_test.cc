// The command line's batch mode, run as the tjvx program: parallel runs write what sequential ones
// write, one borehole's failure stops no other, and the summary names every run that did not
// convert.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/test_support.h"

namespace tjvx {
namespace {

namespace fs = std::filesystem;

class CliBatchTest : public ::testing::Test {
 protected:
  CliBatchTest() {
    base_ = fs::temp_directory_path() /
            ("tjvx-cli-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             std::to_string(getpid()));
    fs::remove_all(base_);
    fs::create_directories(base_);
  }
  ~CliBatchTest() override { fs::remove_all(base_); }

  // Runs `tjvx convert ARGS` with the sample pattern folder; keeps its output and error.
  int Convert(const std::string& args) {
    const std::string command = std::string(TJVX_PROGRAM) + " convert " + args + " --pattern " +
                                testing::RepositoryPath("samples/DOZORA").string() + " --yes > " +
                                (base_ / "out.txt").string() + " 2> " +
                                (base_ / "err.txt").string();
    const int status = std::system(command.c_str());
    out_ = testing::ReadBytes(base_ / "out.txt");
    err_ = testing::ReadBytes(base_ / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // A copy of the sample borehole named `name`.
  std::string Borehole(const std::string& name) {
    testing::CopyTree("samples/boreholes/B-12", base_ / "src" / name);
    return (base_ / "src" / name).string();
  }

  fs::path base_;
  std::string out_, err_;
};

TEST_F(CliBatchTest, ConvertsEveryGoodBoreholeAndSummarisesTheOthers) {
  const std::string bad = Borehole("B3");
  testing::WriteBytes(fs::path(bad) / "N9.TXT", "1,\"\xFF\",2.10\r\n");
  const std::string args = Borehole("B1") + " " + Borehole("B2") + " " + bad + " " +
                           (base_ / "src" / "NONE").string() + " " + Borehole("B4") + " " +
                           (base_ / "out").string() + " --jobs 3";
  EXPECT_EQ(Convert(args), 1);

  const std::string golden =
      testing::ReadBytes(testing::RepositoryPath("tests/golden/sample/B-12"));
  for (const char* name : {"B1", "B2", "B4"}) {
    EXPECT_EQ(testing::ReadBytes(base_ / "out" / name), golden) << name;
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(base_ / "out"), {}), 3);
  EXPECT_NE(err_.find("tjvx: 3 converted, 1 refused, 1 failed\n"), std::string::npos) << err_;
  EXPECT_NE(err_.find("tjvx: failed: " + bad +
                      ": ファイルに Shift-JIS でないバイトがある為に変換できません。\n"),
            std::string::npos)
      << err_;
  EXPECT_NE(err_.find("tjvx: refused: " + (base_ / "src" / "NONE").string() +
                      ": 変換元フォルダが存在しない為に変換できません。\n"),
            std::string::npos)
      << err_;
  // The destination was asked about once, by the first run, before the others started.
  EXPECT_EQ(err_.find("新規作成しますか"), err_.rfind("新規作成しますか")) << err_;
}

TEST_F(CliBatchTest, ParallelRunsWriteWhatOneRunAtATimeWrites) {
  std::string sources;
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "B" + std::to_string(i);
    sources += Borehole(name) + " ";
    // Each borehole its own: the sample with one more site record.
    testing::WriteBytes(base_ / "src" / name / "X1.TXT",
                        testing::ReadBytes(base_ / "src" / name / "X1.TXT") + "4," +
                            std::to_string(20 + i) + ".00,a,b\r\n");
  }
  ASSERT_EQ(Convert(sources + (base_ / "one").string() + " --jobs 1"), 0) << err_;
  ASSERT_EQ(Convert(sources + (base_ / "many").string() + " --jobs 4"), 0) << err_;
  EXPECT_EQ(testing::Snapshot(base_ / "one"), testing::Snapshot(base_ / "many"));
  EXPECT_EQ(testing::Snapshot(base_ / "many").size(), 6u);
  EXPECT_NE(err_.find("tjvx: 6 converted, 0 refused, 0 failed\n"), std::string::npos) << err_;
}

TEST_F(CliBatchTest, JobsMustBePositive) {
  EXPECT_NE(Convert(Borehole("B1") + " " + (base_ / "out").string() + " --jobs 0"), 0);
  EXPECT_NE(err_.find("--jobs: Value 0 not in range 1 to 1024"), std::string::npos) << err_;
  EXPECT_FALSE(fs::exists(base_ / "out"));
}

TEST_F(CliBatchTest, NamesThatAreNotUtf8StayTwoFoldersAndTwoFiles) {
  // Two folders named with raw CP932 bytes (X + あ, X + い) side by side, told apart by their X1.
  const std::string a = Borehole("X\x82\xa0");
  const std::string b = Borehole("X\x82\xa2");
  testing::WriteBytes(fs::path(b) / "X1.TXT", "1,7.25,\"other\",\"\"\r\n");
  EXPECT_EQ(Convert(a + " " + b + " " + (base_ / "out").string() + " --jobs 2"), 0) << err_;
  EXPECT_NE(err_.find("2 converted, 0 refused, 0 failed"), std::string::npos) << err_;
  const std::string first = testing::ReadBytes(base_ / "out" / "X\x82\xa0");
  const std::string second = testing::ReadBytes(base_ / "out" / "X\x82\xa2");
  EXPECT_EQ(first.find("2000 7.25 other"), std::string::npos);
  EXPECT_NE(second.find("2000 7.25 other"), std::string::npos);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(base_ / "out")) ++files;
  EXPECT_EQ(files, 2u);
}

TEST_F(CliBatchTest, ASourceWithATrailingBlankIsThatFolderNotItsLookAlike) {
  Borehole("B-12");
  const std::string blank = Borehole("B-12 ");
  testing::WriteBytes(fs::path(blank) / "X1.TXT", "1,2.50,\"blank\",\"\"\r\n");
  EXPECT_EQ(Convert("'" + blank + "' " + (base_ / "out").string()), 0) << err_;
  EXPECT_TRUE(fs::exists(base_ / "out" / "B-12 "));
  EXPECT_FALSE(fs::exists(base_ / "out" / "B-12"));
  EXPECT_NE(testing::ReadBytes(base_ / "out" / "B-12 ").find("2000 2.50 blank"), std::string::npos);
}

}  // namespace
}  // namespace tjvx
