#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "base/utf.h"
#include "platform/drives.h"
#include "tests/test_support.h"
#include "text/path_check.h"
#include "text/path_components.h"

namespace tjvx {
namespace {

using Parts = std::vector<std::u16string>;

TEST(SplitPath, GivesOnePieceMoreThanSeparators) {
  EXPECT_EQ(text::SplitPath(u"C:\\A\\B", u"\\"), (Parts{u"C:", u"A", u"B"}));
  EXPECT_EQ(text::SplitPath(u"D:\\", u"\\"), (Parts{u"D:", u""}));
  EXPECT_EQ(text::SplitPath(u"", u"\\"), (Parts{u""}));
  EXPECT_EQ(text::SplitPath(u"a\\\\b", u"\\"), (Parts{u"a", u"", u"b"}));
  EXPECT_EQ(text::SplitPath(u"a/b\\c", u"\\/"), (Parts{u"a", u"b", u"c"}));
  for (std::u16string_view path : {u"", u"D:\\", u"C:\\A\\B\\", u"x/y\\z"}) {
    EXPECT_EQ(text::SplitPath(path, u"\\/").size(),
              static_cast<size_t>(text::CountSeparators(path, u"\\/") + 1));
  }
}

TEST(ResolvePath, ResolvesSlashesAndDotsAsWindowsDoesWithoutLeavingTheDrive) {
  const std::pair<std::u16string_view, std::u16string_view> cases[] = {
      {u"Z:/work/B-12", u"Z:\\work\\B-12"},
      {u"C:\\x\\a/../../B-12", u"C:\\B-12"},
      {u"C:\\..", u"C:\\"},
      {u"C:\\..\\..\\x", u"C:\\x"},
      {u"C:\\x\\.\\y\\.", u"C:\\x\\y\\"},
      {u"C:\\x\\", u"C:\\x\\"},
      // Blanks, repeated separators and names of three dots stay for the checks after this.
      {u"C:\\x \\\\y", u"C:\\x \\\\y"},
      {u"C:\\...\\y", u"C:\\...\\y"},
      {u"C:x\\..\\y", u"C:x\\y"},
      {u"B-12", u"B-12"},
      {u"", u""},
  };
  for (const auto& [path, resolved] : cases) {
    EXPECT_EQ(text::ResolvePath(path), resolved) << base::ToUtf8(path);
  }
}

class CheckPathTest : public testing::Test {
 protected:
  // The path as CheckPath leaves it, or "rejected".
  std::u16string Check(std::u16string path) {
    return text::CheckPath(path, host_) ? path : u"rejected";
  }
  test::TempDrives drives_;
  test::RecordingHost host_;
};

TEST_F(CheckPathTest, NormalisesAcceptedPaths) {
  EXPECT_EQ(Check(u"  C:\\data  "), u"C:\\data\\");
  EXPECT_EQ(Check(u"C:"), u"C:\\");
  EXPECT_EQ(Check(u"C:data"), u"C:\\data\\");
  EXPECT_EQ(Check(u"d:\\a\\b\\"), u"d:\\a\\b\\");
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(CheckPathTest, ABadDrivePartIsTheOnlyRejectionWithAMessage) {
  for (std::u16string path : {u"\\\\server\\share", u"data\\x", u"1", u"", u"ＣＤ:\\x"}) {
    host_.boxes.clear();
    EXPECT_EQ(Check(path), u"rejected");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].prompt, text::kDriveMessage);
    EXPECT_EQ(host_.boxes[0].style, base::kMsgInformation);
    EXPECT_EQ(host_.boxes[0].title, u"");
  }
}

TEST_F(CheckPathTest, APathTakenAsGivenKeepsItsBlanksAndIsRefusedForThem) {
  std::u16string path = u"C:\\data ";
  EXPECT_FALSE(text::CheckPath(path, host_, true));
  path = u" C:\\data";
  EXPECT_FALSE(text::CheckPath(path, host_, true));
  EXPECT_EQ(host_.boxes.size(), 1u);  // " C:" is no drive
  path = u"C:\\data";
  EXPECT_TRUE(text::CheckPath(path, host_, true));
  EXPECT_EQ(path, u"C:\\data\\");
}

TEST_F(CheckPathTest, RejectsWildcardsBlanksAndDoubleSeparatorsSilently) {
  for (std::u16string path : {u"C:\\my data", u"C:\\a*b", u"C:\\a?", u"C:\\a\\\\b"}) {
    EXPECT_EQ(Check(path), u"rejected");
  }
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(CheckPathTest, FolderNamesWithADotFollowTheEightThreeRule) {
  EXPECT_EQ(Check(u"C:\\LONGNAME1.TXT\\"), u"rejected");
  EXPECT_EQ(Check(u"C:\\ABCDEFGH.TXT\\"), u"C:\\ABCDEFGH.TXT\\");
  EXPECT_EQ(Check(u"C:\\A.B.C\\"), u"rejected");
  EXPECT_EQ(Check(u"C:\\A.BCDE\\"), u"rejected");
  EXPECT_EQ(Check(u"C:\\A_VERY_LONG_FOLDER\\"), u"C:\\A_VERY_LONG_FOLDER\\");
  // Bytes after the dot are counted in CP932: two full-width characters are four bytes.
  EXPECT_EQ(Check(u"C:\\A.ｱｲｳ\\"), u"C:\\A.ｱｲｳ\\");
  EXPECT_EQ(Check(u"C:\\A.アイ\\"), u"rejected");
}

TEST_F(CheckPathTest, ADriveThatCannotBeMadeCurrentIsRejectedWithoutAMessage) {
  EXPECT_EQ(Check(u"Q:\\data"), u"rejected");
  std::filesystem::remove_all(drives_.d());
  EXPECT_EQ(Check(u"D:\\data"), u"rejected");
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_EQ(Check(u"C:\\x"), u"C:\\x\\");
  EXPECT_EQ(platform::CurrentDrive(), u'C');
}

TEST_F(CheckPathTest, ADrivePartCp932CannotWriteIsNoBadDriveName) {
  // "é" has no CP932 form and counts as one byte, so ":" still stands second.
  EXPECT_EQ(Check(u"\u00E9:\\A"), u"rejected");
  EXPECT_TRUE(host_.boxes.empty());
}

// Without mapped letters the drives are the system's: the real ones on Windows, where C: is the
// system drive, and Z: ("/") elsewhere.
TEST(CheckPathOverTheSystemDrives, TakesAnExistingDriveAndRefusesAMissingOne) {
  platform::SetDrives(platform::DriveTable());
#ifdef _WIN32
  const char16_t drive = u'C';
#else
  const char16_t drive = u'Z';
#endif
  const std::vector<char16_t> letters = platform::Drives().Letters();
  ASSERT_NE(std::find(letters.begin(), letters.end(), drive), letters.end());
  char16_t missing = u'A';
  while (std::find(letters.begin(), letters.end(), missing) != letters.end()) ++missing;
  ASSERT_LE(missing, u'Z');

  test::RecordingHost host;
  std::u16string existing = std::u16string{drive, u':', u'\\', u'x'};
  EXPECT_TRUE(text::CheckPath(existing, host));
  EXPECT_EQ(existing, (std::u16string{drive, u':', u'\\', u'x', u'\\'}));
  EXPECT_EQ(platform::CurrentDrive(), drive);
  std::u16string absent = std::u16string{missing, u':', u'\\', u'x'};
  EXPECT_FALSE(text::CheckPath(absent, host));
  EXPECT_EQ(platform::CurrentDrive(), drive);
  EXPECT_TRUE(host.boxes.empty());
  platform::SetDrives(platform::DriveTable::FromEnvironment());
}

TEST(DriveTable, TurnsHostPathsIntoTheLongestMappedDrive) {
#ifdef _WIN32
  GTEST_SKIP() << "the host paths here are POSIX paths";
#endif
  platform::DriveTable table;
  table.Map(u'C', "/srv/data");
  table.Map(u'D', "/srv/data/usb");
  EXPECT_EQ(table.FromHost("/srv/data/B-12"), u"C:\\B-12");
  EXPECT_EQ(table.FromHost("/srv/data/usb/x/y"), u"D:\\x\\y");
  EXPECT_EQ(table.FromHost("/srv/data"), u"C:\\");
  EXPECT_EQ(table.FromHost("/srv/datax/a"), u"Z:\\srv\\datax\\a");
  EXPECT_EQ(table.ToHost(u"C:\\\\B-12\\\\X1.TXT"), std::filesystem::path("/srv/data/B-12/X1.TXT"));
  EXPECT_EQ(table.ToHost(u"c:B-12"), std::filesystem::path("/srv/data/B-12"));
  EXPECT_FALSE(table.ToHost(u"Q:\\x").has_value());
  EXPECT_FALSE(table.ToHost(u"\\\\server\\x").has_value());
  // Names that are not UTF-8 keep their bytes both ways, so two of them stay two.
  const std::u16string a = table.FromHost("/srv/data/X\x82\xa0");
  const std::u16string b = table.FromHost("/srv/data/X\x82\xa2");
  EXPECT_NE(a, b);
  EXPECT_EQ(table.AsWritten(a), std::filesystem::path("/srv/data/X\x82\xa0"));
  EXPECT_EQ(table.AsWritten(b), std::filesystem::path("/srv/data/X\x82\xa2"));
}

#ifndef _WIN32
TEST(IsVacant, OnlyAPlaceWithNothingAtAllInAFolderThereAsWrittenIsVacant) {
  namespace fs = std::filesystem;
  test::TempDrives drives;
  fs::create_directories(drives.c() / "OUT");
  EXPECT_TRUE(platform::IsVacant(u"C:\\OUT\\B-12"));
  EXPECT_TRUE(platform::IsVacant(u"C:/OUT//B-12"));
  // Anything standing there: a file, a folder, a link (even one leading nowhere), a FIFO.
  test::WriteBytes(drives.c() / "OUT" / "FILE", "x");
  fs::create_directories(drives.c() / "OUT" / "FOLDER");
  fs::create_symlink(drives.c() / "nowhere", drives.c() / "OUT" / "LINK");
  ASSERT_EQ(mkfifo((drives.c() / "OUT" / "FIFO").c_str(), 0600), 0);
  for (const char16_t* taken : {u"C:\\OUT\\FILE", u"C:\\OUT\\FOLDER", u"C:\\OUT\\LINK",
                                u"C:\\OUT\\FIFO", u"C:\\OUT"}) {
    EXPECT_FALSE(platform::IsVacant(taken)) << base::ToUtf8(taken);
  }
  // A folder not there as written (missing, in another letter case, a file) is not settled here.
  EXPECT_FALSE(platform::IsVacant(u"C:\\MISSING\\B-12"));
  EXPECT_FALSE(platform::IsVacant(u"C:\\out\\B-12"));
  EXPECT_FALSE(platform::IsVacant(u"C:\\OUT\\FILE\\B-12"));
  // Nor a path that is not on a drive.
  EXPECT_FALSE(platform::IsVacant(u"OUT\\B-12"));
  EXPECT_FALSE(platform::IsVacant(u""));
}
#endif

}  // namespace
}  // namespace tjvx
