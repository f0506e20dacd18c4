#ifndef TJVX_FORM_CONVERTER_FORM_H_
#define TJVX_FORM_CONVERTER_FORM_H_

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/run.h"
#include "convert/site_registry.h"
#include "form/view.h"

namespace tjvx::form {

// The name of the program, the title of message boxes that bring none of their own.
inline constexpr std::u16string_view kProgramName = u"tjvx";

// The captions of the window, the same in every window that shows it.
inline constexpr std::u16string_view kWindowCaption = u"Tarvik_Jr -> User(Vx) 変換プログラム";
inline constexpr std::u16string_view kSourceFrameCaption = u"変換元フォルダ選択";
inline constexpr std::u16string_view kDestinationFrameCaption = u"変換先フォルダ名選択";
inline constexpr std::u16string_view kMessageFrameCaption = u"メッセージ";
inline constexpr std::u16string_view kSourceLabelCaption = u"変換元フォルダ名：";
inline constexpr std::u16string_view kDestinationLabelCaption = u"変換先フォルダ名 ：";
inline constexpr std::u16string_view kConvertCaption = u"実  行";
inline constexpr std::u16string_view kCloseCaption = u"終  了";
inline constexpr std::u16string_view kCheckCaption = u"点  検";
inline constexpr std::u16string_view kShowLogCaption = u"柱状図";
inline constexpr std::u16string_view kReportTitle = u"点検結果";
inline constexpr std::u16string_view kLogTitle = u"柱状図";

// The report dialog's buttons and the title of the dialog that asks where to save the report.
inline constexpr std::u16string_view kCopyCaption = u"コピー";
inline constexpr std::u16string_view kSaveCaption = u"保存...";
inline constexpr std::u16string_view kCloseDialogCaption = u"閉じる";
inline constexpr std::u16string_view kSaveReportTitle = u"点検結果の保存";

// Messages of the windows, each followed by the file on a line of its own.
inline constexpr std::u16string_view kSaveFailedMessage = u"ファイルを保存できませんでした。";
inline constexpr std::u16string_view kLogOpenFailedMessage = u"柱状図を開けませんでした。";

inline constexpr std::u16string_view kNoManualMessage =
    u"ヘルプファイル Brevant.HLP もマニュアル manual.html も見つかりません。";
inline constexpr std::u16string_view kHelpFailedMessage = u"ヘルプを表示できませんでした。";

// The window's logic: the state behind the controls and every handler, talking to the window
// through a ConverterView. It is the conversion run's host: the run reads the two path boxes and
// reports in the status line and message boxes.
class ConverterForm : public convert::RunHost {
 public:
  explicit ConverterForm(ConverterView& view);

  // Fills both drive lists and points both folder lists at the working folder, or at the first
  // drive whose root can be read when the working folder lies on no drive of the list. The path
  // boxes stay empty until Start.
  void FillLists();
  // Start-up: checks the pattern folder (false, after its message, when there is none: the
  // program ends without showing the window), finds the help file and fills both path boxes from
  // the folder lists.
  bool Start();

  // A drive list's chosen entry changed to `index`: the folder list goes to the drive, which is
  // made current. When that fails the list goes back to the entry chosen before, whose change is
  // then handled in turn; a failure there too stops, so a lost drive never loops.
  void OnDriveChanged(Side side, int index);
  // Double-click or Enter on entry `row` of a folder list: that folder becomes the current one.
  void OnFolderOpened(Side side, int row);
  // The run button and the close button.
  void OnConvertClicked();
  void OnCloseClicked();
  // The check button: the source folder is read as a run would read it, nothing is written, and
  // the findings are shown in the report dialog.
  void OnCheckClicked();
  // The log button, enabled after a successful run: the converted file just made is drawn.
  void OnShowLogClicked();
  // The converted file the log button draws; empty before a successful run.
  const std::u16string& last_converted() const { return last_converted_; }
  // Help for a context number: platform::kHelpContents (F1) or platform::kHelpOnHelp. With the
  // help file Brevant.HLP it is asked for that context; without it the program's own manual opens
  // in the browser.
  void ShowHelp(int context);

  // Makes `path` (Windows form; "C:" means the root) the current folder of a folder list; when it
  // differs from the one before, the path box of that side shows it and it becomes the working
  // folder. False, with nothing changed, when it is not an existing folder.
  bool SetFolder(Side side, std::u16string_view path);
  // The current folder of a folder list ("C:\DATA\B-12"; a drive's root as "C:\").
  const std::u16string& Folder(Side side) const { return Of(side).folder; }
  const std::vector<FolderEntry>& FolderEntries(Side side) const { return Of(side).entries; }
  const std::vector<DriveEntry>& DriveEntries(Side side) const { return Of(side).drives; }
  int DriveIndex(Side side) const { return Of(side).drive_index; }

  const convert::SiteRegistry& registry() const { return registry_; }
  const std::optional<std::filesystem::path>& help_file() const { return help_file_; }
  const std::optional<std::filesystem::path>& manual() const { return manual_; }
  // Replaces the help file and the manual that start-up found.
  void SetHelpFiles(std::optional<std::filesystem::path> help_file,
                    std::optional<std::filesystem::path> manual) {
    help_file_ = std::move(help_file);
    manual_ = std::move(manual);
  }

  // The run's host.
  std::u16string SourceFolder() override { return view_.Text(TextControl::kSourceFolderBox); }
  std::u16string Destination() override { return view_.Text(TextControl::kDestinationBox); }
  void SetStatus(std::u16string_view text) override {
    view_.SetText(TextControl::kStatusLine, text);
  }
  void FocusDestination() override { view_.FocusAndSelectAll(TextControl::kDestinationBox); }
  void SetPointer(int pointer) override;
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override {
    return view_.ShowMessage(prompt, style, title);
  }

 private:
  struct SideState {
    std::vector<DriveEntry> drives;
    int drive_index = -1;  // the entry shown
    int remembered = -1;   // the last entry whose drive could be opened
    bool restoring = false;
    std::u16string folder;
    std::vector<FolderEntry> entries;
  };
  SideState& Of(Side side) { return sides_[static_cast<size_t>(side)]; }
  const SideState& Of(Side side) const { return sides_[static_cast<size_t>(side)]; }

  // SetFolder without the path box and working folder, for the lists' first filling.
  bool MoveFolderList(Side side, std::u16string_view path, bool* changed);
  // Reads the folder list's entries again and shows them.
  void RefreshFolderList(Side side);
  void ShowDriveOf(Side side);

  ConverterView& view_;
  std::array<SideState, 2> sides_;
  std::u16string pattern_folder_;  // with its trailing "\"
  convert::SiteRegistry registry_;
  std::optional<std::filesystem::path> help_file_;
  std::optional<std::filesystem::path> manual_;
  bool hourglass_ = false;
  std::u16string last_converted_;
};

}  // namespace tjvx::form

#endif  // TJVX_FORM_CONVERTER_FORM_H_
