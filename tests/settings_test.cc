#include "source/settings.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace tjvx {
namespace {

class ReadPatternFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sysdir_ = drives_.c() / "WINDOWS" / "system32";
    std::filesystem::create_directories(sysdir_);
    testing::SetEnvironment("TJVX_SYSDIR", sysdir_);
  }
  void TearDown() override { testing::UnsetEnvironment("TJVX_SYSDIR"); }
  void WriteSettings(std::u16string_view text) {
    testing::WriteCp932(sysdir_ / "DozoraV5.ini", text);
  }

  testing::TempDrives drives_;
  std::filesystem::path sysdir_;
  testing::RecordingHost host_;
};

TEST_F(ReadPatternFolderTest, TakesTheFirstItemOfTheSecondLine) {
  WriteSettings(u"anything, at all\r\n  D:\\PAT\\DOZORA\\  \r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"D:\\PAT\\DOZORA\\");
  WriteSettings(u"[x]\r\n\"C:\\A,B\\DOZORA\\\",more\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"C:\\A,B\\DOZORA\\");
  WriteSettings(u"[x]\r\nC:\\PAT,1\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"C:\\PAT");
}

TEST_F(ReadPatternFolderTest, AHostPathIsTurnedIntoDriveForm) {
#ifdef _WIN32
  GTEST_SKIP() << "a host path is already a Windows path on Windows";
#endif
  std::string host = (drives_.d() / "DOZORA").string() + "/";
  WriteSettings(u"[x]\r\n" + std::u16string(host.begin(), host.end()) + u"\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"D:\\DOZORA\\");
}

TEST_F(ReadPatternFolderTest, AMissingFileIsEmptyAndCreatesNothing) {
  EXPECT_EQ(source::ReadPatternFolder(), u"");
  EXPECT_TRUE(std::filesystem::is_empty(sysdir_));
  WriteSettings(u"only one line\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"");
}

TEST_F(ReadPatternFolderTest, StartupCheckNeedsAnExistingFolder) {
  std::filesystem::create_directories(drives_.d() / "DOZORA");
  WriteSettings(u"[x]\r\nD:\\DOZORA\\\r\n");
  EXPECT_EQ(source::StartupPatternFolder(host_), u"D:\\DOZORA\\");
  EXPECT_TRUE(host_.boxes.empty());

  // Without the trailing "\" the last letter is cut before the test, so the folder is not found.
  WriteSettings(u"[x]\r\nD:\\DOZORA\r\n");
  EXPECT_EQ(source::StartupPatternFolder(host_), std::nullopt);
  WriteSettings(u"");
  EXPECT_EQ(source::StartupPatternFolder(host_), std::nullopt);
  ASSERT_EQ(host_.boxes.size(), 2u);
  EXPECT_EQ(host_.boxes[1].prompt, u" DOZORA の設定がありません.");
  EXPECT_EQ(host_.boxes[1].style, base::kMsgOk);
}

}  // namespace
}  // namespace tjvx
