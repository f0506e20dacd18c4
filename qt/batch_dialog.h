#ifndef TJVX_QT_BATCH_DIALOG_H_
#define TJVX_QT_BATCH_DIALOG_H_

#include <QDialog>
#include <functional>
#include <string_view>
#include <vector>

#include "form/site_batch.h"
#include "form/site_batch_view.h"
#include "qt/save_file.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tjvx::qt {

// What the site dialog borrows from the main window: its message boxes (with the tests' hook),
// its log window and its save dialog, each over the widget given.
struct DialogServices {
  std::function<int(QWidget* over, std::u16string_view prompt, int style,
                    std::u16string_view title)>
      show_message;
  std::function<bool(QWidget* over, const form::LogDrawing& log, std::u16string_view name)>
      show_log;
  SaveFileHook save_file;
};

// The site dialog in Qt: the list of a site's borehole folders with their tick boxes, check
// counts and outcomes, the detail pane, the progress bar, and the buttons. It draws what its logic
// (form::SiteBatchForm) tells it and forwards every event to it; the logic's workers wake it
// through queued calls.
class BatchDialog : public QDialog, public form::SiteBatchView {
  Q_OBJECT

 public:
  BatchDialog(const form::SiteBatchSetup& setup, DialogServices services,
              QWidget* parent = nullptr);
  // Stops the logic's workers first.
  ~BatchDialog() override;

  form::SiteBatchForm& logic() { return logic_; }
  // Lists and checks the site's folders; the rows fill in as the checks come.
  void Start() { logic_.Start(); }

  // Closing waits for the folders in flight and starts no more.
  void reject() override;

 protected:
  // The space bar in the list ticks or unticks the chosen row, whichever column it is in.
  bool eventFilter(QObject* watched, QEvent* event) override;

 public:
  // form::SiteBatchView.
  void ShowRows(const std::vector<form::BatchRow>& rows, int selected) override;
  void ShowRow(int position, const form::BatchRow& row) override;
  void SetText(form::BatchText text, std::u16string_view value) override;
  void SetProgress(int done, int total) override;
  void EnableButton(form::BatchButton button, bool enabled) override;
  int ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) override;
  void ShowCheckReport(const form::CheckReport& report) override;
  bool ShowLog(const form::LogDrawing& log, std::u16string_view name) override;

 private:
  // The constructor's steps.
  void MakeList();
  void MakeControls();
  void LayOut();
  void Connect();
  void Paint(QTreeWidgetItem* item, const form::BatchRow& row);
  QPushButton* ButtonOf(form::BatchButton button) const;

  DialogServices services_;
  QTreeWidget* list_;
  QPushButton* select_all_button_;
  QPushButton* select_none_button_;
  QPushButton* report_button_;
  QPushButton* log_button_;
  QPlainTextEdit* detail_;
  QProgressBar* progress_;
  QLabel* status_line_;
  QLabel* summary_line_;
  QPushButton* convert_button_;
  QPushButton* cancel_button_;
  QPushButton* close_button_;
  form::SiteBatchForm logic_;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_BATCH_DIALOG_H_
