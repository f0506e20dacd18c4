// The rules of the check: each kind of finding has one stable ID that says how much it matters,
// and help an engineer can act on.

#include "source/rules.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/utf.h"
#include "source/record_layout.h"
#include "tests/test_support.h"

namespace tjvx {
namespace {

using base::Severity;

TEST(Rules, EachRuleHasOneIdThatNamesItsSeverityAndHelpInEveryPart) {
  std::set<std::string_view> ids;
  for (const source::Rule* rule : source::AllRules()) {
    SCOPED_TRACE(std::string(rule->id));
    EXPECT_TRUE(ids.insert(rule->id).second);
    // "W-CODE-MISSING": the severity's letter, then capitals, digits and dashes.
    const char letter = rule->severity == Severity::kError     ? 'E'
                        : rule->severity == Severity::kWarning ? 'W'
                                                               : 'N';
    ASSERT_GE(rule->id.size(), 3u);
    EXPECT_EQ(rule->id[0], letter);
    EXPECT_EQ(rule->id[1], '-');
    for (char c : rule->id)
      EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-');
    EXPECT_FALSE(rule->title.empty());
    EXPECT_FALSE(rule->cause.empty());
    EXPECT_FALSE(rule->example.empty());
    EXPECT_FALSE(rule->fix.empty());
    EXPECT_EQ(source::FindRule(rule->id), rule);
    // Only warnings and notices judge plausibility; an error is what a conversion stops at.
    if (rule->plausibility) {
      EXPECT_NE(rule->severity, Severity::kError);
    }
  }
  EXPECT_EQ(source::FindRule("W-NO-SUCH-RULE"), nullptr);
  EXPECT_EQ(source::FindRule(""), nullptr);
}

// The IDs are the report's and the JSON's, which tools match on: they never change.
TEST(Rules, TheIdsStayAsTheyWere) {
  EXPECT_EQ(source::rules::kCodeMissing.id, "W-CODE-MISSING");
  EXPECT_EQ(source::rules::kRecordCutShort.id, "E-RECORD-CUT-SHORT");
  EXPECT_EQ(source::rules::kZeroWritten.id, "N-ZERO-WRITTEN");
  EXPECT_EQ(source::rules::kLayerInverted.id, "W-LAYER-INVERTED");
  EXPECT_EQ(source::rules::kBlowsOver50.id, "N-BLOWS-OVER-50");
  EXPECT_EQ(source::rules::kBlowsOver50.severity, Severity::kNotice);
  EXPECT_TRUE(source::rules::kBlowsOver50.plausibility);
  EXPECT_FALSE(source::rules::kCodeMissing.plausibility);
}

// The manual lists every rule: its ID, where a link can find it, and its cause, example and fix as
// the help of the report dialogs gives them.
TEST(Rules, TheManualListsEveryRuleWithItsCauseExampleAndFix) {
  const std::string manual = test::ReadBytes(test::RepositoryPath("docs/manual.html"));
  auto html = [](std::u16string_view text) {
    std::string escaped;
    for (char c : base::ToUtf8(text)) {
      escaped += c == '&'   ? std::string("&amp;")
                 : c == '<' ? "&lt;"
                 : c == '>' ? "&gt;"
                            : std::string(1, c);
    }
    return escaped;
  };
  for (const source::Rule* rule : source::AllRules()) {
    SCOPED_TRACE(std::string(rule->id));
    EXPECT_NE(manual.find("<tr id=\"rule-" + std::string(rule->id) + "\">"), std::string::npos);
    EXPECT_NE(manual.find(html(rule->cause)), std::string::npos);
    EXPECT_NE(manual.find(html(rule->example)), std::string::npos);
    EXPECT_NE(manual.find(html(rule->fix)), std::string::npos);
  }
}

TEST(FieldRoles, TheFormatsFieldsAreNamedByTheirRoleAndOthersNotAtAll) {
  using source::FileId;
  struct Case {
    FileId file;
    int field;
    std::u16string_view role;
  };
  const Case cases[] = {
      {FileId::kX5, 2, u"深度"},   {FileId::kX5, 6, u"打撃回数"}, {FileId::kX5, 11, u"貫入量"},
      {FileId::kX5, 3, u""},       {FileId::kX7, 5, u"上端深度"}, {FileId::kX7, 6, u"下端深度"},
      {FileId::kX7, 9, u"コード"}, {FileId::kX7, 28, u"コード"},  {FileId::kX7, 29, u""},
      {FileId::kG40, 2, u"名称"},  {FileId::kN8, 2, u"日付"},     {FileId::kN9, 3, u"深度"},
      {FileId::kX12, 3, u"記事"},  {FileId::kR41, 4, u"値 A"},    {FileId::kTitle1, 14, u"月"},
      {FileId::kTitle2, 1, u""},   {FileId::kL1, 1, u""},         {FileId::kX1, 3, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(source::FieldRole(c.file, c.field), c.role)
        << base::ToUtf8(source::FileName(c.file)) << " " << c.field;
  }
  EXPECT_EQ(source::RecordDepthFields(FileId::kG40).depth, 4);
  EXPECT_EQ(source::RecordDepthFields(FileId::kG40).bottom, 5);
  EXPECT_EQ(source::RecordDepthFields(FileId::kN8).depth, 3);
  EXPECT_EQ(source::RecordFieldCount(FileId::kX7), 68u);
  EXPECT_EQ(source::RecordFieldCount(FileId::kTitle1), 0u);
}

}  // namespace
}  // namespace tjvx
