#include <gtest/gtest.h>

#include "common/trcomsub.h"
#include "platform/drives.h"
#include "source/fnother.h"
#include "tests/test_support.h"

namespace {

using Parts = std::vector<std::u16string>;

TEST(SplitPath, GivesOnePieceMoreThanSeparators) {
  EXPECT_EQ(FNOTHER::SplitPath(u"C:\\A\\B", u"\\"), (Parts{u"C:", u"A", u"B"}));
  EXPECT_EQ(FNOTHER::SplitPath(u"D:\\", u"\\"), (Parts{u"D:", u""}));
  EXPECT_EQ(FNOTHER::SplitPath(u"", u"\\"), (Parts{u""}));
  EXPECT_EQ(FNOTHER::SplitPath(u"a\\\\b", u"\\"), (Parts{u"a", u"", u"b"}));
  EXPECT_EQ(FNOTHER::SplitPath(u"a/b\\c", u"\\/"), (Parts{u"a", u"b", u"c"}));
  for (std::u16string_view path : {u"", u"D:\\", u"C:\\A\\B\\", u"x/y\\z"}) {
    EXPECT_EQ(FNOTHER::SplitPath(path, u"\\/").size(),
              static_cast<size_t>(FNOTHER::CountSeparators(path, u"\\/") + 1));
  }
}

class CheckPathTest : public ::testing::Test {
 protected:
  // The path as CheckPath leaves it, or "rejected".
  std::u16string Check(std::u16string path) {
    return TRCOMSUB::CheckPath(path, host_) ? path : u"rejected";
  }
  tjvx::testing::TempDrives drives_;
  tjvx::testing::RecordingHost host_;
};

TEST_F(CheckPathTest, NormalisesAcceptedPaths) {
  EXPECT_EQ(Check(u"  C:\\data  "), u"C:\\data\\");
  EXPECT_EQ(Check(u"C:"), u"C:\\");
  EXPECT_EQ(Check(u"C:data"), u"C:\\data\\");
  EXPECT_EQ(Check(u"c:\\a\\b\\"), u"c:\\a\\b\\");
  EXPECT_TRUE(host_.boxes.empty());
}

TEST_F(CheckPathTest, ABadDrivePartIsTheOnlyRejectionWithAMessage) {
  for (std::u16string path : {u"\\\\server\\share", u"data\\x", u"1", u"", u"ＣＤ:\\x"}) {
    host_.boxes.clear();
    EXPECT_EQ(Check(path), u"rejected");
    ASSERT_EQ(host_.boxes.size(), 1u);
    EXPECT_EQ(host_.boxes[0].prompt, TRCOMSUB::kDriveMessage);
    EXPECT_EQ(host_.boxes[0].style, tjvx::kMsgInformation);
    EXPECT_EQ(host_.boxes[0].title, u"");
  }
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
  EXPECT_TRUE(host_.boxes.empty());
  EXPECT_EQ(Check(u"C:\\x"), u"C:\\x\\");
  EXPECT_EQ(tjvx::platform::CurrentDrive(), u'C');
}

TEST_F(CheckPathTest, AMappedDriveWhoseFolderIsGoneIsRejectedWithoutAMessage) {
#ifdef _WIN32
  GTEST_SKIP() << "the drives are the real ones on Windows; none is a folder that can vanish";
#endif
  std::filesystem::remove_all(drives_.d());
  EXPECT_EQ(Check(u"D:\\data"), u"rejected");
  EXPECT_TRUE(host_.boxes.empty());
}

TEST(DriveTable, TurnsHostPathsIntoTheLongestMappedDrive) {
  tjvx::platform::DriveTable table;
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
}

}  // namespace
