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

}  // namespace
}  // namespace tjvx::form
