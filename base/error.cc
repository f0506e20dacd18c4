#include "base/error.h"

#include "base/utf.h"

namespace tjvx::base {
namespace {

std::u16string CauseText(Error::Kind kind) {
  switch (kind) {
    case Error::Kind::kFileMissing:
      return u"ファイルが見つからない為に変換できません。";
    case Error::Kind::kNotAFile:
      return u"ファイルの代わりにフォルダがある為に変換できません。";
    case Error::Kind::kReadFailed:
      return u"ファイルを読み込めない為に変換できません。";
    case Error::Kind::kWriteFailed:
      return u"ファイルに書き込めない為に変換できません。";
    case Error::Kind::kBadCharacter:
      return u"ファイルに Shift-JIS でないバイトがある為に変換できません。";
    case Error::Kind::kRecordCutShort:
      return u"ファイルがレコードの途中で終わっている為に変換できません。";
    case Error::Kind::kFolderCreate:
      return u"フォルダを作成できない為に変換できません。";
    case Error::Kind::kOutOfRange:
      return u"ファイルの値が範囲を超えている為に変換できません。";
    case Error::Kind::kNotConverted:
      return u"変換済みファイルを読み込めません。";
    case Error::Kind::kNotRegularFile:
      return u"出力ファイルと同名の特殊ファイル (パイプ、ソケット、デバイス) "
             u"が存在する為に変換できません。";
  }
  return {};
}

}  // namespace

Error::Error(Kind kind, std::u16string file, long long line, long long offset,
             std::u16string detail)
    : kind_(kind),
      file_(std::move(file)),
      line_(line),
      offset_(offset),
      detail_(std::move(detail)),
      what_(ToUtf8(Message())) {}

std::u16string Error::Message() const {
  std::u16string text = CauseText(kind_);
  if (kind_ == Kind::kNotConverted) {
    // The cause first, then where: "…読み込めません。\n<cause>\n<file>\n(N 行目)".
    text.append(u"\n").append(detail_).append(u"\n").append(file_);
    if (line_ > 0) text.append(u"\n(").append(base::Digits(line_)).append(u" 行目)");
    return text;
  }
  if (!file_.empty()) text.append(u"\n").append(file_);
  if (line_ > 0 || offset_ >= 0) {
    text += u"\n(";
    if (line_ > 0) text.append(base::Digits(line_)).append(u" 行目");
    if (line_ > 0 && offset_ >= 0) text += u"、";
    if (offset_ >= 0) text.append(u"バイト位置 ").append(base::Digits(offset_));
    text += u")";
  }
  if (!detail_.empty()) text.append(u"\n").append(detail_);
  return text;
}

std::u16string Error::Summary() const {
  std::u16string text = CauseText(kind_);
  if (offset_ >= 0) text.append(u" (バイト位置 ").append(base::Digits(offset_)).append(u")");
  if (!detail_.empty()) text.append(u" ").append(detail_);
  return text;
}

}  // namespace tjvx::base
