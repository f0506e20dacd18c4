// The file names the windows suggest and write: a name made safe to create on Windows.

#include "form/file_names.h"

#include <gtest/gtest.h>

namespace tjvx::form {
namespace {

TEST(SafeFileName, ReplacesWhatWindowsForbidsAndDropsTrailingDotsAndBlanks) {
  EXPECT_EQ(SafeFileName(u"B-12", u"柱状図"), u"B-12");
  EXPECT_EQ(SafeFileName(u"a\\b/c:d*e?f\"g<h>i|j\x01", u"x"), u"a_b_c_d_e_f_g_h_i_j_");
  EXPECT_EQ(SafeFileName(u"B-12. .", u"x"), u"B-12");
  EXPECT_EQ(SafeFileName(u" ..", u"柱状図"), u"柱状図");
  EXPECT_EQ(SafeFileName(u"con", u"x"), u"con_");
  EXPECT_EQ(SafeFileName(u"COM1.log", u"x"), u"COM1_.log");
  EXPECT_EQ(SafeFileName(u"COM10", u"x"), u"COM10");
}

TEST(ReportFileName, IsTheReportsTitleAndTheFoldersLastNameMadeSafe) {
  EXPECT_EQ(ReportFileName(u"C:\\DATA\\B-12"), u"点検結果_B-12.txt");
  EXPECT_EQ(ReportFileName(u"C:\\"), u"点検結果.txt");
  // A folder name that Linux allows and Windows does not.
  EXPECT_EQ(ReportFileName(u"C:\\DATA\\B:12*."), u"点検結果_B_12_.txt");
  // The title before it keeps a device's name from being one.
  EXPECT_EQ(ReportFileName(u"C:\\DATA\\CON"), u"点検結果_CON.txt");
}

TEST(LogFileName, IsTheConvertedFilesNameMadeSafeWithItsExtension) {
  EXPECT_EQ(LogFileName(u"B-12", u".svg"), u"B-12.svg");
  EXPECT_EQ(LogFileName(u"A:B*?", u".html"), u"A_B__.html");
  EXPECT_EQ(LogFileName(u"..", u".png"), u"柱状図.png");
}

}  // namespace
}  // namespace tjvx::form
