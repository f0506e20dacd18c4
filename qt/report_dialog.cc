#include "qt/report_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "form/converter_form.h"
#include "form/report_table.h"
#include "qt/text.h"

namespace tjvx::qt {
namespace {

QColor Colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

}  // namespace

ReportList::ReportList(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(form::kReportColumnCount);
  QStringList headings;
  for (std::u16string_view heading : form::kReportHeadings) headings << Q(heading);
  setHeaderLabels(headings);
  setRootIsDecorated(false);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setAllColumnsShowFocus(true);
  setAlternatingRowColors(false);
  header()->setStretchLastSection(true);
}

void ReportList::Fill(const std::vector<form::CheckReport::Line>& lines) {
  clear();
  // Each row with the message box's icon of its severity, and the colours of its severity.
  const QIcon error_icon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
  const QIcon warning_icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
  const QIcon notice_icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
  for (const form::CheckReport::Line& line : lines) {
    auto* item = new QTreeWidgetItem(this);
    for (int column = 0; column < form::kReportColumnCount; ++column) {
      item->setText(column, Q(form::ReportCell(line, static_cast<form::ReportColumn>(column))));
    }
    item->setTextAlignment(kLine, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(kMessage, Q(line.text));
    item->setData(kSeverity, kLineRole, Q(line.text));
    switch (line.severity) {
      case base::Severity::kError:
        item->setIcon(kSeverity, error_icon);
        break;
      case base::Severity::kWarning:
        item->setIcon(kSeverity, warning_icon);
        break;
      case base::Severity::kNotice:
        item->setIcon(kSeverity, notice_icon);
        break;
    }
    const form::RowColours colours = form::ReportRowColours(line.severity);
    for (int column = 0; column < columnCount(); ++column) {
      if (colours.text) item->setForeground(column, Colour(*colours.text));
      if (colours.ground) item->setBackground(column, Colour(*colours.ground));
    }
  }
  for (int column : {kSeverity, kFile, kLine}) resizeColumnToContents(column);
  setColumnWidth(kLine, columnWidth(kLine) + form::kLineColumnGap);
  if (topLevelItemCount() > 0) setCurrentItem(topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
}

QString ReportList::SelectedLines() const {
  QString text;
  for (int row = 0; row < topLevelItemCount(); ++row) {
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item->isSelected()) text += item->data(kSeverity, kLineRole).toString() + u'\n';
  }
  return text;
}

void ReportList::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    if (const QString lines = SelectedLines(); !lines.isEmpty()) {
      QGuiApplication::clipboard()->setText(lines);
    }
    event->accept();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

ReportDialog::ReportDialog(const form::CheckReport& report, SaveFileHook save_hook, QWidget* parent)
    : QDialog(parent),
      text_(Q(report.text)),
      file_name_(Q(report.file_name)),
      save_hook_(std::move(save_hook)) {
  setObjectName(QStringLiteral("ReportDialog"));
  setWindowTitle(Q(report.title));

  auto* list = new ReportList(this);
  list->setObjectName(QStringLiteral("List"));
  list->Fill(report.lines);
  auto* summary = new QLabel(Q(report.summary), this);
  summary->setObjectName(QStringLiteral("Summary"));
  summary->setTextFormat(Qt::PlainText);
  summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  summary->setWordWrap(true);

  auto* copy = new QPushButton(Q(form::kCopyCaption), this);
  copy->setObjectName(QStringLiteral("Copy"));
  copy->setToolTip(QStringLiteral("点検結果の全文をクリップボードにコピーします"));
  auto* save = new QPushButton(Q(form::kSaveCaption), this);
  save->setObjectName(QStringLiteral("Save"));
  save->setToolTip(QStringLiteral("点検結果の全文をテキストファイル (UTF-8) に保存します"));
  auto* close = new QPushButton(Q(form::kCloseDialogCaption), this);
  close->setObjectName(QStringLiteral("Close"));
  close->setDefault(true);
  for (QPushButton* button : {copy, save, close}) button->setMinimumWidth(96);
  connect(copy, &QPushButton::clicked, this, &ReportDialog::CopyReport);
  connect(save, &QPushButton::clicked, this, &ReportDialog::SaveReport);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(copy);
  buttons->addWidget(save);
  buttons->addStretch(1);
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list, 1);
  layout->addWidget(summary);
  layout->addLayout(buttons);

  // Wide enough for the longest message where the screen allows, tall enough for the rows.
  list->resizeColumnToContents(ReportList::kMessage);
  int width = 0;
  for (int column = 0; column < list->columnCount(); ++column) width += list->columnWidth(column);
  const int row_height = list->sizeHintForRow(0) > 0 ? list->sizeHintForRow(0) : 20;
  const int rows = static_cast<int>(report.lines.size());
  QSize size(width + 48, list->header()->sizeHint().height() + (rows + 1) * row_height +
                             summary->sizeHint().height() + copy->sizeHint().height() + 64);
  const QRect screen =
      (parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen())
          ->availableGeometry();
  size = size.expandedTo(QSize(640, 320)).boundedTo(screen.size() * 0.85);
  resize(size);
  list->setFocus();
}

void ReportDialog::CopyReport() { QGuiApplication::clipboard()->setText(text_); }

bool ReportDialog::SaveReport() {
  const QString path =
      AskSaveFile(this, save_hook_, Q(form::kSaveReportTitle), file_name_,
                  QStringLiteral("テキスト ファイル (*.txt);;すべてのファイル (*)"));
  if (path.isEmpty()) return false;
  return SaveBytes(this, path, text_.toUtf8());
}

}  // namespace tjvx::qt
