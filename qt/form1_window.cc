#include "qt/form1_window.h"

#include <QApplication>
#include <QGridLayout>
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
#include <QVBoxLayout>
#include <system_error>
#include <tuple>

#include "platform/drives.h"
#include "platform/help.h"
#include "source/settings.h"

namespace fs = std::filesystem;

namespace tjvx::qt {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

// Whether a Windows-form path lies on the drive "C:".
bool OnDrive(std::u16string_view path, std::u16string_view drive) {
  return path.size() >= 2 && drive.size() >= 2 && Upper(path[0]) == Upper(drive[0]) &&
         path[1] == u':';
}

// "C:", "C:\" and "C:\DATA\" become "C:\" and "C:\DATA": a root keeps its "\", a folder does not.
std::u16string Normalised(std::u16string_view path) {
  std::u16string out(path);
  while (out.size() > 3 && out.back() == u'\\') out.pop_back();
  if (out.size() == 2 && out[1] == u':') out += u'\\';
  if (!out.empty()) out[0] = Upper(out[0]);
  return out;
}

std::u16string Child(const std::u16string& folder, const std::u16string& name) {
  return folder.back() == u'\\' ? folder + name : folder + u"\\" + name;
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

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
  const platform::DriveTable& drives = platform::Drives();
  for (char16_t letter : drives.Letters()) {
    QString text = Q(std::u16string{letter, u':'});
#ifndef _WIN32
    if (std::optional<fs::path> root = drives.Root(letter)) {
      text += QStringLiteral(" [") + QString::fromStdString(root->string()) + QStringLiteral("]");
    }
#endif
    addItem(text, QVariant(static_cast<int>(letter)));
  }
  connect(this, &QComboBox::currentIndexChanged, this, &DriveList::Change);
}

std::u16string DriveList::Drive() const {
  if (currentIndex() < 0) return {};
  return {static_cast<char16_t>(currentData().toInt()), u':'};
}

bool DriveList::ShowDrive(char16_t letter) {
  int index = findData(QVariant(static_cast<int>(Upper(letter))));
  if (index < 0) return false;
  QSignalBlocker blocker(this);
  setCurrentIndex(index);
  return true;
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
  setItemDelegate(new IndentDelegate(this));
  connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::Open);
}

bool FolderList::SetPath(std::u16string_view path) {
  std::u16string folder = Normalised(path);
  std::optional<platform::EntryInfo> entry = platform::FindEntry(folder);
  if (folder.size() < 3 || !entry || !entry->IsDirectory()) return false;
  const bool changed = folder != path_;
  path_ = std::move(folder);
  Refresh();
  if (changed) emit Change();
  return true;
}

void FolderList::Refresh() {
  clear();
  if (path_.empty()) return;
  const QIcon open_icon = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed_icon = style()->standardIcon(QStyle::SP_DirClosedIcon);
  // The chain from the root down to the current folder, each level indented one step.
  std::u16string chain = path_.substr(0, 3);
  int depth = 0;
  auto add = [&](const std::u16string& text, const std::u16string& full, const QIcon& icon) {
    auto* item = new QListWidgetItem(icon, Q(text), this);
    item->setData(kPathRole, Q(full));
    item->setData(FolderList::kLevelRole, depth);
    return item;
  };
  QListWidgetItem* current = add(chain, chain, open_icon);
  size_t start = 3;
  while (start < path_.size()) {
    size_t end = path_.find(u'\\', start);
    if (end == std::u16string::npos) end = path_.size();
    std::u16string name = path_.substr(start, end - start);
    chain = Child(chain, name);
    ++depth;
    current = add(name, chain, open_icon);
    start = end + 1;
  }
  ++depth;
  for (const std::u16string& name : platform::SubFolders(path_)) {
    add(name, Child(path_, name), closed_icon);
  }
  setCurrentItem(current);
}

void FolderList::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
    Open(currentItem());
    return;
  }
  QListWidget::keyPressEvent(event);
}

void FolderList::Open(QListWidgetItem* item) {
  if (item == nullptr) return;
  // A folder gone since the list was filled is dropped from the list by reading it again.
  if (!SetPath(item->data(kPathRole).toString().toStdU16String())) Refresh();
}

Form1::Form1(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(Q(kFormCaption));

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

  Frame1 = make_frame("Frame1", u"変換元フォルダ選択");
  Frame2 = make_frame("Frame2", u"変換先フォルダ名選択");
  Frame3 = make_frame("Frame3", u"メッセージ");

  auto fill_frame = [&](QGroupBox* frame, DriveList*& drive, FolderList*& dir, QLabel*& label,
                        QLineEdit*& text, int n, std::u16string_view caption) {
    drive = new DriveList(frame);
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
  fill_frame(Frame1, Drive1, Dir1, Label1, Text1_, 1, u"変換元フォルダ名：");
  fill_frame(Frame2, Drive2, Dir2, Label2, Text2_, 2, u"変換先フォルダ名 ：");

  Label3 = make_label(Frame3, "Label3", u"");
  Label3->setMinimumHeight(Label3->fontMetrics().height() + 8);
  auto* message_layout = new QVBoxLayout(Frame3);
  message_layout->addWidget(Label3);

  Command1 = new QPushButton(QStringLiteral("実  行"), this);
  Command1->setObjectName(QStringLiteral("Command1"));
  Command2 = new QPushButton(QStringLiteral("終  了"), this);
  Command2->setObjectName(QStringLiteral("Command2"));
  for (QPushButton* button : {Command1, Command2}) button->setMinimumSize(100, 32);
  Picture1 = new PictureBox(this);
  Picture1->setObjectName(QStringLiteral("Picture1"));

  auto* frames = new QHBoxLayout;
  frames->addWidget(Frame1);
  frames->addWidget(Frame2);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(Picture1);
  bottom->addStretch(1);
  bottom->addWidget(Command1);
  bottom->addWidget(Command2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(frames, 1);
  layout->addWidget(Frame3);
  layout->addLayout(bottom);

  // Both folder lists start at the working folder, or at the first drive's root when it lies
  // on no reachable drive.
  std::error_code ec;
  const std::u16string start = platform::Drives().FromHost(fs::current_path(ec));
  for (auto [drive, dir, index] :
       {std::tuple{Drive1, Dir1, &drive1_index_}, std::tuple{Drive2, Dir2, &drive2_index_}}) {
    if (ec || !dir->SetPath(start)) {
      for (int i = 0; i < drive->count(); ++i) {
        if (dir->SetPath(std::u16string{static_cast<char16_t>(drive->itemData(i).toInt()), u':'}))
          break;
      }
    }
    if (!dir->Path().empty()) drive->ShowDrive(dir->Path()[0]);
    *index = drive->currentIndex();
  }

  connect(Dir1, &FolderList::Change, this, &Form1::Dir1_Change);
  connect(Dir2, &FolderList::Change, this, &Form1::Dir2_Change);
  connect(Drive1, &DriveList::Change, this, &Form1::Drive1_Change);
  connect(Drive2, &DriveList::Change, this, &Form1::Drive2_Change);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
  // F1 anywhere in the window asks for the help file's contents.
  auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(help, &QShortcut::activated, this, [this] { ShowHelp(platform::kHelpContents); });
}

Form1::~Form1() { SetMousePointer(convert::kPointerDefault); }

bool Form1::Form_Load() {
  adjustSize();
  if (QScreen* screen = this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - frameGeometry().width()) / 2,
         area.y() + (area.height() - frameGeometry().height()) / 2);
  }
  std::optional<std::u16string> pattern = source::StartupPatternFolder(*this);
  if (!pattern) return false;
  pattern_folder_ = *pattern;
  help_file_ = platform::FindHelpFile();
  Text1_->setText(Q(Dir1->Path()));
  Text2_->setText(Q(Dir2->Path()));
  return true;
}

void Form1::ShowHelp(int context) {
  if (!help_file_) {
    MsgBox(kNoHelpFileMessage, base::kMsgInformation, {});
    return;
  }
  if (!platform::ShowHelp(*help_file_, context, reinterpret_cast<void*>(winId()))) {
    MsgBox(std::u16string(kHelpFailedMessage) + u"\n" + help_file_->u16string(),
           base::kMsgExclamation, {});
  }
}

std::u16string Form1::Text1() { return Text1_->text().toStdU16String(); }
std::u16string Form1::Text2() { return Text2_->text().toStdU16String(); }

void Form1::SetLabel3(std::u16string_view text) {
  Label3->setText(Q(text));
  // The run holds the event loop until it ends, so the label is painted now.
  Label3->repaint();
}

void Form1::FocusText2SelectAll() {
  Text2_->setFocus(Qt::OtherFocusReason);
  Text2_->setSelection(0, static_cast<int>(Text2_->text().size()));
}

void Form1::SetMousePointer(int pointer) {
  if (pointer == convert::kPointerHourglass && !hourglass_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    hourglass_ = true;
  } else if (pointer == convert::kPointerDefault && hourglass_) {
    QApplication::restoreOverrideCursor();
    hourglass_ = false;
  }
}

int Form1::MsgBox(std::u16string_view prompt, int style, std::u16string_view title) {
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
  QMessageBox box(icon, Q(title.empty() ? kProgramName : title), Q(prompt),
                  yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  // An hourglass stays out of the box the user must answer.
  if (hourglass_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int answer = box.exec();
  if (hourglass_) QApplication::restoreOverrideCursor();
  if (!yes_no) return base::kAnswerOk;
  return answer == QMessageBox::Yes ? base::kAnswerYes : base::kAnswerNo;
}

void Form1::Dir1_Change() { DirChange(Dir1, Text1_); }
void Form1::Dir2_Change() { DirChange(Dir2, Text2_); }

void Form1::DirChange(FolderList* dir, QLineEdit* text) {
  text->setText(Q(dir->Path()));
  // The chosen folder becomes the working folder, as for any program that browses.
  if (std::optional<fs::path> host = platform::Drives().ToHost(dir->Path())) {
    std::error_code ec;
    fs::current_path(*host, ec);
  }
}

void Form1::Drive1_Change() { DriveChange(Drive1, Dir1, drive1_index_, drive1_restoring_); }
void Form1::Drive2_Change() { DriveChange(Drive2, Dir2, drive2_index_, drive2_restoring_); }

void Form1::DriveChange(DriveList* drive, FolderList* dir, int& remembered, bool& restoring) {
  const std::u16string letter = drive->Drive();
  // A drive's entry leads to the folder the list already shows on it, else to its root.
  const std::u16string target = OnDrive(dir->Path(), letter) ? dir->Path() : letter;
  bool ok = !letter.empty() && dir->SetPath(target);
  if (ok) {
    remembered = drive->currentIndex();
    ok = platform::MakeDriveCurrent(letter[0]);
  }
  if (ok || restoring) return;
  restoring = true;
  // Going back runs this handler again for the remembered entry.
  drive->setCurrentIndex(remembered);
  restoring = false;
}

void Form1::Command1_Click() {
  if (pattern_folder_.empty()) return;
  // Each run reads the tables afresh, so a table edited between two runs is seen by the second.
  source::PatternTables tables(pattern_folder_);
  convert::RunConversion(*this, tables, &registry_);
  // A run that stopped on a failure gives the pointer back as well.
  SetMousePointer(convert::kPointerDefault);
}

void Form1::Command2_Click() { close(); }

}  // namespace tjvx::qt
