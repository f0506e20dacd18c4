#ifndef TJVX_QT_REPORT_DIALOG_H_
#define TJVX_QT_REPORT_DIALOG_H_

#include <QDialog>
#include <QTreeWidget>

#include "form/report_table.h"
#include "form/view.h"
#include "qt/save_file.h"

class QKeyEvent;

namespace tjvx::qt {

// The findings of a check, one row each: severity (icon, word and colour), file, line and the
// message. Ctrl+C copies the selected rows as the report writes them, one a line.
class ReportList : public QTreeWidget {
  Q_OBJECT

 public:
  // Each row holds its finding's whole line of the report, as copied.
  static constexpr int kLineRole = Qt::UserRole;
  enum Column {
    kSeverity = form::kSeverityColumn,
    kFile = form::kFileColumn,
    kLine = form::kLineColumn,
    kMessage = form::kMessageColumn
  };

  explicit ReportList(QWidget* parent = nullptr);
  void Fill(const std::vector<form::CheckReport::Line>& lines);
  // The selected rows' report lines in the list's order, each ended by a line break.
  QString SelectedLines() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

// The check's report: the list of findings, the counts under it, and buttons to copy the whole
// report, save it as a UTF-8 text file, and close.
class ReportDialog : public QDialog {
  Q_OBJECT

 public:
  ReportDialog(const form::CheckReport& report, SaveFileHook save_hook, QWidget* parent = nullptr);

  // The コピー button: the whole report to the clipboard.
  void CopyReport();
  // The 保存... button: asks for a file (a .txt named after the folder) and writes the whole
  // report to it in UTF-8. False when cancelled or not written.
  bool SaveReport();

 private:
  QString text_;
  QString file_name_;
  SaveFileHook save_hook_;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_REPORT_DIALOG_H_
