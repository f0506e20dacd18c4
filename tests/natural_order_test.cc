#include "text/natural_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/utf.h"

namespace tjvx::text {
namespace {

// Each row: names in the order they must come.
const std::vector<std::vector<std::u16string>> kOrders = {
    // Digit runs by value, wherever they stand and however long.
    {u"B-1", u"B-2", u"B-10", u"B-100"},
    {u"B1-2", u"B1-10", u"B2-1", u"B10-1"},
    {u"9", u"10", u"99999999999999999999", u"100000000000000000000"},
    // Letter case does not count before the numbers do.
    {u"b-1", u"B-2", u"b-10", u"C-1"},
    // Japanese text by its codes, with its numbers by value.
    {u"No.1", u"No.2", u"現場A", u"現場B", u"調査孔2", u"調査孔11"},
    {u"ボーリング1", u"ボーリング2", u"ボーリング10"},
    // A name that another begins with comes first, and a number before a letter.
    {u"B", u"B-", u"B-1", u"B-1a", u"B-a"},
    // Names equal by value and case: by their code units, so the order is one and the same
    // everywhere (upper case and fewer digits first).
    {u"B-01", u"B-1", u"b-1", u"B-2"},
    {u"B-001", u"B-01", u"B-1"},
};

TEST(NaturalLess, OrdersEveryRowOfTheTable) {
  for (const std::vector<std::u16string>& row : kOrders) {
    for (size_t i = 0; i < row.size(); ++i) {
      for (size_t j = 0; j < row.size(); ++j) {
        EXPECT_EQ(NaturalLess(row[i], row[j]), i < j)
            << base::ToUtf8(row[i]) << " against " << base::ToUtf8(row[j]);
      }
    }
    std::vector<std::u16string> sorted = row;
    std::reverse(sorted.begin(), sorted.end());
    std::sort(sorted.begin(), sorted.end(), NaturalLess);
    EXPECT_EQ(sorted, row);
  }
}

TEST(NaturalLess, NoNameComesBeforeItself) {
  for (const char16_t* name : {u"", u"B-1", u"0", u"00", u"現場"}) {
    EXPECT_FALSE(NaturalLess(name, name));
  }
  EXPECT_TRUE(NaturalLess(u"", u"0"));
  EXPECT_FALSE(NaturalLess(u"0", u""));
}

}  // namespace
}  // namespace tjvx::text
