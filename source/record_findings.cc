#include "source/record_findings.h"

#include <cstdio>

namespace tjvx::source {

std::u16string Decimal(long long value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

namespace {

std::u16string Quoted(std::u16string_view value) { return u"「" + std::u16string(value) + u"」"; }

}  // namespace

void RecordFindings::Report(base::Severity severity, long long line, int field,
                            std::u16string message, std::vector<long long> lines) {
  if (Shifted(line)) return;
  if (!keeps_text_) return sink_.Count(severity);
  sink_.Report({severity, file_, line, field, record_, std::move(message), std::move(lines)});
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
  const std::u16string as = u"、" + std::u16string(written) + u" と書かれます。";
  switch (change) {
    case text::ValueChange::kNone:
    case text::ValueChange::kZero:
      return;
    case text::ValueChange::kNotANumber:
      return Warning(line, field, Quoted(value) + u"は数値ではない為" + as);
    case text::ValueChange::kOutOfRange:
      return Warning(line, field, Quoted(value) + u"は扱える範囲を超える数値の為" + as);
    case text::ValueChange::kTooWide:
      return Warning(line, field, Quoted(value) + u"は桁が多すぎる為に上の桁が切れ" + as);
    case text::ValueChange::kDecimalsCut:
      return Warning(line, field, Quoted(value) + u"は小数第 3 位以下が切り捨てられ" + as);
  }
}

void RecordFindings::ControlCharacter(char16_t c, long long line) {
  if (Shifted(line)) return;
  if (!keeps_text_) return sink_.Count(base::Severity::kWarning);
  char code[8];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  Warning(line, 0,
          u"制御文字 " + std::u16string(code, code + 6) + u" がそのまま変換ファイルに書かれます。");
}

void RecordFindings::Finish() {
  if (zeros_ == 0) return;
  Report(base::Severity::kNotice, first_zero_line_, first_zero_field_,
         u"0 の値が " + zero_written_ +
             u" と書かれます (この欄に 0 はありません)。このファイルで " + Decimal(zeros_) +
             u" 件、最初の行を示します。",
         std::move(zero_lines_));
  zeros_ = 0;
  zero_lines_.clear();
}

}  // namespace tjvx::source
