#include "text/wildcard.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf.h"

namespace tjvx::text {
namespace {

struct Case {
  std::u16string pattern, name;
  bool matches;
};

TEST(MatchesWildcard, MatchesAsAWindowsDirectorySearch) {
  const Case cases[] = {
      {u"B-*", u"B-1", true},
      {u"B-*", u"B-", true},
      {u"B-*", u"C-1", false},
      {u"B-*", u"AB-1", false},
      {u"*", u"", true},
      {u"*", u"現場A", true},
      {u"**", u"B-10", true},
      {u"*-*-*", u"B-1-2", true},
      {u"*-*-*", u"B-12", false},
      {u"*1", u"B-1-1", true},
      {u"*1", u"B-12", false},
      {u"B-?", u"B-1", true},
      {u"B-?", u"B-10", false},
      {u"B-?", u"B-", false},
      {u"B-??", u"B-10", true},
      {u"?", u"", false},
      // Letter case of a-z is ignored; other characters match only themselves.
      {u"b-*", u"B-1", true},
      {u"B-1", u"b-1", true},
      {u"ｂ-*", u"Ｂ-1", false},
      // Japanese names whole: "?" is one character, also outside the basic plane.
      {u"現場?", u"現場A", true},
      {u"現場?", u"現場あ", true},
      {u"*孔*", u"調査孔12", true},
      {u"調査孔*", u"調査杭1", false},
      {u"?", u"\U00020BB7", true},
      {u"??", u"\U00020BB7", false},
      // Blanks and dots are ordinary characters; ".*" at the end also matches no extension.
      {u"B *", u"B 1", true},
      {u"B *", u"B-1", false},
      {u"*.*", u"B-1", true},
      {u"*.*", u"B-1.TXT", true},
      {u"B-1.*", u"B-1", true},
      {u"B-1.*", u"B-12", false},
      {u"*.TXT", u"X1.txt", true},
      {u"*.TXT", u"X1", false},
      {u"B-1", u"B-1", true},
      {u"B-1", u"B-12", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.matches)
        << base::ToUtf8(c.pattern) << " against " << base::ToUtf8(c.name);
  }
}

TEST(MatchesWildcard, ManyStarsAgainstALongNameEndQuickly) {
  const std::u16string name(4000, u'a');
  EXPECT_FALSE(MatchesWildcard(u"*a*a*a*a*a*a*a*a*a*a*b", name));
  EXPECT_TRUE(MatchesWildcard(u"*a*a*a*a*a*a*a*a*a*a*", name));
}

TEST(HasWildcard, FindsAStarOrAQuestionMark) {
  EXPECT_TRUE(HasWildcard(u"B-*"));
  EXPECT_TRUE(HasWildcard(u"C:\\DATA\\B-?"));
  EXPECT_FALSE(HasWildcard(u"C:\\DATA\\現場A\\B-1"));
}

}  // namespace
}  // namespace tjvx::text
