#include "qt/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QUrl>
#include <QVBoxLayout>

#include "base/message_host.h"
#include "convert/run.h"
#include "form/file_names.h"
#include "form/look.h"
#include "platform/help.h"
#include "qt/report_dialog.h"
#include "qt/text.h"
#ifdef TJVX_HAVE_QT_SVG
#include "qt/log_window.h"
#endif

namespace tjvx::qt {
namespace {

QColor Colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

QMessageBox::Icon BoxIcon(base::MessageIcon icon) {
  switch (icon) {
    case base::MessageIcon::kNone:
      break;
    case base::MessageIcon::kStop:
      return QMessageBox::Critical;
    case base::MessageIcon::kQuestion:
      return QMessageBox::Question;
    case base::MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case base::MessageIcon::kInformation:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

Qt::BrushStyle Pattern(form::LayerFill fill) {
  switch (fill) {
    case form::LayerFill::kSolid:
      break;
    case form::LayerFill::kSparseDots:
      return Qt::Dense6Pattern;
    case form::LayerFill::kHorizontalLines:
      return Qt::HorPattern;
    case form::LayerFill::kDots:
      return Qt::Dense5Pattern;
    case form::LayerFill::kCrossHatch:
      return Qt::DiagCrossPattern;
  }
  return Qt::SolidPattern;
}

// The decoration (form::kDecoration): a borehole column of coloured layers beside a depth scale.
class BoreholeDecoration : public QWidget {
 public:
  explicit BoreholeDecoration(QWidget* parent) : QWidget(parent) {
    setFixedSize(form::kDecoration.width, form::kDecoration.height);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    const form::Decoration& plan = form::kDecoration;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Colour(plan.ground));
    // Ground, then the layers cut by the borehole.
    const int column_top = plan.column_top;
    const int left = plan.column_left;
    const int width = plan.column_width;
    int top = column_top;
    for (const form::DecorationLayer& layer : plan.layers) {
      QRect band(left, top, width, layer.height);
      const QColor colour = Colour(layer.colour);
      painter.fillRect(band, colour.lighter(130));
      painter.fillRect(band, QBrush(colour, Pattern(layer.fill)));
      top += layer.height;
    }
    painter.setPen(QPen(Colour(plan.outline), 1));
    painter.drawRect(left, column_top, width, top - column_top);
    // The borehole itself.
    const int hole = plan.borehole_half_width;
    painter.fillRect(QRect(left + width / 2 - hole, column_top, 2 * hole, top - column_top),
                     Colour(plan.borehole));
    // The depth scale with a tick every layer.
    painter.drawLine(plan.scale_x, column_top, plan.scale_x, top);
    int tick = column_top;
    for (const form::DecorationLayer& layer : plan.layers) {
      painter.drawLine(plan.tick_left, tick, plan.tick_right, tick);
      tick += layer.height;
    }
    painter.drawLine(plan.tick_left, top, plan.tick_right, top);
    // The drilling rig above ground, shrunk to a mark.
    const int right = left + width;
    painter.setBrush(Colour(plan.rig));
    painter.drawPolygon(
        QPolygon({QPoint(right + plan.rig_base_left, top), QPoint(right + plan.rig_base_right, top),
                  QPoint(right + plan.rig_apex, plan.rig_apex_top)}));
  }
};

// Draws a folder list entry indented by its level, icon and all, as the classic list does.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kStep = form::kFolderIndent;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem indented(option);
    indented.rect.adjust(index.data(FolderList::kLevelRole).toInt() * kStep, 0, 0, 0);
    QStyledItemDelegate::paint(painter, indented, index);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += index.data(FolderList::kLevelRole).toInt() * kStep;
    return size;
  }
};

QGroupBox* MakeFrame(QWidget* parent, const char* name, std::u16string_view caption) {
  auto* frame = new QGroupBox(Q(caption), parent);
  frame->setObjectName(QString::fromLatin1(name));
  return frame;
}

QLabel* MakeLabel(QWidget* parent, const char* name, std::u16string_view caption) {
  auto* label = new QLabel(Q(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, std::u16string_view caption) {
  auto* button = new QPushButton(Q(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setMinimumSize(100, 32);
  return button;
}

// Each frame holds its side's drive list, folder list, label and path box, named after the side.
void FillSideFrame(QGroupBox* frame, QComboBox*& drive, FolderList*& dir, QLabel*& label,
                   QLineEdit*& text, const QString& side, const QString& box,
                   std::u16string_view caption) {
  drive = new QComboBox(frame);
  drive->setObjectName(side + QStringLiteral("DriveList"));
  dir = new FolderList(frame);
  dir->setObjectName(side + QStringLiteral("FolderList"));
  dir->setMinimumSize(260, 200);
  label = MakeLabel(frame, "", caption);
  label->setObjectName(side + QStringLiteral("Label"));
  text = new QLineEdit(frame);
  text->setObjectName(box);
  auto* layout = new QVBoxLayout(frame);
  layout->addWidget(drive);
  layout->addWidget(dir, 1);
  layout->addWidget(label);
  layout->addWidget(text);
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  connect(this, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* item) { emit Open(row(item)); });
}

void FolderList::Fill(const std::vector<form::FolderEntry>& entries, int current) {
  clear();
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  for (const form::FolderEntry& entry : entries) {
    auto* item = new QListWidgetItem(entry.open ? open_icon : closed_icon, Q(entry.caption), this);
    item->setData(kPathRole, Q(entry.path));
    item->setData(kLevelRole, entry.level);
  }
  if (current >= 0) setCurrentRow(current);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    emit Open(currentRow());
    return;
  }
  QListWidget::keyPressEvent(event);
}

MainWindow::MainWindow(QWidget* parent) : QWidget(parent), logic_(*this) {
  setObjectName(QStringLiteral("MainWindow"));
  setWindowTitle(Q(form::kWindowCaption));
  CreateFrames();
  CreateMessageLines();
  CreateButtons();
  LayOut();
  logic_.FillLists();
  // Events go to the logic from here on; the lists' first filling above reported nothing.
  ConnectEvents();
}

void MainWindow::CreateFrames() {
  source_frame_ = MakeFrame(this, "SourceFrame", form::kSourceFrameCaption);
  destination_frame_ = MakeFrame(this, "DestinationFrame", form::kDestinationFrameCaption);
  message_frame_ = MakeFrame(this, "MessageFrame", form::kMessageFrameCaption);
  FillSideFrame(source_frame_, source_drive_list_, source_folder_list_, source_label_,
                source_folder_box_, QStringLiteral("Source"), QStringLiteral("SourceFolderBox"),
                form::kSourceLabelCaption);
  FillSideFrame(destination_frame_, destination_drive_list_, destination_folder_list_,
                destination_label_, destination_box_, QStringLiteral("Destination"),
                QStringLiteral("DestinationBox"), form::kDestinationLabelCaption);
}

void MainWindow::CreateMessageLines() {
  status_line_ = MakeLabel(message_frame_, "StatusLine", u"");
  status_line_->setMinimumHeight(status_line_->fontMetrics().height() + 8);
  auto* message_layout = new QVBoxLayout(message_frame_);
  message_layout->addWidget(status_line_);
  // The warnings line under the frame keeps its line when empty, so nothing moves when it fills;
  // its text never widens the window.
  warnings_line_ = MakeLabel(this, "WarningsLine", u"");
  warnings_line_->setMinimumHeight(warnings_line_->fontMetrics().height() + 4);
  warnings_line_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  warnings_line_->setContentsMargins(8, 0, 8, 0);
  QPalette warning_colour = warnings_line_->palette();
  warning_colour.setColor(QPalette::WindowText, Colour(form::kWarningsLineColour));
  warnings_line_->setPalette(warning_colour);
}

void MainWindow::CreateButtons() {
  convert_button_ = MakeButton(this, "ConvertButton", form::kConvertCaption);
  check_button_ = MakeButton(this, "CheckButton", form::kCheckCaption);
  show_log_button_ = MakeButton(this, "ShowLogButton", form::kShowLogCaption);
  close_button_ = MakeButton(this, "CloseButton", form::kCloseCaption);
  check_button_->setToolTip(
      QStringLiteral("変換元フォルダを読んで、変換で問題になる値を一覧します"));
  show_log_button_->setToolTip(QStringLiteral("変換したファイルの柱状図を表示します"));
  decoration_ = new BoreholeDecoration(this);
  decoration_->setObjectName(QStringLiteral("Decoration"));
}

void MainWindow::LayOut() {
  auto* frames = new QHBoxLayout;
  frames->addWidget(source_frame_);
  frames->addWidget(destination_frame_);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(decoration_);
  bottom->addStretch(1);
  bottom->addWidget(convert_button_);
  bottom->addWidget(check_button_);
  bottom->addWidget(show_log_button_);
  bottom->addWidget(close_button_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(frames, 1);
  layout->addWidget(message_frame_);
  layout->addWidget(warnings_line_);
  layout->addLayout(bottom);
  // The buttons in the order they stand: run, check, log, close.
  setTabOrder(destination_box_, convert_button_);
  setTabOrder(convert_button_, check_button_);
  setTabOrder(check_button_, show_log_button_);
  setTabOrder(show_log_button_, close_button_);
}

void MainWindow::ConnectEvents() {
  connect(source_drive_list_, &QComboBox::currentIndexChanged, this,
          [this](int index) { logic_.OnDriveChanged(form::Side::kSource, index); });
  connect(destination_drive_list_, &QComboBox::currentIndexChanged, this,
          [this](int index) { logic_.OnDriveChanged(form::Side::kDestination, index); });
  connect(source_folder_list_, &FolderList::Open, this,
          [this](int row) { logic_.OnFolderOpened(form::Side::kSource, row); });
  connect(destination_folder_list_, &FolderList::Open, this,
          [this](int row) { logic_.OnFolderOpened(form::Side::kDestination, row); });
  connect(convert_button_, &QPushButton::clicked, this, [this] { logic_.OnConvertClicked(); });
  connect(close_button_, &QPushButton::clicked, this, [this] { logic_.OnCloseClicked(); });
  connect(check_button_, &QPushButton::clicked, this, [this] { logic_.OnCheckClicked(); });
  connect(show_log_button_, &QPushButton::clicked, this, [this] { logic_.OnShowLogClicked(); });
  // F1 anywhere in the window asks for the help file's contents.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { logic_.ShowHelp(platform::kHelpContents); });
}

MainWindow::~MainWindow() { SetPointer(convert::kPointerDefault); }

bool MainWindow::Start() {
  adjustSize();
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
  return logic_.Start();
}

QLineEdit* MainWindow::TextBox(form::TextControl control) const {
  return control == form::TextControl::kSourceFolderBox ? source_folder_box_ : destination_box_;
}

void MainWindow::SetText(form::TextControl control, std::u16string_view text) {
  if (control == form::TextControl::kStatusLine || control == form::TextControl::kWarningsLine) {
    QLabel* label = control == form::TextControl::kStatusLine ? status_line_ : warnings_line_;
    label->setText(Q(text));
    // The run holds the event loop until it ends, so the label is painted now.
    label->repaint();
    return;
  }
  TextBox(control)->setText(Q(text));
}

std::u16string MainWindow::Text(form::TextControl control) {
  if (control == form::TextControl::kStatusLine) return status_line_->text().toStdU16String();
  if (control == form::TextControl::kWarningsLine) return warnings_line_->text().toStdU16String();
  return TextBox(control)->text().toStdU16String();
}

void MainWindow::FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) {
  QComboBox* list = DriveOf(side);
  QSignalBlocker blocker(list);
  list->clear();
  for (const form::DriveEntry& drive : drives) list->addItem(Q(drive.caption));
}

void MainWindow::ShowDrive(form::Side side, int index) {
  QComboBox* list = DriveOf(side);
  QSignalBlocker blocker(list);
  list->setCurrentIndex(index);
}

void MainWindow::FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                                int current) {
  DirOf(side)->Fill(entries, current);
}

void MainWindow::FocusAndSelectAll(form::TextControl control) {
  QLineEdit* text = TextBox(control);
  text->setFocus(Qt::OtherFocusReason);
  text->setSelection(0, static_cast<int>(text->text().size()));
}

void MainWindow::SetPointer(int pointer) {
  if (pointer == convert::kPointerHourglass && !hourglass_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    hourglass_ = true;
  } else if (pointer == convert::kPointerDefault && hourglass_) {
    QApplication::restoreOverrideCursor();
    hourglass_ = false;
  }
}

void* MainWindow::NativeWindow() { return reinterpret_cast<void*>(winId()); }

bool MainWindow::OpenDocument(const std::filesystem::path& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file.u16string())));
}

int MainWindow::ShowMessage(std::u16string_view prompt, int style, std::u16string_view title) {
  if (message_box_hook_) return message_box_hook_(prompt, style, title);
  const base::MessageStyle kind = base::MessageStyle::FromValue(style);
  const bool yes_no = kind.buttons() == base::MessageButtons::kYesNo;
  QMessageBox box(BoxIcon(kind.icon()), Q(title.empty() ? form::kProgramName : title), Q(prompt),
                  yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  // An hourglass stays out of the box the user must answer.
  if (hourglass_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (hourglass_) QApplication::restoreOverrideCursor();
  return kind.Answer(answer == QMessageBox::Yes);
}

void MainWindow::ShowCheckReport(const form::CheckReport& report) {
  ReportDialog dialog(report, save_file_hook_, this);
  dialog.exec();
}

bool MainWindow::ShowLog(const form::LogDrawing& log, std::u16string_view name) {
#ifdef TJVX_HAVE_QT_SVG
  auto* window = new LogWindow(log.svg, log.a4_pages, name, save_file_hook_, this);
  if (!window->valid()) {
    delete window;
    ShowMessage(u"柱状図を表示できませんでした。\n" + std::u16string(name), base::kMsgExclamation,
                {});
    return false;
  }
  window->show();
  window->raise();
  window->activateWindow();
  return true;
#else
  // Without Qt SVG the browser shows the printable A4 pages from a file in the temporary folder.
  const QString path = QDir::temp().filePath(Q(form::LogFileName(name, u".html")));
  const std::string& html = log.a4_html;
  if (!SaveBytes(this, path, QByteArray(html.data(), static_cast<qsizetype>(html.size())))) {
    return false;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    ShowMessage(std::u16string(form::kLogOpenFailedMessage) + u"\n" +
                    QDir::toNativeSeparators(path).toStdU16String(),
                base::kMsgExclamation, {});
    return false;
  }
  return true;
#endif
}

void MainWindow::EnableButton(form::Button button, bool enabled) {
  switch (button) {
    case form::Button::kShowLog:
      show_log_button_->setEnabled(enabled);
      break;
  }
}

}  // namespace tjvx::qt
