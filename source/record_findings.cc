#include "source/record_findings.h"

#include <cstdio>
#include <initializer_list>

#include "base/windows_path.h"
#include "source/record_layout.h"

namespace tjvx::source {

std::u16string Decimal(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

namespace {

std::u16string Quoted(std::u16string_view value) { return u"「" + std::u16string(value) + u"」"; }

// The parts one after another, in room made for them at once.
std::u16string Joined(std::initializer_list<std::u16string_view> parts) {
  size_t size = 0;
  for (const std::u16string_view part : parts) size += part.size();
  std::u16string text;
  text.reserve(size);
  for (const std::u16string_view part : parts) text += part;
  return text;
}

}  // namespace

void RecordFindings::Send(const Rule& rule, long long line, int field, Said said,
                          std::vector<long long> lines) {
  if (Shifted(line)) return;
  if (!keeps_text_) return sink_.Count(rule.severity);
  sink_.Report({rule.severity, file_, line, field, record_, std::move(said.message),
                std::move(lines), rule.id, std::move(said.fix)});
}

std::u16string_view RecordFindings::Role(int field) const {
  const std::optional<FileId> file =
      FileNamed(SourceFolderFiles(), base::LastName(std::u16string_view(file_)));
  return file ? FieldRole(*file, field) : std::u16string_view();
}

void RecordFindings::Changed(text::ValueChange change, long long line, int field,
                             std::u16string_view value, std::u16string_view written) {
  if (Shifted(line)) return;
  if (change == text::ValueChange::kZero) {
    // Zeros are common: counted here, reported once by Finish().
    if (zeros_++ == 0) {
      first_zero_line_ = line;
      first_zero_field_ = field;
      zero_written_ = written;
    }
    // A line of several zeros is listed once.
    if (keeps_text_ && (zero_lines_.empty() || zero_lines_.back() != line)) {
      zero_lines_.push_back(line);
    }
    return;
  }
  if (!keeps_text_) return sink_.Count(base::Severity::kWarning);
  // The value named by its role: "打撃回数「abc」は…".
  const std::u16string named = std::u16string(Role(field)) + Quoted(value);
  const std::u16string as = u"、" + std::u16string(written) + u" と書かれます。";
  switch (change) {
    case text::ValueChange::kNone:
    case text::ValueChange::kZero:
      return;
    case text::ValueChange::kNotANumber:
      return Send(RuleOf(change), line, field, {named + u"は数値ではない為" + as});
    case text::ValueChange::kOutOfRange:
      return Send(RuleOf(change), line, field, {named + u"は扱える範囲を超える数値の為" + as});
    case text::ValueChange::kTooWide:
      return Send(RuleOf(change), line, field, {named + u"は桁が多すぎる為に上の桁が切れ" + as});
    case text::ValueChange::kDecimalsCut:
      return Send(RuleOf(change), line, field, {named + u"は小数第 3 位以下が切り捨てられ" + as});
  }
}

const Rule& RuleOf(text::ValueChange change) {
  switch (change) {
    case text::ValueChange::kOutOfRange:
      return rules::kNumberOutOfRange;
    case text::ValueChange::kTooWide:
      return rules::kDepthTooWide;
    case text::ValueChange::kDecimalsCut:
      return rules::kDecimalsCut;
    case text::ValueChange::kZero:
      return rules::kZeroWritten;
    case text::ValueChange::kNone:
    case text::ValueChange::kNotANumber:
      break;
  }
  return rules::kNotANumber;
}

Said CodeMissing(std::u16string_view code, TableId table, std::u16string_view file,
                 std::u16string_view what_happens) {
  // A check of a batch says this thousands of times: each text is made in room made for it at once.
  const std::u16string_view table_name = TableFileName(table);
  return {Joined({u"コード「", code, u"」が ", table_name, u" にない為、", what_happens}),
          Joined({table_name, u" にコード ", code, u" を加えるか、", base::LastName(file),
                  u" のコードを直してください。"})};
}

void RecordFindings::ControlCharacter(char16_t c, long long line) {
  if (Shifted(line)) return;
  if (!keeps_text_) return sink_.Count(base::Severity::kWarning);
  char code[8];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  Send(rules::kControlCharacter, line, 0,
       {u"制御文字 " + std::u16string(code, code + 6) + u" がそのまま変換ファイルに書かれます。"});
}

void RecordFindings::Finish() {
  if (zeros_ == 0) return;
  // The first zero's field named by its role: "貫入量の 0 は -1 と書かれます".
  const std::u16string_view role = Role(first_zero_field_);
  // A role that ends in a Latin letter ("値 A") stands apart from the particle after it.
  const bool apart = !role.empty() && role.back() < 0x80;
  Send(
      rules::kZeroWritten, first_zero_line_, first_zero_field_,
      {(role.empty() ? u"0 の値が " : std::u16string(role) + (apart ? u" の 0 が " : u"の 0 が ")) +
       zero_written_ + u" と書かれます (この欄に 0 はありません)。このファイルで " +
       Decimal(zeros_) + u" 件、最初の行を示します。"},
      std::move(zero_lines_));
  zeros_ = 0;
  zero_lines_.clear();
}

}  // namespace tjvx::source
