// Widget tests of the Qt site dialog over a generated site of 30 boreholes (clean ones, ones with
// warnings, ones with errors, one whose converted name a folder in the destination takes, one that
// fails on its data): the rows and their colours as the checks come, clicks on the tick boxes,
// headings and buttons, the outcomes and the detail pane, the report and the log a row opens, the
// window answering while a conversion is held, cancelling, and the main window's button. The
// dialog's rules are tested through a fake view in tests/site_batch_test.cc.

#include "qt/batch_dialog.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "convert/run.h"
#include "convert/site_registry.h"
#include "form/site_batch.h"
#include "platform/drives.h"
#include "qt/main_window.h"
#include "qt/report_dialog.h"

namespace fs = std::filesystem;
using tjvx::form::BatchColumn;
using tjvx::qt::BatchDialog;

namespace {

constexpr int kBoreholes = 30;
constexpr int kWait = 60000;  // ms: a generous bound for a busy machine

// The kind of borehole B-<n> of the generated site: every fifth has an error, every third of the
// rest is clean, the others have warnings.
enum class Kind { kClean, kWarnings, kError };
Kind KindOf(int n) {
  if (n % 5 == 0) return Kind::kError;
  return n % 3 == 0 ? Kind::kClean : Kind::kWarnings;
}

int Column(BatchColumn column) { return static_cast<int>(column); }

// A door the batch's worker waits at until the test opens it.
class Gate {
 public:
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_ = true;
    changed_.wait(lock, [&] { return open_; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  bool arrived() {
    std::lock_guard<std::mutex> lock(mutex_);
    return arrived_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool arrived_ = false;
  bool open_ = false;
};

}  // namespace

class BatchDialogTest : public QObject {
  Q_OBJECT

 private:
  fs::path base_, c_, d_;
  tjvx::convert::SiteRegistry registry_;
  QStringList boxes_;
  QStringList logs_;

  // The site C:\SITE of kBoreholes boreholes made from the sample; D:\OUT holds a folder B-2.
  void MakeSite() {
    const fs::path sample = fs::path(TJVX_SOURCE_DIR) / "samples" / "boreholes" / "B-12";
    for (int n = 1; n <= kBoreholes; ++n) {
      const fs::path folder = c_ / "SITE" / ("B-" + std::to_string(n));
      fs::create_directories(folder);
      fs::copy(sample, folder, fs::copy_options::recursive);
      if (KindOf(n) == Kind::kClean) {
        for (const char* name : {"X3.TXT", "R30.TXT", "X7.TXT", "X5.TXT"}) {
          fs::remove(folder / name);
        }
      } else if (KindOf(n) == Kind::kError) {
        std::ofstream(folder / "N9.TXT", std::ios::binary) << "1,\"\xFF\",2.10\r\n";
      }
    }
    fs::create_directories(d_ / "OUT" / "B-2");
  }

  std::unique_ptr<BatchDialog> MakeDialog(std::shared_ptr<Gate> gate = nullptr) {
    tjvx::form::SiteBatchSetup setup;
    setup.site = u"C:\\SITE";
    setup.destination = u"D:\\OUT";
    setup.pattern_folder = u"D:\\DOZORA\\";
    setup.registry = &registry_;
    setup.jobs = 2;
    tjvx::qt::DialogServices services;
    services.show_message = [this](QWidget*, std::u16string_view prompt, int, std::u16string_view) {
      boxes_ << QString::fromStdU16String(std::u16string(prompt));
      return tjvx::base::kAnswerOk;
    };
    services.show_log = [this](QWidget*, const tjvx::form::LogDrawing& log,
                               std::u16string_view name) {
      if (!log.svg.empty()) logs_ << QString::fromStdU16String(std::u16string(name));
      return true;
    };
    auto dialog = std::make_unique<BatchDialog>(setup, std::move(services));
    if (gate) {
      dialog->logic().SetGate([gate](tjvx::form::BatchPhase phase, const std::u16string&) {
        if (phase == tjvx::form::BatchPhase::kConvert) gate->Pass();
      });
    }
    dialog->show();
    dialog->Start();
    return dialog;
  }

  template <typename T>
  static T* Child(QWidget& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no control %s", name);
    return child;
  }
  static QTreeWidget* List(QWidget& dialog) { return Child<QTreeWidget>(dialog, "BatchList"); }
  static QTreeWidgetItem* Row(QWidget& dialog, int n) {
    const QList<QTreeWidgetItem*> found = List(dialog)->findItems(
        QStringLiteral("B-%1").arg(n), Qt::MatchExactly, Column(BatchColumn::kFolder));
    if (found.size() != 1) qFatal("no row B-%d", n);
    return found.front();
  }
  static void ClickHeading(QWidget& dialog, BatchColumn column) {
    QHeaderView* header = List(dialog)->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(Column(column)) + 8, 4));
  }
  static void Click(QWidget& dialog, const char* button) {
    QTest::mouseClick(Child<QPushButton>(dialog, button), Qt::LeftButton);
  }
  // Clicks the middle of a row's cell in `column`.
  static void ClickCell(QWidget& dialog, QTreeWidgetItem* item, BatchColumn column) {
    QTreeWidget* list = List(dialog);
    const QRect cell = list->visualItemRect(item);
    const int x = list->header()->sectionViewportPosition(Column(column)) + 8;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(x, cell.center().y()));
  }

 private slots:
  void init() {
    std::random_device random;
    base_ = fs::temp_directory_path() / ("tjvx-gui-batch-" + std::to_string(random()));
    c_ = base_ / "c";
    d_ = base_ / "d";
    fs::create_directories(c_);
    fs::create_directories(d_);
    fs::copy(fs::path(TJVX_SOURCE_DIR) / "samples" / "DOZORA", d_ / "DOZORA",
             fs::copy_options::recursive);
    tjvx::platform::DriveTable table;
    table.Map(u'C', c_);
    table.Map(u'D', d_);
    tjvx::platform::SetDrives(table);
    MakeSite();
    boxes_.clear();
    logs_.clear();
  }

  void cleanup() {
    tjvx::platform::SetDrives(tjvx::platform::DriveTable());
    std::error_code ec;
    fs::remove_all(base_, ec);
  }

  void ListsAndChecksEveryBoreholeAsTheRowsFillIn() {
    auto dialog = MakeDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("一括変換 - C:\\SITE"));
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);

    QTreeWidget* list = List(*dialog);
    QCOMPARE(list->topLevelItemCount(), kBoreholes);
    int counts[3] = {0, 0, 0};
    for (int row = 0; row < kBoreholes; ++row) {
      // Natural order: B-1, B-2 … B-10 … B-30.
      const int n = row + 1;
      QTreeWidgetItem* item = list->topLevelItem(row);
      QCOMPARE(item->text(Column(BatchColumn::kFolder)), QStringLiteral("B-%1").arg(n));
      const Kind kind = KindOf(n);
      ++counts[static_cast<int>(kind)];
      // Ticked unless the check found an error; errors in red, warnings on yellow.
      QCOMPARE(item->checkState(0), kind == Kind::kError ? Qt::Unchecked : Qt::Checked);
      QCOMPARE(item->text(Column(BatchColumn::kErrors)),
               kind == Kind::kError ? QStringLiteral("1") : QStringLiteral("0"));
      const QVariant ground = item->data(0, Qt::BackgroundRole);
      const QVariant text = item->data(0, Qt::ForegroundRole);
      QCOMPARE(text.isValid(), kind == Kind::kError);
      QCOMPARE(ground.isValid(), kind != Kind::kClean);
      if (kind == Kind::kError) QVERIFY(text.value<QBrush>().color().red() > 0x80);
    }
    QCOMPARE(Child<QLabel>(*dialog, "BatchSummary")->text(),
             QStringLiteral("%1 件を点検: エラーあり %2、警告あり %3、問題なし %4")
                 .arg(kBoreholes)
                 .arg(counts[2])
                 .arg(counts[1])
                 .arg(counts[0]));
    auto* progress = Child<QProgressBar>(*dialog, "BatchProgress");
    QCOMPARE(progress->value(), kBoreholes);
    QCOMPARE(progress->maximum(), kBoreholes);
    QVERIFY(Child<QPushButton>(*dialog, "BatchConvertButton")->isEnabled());
    QVERIFY(!Child<QPushButton>(*dialog, "BatchCancelButton")->isEnabled());

    // Headings sort: by result (errors first), by name back again, each click the other way.
    ClickHeading(*dialog, BatchColumn::kErrors);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("B-5"));
    QCOMPARE(list->topLevelItem(counts[2])->checkState(0), Qt::Checked);
    ClickHeading(*dialog, BatchColumn::kFolder);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("B-1"));
    ClickHeading(*dialog, BatchColumn::kFolder);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("B-30"));

    // Select none and all reach every tick box; nothing ticked, nothing to convert.
    Click(*dialog, "SelectNoneButton");
    for (int row = 0; row < kBoreholes; ++row) {
      QCOMPARE(list->topLevelItem(row)->checkState(0), Qt::Unchecked);
    }
    QVERIFY(!Child<QPushButton>(*dialog, "BatchConvertButton")->isEnabled());
    Click(*dialog, "SelectAllButton");
    QCOMPARE(Row(*dialog, 5)->checkState(0), Qt::Checked);
    QVERIFY(Child<QPushButton>(*dialog, "BatchConvertButton")->isEnabled());
  }

  void ConvertsTheTickedRowsAndShowsWhatBecameOfEach() {
    auto dialog = MakeDialog();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);
    // B-5 has an error; ticked by hand (chosen, then the space bar) it is converted and fails.
    ClickCell(*dialog, Row(*dialog, 5), BatchColumn::kErrors);
    QTest::keyClick(List(*dialog), Qt::Key_Space);
    QCOMPARE(Row(*dialog, 5)->checkState(0), Qt::Checked);
    Click(*dialog, "BatchConvertButton");
    QVERIFY(!Child<QPushButton>(*dialog, "BatchConvertButton")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);

    int converted = 0;
    for (int n = 1; n <= kBoreholes; ++n) {
      const QString outcome = Row(*dialog, n)->text(Column(BatchColumn::kOutcome));
      if (n == 2) {
        QCOMPARE(outcome, QStringLiteral("拒否"));
        QCOMPARE(Row(*dialog, n)->text(Column(BatchColumn::kMessage)),
                 QStringLiteral("出力ファイルと同名のフォルダが存在する為に変換できません。"));
      } else if (n == 5) {
        QCOMPARE(outcome, QStringLiteral("失敗"));
      } else if (KindOf(n) == Kind::kError) {
        QCOMPARE(outcome, QString());
      } else {
        QCOMPARE(outcome, QStringLiteral("変換済"));
        QVERIFY(fs::is_regular_file(d_ / "OUT" / ("B-" + std::to_string(n))));
        ++converted;
      }
    }
    QCOMPARE(Child<QLabel>(*dialog, "BatchSummary")->text(),
             QStringLiteral("変換済 %1 件、拒否 1 件、失敗 1 件、未変換 0 件").arg(converted));
    QCOMPARE(static_cast<int>(std::distance(fs::directory_iterator(d_ / "OUT"), {})),
             converted + 1);
    QCOMPARE(Child<QProgressBar>(*dialog, "BatchProgress")->value(), converted + 2);
    QCOMPARE(registry_.current_folder(), std::u16string(u"D:\\OUT\\"));
    QVERIFY(boxes_.isEmpty());

    // A click on a row shows its whole message in the detail pane.
    ClickCell(*dialog, Row(*dialog, 5), BatchColumn::kMessage);
    const QString detail = Child<QPlainTextEdit>(*dialog, "BatchDetail")->toPlainText();
    QVERIFY2(detail.startsWith(QStringLiteral("C:\\SITE\\B-5\n")), qPrintable(detail));
    QVERIFY2(detail.contains(QStringLiteral("\n失敗: ファイルに Shift-JIS でないバイトがある為に")),
             qPrintable(detail));
    QVERIFY(!Child<QPushButton>(*dialog, "BatchLogButton")->isEnabled());
    // Its check report opens as the check button's does.
    QString report_title;
    QTimer::singleShot(0, dialog.get(), [&] {
      if (auto* report = qobject_cast<tjvx::qt::ReportDialog*>(QApplication::activeModalWidget())) {
        report_title = report->windowTitle();
        report->accept();
      }
    });
    Click(*dialog, "BatchReportButton");
    QCOMPARE(report_title, QStringLiteral("点検結果 - C:\\SITE\\B-5"));
    // A converted row's log opens as the log button's does.
    ClickCell(*dialog, Row(*dialog, 7), BatchColumn::kErrors);
    Click(*dialog, "BatchLogButton");
    QCOMPARE(logs_, QStringList{QStringLiteral("B-7")});
  }

  void AnswersWhileTheBatchIsHeldAtAGate() {
    auto gate = std::make_shared<Gate>();
    auto dialog = MakeDialog(gate);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);
    Click(*dialog, "BatchConvertButton");
    QTRY_VERIFY_WITH_TIMEOUT(gate->arrived(), kWait);
    QTRY_COMPARE_WITH_TIMEOUT(Child<QLabel>(*dialog, "BatchStatus")->text(),
                              QStringLiteral("変換中: B-1"), kWait);
    // The first folder's run is held; the window still answers clicks and keys.
    QTreeWidget* list = List(*dialog);
    ClickHeading(*dialog, BatchColumn::kFolder);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("B-30"));
    ClickCell(*dialog, Row(*dialog, 12), BatchColumn::kErrors);
    QVERIFY(Child<QPlainTextEdit>(*dialog, "BatchDetail")
                ->toPlainText()
                .startsWith(QStringLiteral("C:\\SITE\\B-12\n")));
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(Child<QPlainTextEdit>(*dialog, "BatchDetail")
                ->toPlainText()
                .startsWith(QStringLiteral("C:\\SITE\\B-11\n")));
    // The choice of folders is fixed while they convert: the space bar changes no tick.
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(Row(*dialog, 11)->checkState(0), Qt::Checked);
    QCOMPARE(Row(*dialog, 1)->text(Column(BatchColumn::kOutcome)), QStringLiteral("変換中"));
    QCOMPARE(Child<QProgressBar>(*dialog, "BatchProgress")->value(), 0);
    QVERIFY(dialog->logic().busy());
    gate->Open();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);
    QCOMPARE(Row(*dialog, 1)->text(Column(BatchColumn::kOutcome)), QStringLiteral("変換済"));
  }

  void CancelLeavesTheFoldersNotStartedUnconverted() {
    auto gate = std::make_shared<Gate>();
    auto dialog = MakeDialog(gate);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);
    Click(*dialog, "BatchConvertButton");
    QTRY_VERIFY_WITH_TIMEOUT(gate->arrived(), kWait);
    QVERIFY(Child<QPushButton>(*dialog, "BatchCancelButton")->isEnabled());
    Click(*dialog, "BatchCancelButton");
    QVERIFY(!Child<QPushButton>(*dialog, "BatchCancelButton")->isEnabled());
    QVERIFY(
        Child<QLabel>(*dialog, "BatchStatus")->text().startsWith(QStringLiteral("中止しています")));
    gate->Open();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->logic().busy(), kWait);
    QCOMPARE(Row(*dialog, 1)->text(Column(BatchColumn::kOutcome)), QStringLiteral("変換済"));
    QCOMPARE(Row(*dialog, 3)->text(Column(BatchColumn::kOutcome)), QStringLiteral("未変換"));
    QCOMPARE(static_cast<int>(std::distance(fs::directory_iterator(d_ / "OUT"), {})), 2);
    QCOMPARE(Child<QLabel>(*dialog, "BatchStatus")->text(), QStringLiteral("中止しました。"));
  }

  void TheMainWindowsButtonOpensTheDialogOverTheSourceFolder() {
    fs::create_directories(base_ / "sys");
    std::ofstream(base_ / "sys" / "DozoraV5.ini", std::ios::binary)
        << "[DOZORA]\r\n\"D:\\DOZORA\\\"\r\n";
    qputenv("TJVX_SYSDIR", QByteArray::fromStdString((base_ / "sys").string()));
    const fs::path working_folder = fs::current_path();
    tjvx::qt::MainWindow form;
    QStringList messages;
    form.SetMessageBoxHook([&](std::u16string_view prompt, int, std::u16string_view) {
      messages << QString::fromStdU16String(std::u16string(prompt));
      return tjvx::base::kAnswerOk;
    });
    QVERIFY(form.Start());
    QString title;
    int rows = -1;
    form.SetBatchDialogHook([&](BatchDialog& dialog) {
      title = dialog.windowTitle();
      // Once its rows are in, the dialog is closed.
      auto* timer = new QTimer(&dialog);
      connect(timer, &QTimer::timeout, &dialog, [&dialog, &rows] {
        if (dialog.logic().busy() || !dialog.isVisible()) return;
        rows = List(dialog)->topLevelItemCount();
        dialog.reject();
      });
      timer->start(50);
    });
    form.findChild<QLineEdit*>(QStringLiteral("SourceFolderBox"))
        ->setText(QStringLiteral(" C:\\SITE\\ "));
    form.findChild<QLineEdit*>(QStringLiteral("DestinationBox"))
        ->setText(QStringLiteral("D:\\OUT"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BatchButton")), Qt::LeftButton);
    QCOMPARE(title, QStringLiteral("一括変換 - C:\\SITE"));
    QCOMPARE(rows, kBoreholes);
    QVERIFY(messages.isEmpty());
    // A blank source box or a folder that is not there opens nothing.
    title.clear();
    form.findChild<QLineEdit*>(QStringLiteral("SourceFolderBox"))->setText(QStringLiteral("  "));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BatchButton")), Qt::LeftButton);
    form.findChild<QLineEdit*>(QStringLiteral("SourceFolderBox"))
        ->setText(QStringLiteral("C:\\NONE"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("BatchButton")), Qt::LeftButton);
    QVERIFY(title.isEmpty());
    QCOMPARE(
        messages,
        (QStringList{QStringLiteral("変換元ファイルが選択されていません。"),
                     QStringLiteral("変換元フォルダが存在しない為に変換できません。\nC:\\NONE")}));
    fs::current_path(working_folder);
  }
};

QTEST_MAIN(BatchDialogTest)
#include "batch_dialog_test.moc"
