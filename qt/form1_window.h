#ifndef TJVX_QT_FORM1_WINDOW_H_
#define TJVX_QT_FORM1_WINDOW_H_

#include <QListWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "form/form1.h"
#include "form/view.h"
#include "qt/save_file.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tjvx::qt {

// The classic folder list: each entry indented by its level, with an open or closed folder icon.
// Double-click or Enter on an entry asks for it to be opened.
class FolderList : public QListWidget {
  Q_OBJECT

 public:
  // Each entry holds its folder's path (Windows form) and its level of indentation.
  static constexpr int kPathRole = Qt::UserRole;
  static constexpr int kLevelRole = Qt::UserRole + 1;

  explicit FolderList(QWidget* parent = nullptr);
  void Fill(const std::vector<form::FolderEntry>& entries, int current);

 signals:
  void Open(int row);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The program's window in Qt: it builds the widgets, shows what the window's logic (form::Form1)
// tells it and forwards every event to it.
class Form1Window : public QWidget, public form::Form1View {
  Q_OBJECT

 public:
  // Message boxes go through this hook when it is set (tests script the answers); otherwise a
  // real message box is shown.
  using MessageBoxHook =
      std::function<int(std::u16string_view prompt, int style, std::u16string_view title)>;

  explicit Form1Window(QWidget* parent = nullptr);
  ~Form1Window() override;

  form::Form1& logic() { return logic_; }
  void SetMessageBoxHook(MessageBoxHook hook) { message_box_hook_ = std::move(hook); }
  // The report dialog and the log window ask for the file to save to through this hook when it
  // is set (tests name the file); otherwise the save dialog asks.
  void SetSaveFileHook(SaveFileHook hook) { save_file_hook_ = std::move(hook); }

  // Start-up: centres the window on its screen, then the logic's start-up check; false when the
  // program is to end without showing the window.
  bool Form_Load();

  // form::Form1View.
  void SetText(form::TextControl control, std::u16string_view text) override;
  std::u16string Text(form::TextControl control) override;
  void FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) override;
  void ShowDrive(form::Side side, int index) override;
  void FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                      int current) override;
  int MsgBox(std::u16string_view prompt, int style, std::u16string_view title) override;
  void SetPointer(int pointer) override;
  void FocusAndSelectAll(form::TextControl control) override;
  void Close() override { close(); }
  void* NativeWindow() override;
  bool OpenDocument(const std::filesystem::path& file) override;
  void ShowCheckReport(const form::CheckReport& report) override;
  bool ShowLog(const form::LogDrawing& log, std::u16string_view name) override;
  void EnableButton(form::Button button, bool enabled) override;

 private:
  QComboBox* DriveOf(form::Side side) const {
    return side == form::Side::kSource ? Drive1 : Drive2;
  }
  FolderList* DirOf(form::Side side) const { return side == form::Side::kSource ? Dir1 : Dir2; }
  QLineEdit* TextBox(form::TextControl control) const;

  QGroupBox* Frame1;
  QComboBox* Drive1;
  FolderList* Dir1;
  QLabel* Label1;
  QLineEdit* Text1;
  QGroupBox* Frame2;
  QComboBox* Drive2;
  FolderList* Dir2;
  QLabel* Label2;
  QLineEdit* Text2;
  QGroupBox* Frame3;
  QLabel* Label3;
  QLabel* Label4;
  QPushButton* Command1;
  QPushButton* Command3;
  QPushButton* Command4;
  QPushButton* Command2;
  QWidget* Picture1;

  MessageBoxHook message_box_hook_;
  SaveFileHook save_file_hook_;
  bool hourglass_ = false;
  form::Form1 logic_;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_FORM1_WINDOW_H_
