// The file names the windows suggest and write: a name made safe to create on Windows.

#include "form/file_names.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"

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

TEST(SafeFileName, GivesAWindowsDeviceNameAnUnderscoreOnEverySystem) {
  // Each device in any letter case: alone, before an extension, or before blanks and an
  // extension, which Windows reads as the device too.
  for (const std::u16string device : {u"CON", u"PRN", u"AUX", u"NUL", u"COM1", u"COM5", u"COM9",
                                      u"LPT1", u"LPT9", u"COM¹", u"LPT³"}) {
    std::u16string lower = device;
    for (char16_t& c : lower) c = c >= u'A' && c <= u'Z' ? c - u'A' + u'a' : c;
    const std::u16string mixed = lower.substr(0, 1) + device.substr(1);
    for (const std::u16string& name : {device, lower, mixed}) {
      SCOPED_TRACE(base::ToUtf8(name));
      EXPECT_EQ(SafeFileName(name, u"x"), name + u"_");
      EXPECT_EQ(SafeFileName(name + u".svg", u"x"), name + u"_.svg");
      EXPECT_EQ(SafeFileName(name + u".tar.gz", u"x"), name + u"_.tar.gz");
      EXPECT_EQ(SafeFileName(name + u"  .html", u"x"), name + u"_  .html");
      EXPECT_EQ(SafeFileName(name + u". .", u"x"), name + u"_");
    }
  }
  // Windows drops a trailing colon or dots and finds the device; here the colon is already a
  // "_", and the name without its dots is a device's.
  EXPECT_EQ(SafeFileName(u"NUL:", u"x"), u"NUL_");
  EXPECT_EQ(SafeFileName(u"NUL:.txt", u"x"), u"NUL_.txt");
  EXPECT_EQ(SafeFileName(u"aux..", u"x"), u"aux_");
  // Names that only look like one are left as they are.
  for (const std::u16string name :
       {u"COM0", u"LPT0", u"COM10", u"LPT", u"CONS", u"XCON", u"CON-1", u"CON_", u" CON", u"ＣＯＮ",
        u"COM１", u"COM⁴", u"B-12.CON", u"PRN2.svg"}) {
    EXPECT_EQ(SafeFileName(name, u"x"), name) << base::ToUtf8(name);
  }
}

TEST(LogFileName, NeverNamesADevice) {
  EXPECT_EQ(LogFileName(u"con", u".svg"), u"con_.svg");
  EXPECT_EQ(LogFileName(u"LPT1", u".html"), u"LPT1_.html");
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
