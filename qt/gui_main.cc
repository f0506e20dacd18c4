// tjvx-gui: the converter's window. `--screenshot FILE` saves a picture of the window as soon as
// it is shown and ends the program (used for the documentation).

#include <QApplication>
#include <QCommandLineParser>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "qt/form1_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("tjvx"));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("The Tarvik_Jr -> User(Vx) converter's window."));
  parser.addHelpOption();
  QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                QStringLiteral("Save a PNG of the window to FILE and quit."),
                                QStringLiteral("FILE"));
  parser.addOption(screenshot);
  parser.process(app);

  tjvx::qt::Form1Window form;
  // Without a pattern folder the program ends here, after the start-up check's message.
  if (!form.Form_Load()) return 1;
  form.show();

  if (parser.isSet(screenshot)) {
    const QString file = parser.value(screenshot);
    // The window is painted and placed by the window manager before the picture is taken.
    QTimer::singleShot(1500, &form, [&form, &app, file] {
      // On X11 the picture is cut from the screen, so the window manager's title bar shows too;
      // elsewhere the window paints itself into the picture.
      QPixmap picture;
      if (QGuiApplication::platformName() == QStringLiteral("xcb") && form.screen() != nullptr) {
        const QRect frame = form.frameGeometry();
        picture = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
      }
      if (picture.isNull()) picture = form.grab();
      const bool saved = picture.save(file, "PNG");
      if (!saved) std::fprintf(stderr, "tjvx-gui: cannot write %s\n", qPrintable(file));
      app.exit(saved ? 0 : 1);
    });
  }
  return app.exec();
}
