#ifndef TJVX_QT_FORM1_WINDOW_H_
#define TJVX_QT_FORM1_WINDOW_H_

#include <QComboBox>
#include <QListWidget>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "convert/run.h"
#include "convert/site_registry.h"
#include "source/code_table.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tjvx::qt {

// The name of the program, the title of message boxes that bring none of their own.
inline constexpr std::u16string_view kProgramName = u"tjvx";
inline constexpr std::u16string_view kFormCaption = u"Tarvik_Jr -> User(Vx) 変換プログラム";
inline constexpr std::u16string_view kNoHelpFileMessage =
    u"ヘルプファイル Brevant.HLP が見つかりません。";
inline constexpr std::u16string_view kHelpFailedMessage = u"ヘルプを表示できませんでした。";

// The drive list: one entry per drive of the drive table, "C:" followed by where it leads.
class DriveList : public QComboBox {
  Q_OBJECT

 public:
  explicit DriveList(QWidget* parent = nullptr);

  // The chosen drive as "C:".
  std::u16string Drive() const;
  // Chooses the entry of `letter` without a change signal; false when the letter is not listed.
  bool ShowDrive(char16_t letter);

 signals:
  // The chosen entry changed, by the user or by the program.
  void Change();
};

// The classic folder list: the folders from the drive's root down to the current folder, each
// indented one step more, then the current folder's subfolders. Double-click or Enter on an entry
// makes it the current folder.
class FolderList : public QListWidget {
  Q_OBJECT

 public:
  // Each entry holds its folder's path (Windows form) and its level of indentation.
  static constexpr int kPathRole = Qt::UserRole;
  static constexpr int kLevelRole = Qt::UserRole + 1;

  explicit FolderList(QWidget* parent = nullptr);

  // The current folder in Windows form ("C:\DATA\B-12"; a drive's root as "C:\").
  const std::u16string& Path() const { return path_; }
  // Makes `path` (Windows form; "C:" means the root) the current folder and signals a change
  // when it differs. False, with nothing changed, when it is not an existing folder.
  bool SetPath(std::u16string_view path);
  // Reads the folders again.
  void Refresh();

 signals:
  void Change();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Open(QListWidgetItem* item);

  std::u16string path_;
};

// The program's window: source and destination folder selection, the message frame, the run and
// close buttons. It is the conversion run's host: the run reads the two path boxes and reports in
// Label3 and message boxes.
class Form1 : public QWidget, public convert::RunHost {
  Q_OBJECT

 public:
  // Message boxes go through this hook when it is set (tests script the answers); otherwise a
  // real message box is shown.
  using MessageBoxHook =
      std::function<int(std::u16string_view prompt, int style, std::u16string_view title)>;

  explicit Form1(QWidget* parent = nullptr);
  ~Form1() override;

  void SetMessageBoxHook(MessageBoxHook hook) { message_box_hook_ = std::move(hook); }

  // Start-up: centres the window, checks the pattern folder (false, after its message, when
  // there is none: the program ends without showing the window), finds the help file and fills
  // both path boxes from the folder lists.
  bool Form_Load();

  // Help for a context number: kHelpOnHelp or a context of the help file.
  void ShowHelp(int context);

  // RunHost.
  std::u16string Text1() override;
  std::u16string Text2() override;
  void SetLabel3(std::u16string_view text) override;
  void FocusText2SelectAll() override;
  void SetMousePointer(int pointer) override;
  int MsgBox(std::u16string_view prompt, int style, std::u16string_view title) override;

  const convert::SiteRegistry& registry() const { return registry_; }
  const std::optional<std::filesystem::path>& help_file() const { return help_file_; }

 public slots:
  void Dir1_Change();
  void Dir2_Change();
  void Drive1_Change();
  void Drive2_Change();
  void Command1_Click();
  void Command2_Click();

 private:
  // Drive list change: the folder list goes to the chosen drive, which is made current. When that
  // fails the list goes back to the remembered entry, whose own change handler then runs; a
  // failure there too stops, so a lost drive never loops.
  void DriveChange(DriveList* drive, FolderList* dir, int& remembered, bool& restoring);
  void DirChange(FolderList* dir, QLineEdit* text);

  QGroupBox* Frame1;
  DriveList* Drive1;
  FolderList* Dir1;
  QLabel* Label1;
  QLineEdit* Text1_;
  QGroupBox* Frame2;
  DriveList* Drive2;
  FolderList* Dir2;
  QLabel* Label2;
  QLineEdit* Text2_;
  QGroupBox* Frame3;
  QLabel* Label3;
  QPushButton* Command1;
  QPushButton* Command2;
  QWidget* Picture1;

  MessageBoxHook message_box_hook_;
  std::u16string pattern_folder_;  // with its trailing "\"
  convert::SiteRegistry registry_;
  std::optional<std::filesystem::path> help_file_;
  int drive1_index_ = 0;
  int drive2_index_ = 0;
  bool drive1_restoring_ = false;
  bool drive2_restoring_ = false;
  bool hourglass_ = false;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_FORM1_WINDOW_H_
