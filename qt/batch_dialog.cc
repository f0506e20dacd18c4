#include "qt/batch_dialog.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "qt/report_dialog.h"
#include "qt/text.h"

namespace tjvx::qt {
namespace {

QColor Colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

constexpr int Column(form::BatchColumn column) { return static_cast<int>(column); }

}  // namespace

BatchDialog::BatchDialog(const form::SiteBatchSetup& setup, DialogServices services,
                         QWidget* parent)
    : QDialog(parent), services_(std::move(services)), logic_(*this, setup, [this] {
        // From a worker: the results are shown on the window's thread, when its loop comes by.
        QMetaObject::invokeMethod(
            this, [this] { logic_.Deliver(); }, Qt::QueuedConnection);
      }) {
  setObjectName(QStringLiteral("BatchDialog"));
  setWindowTitle(Q(logic_.Title()));
  MakeList();
  MakeControls();
  LayOut();
  resize(800, 560);
  Connect();
}

void BatchDialog::MakeList() {
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("BatchList"));
  list_->setColumnCount(static_cast<int>(form::kBatchColumnCount));
  QStringList headings;
  for (std::u16string_view heading : form::kBatchHeadings) headings << Q(heading);
  list_->setHeaderLabels(headings);
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->header()->setSectionsClickable(true);
  list_->header()->setStretchLastSection(true);
  list_->setColumnWidth(Column(form::BatchColumn::kFolder), 150);
  for (form::BatchColumn count :
       {form::BatchColumn::kErrors, form::BatchColumn::kWarnings, form::BatchColumn::kNotices}) {
    list_->setColumnWidth(Column(count), 56);
  }
  list_->setColumnWidth(Column(form::BatchColumn::kOutcome), 64);
}

void BatchDialog::MakeControls() {
  auto make_button = [this](const char* name, std::u16string_view caption) {
    auto* button = new QPushButton(Q(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(96);
    button->setAutoDefault(false);
    return button;
  };
  select_all_button_ = make_button("SelectAllButton", form::kSelectAllCaption);
  select_none_button_ = make_button("SelectNoneButton", form::kSelectNoneCaption);
  report_button_ = make_button("BatchReportButton", form::kBatchReportCaption);
  log_button_ = make_button("BatchLogButton", form::kBatchLogCaption);
  convert_button_ = make_button("BatchConvertButton", form::kBatchConvertCaption);
  cancel_button_ = make_button("BatchCancelButton", form::kBatchCancelCaption);
  close_button_ = make_button("BatchCloseButton", form::kBatchCloseCaption);

  detail_ = new QPlainTextEdit(this);
  detail_->setObjectName(QStringLiteral("BatchDetail"));
  detail_->setReadOnly(true);
  detail_->setFixedHeight(detail_->fontMetrics().lineSpacing() * 4 + 12);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("BatchProgress"));
  progress_->setFormat(QStringLiteral("%v / %m"));
  status_line_ = new QLabel(this);
  status_line_->setObjectName(QStringLiteral("BatchStatus"));
  status_line_->setTextFormat(Qt::PlainText);
  summary_line_ = new QLabel(this);
  summary_line_->setObjectName(QStringLiteral("BatchSummary"));
  summary_line_->setTextFormat(Qt::PlainText);
}

// The list above; under it the buttons that choose and open, the detail pane, the progress bar
// with the line of what is going on, and the summary beside convert, cancel and close.
void BatchDialog::LayOut() {
  auto* choosing = new QHBoxLayout;
  for (QPushButton* button : {select_all_button_, select_none_button_}) choosing->addWidget(button);
  choosing->addStretch(1);
  for (QPushButton* button : {report_button_, log_button_}) choosing->addWidget(button);
  auto* running = new QHBoxLayout;
  running->addWidget(progress_, 1);
  running->addWidget(status_line_, 2);
  auto* closing = new QHBoxLayout;
  closing->addWidget(summary_line_, 1);
  for (QPushButton* button : {convert_button_, cancel_button_, close_button_}) {
    closing->addWidget(button);
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_, 1);
  layout->addLayout(choosing);
  layout->addWidget(detail_);
  layout->addLayout(running);
  layout->addLayout(closing);
  // The tab order: the list, the buttons that choose and open, the pane, then convert, cancel
  // and close.
  setTabOrder(list_, select_all_button_);
  setTabOrder(select_all_button_, select_none_button_);
  setTabOrder(select_none_button_, report_button_);
  setTabOrder(report_button_, log_button_);
  setTabOrder(log_button_, detail_);
  setTabOrder(detail_, convert_button_);
  setTabOrder(convert_button_, cancel_button_);
  setTabOrder(cancel_button_, close_button_);
}

void BatchDialog::Connect() {
  list_->installEventFilter(this);
  connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
    if (column != Column(form::BatchColumn::kFolder)) return;
    logic_.OnTickChanged(list_->indexOfTopLevelItem(item), item->checkState(column) == Qt::Checked);
  });
  connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    logic_.OnRowSelected(item == nullptr ? -1 : list_->indexOfTopLevelItem(item));
  });
  connect(list_, &QTreeWidget::itemActivated, this, [this] { logic_.OnReportClicked(); });
  connect(list_->header(), &QHeaderView::sectionClicked, this,
          [this](int section) { logic_.OnSortClicked(static_cast<form::BatchColumn>(section)); });
  connect(select_all_button_, &QPushButton::clicked, this, [this] { logic_.OnSelectAllClicked(); });
  connect(select_none_button_, &QPushButton::clicked, this,
          [this] { logic_.OnSelectNoneClicked(); });
  connect(report_button_, &QPushButton::clicked, this, [this] { logic_.OnReportClicked(); });
  connect(log_button_, &QPushButton::clicked, this, [this] { logic_.OnShowLogClicked(); });
  connect(convert_button_, &QPushButton::clicked, this, [this] { logic_.OnConvertClicked(); });
  connect(cancel_button_, &QPushButton::clicked, this, [this] { logic_.OnCancelClicked(); });
  connect(close_button_, &QPushButton::clicked, this, &BatchDialog::reject);
}

BatchDialog::~BatchDialog() { logic_.Stop(); }

bool BatchDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == list_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && list_->currentItem() != nullptr) {
    QTreeWidgetItem* item = list_->currentItem();
    logic_.OnTickChanged(list_->indexOfTopLevelItem(item),
                         item->checkState(Column(form::BatchColumn::kFolder)) != Qt::Checked);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void BatchDialog::reject() {
  logic_.Stop();
  QDialog::reject();
}

void BatchDialog::Paint(QTreeWidgetItem* item, const form::BatchRow& row) {
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  for (size_t column = 0; column < form::kBatchColumnCount; ++column) {
    item->setText(static_cast<int>(column), Q(row.cells[column]));
  }
  for (form::BatchColumn count :
       {form::BatchColumn::kErrors, form::BatchColumn::kWarnings, form::BatchColumn::kNotices}) {
    item->setTextAlignment(Column(count), Qt::AlignRight | Qt::AlignVCenter);
  }
  item->setCheckState(Column(form::BatchColumn::kFolder), row.ticked ? Qt::Checked : Qt::Unchecked);
  // Without a colour of its own a row has the list's.
  const QVariant text = row.colours.text ? QVariant(QBrush(Colour(*row.colours.text))) : QVariant();
  const QVariant ground =
      row.colours.ground ? QVariant(QBrush(Colour(*row.colours.ground))) : QVariant();
  for (int column = 0; column < static_cast<int>(form::kBatchColumnCount); ++column) {
    item->setData(column, Qt::ForegroundRole, text);
    item->setData(column, Qt::BackgroundRole, ground);
  }
}

void BatchDialog::ShowRows(const std::vector<form::BatchRow>& rows, int selected) {
  const QSignalBlocker blocker(list_);
  list_->clear();
  for (const form::BatchRow& row : rows) Paint(new QTreeWidgetItem(list_), row);
  if (selected >= 0 && selected < list_->topLevelItemCount()) {
    list_->setCurrentItem(list_->topLevelItem(selected));
  }
}

void BatchDialog::ShowRow(int position, const form::BatchRow& row) {
  if (position < 0 || position >= list_->topLevelItemCount()) return;
  const QSignalBlocker blocker(list_);
  Paint(list_->topLevelItem(position), row);
}

void BatchDialog::SetText(form::BatchText text, std::u16string_view value) {
  switch (text) {
    case form::BatchText::kStatus:
      status_line_->setText(Q(value));
      break;
    case form::BatchText::kSummary:
      summary_line_->setText(Q(value));
      break;
    case form::BatchText::kDetail:
      detail_->setPlainText(Q(value));
      break;
  }
}

void BatchDialog::SetProgress(int done, int total) {
  progress_->setRange(0, total);
  progress_->setValue(done);
}

QPushButton* BatchDialog::ButtonOf(form::BatchButton button) const {
  switch (button) {
    case form::BatchButton::kSelectAll:
      return select_all_button_;
    case form::BatchButton::kSelectNone:
      return select_none_button_;
    case form::BatchButton::kReport:
      return report_button_;
    case form::BatchButton::kShowLog:
      return log_button_;
    case form::BatchButton::kConvert:
      return convert_button_;
    case form::BatchButton::kCancel:
      break;
  }
  return cancel_button_;
}

void BatchDialog::EnableButton(form::BatchButton button, bool enabled) {
  ButtonOf(button)->setEnabled(enabled);
}

int BatchDialog::ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) {
  return services_.show_message(this, prompt, style, title);
}

void BatchDialog::ShowCheckReport(const form::CheckReport& report) {
  ReportDialog dialog(report, services_.save_file, this);
  dialog.exec();
}

bool BatchDialog::ShowLog(const form::LogDrawing& log, std::u16string_view name) {
  return services_.show_log(this, log, name);
}

}  // namespace tjvx::qt
