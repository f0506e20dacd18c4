#include "qt/form1_window.h"

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
#include "platform/help.h"
#include "qt/report_dialog.h"
#ifdef TJVX_HAVE_QT_SVG
#include "qt/log_window.h"
#endif

namespace tjvx::qt {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The decoration: a borehole column of coloured strata beside a depth scale.
class PictureBox : public QWidget {
 public:
  explicit PictureBox(QWidget* parent) : QWidget(parent) { setFixedSize(150, 64); }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0xf4, 0xf1, 0xe8));
    struct Stratum {
      int height;
      QColor colour;
      Qt::BrushStyle pattern;
    };
    const Stratum strata[] = {{8, QColor(0x8d, 0x6e, 0x4a), Qt::SolidPattern},
                              {14, QColor(0xd9, 0xb8, 0x6c), Qt::Dense6Pattern},
                              {10, QColor(0x9a, 0xa7, 0x8f), Qt::HorPattern},
                              {12, QColor(0xc9, 0x9b, 0x6b), Qt::Dense5Pattern},
                              {12, QColor(0x7a, 0x7d, 0x85), Qt::DiagCrossPattern}};
    // Ground, then the strata cut by the borehole.
    int top = 4;
    const int left = 36;
    const int width = 70;
    for (const Stratum& stratum : strata) {
      QRect band(left, top, width, stratum.height);
      painter.fillRect(band, stratum.colour.lighter(130));
      painter.fillRect(band, QBrush(stratum.colour, stratum.pattern));
      top += stratum.height;
    }
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1));
    painter.drawRect(left, 4, width, top - 4);
    // The borehole itself.
    painter.fillRect(QRect(left + width / 2 - 3, 4, 6, top - 4), QColor(0x20, 0x30, 0x50));
    // The depth scale with a tick every stratum.
    painter.drawLine(20, 4, 20, top);
    int tick = 4;
    for (const Stratum& stratum : strata) {
      painter.drawLine(16, tick, 24, tick);
      tick += stratum.height;
    }
    painter.drawLine(16, top, 24, top);
    // The drilling rig above ground, shrunk to a mark.
    painter.setBrush(QColor(0xc0, 0x39, 0x2b));
    painter.drawPolygon(QPolygon({QPoint(left + width + 12, top), QPoint(left + width + 30, top),
                                  QPoint(left + width + 21, 6)}));
  }
};

// Draws a folder list entry indented by its level, icon and all, as the classic list does.
class IndentDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  static constexpr int kStep = 14;

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

Form1Window::Form1Window(QWidget* parent) : QWidget(parent), logic_(*this) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(Q(form::kFormCaption));

  auto make_frame = [this](const char* name, std::u16string_view caption) {
    auto* frame = new QGroupBox(Q(caption), this);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
  };
  auto make_label = [](QWidget* parent, const char* name, std::u16string_view caption) {
    auto* label = new QLabel(Q(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
  };

  Frame1 = make_frame("Frame1", form::kFrame1Caption);
  Frame2 = make_frame("Frame2", form::kFrame2Caption);
  Frame3 = make_frame("Frame3", form::kFrame3Caption);

  auto fill_frame = [&](QGroupBox* frame, QComboBox*& drive, FolderList*& dir, QLabel*& label,
                        QLineEdit*& text, int n, std::u16string_view caption) {
    drive = new QComboBox(frame);
    drive->setObjectName(QStringLiteral("Drive%1").arg(n));
    dir = new FolderList(frame);
    dir->setObjectName(QStringLiteral("Dir%1").arg(n));
    dir->setMinimumSize(260, 200);
    label = make_label(frame, n == 1 ? "Label1" : "Label2", caption);
    text = new QLineEdit(frame);
    text->setObjectName(QStringLiteral("Text%1").arg(n));
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(drive);
    layout->addWidget(dir, 1);
    layout->addWidget(label);
    layout->addWidget(text);
  };
  fill_frame(Frame1, Drive1, Dir1, Label1, Text1, 1, form::kLabel1Caption);
  fill_frame(Frame2, Drive2, Dir2, Label2, Text2, 2, form::kLabel2Caption);

  Label3 = make_label(Frame3, "Label3", u"");
  Label3->setMinimumHeight(Label3->fontMetrics().height() + 8);
  auto* message_layout = new QVBoxLayout(Frame3);
  message_layout->addWidget(Label3);
  // The warnings line under the frame keeps its line when empty, so nothing moves when it fills;
  // its text never widens the window.
  Label4 = make_label(this, "Label4", u"");
  Label4->setMinimumHeight(Label4->fontMetrics().height() + 4);
  Label4->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  Label4->setContentsMargins(8, 0, 8, 0);
  QPalette warning_colour = Label4->palette();
  warning_colour.setColor(QPalette::WindowText, QColor(0x9c, 0x3d, 0x00));
  Label4->setPalette(warning_colour);

  auto make_button = [this](const char* name, std::u16string_view caption) {
    auto* button = new QPushButton(Q(caption), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumSize(100, 32);
    return button;
  };
  Command1 = make_button("Command1", form::kCommand1Caption);
  Command3 = make_button("Command3", form::kCommand3Caption);
  Command4 = make_button("Command4", form::kCommand4Caption);
  Command2 = make_button("Command2", form::kCommand2Caption);
  Command3->setToolTip(QStringLiteral("変換元フォルダを読んで、変換で問題になる値を一覧します"));
  Command4->setToolTip(QStringLiteral("変換したファイルの柱状図を表示します"));
  Picture1 = new PictureBox(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));

  auto* frames = new QHBoxLayout;
  frames->addWidget(Frame1);
  frames->addWidget(Frame2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Picture1);
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  bottom->addWidget(Command3);
  bottom->addWidget(Command4);
  bottom->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(frames, 1);
  layout->addWidget(Frame3);
  layout->addWidget(Label4);
  layout->addLayout(bottom);
  // The buttons in the order they stand: run, check, log, close.
  setTabOrder(Text2, Command1);
  setTabOrder(Command1, Command3);
  setTabOrder(Command3, Command4);
  setTabOrder(Command4, Command2);

  logic_.Form_Initialize();

  // Events go to the logic from here on; the lists' first filling above reported nothing.
  connect(Drive1, &QComboBox::currentIndexChanged, this,
          [this](int index) { logic_.Drive1_Change(index); });
  connect(Drive2, &QComboBox::currentIndexChanged, this,
          [this](int index) { logic_.Drive2_Change(index); });
  connect(Dir1, &FolderList::Open, this, [this](int row) { logic_.Dir1_Open(row); });
  connect(Dir2, &FolderList::Open, this, [this](int row) { logic_.Dir2_Open(row); });
  connect(Command1, &QPushButton::clicked, this, [this] { logic_.Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { logic_.Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { logic_.Command3_Click(); });
  connect(Command4, &QPushButton::clicked, this, [this] { logic_.Command4_Click(); });
  // F1 anywhere in the window asks for the help file's contents.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { logic_.ShowHelp(platform::kHelpContents); });
}

Form1Window::~Form1Window() { SetPointer(convert::kPointerDefault); }

bool Form1Window::Form_Load() {
  adjustSize();
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
  return logic_.Form_Load();
}

QLineEdit* Form1Window::TextBox(form::TextControl control) const {
  return control == form::TextControl::kText1 ? Text1 : Text2;
}

void Form1Window::SetText(form::TextControl control, std::u16string_view text) {
  if (control == form::TextControl::kLabel3 || control == form::TextControl::kLabel4) {
    QLabel* label = control == form::TextControl::kLabel3 ? Label3 : Label4;
    label->setText(Q(text));
    // The run holds the event loop until it ends, so the label is painted now.
    label->repaint();
    return;
  }
  TextBox(control)->setText(Q(text));
}

std::u16string Form1Window::Text(form::TextControl control) {
  if (control == form::TextControl::kLabel3) return Label3->text().toStdU16String();
  if (control == form::TextControl::kLabel4) return Label4->text().toStdU16String();
  return TextBox(control)->text().toStdU16String();
}

void Form1Window::FillDriveList(form::Side side, const std::vector<form::DriveEntry>& drives) {
  QComboBox* list = DriveOf(side);
  QSignalBlocker blocker(list);
  list->clear();
  for (const form::DriveEntry& drive : drives) list->addItem(Q(drive.caption));
}

void Form1Window::ShowDrive(form::Side side, int index) {
  QComboBox* list = DriveOf(side);
  QSignalBlocker blocker(list);
  list->setCurrentIndex(index);
}

void Form1Window::FillFolderList(form::Side side, const std::vector<form::FolderEntry>& entries,
                                 int current) {
  DirOf(side)->Fill(entries, current);
}

void Form1Window::FocusAndSelectAll(form::TextControl control) {
  QLineEdit* text = TextBox(control);
  text->setFocus(Qt::OtherFocusReason);
  text->setSelection(0, static_cast<int>(text->text().size()));
}

void Form1Window::SetPointer(int pointer) {
  if (pointer == convert::kPointerHourglass && !hourglass_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    hourglass_ = true;
  } else if (pointer == convert::kPointerDefault && hourglass_) {
    QApplication::restoreOverrideCursor();
    hourglass_ = false;
  }
}

void* Form1Window::NativeWindow() { return reinterpret_cast<void*>(winId()); }

bool Form1Window::OpenDocument(const std::filesystem::path& file) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(Q(file.u16string())));
}

int Form1Window::MsgBox(std::u16string_view prompt, int style, std::u16string_view title) {
  if (message_box_hook_) return message_box_hook_(prompt, style, title);
  // The style value is the buttons (low bits) plus the icon (16, 32, 48 or 64).
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (style & 0x70) {
    case 16:
      icon = QMessageBox::Critical;
      break;
    case 32:
      icon = QMessageBox::Question;
      break;
    case 48:
      icon = QMessageBox::Warning;
      break;
    case 64:
      icon = QMessageBox::Information;
      break;
  }
  const bool yes_no = (style & 7) == 4;
  QMessageBox box(icon, Q(title.empty() ? form::kProgramName : title), Q(prompt),
                  yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  // An hourglass stays out of the box the user must answer.
  if (hourglass_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (hourglass_) QApplication::restoreOverrideCursor();
  if (!yes_no) return base::kAnswerOk;
  return answer == QMessageBox::Yes ? base::kAnswerYes : base::kAnswerNo;
}

void Form1Window::ShowCheckReport(const form::CheckReport& report) {
  ReportDialog dialog(report, save_file_hook_, this);
  dialog.exec();
}

bool Form1Window::ShowLog(const form::LogDrawing& log, std::u16string_view name) {
#ifdef TJVX_HAVE_QT_SVG
  auto* window = new LogWindow(log.svg, log.a4_pages, name, save_file_hook_, this);
  if (!window->valid()) {
    delete window;
    MsgBox(u"柱状図を表示できませんでした。\n" + std::u16string(name), base::kMsgExclamation, {});
    return false;
  }
  window->show();
  window->raise();
  window->activateWindow();
  return true;
#else
  // Without Qt SVG the browser shows the printable A4 pages from a file in the temporary folder.
  const QString path =
      QDir::temp().filePath(SafeFileName(Q(name), Q(form::kLogTitle)) + QStringLiteral(".html"));
  const std::string& html = log.a4_html;
  if (!SaveBytes(this, path, QByteArray(html.data(), static_cast<qsizetype>(html.size())))) {
    return false;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
    MsgBox(u"柱状図を開けませんでした。\n" + QDir::toNativeSeparators(path).toStdU16String(),
           base::kMsgExclamation, {});
    return false;
  }
  return true;
#endif
}

void Form1Window::EnableButton(form::Button button, bool enabled) {
  switch (button) {
    case form::Button::kCommand4:
      Command4->setEnabled(enabled);
      break;
  }
}

}  // namespace tjvx::qt
