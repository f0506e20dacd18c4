// tjvx-gui: the converter's window. For the documentation's pictures, each of these saves a PNG
// as soon as what it shows is on the screen and ends the program:
//   --screenshot FILE          the window;
//   --report-screenshot FILE   the check's report of the source folder (the 点検 button);
//   --log-screenshot FILE      the log window of a conversion of the source folder into the
//                              destination folder (the 実行 button, then 柱状図);
//   --batch-screenshot FILE    the site dialog over the source folder (the 一括変換... button)
//                              once its folders are checked and converted into the root of
//                              drive O: (the first folder with an error ticked too), with the
//                              first refused folder chosen.

#include <QApplication>
#include <QCommandLineParser>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTranslator>
#include <QTreeWidget>
#include <cstdio>

#include "qt/batch_dialog.h"
#include "qt/main_window.h"

namespace {

// On X11 the picture is cut from the screen, so the window manager's title bar shows too;
// elsewhere the window paints itself into the picture. A dialog whose frame Qt has not been told
// of yet is taken with the frame of `main`.
bool SavePicture(QWidget* window, const QString& file, QWidget* main) {
  QPixmap picture;
  if (QGuiApplication::platformName() == QStringLiteral("xcb") && window->screen() != nullptr) {
    QRect frame = window->frameGeometry();
    if (frame == window->geometry() && main != window) {
      const QRect outer = main->frameGeometry();
      const QRect inner = main->geometry();
      frame.adjust(outer.left() - inner.left(), outer.top() - inner.top(),
                   outer.right() - inner.right(), outer.bottom() - inner.bottom());
    }
    picture = window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  }
  if (picture.isNull()) picture = window->grab();
  const bool saved = picture.save(file, "PNG");
  if (!saved) std::fprintf(stderr, "tjvx-gui: cannot write %s\n", qPrintable(file));
  return saved;
}

// The top-level window other than the main one that is showing now (a dialog or the log window).
QWidget* OtherWindow(QWidget* main) {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != main && window->isVisible() && window->isWindow()) return window;
  }
  return nullptr;
}

// Drives the site dialog for its picture as a user would: once the checks are in, the first
// folder with an error is ticked as well and 変換 is pressed; then the first refused folder is
// chosen and the dialog is taken.
void DriveBatchDialog(QWidget& main, tjvx::qt::BatchDialog& dialog, const QString& file) {
  auto* timer = new QTimer(&dialog);
  QObject::connect(
      timer, &QTimer::timeout, &dialog,
      [&main, &dialog, file, timer, step = 0, waited = 0]() mutable {
        if (dialog.logic().busy()) return;
        auto* list = dialog.findChild<QTreeWidget*>(QStringLiteral("BatchList"));
        if (step == 0) {
          for (int row = 0; row < list->topLevelItemCount(); ++row) {
            QTreeWidgetItem* item = list->topLevelItem(row);
            if (item->checkState(0) == Qt::Unchecked) {
              item->setCheckState(0, Qt::Checked);
              break;
            }
          }
          dialog.findChild<QPushButton*>(QStringLiteral("BatchConvertButton"))->click();
          step = 1;
        } else if (step == 1) {
          const auto outcome = static_cast<int>(tjvx::form::BatchColumn::kOutcome);
          for (int row = 0; row < list->topLevelItemCount(); ++row) {
            if (list->topLevelItem(row)->text(outcome) == QStringLiteral("拒否")) {
              list->setCurrentItem(list->topLevelItem(row));
              break;
            }
          }
          step = 2;
        } else if (++waited * 200 >= 1500) {
          timer->stop();
          QCoreApplication::exit(SavePicture(&dialog, file, &main) ? 0 : 1);
        }
      });
  timer->start(200);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tjvx"));
  // Qt's own dialogs (the file dialog, the Yes/No buttons) in Japanese, as the rest of the window;
  // without Qt's translations (Debian: qt6-translations-l10n) they stay in English.
  QTranslator qt_texts;
  if (qt_texts.load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                    QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  // Qt SVG before 6.7 draws no pattern fills (a log's hatches) and warns of each; the fills'
  // colours under them are drawn all the same.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.svg.warning=false"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("The Tarvik_Jr -> User(Vx) converter's window."));
  parser.addHelpOption();
  QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                QStringLiteral("Save a PNG of the window to FILE and quit."),
                                QStringLiteral("FILE"));
  QCommandLineOption report_screenshot(
      QStringLiteral("report-screenshot"),
      QStringLiteral("Check the source folder, save a PNG of the report to FILE and quit."),
      QStringLiteral("FILE"));
  QCommandLineOption log_screenshot(
      QStringLiteral("log-screenshot"),
      QStringLiteral("Convert, save a PNG of the log window to FILE and quit."),
      QStringLiteral("FILE"));
  QCommandLineOption batch_screenshot(
      QStringLiteral("batch-screenshot"),
      QStringLiteral("Convert the source folder's boreholes, save a PNG of the site dialog to FILE "
                     "and quit."),
      QStringLiteral("FILE"));
  parser.addOptions({screenshot, report_screenshot, log_screenshot, batch_screenshot});
  parser.process(app);

  tjvx::qt::MainWindow form;
  // Without a pattern folder the program ends here, after the start-up check's message.
  if (!form.Start()) return 1;
  form.show();

  // The window is painted and placed by the window manager before a picture is taken.
  constexpr int kSettle = 1500;
  if (parser.isSet(screenshot)) {
    const QString file = parser.value(screenshot);
    QTimer::singleShot(kSettle, &form, [&form, file] {
      QCoreApplication::exit(SavePicture(&form, file, &form) ? 0 : 1);
    });
  } else if (parser.isSet(report_screenshot) || parser.isSet(log_screenshot)) {
    const bool report = parser.isSet(report_screenshot);
    const QString file = parser.value(report ? report_screenshot : log_screenshot);
    QTimer::singleShot(kSettle, &form, [&form, report, file] {
      // The picture is taken once the other window is up; the report's dialog holds the event
      // loop until then.
      QTimer::singleShot(kSettle, &form, [&form, file] {
        QWidget* window = OtherWindow(&form);
        if (window == nullptr) std::fprintf(stderr, "tjvx-gui: no window to take\n");
        QCoreApplication::exit(window != nullptr && SavePicture(window, file, &form) ? 0 : 1);
      });
      if (report) {
        form.logic().OnCheckClicked();
      } else {
        form.logic().OnConvertClicked();
        form.logic().OnShowLogClicked();
      }
    });
  }
  if (parser.isSet(batch_screenshot)) {
    const QString file = parser.value(batch_screenshot);
    form.logic().SetFolder(tjvx::form::Side::kDestination, u"O:\\");
    form.SetBatchDialogHook(
        [&form, file](tjvx::qt::BatchDialog& dialog) { DriveBatchDialog(form, dialog, file); });
    QTimer::singleShot(kSettle, &form, [&form] { form.logic().OnBatchClicked(); });
  }
  return app.exec();
}
