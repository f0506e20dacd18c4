#ifndef TJVX_CONVERT_RUN_H_
#define TJVX_CONVERT_RUN_H_

#include <string>
#include <string_view>
#include <vector>

#include "base/message_host.h"
#include "convert/site_registry.h"
#include "source/code_table.h"

namespace tjvx::convert {

// The user of a conversion run: the window, the command line or a test.
class RunHost : public base::MessageHost {
 public:
  // The source folder path box and the destination folder path box.
  virtual std::u16string SourceFolder() = 0;
  virtual std::u16string Destination() = 0;
  // The message frame's status line.
  virtual void SetStatus(std::u16string_view text) = 0;
  // Puts the focus into the destination box and selects all its text.
  virtual void FocusDestination() = 0;
  // kPointerHourglass while the run works, kPointerDefault after.
  virtual void SetPointer(int pointer) = 0;
  // Whether the two paths are taken exactly as given (the command line) rather than trimmed of
  // blanks as a typed box is (the window).
  virtual bool PathsTakenAsGiven() const { return false; }
  // The other source folders of the batch this run belongs to (Windows form): the converted file
  // never takes the place of one of their files either.
  virtual std::vector<std::u16string> BatchSourceFolders() const { return {}; }
};

inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;

inline constexpr std::u16string_view kBusyText = u"只今変換中！　しばらくお待ちください。";
inline constexpr std::u16string_view kDoneText = u"変換が正常に終了しました。";
inline constexpr std::u16string_view kBadPathMessage = u"指定されたパスは正しくありません。";
inline constexpr std::u16string_view kNoSourceMessage = u"変換元ファイルが選択されていません。";
inline constexpr std::u16string_view kNoDestinationMessage =
    u"変換先フォルダが選択されていません。";
inline constexpr std::u16string_view kCreateFolderQuestion =
    u"フォルダがありません。新規作成しますか？";
inline constexpr std::u16string_view kSameNameFolderMessage =
    u"出力ファイルと同名のフォルダが存在する為に変換できません。";
inline constexpr std::u16string_view kSourceMissingMessage =
    u"変換元フォルダが存在しない為に変換できません。";
inline constexpr std::u16string_view kSourceRootMessage =
    u"変換元フォルダにドライブのルートは指定できません。";
inline constexpr std::u16string_view kSourceNameEndMessage =
    u"変換元フォルダ名が空白またはピリオドで終わっている為に変換できません。";
inline constexpr std::u16string_view kSourceUnreadableMessage =
    u"変換元フォルダを読み込めない為に変換できません。";
inline constexpr std::u16string_view kSameNameSpecialFileMessage =
    u"出力ファイルと同名の特殊ファイル (パイプ、ソケット、デバイス) が存在する為に変換できません。";
inline constexpr std::u16string_view kOverwritesInputMessage =
    u"出力ファイルが変換元のファイルと同じ為に変換できません。";

enum class RunOutcome {
  kConverted,  // the converted file is in place
  kRefused,    // a check or the user stopped the run before anything was written
  kFailed,     // a failure after the checks; no converted file was written
};

struct RunResult {
  RunOutcome outcome;
  std::u16string message;         // the message box text of a refusal or failure
  std::u16string converted_file;  // the converted file's path (Windows form), once known
  size_t warnings = 0;            // source values the converted file does not hold as they stand
};

// How many threads one run may use. With two, the record groups from 3000 on are made on a second
// thread while the first makes the depth list, header, site and note records; a batch that
// converts several boreholes at once gives each run one.
enum class RunThreads { kOne, kTwo };

// One conversion run, from the run button's click to the finished converted file: checks the
// destination, walks and (after one "Yes") creates its missing folders, refuses a folder bearing
// the converted file's name, then writes the header and every record group in their fixed order.
// It reads the two path boxes from `host` and reports through it. The source folder is only read.
// `registry` may be null when nobody keeps the sites of the session. The converted file and the
// message of a failure are the same with one thread or two.
RunResult RunConversion(RunHost& host, source::PatternTables& tables, SiteRegistry* registry,
                        RunThreads threads = RunThreads::kTwo);

}  // namespace tjvx::convert

#endif  // TJVX_CONVERT_RUN_H_
