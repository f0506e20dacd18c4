#include "source/settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "base/error.h"
#include "platform/drives.h"
#include "platform/system_folder.h"
#include "tests/test_support.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tjvx {
namespace {

class ReadPatternFolderTest : public testing::Test {
 protected:
  void SetUp() override {
    sysdir_ = drives_.c() / "WINDOWS" / "system32";
    std::filesystem::create_directories(sysdir_);
    test::SetEnvironment("TJVX_SYSDIR", sysdir_);
  }
  void TearDown() override { test::UnsetEnvironment("TJVX_SYSDIR"); }
  void WriteSettings(std::u16string_view text) { test::WriteCp932(sysdir_ / "DozoraV5.ini", text); }

  test::TempDrives drives_;
  std::filesystem::path sysdir_;
  test::RecordingHost host_;
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

// Only the line that names the folder is decoded; line 1 and the lines after are never read.
TEST_F(ReadPatternFolderTest, BadBytesOutsideTheFoldersLineDoNotStopTheStart) {
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "[\xFF]\r\nD:\\PAT\\\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"D:\\PAT\\");
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "[x]\r\nD:\\PAT\\\r\n\x81\r\n\xFF\xFF");
  EXPECT_EQ(source::ReadPatternFolder(), u"D:\\PAT\\");
  // Line ends of every kind, blank lines before the folder's line, and a Ctrl-Z that ends the file.
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "\x82\r \t\n\"D:\\A,B\\\",\x1A\xFF\r");
  EXPECT_EQ(source::ReadPatternFolder(), u"D:\\A,B\\");
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "\xFF\x1A\r\nD:\\PAT\\\r\n");
  EXPECT_EQ(source::ReadPatternFolder(), u"");
}

TEST_F(ReadPatternFolderTest, ABadByteOnTheFoldersLineIsReportedWhereItStands) {
  // Line 1 is not decoded, so its own bad byte is passed over and line 2's is the one named, at
  // its offset in the whole file.
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "[\xFF]\r\nD:\\P\xFFT\\\r\n\xFF");
  try {
    source::ReadPatternFolder();
    ADD_FAILURE() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kBadCharacter);
    EXPECT_EQ(error.file(), u"C:\\WINDOWS\\system32\\DozoraV5.ini");
    EXPECT_EQ(error.line(), 2);
    EXPECT_EQ(error.offset(), 9);
  }
  // The folder's line after a blank line and lone CRs; a lead byte cut off by the line end.
  test::WriteBytes(sysdir_ / "DozoraV5.ini", "x\r\r D:\\\x82\rmore");
  EXPECT_EQ(source::StartupPatternFolder(host_), std::nullopt);
  ASSERT_EQ(host_.boxes.size(), 2u);
  EXPECT_EQ(host_.boxes[0].prompt,
            u"ファイルに Shift-JIS でないバイトがある為に変換できません。\n"
            u"C:\\WINDOWS\\system32\\DozoraV5.ini\n(3 行目、バイト位置 7)");
  EXPECT_EQ(host_.boxes[1].prompt, source::kNoPatternFolderMessage);
}

TEST_F(ReadPatternFolderTest, ASettingsFileThatIsNoRegularFileIsRefusedAtStart) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows has no FIFOs in folders";
#else
  const std::filesystem::path settings = sysdir_ / "DozoraV5.ini";
  ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
  // A start still going after ten seconds is blocked on the FIFO: a writer then opens and closes
  // it until the start ends, so the test fails instead of hanging.
  auto start = std::async(std::launch::async, [&] { return source::StartupPatternFolder(host_); });
  bool blocked = false;
  while (start.wait_for(std::chrono::seconds(blocked ? 0 : 10)) != std::future_status::ready) {
    blocked = true;
    const int fd = open(settings.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) close(fd);
    start.wait_for(std::chrono::milliseconds(100));
  }
  EXPECT_FALSE(blocked) << "the start blocked on the FIFO";
  EXPECT_EQ(start.get(), std::nullopt);
  ASSERT_EQ(host_.boxes.size(), 2u);
  EXPECT_EQ(host_.boxes[0].prompt,
            u"ファイルを読み込めない為に変換できません。\nC:\\WINDOWS\\system32\\DozoraV5.ini");
  EXPECT_EQ(host_.boxes[0].style, base::kMsgExclamation);
  EXPECT_EQ(host_.boxes[1].prompt, source::kNoPatternFolderMessage);

  // A folder in its place keeps its own message.
  std::filesystem::remove(settings);
  std::filesystem::create_directory(settings);
  try {
    source::ReadPatternFolder();
    ADD_FAILURE() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kNotAFile);
    EXPECT_EQ(error.file(), u"C:\\WINDOWS\\system32\\DozoraV5.ini");
  }
  // A link that loops is there, so it is no missing settings file.
  std::filesystem::remove(settings);
  std::filesystem::create_symlink("DozoraV5.ini", settings);
  try {
    source::ReadPatternFolder();
    ADD_FAILURE() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kReadFailed);
    EXPECT_EQ(error.file(), u"C:\\WINDOWS\\system32\\DozoraV5.ini");
  }
#endif
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
  test::WriteCp932(program / "DozoraV5.ini", u"[DOZORA]\r\n\"samples\\DOZORA\\\"\r\n");
  EXPECT_EQ(source::ReadPatternFolder(folders), u"D:\\tjvx\\samples\\DOZORA\\");
  // What a 32-bit program wrote into the system folder on 64-bit Windows comes before it.
  test::WriteCp932(wow64 / "DozoraV5.ini", u"[DOZORA]\r\nE:\\OLD\\DOZORA\\\r\n");
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
