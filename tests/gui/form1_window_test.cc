// Widget tests of the Qt window: what only the widgets show. The captions and frames, events
// reaching the window's logic (clicks, double-click, Enter, the drive lists, F1), the hourglass,
// and real message boxes. The logic itself is tested through a fake view in tests/form1_test.cc.

#include "qt/form1_window.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "platform/help.h"

namespace fs = std::filesystem;
using tjvx::form::Side;
using tjvx::qt::Form1Window;

namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

struct Box {
  QString prompt;
  int style;
  QString title;
  QString label3;  // what the status line showed while the box was up
};

}  // namespace

class Form1WindowTest : public QObject {
  Q_OBJECT

 private:
  fs::path base_, c_, d_;
  fs::path working_folder_;
  std::vector<Box> boxes_;
  std::vector<int> answers_;

  // A window as the program makes it, with message boxes recorded and answered from answers_.
  std::unique_ptr<Form1Window> MakeForm() {
    auto form = std::make_unique<Form1Window>();
    Form1Window* raw = form.get();
    form->SetMessageBoxHook(
        [this, raw](std::u16string_view prompt, int style, std::u16string_view title) {
          auto* label3 = raw->findChild<QLabel*>(QStringLiteral("Label3"));
          boxes_.push_back({Q(prompt), style, Q(title), label3 ? label3->text() : QString()});
          if (answers_.empty()) return tjvx::base::kAnswerOk;
          int answer = answers_.front();
          answers_.erase(answers_.begin());
          return answer;
        });
    return form;
  }

  template <typename T>
  static T* Child(Form1Window& form, const char* name) {
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }

  void WriteSettings(const std::string& second_line) {
    std::ofstream ini(base_ / "sys" / "DozoraV5.ini", std::ios::binary);
    ini << "[DOZORA]\r\n" << second_line << "\r\n";
  }

 private slots:
  void init() {
    std::random_device random;
    base_ = fs::temp_directory_path() / ("tjvx-gui-test-" + std::to_string(random()));
    c_ = base_ / "c";
    d_ = base_ / "d";
    fs::create_directories(c_);
    fs::create_directories(d_);
    fs::create_directories(base_ / "sys");
    const fs::path samples = fs::path(TJVX_SOURCE_DIR) / "samples";
    fs::copy(samples / "boreholes" / "B-12", c_ / "B-12", fs::copy_options::recursive);
    fs::copy(samples / "DOZORA", c_ / "DOZORA", fs::copy_options::recursive);
    tjvx::platform::DriveTable table;
    table.Map(u'C', c_);
    table.Map(u'D', d_);
    tjvx::platform::SetDrives(table);
    qputenv("TJVX_SYSDIR", QByteArray::fromStdString((base_ / "sys").string()));
    WriteSettings("\"C:\\DOZORA\\\"");
    working_folder_ = fs::current_path();
    boxes_.clear();
    answers_.clear();
  }

  void cleanup() {
    fs::current_path(working_folder_);
    tjvx::platform::SetDrives(tjvx::platform::DriveTable());
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  void EveryControlHasItsCaption() {
    auto form = MakeForm();
    QCOMPARE(form->windowTitle(), QStringLiteral("Tarvik_Jr -> User(Vx) 変換プログラム"));
    QCOMPARE(Child<QGroupBox>(*form, "Frame1")->title(), QStringLiteral("変換元フォルダ選択"));
    QCOMPARE(Child<QGroupBox>(*form, "Frame2")->title(), QStringLiteral("変換先フォルダ名選択"));
    QCOMPARE(Child<QGroupBox>(*form, "Frame3")->title(), QStringLiteral("メッセージ"));
    QCOMPARE(Child<QLabel>(*form, "Label1")->text(), QStringLiteral("変換元フォルダ名："));
    QCOMPARE(Child<QLabel>(*form, "Label2")->text(), QStringLiteral("変換先フォルダ名 ："));
    QCOMPARE(Child<QLabel>(*form, "Label3")->text(), QString());
    QCOMPARE(Child<QPushButton>(*form, "Command1")->text(), QStringLiteral("実  行"));
    QCOMPARE(Child<QPushButton>(*form, "Command2")->text(), QStringLiteral("終  了"));
    Child<QWidget>(*form, "Picture1");
    // Each frame holds its own controls.
    for (const char* name : {"Drive1", "Dir1", "Label1", "Text1"}) {
      QVERIFY(Child<QWidget>(*form, name)->parent() == Child<QGroupBox>(*form, "Frame1"));
    }
    for (const char* name : {"Drive2", "Dir2", "Label2", "Text2"}) {
      QVERIFY(Child<QWidget>(*form, name)->parent() == Child<QGroupBox>(*form, "Frame2"));
    }
    QVERIFY(Child<QWidget>(*form, "Label3")->parent() == Child<QGroupBox>(*form, "Frame3"));
    // The drive lists hold the drive table's drives.
    auto* drive1 = Child<QComboBox>(*form, "Drive1");
    QCOMPARE(drive1->count(), 3);
    QVERIFY(drive1->itemText(0).startsWith(QStringLiteral("C:")));
    QVERIFY(drive1->itemText(2).startsWith(QStringLiteral("Z:")));
  }

  void RunButtonConvertsTheSample() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    Child<QLineEdit>(*form, "Text1")->setText(QStringLiteral("C:\\B-12"));
    Child<QLineEdit>(*form, "Text2")->setText(QStringLiteral("D:\\OUT\\LOGS"));
    answers_ = {tjvx::base::kAnswerYes};
    QTest::mouseClick(Child<QPushButton>(*form, "Command1"), Qt::LeftButton);

    // One question for the missing folders, asked while the busy text shows.
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, QStringLiteral("フォルダがありません。新規作成しますか？"));
    QCOMPARE(boxes_[0].style, tjvx::base::kMsgYesNoQuestion);
    QCOMPARE(boxes_[0].label3, QStringLiteral("只今変換中！　しばらくお待ちください。"));
    QVERIFY(Child<QLabel>(*form, "Label3")
                ->text()
                .endsWith(QStringLiteral("変換が正常に終了しました。")));
    QVERIFY(QApplication::overrideCursor() == nullptr);

    const fs::path converted = d_ / "OUT" / "LOGS" / "B-12";
    QVERIFY(fs::is_regular_file(converted));
    std::ifstream in(converted, std::ios::binary);
    std::string first_line;
    std::getline(in, first_line);
    QCOMPARE(QString::fromStdString(first_line), QStringLiteral("GTJ Ge201\r"));
    QVERIFY(!fs::exists(c_ / "B-12" / "MARGE.DAT"));
    QVERIFY(!fs::exists(c_ / "B-12" / "KIJI.TMP"));

    // A second run of the same site asks nothing and registers the site once.
    QTest::mouseClick(Child<QPushButton>(*form, "Command1"), Qt::LeftButton);
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(form->logic().registry().count(), 1);
    QCOMPARE(Q(form->logic().registry().Site(1)), QStringLiteral("B-12"));
  }

  void BadDestinationSelectsTheDestinationBox() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    form->show();
    QApplication::setActiveWindow(form.get());
    auto* text2 = Child<QLineEdit>(*form, "Text2");
    Child<QLineEdit>(*form, "Text1")->setText(QStringLiteral("C:\\B-12"));
    Child<QLineEdit>(*form, "Text1")->setFocus();
    text2->setText(QStringLiteral("D:\\OUT*"));
    QTest::mouseClick(Child<QPushButton>(*form, "Command1"), Qt::LeftButton);

    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, QStringLiteral("指定されたパスは正しくありません。"));
    QCOMPARE(boxes_[0].style, tjvx::base::kMsgExclamation);
    QCOMPARE(boxes_[0].title, QStringLiteral("D:\\OUT*"));
    QVERIFY(form->focusWidget() == text2);
    QCOMPARE(text2->selectedText(), QStringLiteral("D:\\OUT*"));
    QCOMPARE(text2->selectionStart(), 0);
    QCOMPARE(Child<QLabel>(*form, "Label3")->text(), QString());
    QVERIFY(!fs::exists(d_ / "OUT*"));
  }

  void PickingAFolderInDir1FillsText1() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* dir1 = Child<tjvx::qt::FolderList>(*form, "Dir1");
    auto* text1 = Child<QLineEdit>(*form, "Text1");
    QVERIFY(form->logic().SetFolder(Side::kSource, u"C:\\"));
    QCOMPARE(text1->text(), QStringLiteral("C:\\"));
    // The root, then its subfolders in order.
    QCOMPARE(dir1->count(), 3);
    QCOMPARE(dir1->item(0)->text(), QStringLiteral("C:\\"));
    QCOMPARE(dir1->item(1)->text(), QStringLiteral("B-12"));
    QCOMPARE(dir1->item(2)->text(), QStringLiteral("DOZORA"));
    QCOMPARE(dir1->item(2)->data(tjvx::qt::FolderList::kPathRole).toString(),
             QStringLiteral("C:\\DOZORA"));
    QCOMPARE(dir1->item(0)->data(tjvx::qt::FolderList::kLevelRole).toInt(), 0);
    QCOMPARE(dir1->item(2)->data(tjvx::qt::FolderList::kLevelRole).toInt(), 1);

    // Double-click opens a subfolder: the list shows the chain C:\ > B-12 and no subfolders.
    const QRect rect = dir1->visualItemRect(dir1->item(1));
    // The view takes a double-click only on the entry that the first click pressed.
    QTest::mouseClick(dir1->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(text1->text(), QStringLiteral("C:\\"));
    QTest::mouseDClick(dir1->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(text1->text(), QStringLiteral("C:\\B-12"));
    QCOMPARE(dir1->count(), 2);
    QCOMPARE(dir1->currentItem()->text(), QStringLiteral("B-12"));
    QCOMPARE(dir1->currentItem()->data(tjvx::qt::FolderList::kLevelRole).toInt(), 1);

    // Enter on a folder of the chain goes back up.
    dir1->setCurrentRow(0);
    QTest::keyClick(dir1, Qt::Key_Return);
    QCOMPARE(text1->text(), QStringLiteral("C:\\"));
    QCOMPARE(Q(form->logic().Folder(Side::kSource)), QStringLiteral("C:\\"));
  }

  void ChoosingADriveMovesTheFolderList() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    auto* drive2 = Child<QComboBox>(*form, "Drive2");
    drive2->setCurrentIndex(drive2->findText(QStringLiteral("D:"), Qt::MatchStartsWith));
    QCOMPARE(Child<QLineEdit>(*form, "Text2")->text(), QStringLiteral("D:\\"));
    QCOMPARE(tjvx::platform::CurrentDrive(), u'D');
  }

  void LostDriveSetsDrive1Back() {
    fs::create_directories(base_ / "e");
    tjvx::platform::DriveTable table = tjvx::platform::Drives();
    table.Map(u'E', base_ / "e");
    tjvx::platform::SetDrives(table);
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    auto* drive1 = Child<QComboBox>(*form, "Drive1");
    auto* dir1 = Child<tjvx::qt::FolderList>(*form, "Dir1");
    drive1->setCurrentIndex(0);
    QVERIFY(form->logic().SetFolder(Side::kSource, u"C:\\B-12"));
    const int c_index = drive1->currentIndex();
    QVERIFY(drive1->itemText(c_index).startsWith(QStringLiteral("C:")));

    // The drive goes away after the list was filled.
    fs::remove_all(base_ / "e");
    drive1->setCurrentIndex(drive1->findText(QStringLiteral("E:"), Qt::MatchStartsWith));
    QCOMPARE(drive1->currentIndex(), c_index);
    QCOMPARE(Q(form->logic().Folder(Side::kSource)), QStringLiteral("C:\\B-12"));
    QCOMPARE(Child<QLineEdit>(*form, "Text1")->text(), QStringLiteral("C:\\B-12"));
    QCOMPARE(dir1->currentItem()->text(), QStringLiteral("B-12"));
  }

  void HostShowsTheHourglassOnce() {
    auto form = MakeForm();
    form->logic().SetMousePointer(tjvx::convert::kPointerHourglass);
    form->logic().SetMousePointer(tjvx::convert::kPointerHourglass);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form->logic().SetMousePointer(tjvx::convert::kPointerDefault);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void RealMessageBoxesFollowTheStyle() {
    Form1Window form;  // no hook: real message boxes
    struct Case {
      int style;
      QMessageBox::Icon icon;
      QMessageBox::StandardButtons buttons;
      QMessageBox::StandardButton press;
      int answer;
      std::u16string_view title;
      QString shown_title;
    };
    const Case cases[] = {
        {tjvx::base::kMsgOk, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok,
         tjvx::base::kAnswerOk, u"", QStringLiteral("tjvx")},
        {tjvx::base::kMsgYesNoQuestion, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, tjvx::base::kAnswerYes, u"", QStringLiteral("tjvx")},
        {tjvx::base::kMsgYesNoQuestion, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No, tjvx::base::kAnswerNo, u"", QStringLiteral("tjvx")},
        {tjvx::base::kMsgExclamation, QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok,
         tjvx::base::kAnswerOk, u"D:\\OUT*", QStringLiteral("D:\\OUT*")},
        {tjvx::base::kMsgInformation, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok,
         tjvx::base::kAnswerOk, u"", QStringLiteral("tjvx")},
    };
    for (const Case& c : cases) {
      QMessageBox::Icon icon = QMessageBox::Critical;
      QMessageBox::StandardButtons buttons;
      QString title, text;
      QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        icon = box->icon();
        buttons = box->standardButtons();
        title = box->windowTitle();
        text = box->text();
        box->button(c.press)->click();
      });
      QCOMPARE(form.MsgBox(u"フォルダがありません。", c.style, c.title), c.answer);
      QCOMPARE(icon, c.icon);
      QCOMPARE(buttons, c.buttons);
      QCOMPARE(title, c.shown_title);
      QCOMPARE(text, QStringLiteral("フォルダがありません。"));
    }
  }

  void Command2ClosesTheWindow() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTest::mouseClick(Child<QPushButton>(*form, "Command2"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
  }

  void F1WithoutHelpFileOrManualSaysSo() {
    auto form = MakeForm();
    QVERIFY(form->Form_Load());
    form->logic().SetHelpFiles(std::nullopt, std::nullopt);
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, Q(tjvx::form::kNoManualMessage));
    form->logic().ShowHelp(tjvx::platform::kHelpOnHelp);
    QCOMPARE(boxes_.size(), size_t{2});
  }
};

QTEST_MAIN(Form1WindowTest)
#include "form1_window_test.moc"
