// Widget tests of the Qt window: what only the widgets show. The captions and frames, events
// reaching the window's logic (clicks, double-click, Enter, the drive lists, F1), the hourglass,
// real message boxes, the warnings line, the check's report dialog and the log window. The logic
// itself is tested through a fake view in tests/converter_form_test.cc.

#include "qt/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/utf.h"
#include "convert/check_report.h"
#include "convert/run.h"
#include "platform/drives.h"
#include "platform/help.h"
#include "qt/report_dialog.h"
#include "source/code_table.h"
#ifdef TJVX_HAVE_QT_SVG
#include <QGraphicsView>
#include <QPrinter>
#include <QSvgRenderer>
#include <QWheelEvent>

#include "converted/reader.h"
#include "drawing/log_layout.h"
#include "drawing/svg.h"
#include "qt/log_window.h"
#endif

namespace fs = std::filesystem;
using tjvx::form::Side;
using tjvx::qt::MainWindow;

namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

struct Box {
  QString prompt;
  int style;
  QString title;
  QString status;  // what the status line showed while the box was up
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  fs::path base_, c_, d_;
  fs::path working_folder_;
  std::vector<Box> boxes_;
  std::vector<int> answers_;

  // A window as the program makes it, with message boxes recorded and answered from answers_.
  std::unique_ptr<MainWindow> MakeForm() {
    auto form = std::make_unique<MainWindow>();
    MainWindow* raw = form.get();
    form->SetMessageBoxHook(
        [this, raw](std::u16string_view prompt, int style, std::u16string_view title) {
          auto* status = raw->findChild<QLabel*>(QStringLiteral("StatusLine"));
          boxes_.push_back({Q(prompt), style, Q(title), status ? status->text() : QString()});
          if (answers_.empty()) return tjvx::base::kAnswerOk;
          int answer = answers_.front();
          answers_.erase(answers_.begin());
          return answer;
        });
    return form;
  }

  template <typename T>
  static T* Child(MainWindow& form, const char* name) {
    T* child = form.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }

  // The widget the tab key goes to after `widget`.
  static QWidget* NextTabStop(QWidget* widget) {
    QWidget* next = widget->nextInFocusChain();
    while (next != widget && (!(next->focusPolicy() & Qt::TabFocus) || !next->isEnabled() ||
                              !next->isVisibleTo(widget->window()))) {
      next = next->nextInFocusChain();
    }
    return next;
  }

  // Converts the sample C:\B-12 into D:\OUT with the run button, the missing folder made.
  void RunTheSample(MainWindow& form) {
    Child<QLineEdit>(form, "SourceFolderBox")->setText(QStringLiteral("C:\\B-12"));
    Child<QLineEdit>(form, "DestinationBox")->setText(QStringLiteral("D:\\OUT"));
    if (!fs::exists(d_ / "OUT")) answers_ = {tjvx::base::kAnswerYes};
    QTest::mouseClick(Child<QPushButton>(form, "ConvertButton"), Qt::LeftButton);
  }

  static QByteArray ReadAll(const fs::path& file) {
    QFile in(QString::fromStdString(file.string()));
    if (!in.open(QIODevice::ReadOnly)) return {};
    return in.readAll();
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
    QCOMPARE(Child<QGroupBox>(*form, "SourceFrame")->title(), QStringLiteral("変換元フォルダ選択"));
    QCOMPARE(Child<QGroupBox>(*form, "DestinationFrame")->title(),
             QStringLiteral("変換先フォルダ名選択"));
    QCOMPARE(Child<QGroupBox>(*form, "MessageFrame")->title(), QStringLiteral("メッセージ"));
    QCOMPARE(Child<QLabel>(*form, "SourceLabel")->text(), QStringLiteral("変換元フォルダ名："));
    QCOMPARE(Child<QLabel>(*form, "DestinationLabel")->text(),
             QStringLiteral("変換先フォルダ名 ："));
    QCOMPARE(Child<QLabel>(*form, "StatusLine")->text(), QString());
    QCOMPARE(Child<QPushButton>(*form, "ConvertButton")->text(), QStringLiteral("実  行"));
    QCOMPARE(Child<QPushButton>(*form, "CloseButton")->text(), QStringLiteral("終  了"));
    QCOMPARE(Child<QPushButton>(*form, "CheckButton")->text(), QStringLiteral("点  検"));
    QCOMPARE(Child<QPushButton>(*form, "ShowLogButton")->text(), QStringLiteral("柱状図"));
    QCOMPARE(Child<QLabel>(*form, "WarningsLine")->text(), QString());
    Child<QWidget>(*form, "Decoration");
    // Each frame holds its own controls.
    for (const char* name :
         {"SourceDriveList", "SourceFolderList", "SourceLabel", "SourceFolderBox"}) {
      QVERIFY(Child<QWidget>(*form, name)->parent() == Child<QGroupBox>(*form, "SourceFrame"));
    }
    for (const char* name :
         {"DestinationDriveList", "DestinationFolderList", "DestinationLabel", "DestinationBox"}) {
      QVERIFY(Child<QWidget>(*form, name)->parent() == Child<QGroupBox>(*form, "DestinationFrame"));
    }
    QVERIFY(Child<QWidget>(*form, "StatusLine")->parent() ==
            Child<QGroupBox>(*form, "MessageFrame"));
    // The warnings line is a line of its own under the message frame and above the buttons, whose
    // row holds run, check, log and close in that order.
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* warnings_line = Child<QLabel>(*form, "WarningsLine");
    QVERIFY(warnings_line->parent() == form.get());
    QVERIFY(warnings_line->isVisible());
    QVERIFY(warnings_line->height() >= warnings_line->fontMetrics().height());
    QVERIFY(warnings_line->geometry().top() >=
            Child<QGroupBox>(*form, "MessageFrame")->geometry().bottom());
    QVERIFY(warnings_line->geometry().bottom() <=
            Child<QPushButton>(*form, "ConvertButton")->geometry().top());
    int left = -1;
    for (const char* name : {"ConvertButton", "CheckButton", "ShowLogButton", "CloseButton"}) {
      auto* button = Child<QPushButton>(*form, name);
      QVERIFY2(button->geometry().left() > left, name);
      QVERIFY2(button->width() >= button->sizeHint().width(), name);
      left = button->geometry().left();
    }
    // The tab key goes from the destination box through the buttons in the order they stand.
    QWidget* at = Child<QLineEdit>(*form, "DestinationBox");
    for (const char* name : {"ConvertButton", "CheckButton", "ShowLogButton", "CloseButton"}) {
      at = NextTabStop(at);
      QCOMPARE(at->objectName(), QString::fromLatin1(name));
    }
    // The drive lists hold the drive table's drives.
    auto* source_drives = Child<QComboBox>(*form, "SourceDriveList");
    QCOMPARE(source_drives->count(), 3);
    QVERIFY(source_drives->itemText(0).startsWith(QStringLiteral("C:")));
    QVERIFY(source_drives->itemText(2).startsWith(QStringLiteral("Z:")));
  }

  void RunButtonConvertsTheSample() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    Child<QLineEdit>(*form, "SourceFolderBox")->setText(QStringLiteral("C:\\B-12"));
    Child<QLineEdit>(*form, "DestinationBox")->setText(QStringLiteral("D:\\OUT\\LOGS"));
    answers_ = {tjvx::base::kAnswerYes};
    QTest::mouseClick(Child<QPushButton>(*form, "ConvertButton"), Qt::LeftButton);

    // One question for the missing folders, asked while the busy text shows.
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, QStringLiteral("フォルダがありません。新規作成しますか？"));
    QCOMPARE(boxes_[0].style, tjvx::base::kMsgYesNoQuestion);
    QCOMPARE(boxes_[0].status, QStringLiteral("只今変換中！　しばらくお待ちください。"));
    QVERIFY(Child<QLabel>(*form, "StatusLine")
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
    QTest::mouseClick(Child<QPushButton>(*form, "ConvertButton"), Qt::LeftButton);
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(form->logic().registry().count(), 1);
    QCOMPARE(Q(form->logic().registry().Site(1)), QStringLiteral("B-12"));
  }

  void BadDestinationSelectsTheDestinationBox() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    form->show();
    QApplication::setActiveWindow(form.get());
    auto* destination_box = Child<QLineEdit>(*form, "DestinationBox");
    Child<QLineEdit>(*form, "SourceFolderBox")->setText(QStringLiteral("C:\\B-12"));
    Child<QLineEdit>(*form, "SourceFolderBox")->setFocus();
    destination_box->setText(QStringLiteral("D:\\OUT*"));
    QTest::mouseClick(Child<QPushButton>(*form, "ConvertButton"), Qt::LeftButton);

    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, QStringLiteral("指定されたパスは正しくありません。"));
    QCOMPARE(boxes_[0].style, tjvx::base::kMsgExclamation);
    QCOMPARE(boxes_[0].title, QStringLiteral("D:\\OUT*"));
    QVERIFY(form->focusWidget() == destination_box);
    QCOMPARE(destination_box->selectedText(), QStringLiteral("D:\\OUT*"));
    QCOMPARE(destination_box->selectionStart(), 0);
    QCOMPARE(Child<QLabel>(*form, "StatusLine")->text(), QString());
    QVERIFY(!fs::exists(d_ / "OUT*"));
  }

  void PickingASourceFolderFillsTheSourceFolderBox() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    auto* source_list = Child<tjvx::qt::FolderList>(*form, "SourceFolderList");
    auto* source_box = Child<QLineEdit>(*form, "SourceFolderBox");
    QVERIFY(form->logic().SetFolder(Side::kSource, u"C:\\"));
    QCOMPARE(source_box->text(), QStringLiteral("C:\\"));
    // The root, then its subfolders in order.
    QCOMPARE(source_list->count(), 3);
    QCOMPARE(source_list->item(0)->text(), QStringLiteral("C:\\"));
    QCOMPARE(source_list->item(1)->text(), QStringLiteral("B-12"));
    QCOMPARE(source_list->item(2)->text(), QStringLiteral("DOZORA"));
    QCOMPARE(source_list->item(2)->data(tjvx::qt::FolderList::kPathRole).toString(),
             QStringLiteral("C:\\DOZORA"));
    QCOMPARE(source_list->item(0)->data(tjvx::qt::FolderList::kLevelRole).toInt(), 0);
    QCOMPARE(source_list->item(2)->data(tjvx::qt::FolderList::kLevelRole).toInt(), 1);

    // Double-click opens a subfolder: the list shows the chain C:\ > B-12 and no subfolders.
    const QRect rect = source_list->visualItemRect(source_list->item(1));
    // The view takes a double-click only on the entry that the first click pressed.
    QTest::mouseClick(source_list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(source_box->text(), QStringLiteral("C:\\"));
    QTest::mouseDClick(source_list->viewport(), Qt::LeftButton, {}, rect.center());
    QCOMPARE(source_box->text(), QStringLiteral("C:\\B-12"));
    QCOMPARE(source_list->count(), 2);
    QCOMPARE(source_list->currentItem()->text(), QStringLiteral("B-12"));
    QCOMPARE(source_list->currentItem()->data(tjvx::qt::FolderList::kLevelRole).toInt(), 1);

    // Enter on a folder of the chain goes back up.
    source_list->setCurrentRow(0);
    QTest::keyClick(source_list, Qt::Key_Return);
    QCOMPARE(source_box->text(), QStringLiteral("C:\\"));
    QCOMPARE(Q(form->logic().Folder(Side::kSource)), QStringLiteral("C:\\"));
  }

  void ChoosingADriveMovesTheFolderList() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    auto* destination_drives = Child<QComboBox>(*form, "DestinationDriveList");
    destination_drives->setCurrentIndex(
        destination_drives->findText(QStringLiteral("D:"), Qt::MatchStartsWith));
    QCOMPARE(Child<QLineEdit>(*form, "DestinationBox")->text(), QStringLiteral("D:\\"));
    QCOMPARE(tjvx::platform::CurrentDrive(), u'D');
  }

  void LostDriveSetsTheSourceDriveListBack() {
    fs::create_directories(base_ / "e");
    tjvx::platform::DriveTable table = tjvx::platform::Drives();
    table.Map(u'E', base_ / "e");
    tjvx::platform::SetDrives(table);
    auto form = MakeForm();
    QVERIFY(form->Start());
    auto* source_drives = Child<QComboBox>(*form, "SourceDriveList");
    auto* source_list = Child<tjvx::qt::FolderList>(*form, "SourceFolderList");
    source_drives->setCurrentIndex(0);
    QVERIFY(form->logic().SetFolder(Side::kSource, u"C:\\B-12"));
    const int c_index = source_drives->currentIndex();
    QVERIFY(source_drives->itemText(c_index).startsWith(QStringLiteral("C:")));

    // The drive goes away after the list was filled.
    fs::remove_all(base_ / "e");
    source_drives->setCurrentIndex(
        source_drives->findText(QStringLiteral("E:"), Qt::MatchStartsWith));
    QCOMPARE(source_drives->currentIndex(), c_index);
    QCOMPARE(Q(form->logic().Folder(Side::kSource)), QStringLiteral("C:\\B-12"));
    QCOMPARE(Child<QLineEdit>(*form, "SourceFolderBox")->text(), QStringLiteral("C:\\B-12"));
    QCOMPARE(source_list->currentItem()->text(), QStringLiteral("B-12"));
  }

  void HostShowsTheHourglassOnce() {
    auto form = MakeForm();
    form->logic().SetPointer(tjvx::convert::kPointerHourglass);
    form->logic().SetPointer(tjvx::convert::kPointerHourglass);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    form->logic().SetPointer(tjvx::convert::kPointerDefault);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }

  void RealMessageBoxesFollowTheStyle() {
    MainWindow form;  // no hook: real message boxes
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
      QCOMPARE(form.ShowMessage(u"フォルダがありません。", c.style, c.title), c.answer);
      QCOMPARE(icon, c.icon);
      QCOMPARE(buttons, c.buttons);
      QCOMPARE(title, c.shown_title);
      QCOMPARE(text, QStringLiteral("フォルダがありません。"));
    }
  }

  void SaveBytesNamesTheFileItCouldNotWrite() {
    // A file in a folder that is not there cannot be written: a warning names it.
    const QString path = QString::fromStdString((base_ / "no-folder" / "report.txt").string());
    QString title, text;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      title = box->windowTitle();
      text = box->text();
      box->accept();
    });
    QVERIFY(!tjvx::qt::SaveBytes(nullptr, path, QByteArray("x")));
    QCOMPARE(title, QStringLiteral("tjvx"));
    QCOMPARE(text,
             QStringLiteral("ファイルを保存できませんでした。\n") + QDir::toNativeSeparators(path));
    QVERIFY(!QFile::exists(path));
  }

  void CloseButtonClosesTheWindow() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QTest::mouseClick(Child<QPushButton>(*form, "CloseButton"), Qt::LeftButton);
    QVERIFY(!form->isVisible());
  }

  void F1WithoutHelpFileOrManualSaysSo() {
    auto form = MakeForm();
    QVERIFY(form->Start());
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

  void WarningsLineShowsWhatTheLogicSets() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    form->SetText(tjvx::form::TextControl::kWarningsLine, u"警告 4 件: 元の値のまま");
    QCOMPARE(Child<QLabel>(*form, "WarningsLine")->text(),
             QStringLiteral("警告 4 件: 元の値のまま"));
    QCOMPARE(Q(form->Text(tjvx::form::TextControl::kWarningsLine)),
             QStringLiteral("警告 4 件: 元の値のまま"));
    QCOMPARE(Child<QLabel>(*form, "StatusLine")->text(), QString());

    // A run of the sample, whose source values include some that are not written as they stand:
    // The status line keeps its done text and the warnings line counts the warnings.
    RunTheSample(*form);
    QVERIFY(Child<QLabel>(*form, "StatusLine")
                ->text()
                .endsWith(QStringLiteral("変換が正常に終了しました。")));
    const QString warnings_line = Child<QLabel>(*form, "WarningsLine")->text();
    QVERIFY2(warnings_line.startsWith(QStringLiteral("警告 ")), qPrintable(warnings_line));
    QVERIFY(warnings_line.contains(QStringLiteral(" 件: ")));
  }

  void CheckButtonShowsTheCheckReport() {
    auto form = MakeForm();
    QVERIFY(form->Start());
    form->show();
    Child<QLineEdit>(*form, "SourceFolderBox")->setText(QStringLiteral("C:\\B-12"));
    const fs::path saved = base_ / "report.txt";
    QString suggested;
    form->SetSaveFileHook([&](const QString& name) {
      suggested = name;
      return QString::fromStdString(saved.string());
    });
    // What the report holds, from the check itself.
    tjvx::source::PatternTables tables(u"C:\\DOZORA\\");
    const tjvx::convert::CheckResult check =
        tjvx::convert::CheckSourceFolder(u"C:\\B-12", tables, false);
    const QString report_text = Q(tjvx::convert::ReportText(check.folder, check));

    // Checks the dialog while it is up; a failed check leaves it to be closed below.
    auto inspect = [&](tjvx::qt::ReportDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("点検結果 - C:\\B-12"));
      auto* list = dialog->findChild<tjvx::qt::ReportList*>(QStringLiteral("List"));
      QVERIFY(list != nullptr);
      // The sample's check finds 4 warnings and 2 notices, one row each in the check's order.
      QCOMPARE(list->topLevelItemCount(), 6);
      QCOMPARE(static_cast<size_t>(list->topLevelItemCount()), check.findings.size());
      int warnings = 0, notices = 0;
      for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        const tjvx::base::Finding& finding = check.findings[static_cast<size_t>(row)];
        const QString severity = item->text(tjvx::qt::ReportList::kSeverity);
        QCOMPARE(severity, Q(tjvx::convert::SeverityWord(finding.severity)));
        QVERIFY(!item->icon(tjvx::qt::ReportList::kSeverity).isNull());
        QCOMPARE(item->text(tjvx::qt::ReportList::kFile),
                 Q(tjvx::convert::FindingFileName(finding)));
        QCOMPARE(item->text(tjvx::qt::ReportList::kLine),
                 finding.line > 0 ? QString::number(finding.line) : QString());
        // The message column holds the message without the file, line and severity again.
        const QString message = item->text(tjvx::qt::ReportList::kMessage);
        QVERIFY2(message.startsWith(Q(finding.message)), qPrintable(message));
        // A warning stands out from a notice.
        const QBrush ground = item->background(tjvx::qt::ReportList::kMessage);
        if (severity == QStringLiteral("警告")) {
          ++warnings;
          QCOMPARE(ground.style(), Qt::SolidPattern);
        } else if (severity == QStringLiteral("通知")) {
          ++notices;
          QCOMPARE(ground.style(), Qt::NoBrush);
        }
      }
      QCOMPARE(warnings, 4);
      QCOMPARE(notices, 2);
      QCOMPARE(dialog->findChild<QLabel*>(QStringLiteral("Summary"))->text(),
               QStringLiteral("C:\\B-12: エラー 0 件、警告 4 件、通知 2 件"));

      // Ctrl+C copies the selected rows as the report writes them.
      list->setFocus();
      list->clearSelection();
      list->topLevelItem(0)->setSelected(true);
      list->topLevelItem(2)->setSelected(true);
      QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
      QCOMPARE(QGuiApplication::clipboard()->text(),
               Q(tjvx::convert::FindingLine(check.findings[0]) + u"\n" +
                 tjvx::convert::FindingLine(check.findings[2]) + u"\n"));
      // コピー copies the whole report.
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Copy")), Qt::LeftButton);
      QCOMPARE(QGuiApplication::clipboard()->text(), report_text);
      // 保存... writes it in UTF-8 where the user says, a .txt named after the folder suggested.
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Save")), Qt::LeftButton);
      QVERIFY2(suggested.endsWith(QStringLiteral("/点検結果_B-12.txt")), qPrintable(suggested));
      QCOMPARE(ReadAll(saved), report_text.toUtf8());
      QVERIFY(dialog->isVisible());
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Close")), Qt::LeftButton);
      QVERIFY(!dialog->isVisible());
    };
    bool seen = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<tjvx::qt::ReportDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      seen = true;
      inspect(dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    QTest::mouseClick(Child<QPushButton>(*form, "CheckButton"), Qt::LeftButton);
    QVERIFY(seen);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(boxes_.empty());
    // Nothing was converted or written into the source folder.
    QVERIFY(!fs::exists(c_ / "B-12" / "B-12"));
  }

  void ShowLogButtonIsEnabledByARunAndShowsTheLog() {
    auto form = MakeForm();
    auto* show_log = Child<QPushButton>(*form, "ShowLogButton");
    QVERIFY(form->Start());
    QVERIFY(!show_log->isEnabled());
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    // A click on the disabled button does nothing.
    QTest::mouseClick(show_log, Qt::LeftButton);
    QVERIFY(form->findChildren<QWidget*>(QStringLiteral("LogWindow")).isEmpty());

    RunTheSample(*form);
    QVERIFY(show_log->isEnabled());
    // A run that is refused disables it again.
    Child<QLineEdit>(*form, "DestinationBox")->setText(QStringLiteral("D:\\OUT*"));
    QTest::mouseClick(Child<QPushButton>(*form, "ConvertButton"), Qt::LeftButton);
    QVERIFY(!show_log->isEnabled());
    RunTheSample(*form);
    QVERIFY(show_log->isEnabled());
    boxes_.clear();

#ifdef TJVX_HAVE_QT_SVG
    std::vector<fs::path> files = {base_ / "log.svg", base_ / "log.png"};
    QStringList suggested;
    form->SetSaveFileHook([&](const QString& name) {
      suggested << name;
      const fs::path file = files.front();
      files.erase(files.begin());
      return QString::fromStdString(file.string());
    });
    QTest::mouseClick(show_log, Qt::LeftButton);
    QVERIFY2(boxes_.empty(), boxes_.empty() ? "" : qPrintable(boxes_[0].prompt));
    auto* log = form->findChild<tjvx::qt::LogWindow*>(QStringLiteral("LogWindow"));
    QVERIFY(log != nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(log));
    QVERIFY(log->isWindow());
    QCOMPARE(log->windowTitle(), QStringLiteral("柱状図 - B-12"));
    QVERIFY(log->valid());
    QVERIFY(log->renderer()->isValid());
    const QSize size = log->renderer()->defaultSize();
    QVERIFY(size.width() > 0 && size.height() > 0);

    // Shown fitted to the width; the buttons and Ctrl+wheel zoom in and out.
    auto* view = log->findChild<QGraphicsView*>(QStringLiteral("View"));
    QVERIFY(view != nullptr);
    const QRect shown = view->mapFromScene(view->sceneRect()).boundingRect();
    QVERIFY2(
        shown.width() <= view->viewport()->width() &&
            shown.width() >= view->viewport()->width() - 40,
        qPrintable(QStringLiteral("%1 in %2").arg(shown.width()).arg(view->viewport()->width())));
    const double fitted = log->zoom();
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("ZoomIn")), Qt::LeftButton);
    QCOMPARE(log->zoom(), fitted * tjvx::qt::LogWindow::kZoomStep);
    QCOMPARE(view->transform().m11(), log->zoom());
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("ZoomOut")), Qt::LeftButton);
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("ZoomOut")), Qt::LeftButton);
    QCOMPARE(log->zoom(), fitted / tjvx::qt::LogWindow::kZoomStep);
    const QPointF centre = view->viewport()->rect().center();
    QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    QCOMPARE(log->zoom(), fitted);
    // The wheel without Ctrl scrolls and leaves the zoom.
    QWheelEvent scroll(centre, view->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, -120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &scroll);
    QCOMPARE(log->zoom(), fitted);
    log->SetZoom(100);
    QCOMPARE(log->zoom(), tjvx::qt::LogWindow::kMaxZoom);

    // SVGで保存... writes the SVG the window shows; PNGで保存... a picture at twice its size.
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("SaveSvg")), Qt::LeftButton);
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("SavePng")), Qt::LeftButton);
    QCOMPARE(suggested.size(), 2);
    QVERIFY2(suggested[0].endsWith(QStringLiteral("/B-12.svg")), qPrintable(suggested[0]));
    QVERIFY2(suggested[1].endsWith(QStringLiteral("/B-12.png")), qPrintable(suggested[1]));
    QSvgRenderer saved_svg(QString::fromStdString((base_ / "log.svg").string()));
    QVERIFY(saved_svg.isValid());
    QCOMPARE(saved_svg.defaultSize(), size);
    QImage picture(QString::fromStdString((base_ / "log.png").string()));
    QCOMPARE(picture.size(), size * tjvx::qt::LogWindow::kPictureScale);
    // Something is drawn on the white sheet.
    const QImage small = picture.scaled(64, 64);
    bool drawn = false;
    for (int y = 0; y < small.height() && !drawn; ++y) {
      for (int x = 0; x < small.width() && !drawn; ++x)
        drawn = small.pixel(x, y) != qRgb(255, 255, 255);
    }
    QVERIFY(drawn);
    QVERIFY(boxes_.empty());
    QTest::mouseClick(log->findChild<QPushButton*>(QStringLiteral("Close")), Qt::LeftButton);
    QTRY_VERIFY(form->findChild<tjvx::qt::LogWindow*>(QStringLiteral("LogWindow")) == nullptr);
#endif
  }

  void PrintPutsEachA4PageOnASheetOfItsOwn() {
#ifdef TJVX_HAVE_QT_SVG
    // The golden sample at 1:50 takes two A4 pages.
    const std::filesystem::path golden =
        std::filesystem::path(TJVX_SOURCE_DIR) / "tests" / "golden" / "sample" / "B-12";
    std::ifstream in(golden, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const tjvx::drawing::Drawing drawing =
        tjvx::drawing::LayOutLog(tjvx::converted::ReadConvertedBytes(bytes, u"B-12"),
                                 tjvx::drawing::LayoutOptions{50, tjvx::drawing::Paper::kA4});
    QCOMPARE(drawing.pages.size(), size_t{2});
    std::vector<std::string> pages;
    for (size_t i = 0; i < drawing.pages.size(); ++i) {
      pages.push_back(tjvx::drawing::WritePageSvg(drawing, i));
    }
    tjvx::qt::LogWindow window(tjvx::drawing::WriteSvg(drawing), pages, u"B-12", {});
    QVERIFY(window.findChild<QPushButton*>(QStringLiteral("Print"))->isEnabled());
    const QString pdf = QString::fromStdString((base_ / "log.pdf").string());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QVERIFY(window.PrintTo(printer));
    // Two page objects of A4's size (595 x 842 points) in the PDF.
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    QCOMPARE(written.count("/Type /Page\n"), 2);
    QCOMPARE(written.count("/MediaBox [0 0 595.000000 842.000000]"), 2);
    // A window with no pages cannot print.
    tjvx::qt::LogWindow no_pages(tjvx::drawing::WriteSvg(drawing), {}, u"B-12", {});
    QVERIFY(!no_pages.findChild<QPushButton*>(QStringLiteral("Print"))->isEnabled());
#endif
  }

  void LogWindowNeverSuggestsADeviceName() {
#ifdef TJVX_HAVE_QT_SVG
    // A converted file may be named CON on Linux; its drawing is suggested under a name that
    // Windows can hold as a file too.
    QStringList suggested;
    tjvx::qt::LogWindow window(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>", {}, u"con",
        [&](const QString& name) {
          suggested << name;
          return QString();  // cancelled
        });
    QVERIFY(!window.SaveSvg());
    QVERIFY(!window.SavePng());
    QCOMPARE(suggested.size(), 2);
    QVERIFY2(suggested[0].endsWith(QStringLiteral("/con_.svg")), qPrintable(suggested[0]));
    QVERIFY2(suggested[1].endsWith(QStringLiteral("/con_.png")), qPrintable(suggested[1]));
#endif
  }

  void ShowLogRefusesWhatIsNoSvg() {
    auto form = MakeForm();
    QVERIFY(form->Start());
#ifdef TJVX_HAVE_QT_SVG
    QVERIFY(!form->ShowLog(tjvx::form::LogDrawing{"not a drawing", {}, {}}, u"B-12"));
    QCOMPARE(boxes_.size(), size_t{1});
    QCOMPARE(boxes_[0].prompt, QStringLiteral("柱状図を表示できませんでした。\nB-12"));
    QCOMPARE(boxes_[0].style, tjvx::base::kMsgExclamation);
    QVERIFY(form->findChild<QWidget*>(QStringLiteral("LogWindow")) == nullptr);
#endif
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
