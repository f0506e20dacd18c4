#include "source/field_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <random>
#include <span>

#include "base/error.h"
#include "base/findings.h"
#include "base/utf.h"

namespace tjvx {
namespace {

using Fields = std::vector<std::u16string_view>;

std::vector<std::u16string> AllFields(std::u16string text) {
  source::FieldReader reader(std::move(text), u"t");
  std::vector<std::u16string> fields;
  while (!reader.AtEnd()) fields.emplace_back(reader.ReadField());
  return fields;
}

TEST(FieldReader, QuotedFieldsKeepCommasAndBlanksAndDropWhatFollowsTheQuote) {
  source::FieldReader reader(u"  \"a, b \" junk ,  c d  ,\"x\"\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"a, b ", u"c d", u"x"}));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldReader, QuoteWithoutItsEndStopsAtTheLineEnd) {
  source::FieldReader reader(u"1,\"open\r\n2\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"open", u"2"}));
}

TEST(FieldReader, ATrailingCommaPromisesOneMoreEmptyField) {
  source::FieldReader reader(u"1,2,\r\n3,4,\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"2", u""}));
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"3", u"4", u""}));
  EXPECT_TRUE(reader.AtEnd());
  source::FieldReader quoted(u"\"a\",\r\nb\r\n", u"t");
  EXPECT_EQ(quoted.ReadRecord(3), (Fields{u"a", u"", u"b"}));
}

TEST(FieldReader, RecordsSpanLinesWhateverTheLineEnds) {
  EXPECT_EQ(AllFields(u"1,2\r\n3\n4\r5"),
            (std::vector<std::u16string>{u"1", u"2", u"3", u"4", u"5"}));
  source::FieldReader reader(u"1,2,\r\n\r\n3", u"t");
  EXPECT_EQ(reader.ReadRecord(3), (Fields{u"1", u"2", u""}));
  EXPECT_EQ(reader.ReadRecord(1), (Fields{u"3"}));
}

TEST(FieldReader, BlankLinesBetweenRecordsAreSkipped) {
  source::FieldReader reader(u"1,a\r\n  \t \r\n\r\n2,b\r\n", u"t");
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"1", u"a"}));
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"2", u"b"}));
  EXPECT_EQ(reader.line(), 5);
}

TEST(FieldReader, CtrlZAndTrailingBlankLinesEndTheFile) {
  source::FieldReader reader(
      u"1,a\r\n\r\n   \r\n\x1A"
      u"2,b\r\n",
      u"t");
  EXPECT_EQ(reader.ReadRecord(2), (Fields{u"1", u"a"}));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(FieldReader, ARecordCutShortNamesTheFileAndTheRecordsLine) {
  source::FieldReader reader(u"1,a,b\r\n\r\n2,c\r\n", u"D:\\B\\X1.TXT");
  reader.ReadRecord(3);
  try {
    reader.ReadRecord(3);
    FAIL() << "no error";
  } catch (const base::Error& error) {
    EXPECT_EQ(error.kind(), base::Error::Kind::kRecordCutShort);
    EXPECT_EQ(error.file(), u"D:\\B\\X1.TXT");
    EXPECT_EQ(error.line(), 3);
  }
}

// Records of three fields read to the end: the first line where a record begins in the middle of
// the line is told once, as a warning with that line's fields, unless the file ends inside a
// record (the error names the line); the reading goes on where it was.
TEST(FieldReader, ARecordBeginningInTheMiddleOfALineIsToldOnceAtThatLine) {
  struct Case {
    const char* what;
    std::u16string text;
    long long line;  // of the warning and of out_of_step_line(), 0 for none
    std::u16string says;
  };
  const std::u16string shifted =
      u"。この行から後のレコードは行の途中から読まれる為、値がずれて書かれます。";
  const Case cases[] = {
      {"records in step", u"1,a,b\r\n2,c,d\r\n", 0, u""},
      {"a record over whole lines", u"1,a\r\nb\r\n2,c,d\r\n", 0, u""},
      {"a comma at the end of the file", u"1,a,b\r\n2,c,d,\r\n", 0, u""},
      {"one too many, one too few", u"1,a,b\r\n2,c,x,d\r\n3,e\r\n", 2,
       u"この行の項目数が 4 個あります (他の行は 3 個)" + shifted},
      {"two records on the second line, quoted commas not counted",
       u"1,a,b\r\n2,\"c,\",d,3,e,f\r\n4,g,\"h\"\r\n5,i,j,\r\n6,k\r\n", 2,
       u"この行の項目数が 6 個あります (他の行は 3 個)" + shifted},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    base::FindingList found;
    source::FieldReader reader(c.text, u"D:\\B\\X1.TXT");
    reader.ReportTo(found);
    std::vector<std::u16string> read;
    for (int pass = 0; pass < 2; ++pass) {  // a file read again is told of once
      reader.Rewind();
      read.clear();
      while (!reader.AtEnd()) {
        for (std::u16string_view field : reader.ReadRecord(3)) read.emplace_back(field);
      }
    }
    EXPECT_EQ(read, AllFields(c.text));
    EXPECT_EQ(reader.out_of_step_line(), c.line);
    if (c.line == 0) {
      EXPECT_TRUE(found.findings.empty());
      continue;
    }
    ASSERT_EQ(found.findings.size(), 1u);
    const base::Finding& f = found.findings[0];
    EXPECT_EQ(f.severity, base::Severity::kWarning);
    EXPECT_EQ(f.file, u"D:\\B\\X1.TXT");
    EXPECT_EQ(f.line, c.line);
    EXPECT_EQ(base::ToUtf8(f.message), base::ToUtf8(c.says));
  }
}

// Where the common shapes (unquoted, quoted, empty) meet what ends or interrupts them: every
// record read whole and taking each number of its first fields must give these fields and end on
// the same line, with nothing left.
TEST(FieldReader, FieldsEndWhereTheRulesSayAtEveryBoundary) {
  struct Case {
    const char* what;
    std::u16string text;
    std::vector<std::u16string> fields;
    long long line;  // after the record
  };
  const Case cases[] = {
      {"the text ends without a line end", u"12,ab", {u"12", u"ab"}, 1},
      {"blanks before a comma and a line end", u"1 \t,2  \r\n", {u"1", u"2"}, 2},
      {"a quote inside an unquoted field", u"a\"b,c\"\r\n", {u"a\"b", u"c\""}, 2},
      {"CR alone and LF alone end lines", u"1\r2\n3", {u"1", u"2", u"3"}, 3},
      {"a Ctrl-Z ends the last field", u"1,2\x1A,3\r\n", {u"1", u"2"}, 1},
      {"a NUL inside a field", std::u16string(u"1\0x,2", 5), {std::u16string(u"1\0x", 3), u"2"}, 1},
      {"a quoted field and what follows its quote", u"\"a,b\"x ,\"c\r\n", {u"a,b", u"c"}, 2},
      {"empty fields before a comma and a line end", u",,\r\n", {u"", u"", u""}, 2},
      {"a record over lines, blank lines between",
       u"1,\r\n\r\n  2\r\n \r\n3\r\n",
       {u"1", u"", u"2", u"3"},
       6},
      {"characters below the comma first", u"+1,(a),#\r\n", {u"+1", u"(a)", u"#"}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::u16string_view> fields(c.fields.size());
    for (size_t taken = 0; taken <= fields.size(); ++taken) {
      source::FieldReader reader(c.text, u"t");
      std::ranges::fill(fields, u"unread");
      reader.ReadRecord(fields, taken);
      for (size_t k = 0; k < fields.size(); ++k) {
        EXPECT_EQ(fields[k], k < taken ? std::u16string_view(c.fields[k]) : u"unread");
      }
      EXPECT_EQ(reader.line(), c.line);
      EXPECT_TRUE(reader.AtEnd());
    }
  }
}

TEST(FieldReader, SkipLineDropsTheRestOfTheLine) {
  source::FieldReader reader(u"[x],y\r\n\"C:\\P,Q\\\",1\r\n", u"t");
  reader.SkipLine();
  EXPECT_EQ(reader.ReadField(), u"C:\\P,Q\\");
}

TEST(FieldReader, FieldsSurviveMovingTheReader) {
  source::FieldReader reader(u"ab,cd", u"t");
  std::u16string_view first = reader.ReadField();
  source::FieldReader moved = std::move(reader);
  EXPECT_EQ(first, u"ab");
  EXPECT_EQ(moved.ReadField(), u"cd");
}

// The reading rules spelled out one character at a time, without any of the reader's shortcuts.
class ModelReader {
 public:
  explicit ModelReader(std::u16string text) : t_(std::move(text)) {
    end_ = std::min(t_.find(u'\x1A'), t_.size());
  }
  bool AtEnd() const {
    for (size_t i = pos_; i < end_; ++i) {
      if (!Blank(t_[i]) && !LineEnd(t_[i])) return false;
    }
    return true;
  }
  // The record's fields, or the line a cut-short record names: the first line where a record
  // began in the middle of the line, else the record's own.
  std::optional<std::vector<std::u16string>> Record(size_t count, long long& cut_line) {
    if (after_comma_ && mid_line_ == 0) mid_line_ = line_;
    if (!after_comma_) {
      while (pos_ < end_ && Blank(t_[pos_])) ++pos_;
      while (AtLineEnd()) {
        ConsumeLineEnd();
        while (pos_ < end_ && Blank(t_[pos_])) ++pos_;
      }
    }
    const long long record_line = line_;
    std::vector<std::u16string> fields;
    for (size_t k = 0; k < count; ++k) {
      for (;;) {
        while (pos_ < end_ && Blank(t_[pos_])) ++pos_;
        if (AtLineEnd() && !after_comma_) {
          ConsumeLineEnd();
          continue;
        }
        break;
      }
      if (pos_ >= end_) {
        if (!after_comma_) {
          cut_line = mid_line_ != 0 ? mid_line_ : record_line;
          return std::nullopt;
        }
        after_comma_ = false;
        fields.emplace_back();
        continue;
      }
      if (AtLineEnd()) {
        ConsumeLineEnd();
        after_comma_ = false;
        fields.emplace_back();
        continue;
      }
      std::u16string value;
      if (t_[pos_] == u'"') {
        ++pos_;
        while (pos_ < end_ && t_[pos_] != u'"' && !LineEnd(t_[pos_])) value += t_[pos_++];
        if (pos_ < end_ && t_[pos_] == u'"') {
          ++pos_;
          while (pos_ < end_ && t_[pos_] != u',' && !LineEnd(t_[pos_])) ++pos_;
        }
      } else {
        while (pos_ < end_ && t_[pos_] != u',' && !LineEnd(t_[pos_])) value += t_[pos_++];
        while (!value.empty() && Blank(value.back())) value.pop_back();
      }
      after_comma_ = false;
      if (pos_ < end_ && t_[pos_] == u',') {
        ++pos_;
        after_comma_ = true;
      } else if (AtLineEnd()) {
        ConsumeLineEnd();
      }
      fields.push_back(value);
    }
    return fields;
  }
  long long line() const { return line_; }

 private:
  static bool Blank(char16_t c) { return c == u' ' || c == u'\t'; }
  static bool LineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }
  bool AtLineEnd() const { return pos_ < end_ && LineEnd(t_[pos_]); }
  void ConsumeLineEnd() {
    if (t_[pos_] == u'\r' && pos_ + 1 < end_ && t_[pos_ + 1] == u'\n') ++pos_;
    ++pos_;
    ++line_;
  }
  std::u16string t_;
  size_t pos_ = 0, end_ = 0;
  long long line_ = 1;
  long long mid_line_ = 0;
  bool after_comma_ = false;
};

TEST(FieldReader, ReadsRandomTextsAsTheRulesSay) {
  // Short texts over the characters the rules care about, a NUL and Ctrl-Z among them, read in
  // records of random sizes: every field, line and cut-short record must be the model's.
  constexpr char16_t kAlphabet[] = {u'a', u'1', u'.',  u'-',  u'漢', u' ',   u'\t',
                                    u',', u'"', u'\r', u'\n', u'\0', u'\x1A'};
  std::mt19937 random(20261208);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text(random() % 24, u' ');
    for (char16_t& c : text) c = kAlphabet[random() % std::size(kAlphabet)];
    source::FieldReader reader(text, u"t");
    ModelReader model(text);
    SCOPED_TRACE(testing::PrintToString(base::ToUtf8(text)));
    while (!model.AtEnd()) {
      ASSERT_FALSE(reader.AtEnd());
      const size_t count = 1 + random() % 4;
      long long cut_line = 0;
      const std::optional<std::vector<std::u16string>> expected = model.Record(count, cut_line);
      if (!expected) {
        try {
          reader.ReadRecord(count);
          FAIL() << "no cut-short record";
        } catch (const base::Error& error) {
          EXPECT_EQ(error.line(), cut_line);
        }
        break;
      }
      const Fields fields = reader.ReadRecord(count);
      ASSERT_EQ(fields.size(), expected->size());
      for (size_t k = 0; k < fields.size(); ++k) EXPECT_EQ(fields[k], (*expected)[k]);
      ASSERT_EQ(reader.line(), model.line());
    }
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(FieldReader, PassingOverFieldsEndsEveryRecordWhereTakingThemWould) {
  // Records read taking only their first fields: the fields taken, the lines, the records' lines
  // and the cut-short records must be those of reading every field.
  constexpr char16_t kAlphabet[] = {u'a', u'0',  u'0',  u',',  u',',    u',', u' ',
                                    u'"', u'\r', u'\n', u'\0', u'\x1A', u'漢'};
  std::mt19937 random(20261209);
  for (int round = 0; round < 20000; ++round) {
    std::u16string text(random() % 32, u' ');
    for (char16_t& c : text) c = kAlphabet[random() % std::size(kAlphabet)];
    source::FieldReader reader(text, u"t");
    ModelReader model(text);
    SCOPED_TRACE(testing::PrintToString(base::ToUtf8(text)));
    std::array<std::u16string_view, 6> fields;
    while (!model.AtEnd()) {
      ASSERT_FALSE(reader.AtEnd());
      const size_t count = 1 + random() % fields.size();
      const size_t taken = random() % (count + 1);
      long long cut_line = 0;
      const std::optional<std::vector<std::u16string>> expected = model.Record(count, cut_line);
      const std::span<std::u16string_view> record(fields.data(), count);
      if (!expected) {
        try {
          reader.ReadRecord(record, taken);
          FAIL() << "no cut-short record";
        } catch (const base::Error& error) {
          EXPECT_EQ(error.line(), cut_line);
        }
        break;
      }
      reader.ReadRecord(record, taken);
      for (size_t k = 0; k < taken; ++k) EXPECT_EQ(fields[k], (*expected)[k]);
      ASSERT_EQ(reader.line(), model.line());
    }
    EXPECT_TRUE(reader.AtEnd());
  }
}

}  // namespace
}  // namespace tjvx
