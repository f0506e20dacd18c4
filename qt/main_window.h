#ifndef TJVX_QT_MAIN_WINDOW_H_
#define TJVX_QT_MAIN_WINDOW_H_

#include <QListWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "form/converter_form.h"
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

// The program's window in Qt: it builds the widgets, shows what the window's logic
// (form::ConverterForm) tells it and forwards every event to it.
class MainWindow : public QWidget, public form::ConverterView {
  Q_OBJECT

 public:
  // Message boxes go through this hook when it is set (tests script the answers); otherwise a
  // real message box is shown.
  using MessageBoxHook =
      std::function<int(std::u16string_view prompt, int style, std::u16string_view title)>;

  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  form::ConverterForm& logic() { return logic_; }
  void SetMessageBoxHook(MessageBoxHook hook) { message_box_hook_ = std::move(hook); }
  // The report dialog and the log window ask for the file to save to through this hook when it
  // is set (tests name the file); otherwise the save dialog asks.
  void SetSaveFileHook(SaveFileHook hook) { save_file_hook_ = std::move(hook); }

  // Start-up: centres the window on its screen, then the logic's start-up check; false when the
  // program is to end without showing the window.
  bool Start();

  // form::ConverterView.
  void SetText(form::TextControl control, std::u16string_view text) override;
  std::u16string Text(form::TextControl control) override;
  void FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) override;
  void ShowDrive(form::Side side, int index) override;
  void FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                      int current) override;
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override;
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
    return side == form::Side::kSource ? source_drive_list_ : destination_drive_list_;
  }
  FolderList* DirOf(form::Side side) const {
    return side == form::Side::kSource ? source_folder_list_ : destination_folder_list_;
  }
  QLineEdit* TextBox(form::TextControl control) const;
  // The constructor's steps, in their order: the widgets (which gives the tab order of the
  // boxes and lists), the layout and the explicit tab order of the buttons, then the events.
  void CreateFrames();
  void CreateMessageLines();
  void CreateButtons();
  void LayOut();
  void ConnectEvents();

  QGroupBox* source_frame_;
  QComboBox* source_drive_list_;
  FolderList* source_folder_list_;
  QLabel* source_label_;
  QLineEdit* source_folder_box_;
  QGroupBox* destination_frame_;
  QComboBox* destination_drive_list_;
  FolderList* destination_folder_list_;
  QLabel* destination_label_;
  QLineEdit* destination_box_;
  QGroupBox* message_frame_;
  QLabel* status_line_;
  QLabel* warnings_line_;
  QPushButton* convert_button_;
  QPushButton* check_button_;
  QPushButton* show_log_button_;
  QPushButton* close_button_;
  QWidget* decoration_;

  MessageBoxHook message_box_hook_;
  SaveFileHook save_file_hook_;
  bool hourglass_ = false;
  form::ConverterForm logic_;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_MAIN_WINDOW_H_
