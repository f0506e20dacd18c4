#include "source/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/system_folder.h"
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

TEST_F(ReadPatternFolderTest, TheFirstSettingsFileFoundWinsInTheOrderOfTheFolders) {
  const std::filesystem::path wow64 = drives_.c() / "WINDOWS" / "SysWOW64";
  const std::filesystem::path program = drives_.d() / "tjvx";
  std::filesystem::create_directories(wow64);
  std::filesystem::create_directories(program);
  const std::vector<std::u16string> folders = {u"C:\\WINDOWS\\system32", u"C:\\WINDOWS\\SysWOW64\\",
                                               u"D:\\tjvx"};
  EXPECT_EQ(source::ReadPatternFolder(folders), u"");
  // The program's folder comes last, and a relative folder is taken from there.
  testing::WriteCp932(program / "DozoraV5.ini", u"[DOZORA]\r\n\"samples\\DOZORA\\\"\r\n");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"D:\\tjvx\\samples\\DOZORA\\");
  // What a 32-bit program wrote into the system folder on 64-bit Windows comes before it.
  testing::WriteCp932(wow64 / "DozoraV5.ini", u"[DOZORA]\r\nE:\\OLD\\DOZORA\\\r\n");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"E:\\OLD\\DOZORA\\");
  // The system folder comes first, even when its setting names no folder.
  WriteSettings(u"[DOZORA]\r\n");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"");
  WriteSettings(u"[DOZORA]\r\n..\\PAT\\\r\n");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"C:\\WINDOWS\\system32\\..\\PAT\\");
  // Absolute folders are taken as they are: a drive, the current drive's root, a share.
  for (std::u16string_view absolute : {u"F:PAT\\", u"\\PAT\\", u"\\\\server\\PAT\\"}) {
    WriteSettings(u"[DOZORA]\r\n" + std::u16string(absolute) + u"\r\n");
    EXPECT_EQ(source::ReadPatternFolder(folders), absolute);
  }
  // An empty settings file counts as none.
  WriteSettings(u"");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"E:\\OLD\\DOZORA\\");
}

TEST_F(ReadPatternFolderTest, TheSystemFolderComesBeforeTheProgramsFolder) {
  const std::vector<std::u16string> folders = platform::SettingsFolders();
  ASSERT_GE(folders.size(), 2u);
  EXPECT_EQ(folders.front(), u"C:\\WINDOWS\\system32");
  EXPECT_EQ(folders.back(), platform::Drives().FromHost(platform::ProgramFolder()));
}

}  // namespace
}  // namespace tjvx
