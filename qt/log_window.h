#ifndef TJVX_QT_LOG_WINDOW_H_
#define TJVX_QT_LOG_WINDOW_H_

#include <QByteArray>
#include <QGraphicsView>
#include <QImage>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "qt/save_file.h"

class QGraphicsSvgItem;
class QHBoxLayout;
class QPrinter;
class QLabel;
class QSvgRenderer;
class QWheelEvent;

namespace tjvx::qt {

// The drawing's view: scrolls as any view does, and Ctrl with the wheel asks for a zoom step.
class LogView : public QGraphicsView {
  Q_OBJECT

 public:
  using QGraphicsView::QGraphicsView;

 signals:
  void ZoomSteps(int steps);

 protected:
  void wheelEvent(QWheelEvent* event) override;
};

// The log drawing of a converted file in a window of its own: the SVG in a scrollable view that
// zooms (Ctrl+wheel, the -/+ buttons, Ctrl+-/Ctrl++, fit to width), a button that prints its A4
// pages (to a printer or a PDF file), and buttons that save it as SVG or as a PNG picture at twice
// its size.
class LogWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr double kMinZoom = 0.1;
  static constexpr double kMaxZoom = 8;
  static constexpr double kZoomStep = 1.25;
  static constexpr double kPictureScale = 2;

  // `pages`: the SVG of each A4 page that printing puts on a sheet of its own.
  LogWindow(const std::string& svg, std::vector<std::string> pages, std::u16string_view name,
            SaveFileHook save_hook, QWidget* parent = nullptr);

  // Whether the SVG could be read; a window that cannot is not shown.
  bool valid() const;
  QSvgRenderer* renderer() const { return renderer_; }
  double zoom() const { return zoom_; }
  // Zoom 1 shows the drawing at the size the SVG gives.
  void SetZoom(double zoom);
  void ZoomIn() { SetZoom(zoom_ * kZoomStep); }
  void ZoomOut() { SetZoom(zoom_ / kZoomStep); }
  // The drawing's width fills the view's.
  void FitWidth();
  // The drawing at `scale` times the SVG's size on white, smaller when it would be too large to
  // hold in memory.
  QImage Picture(double scale) const;
  // The save buttons: ask for a file and write it. False when cancelled or not written.
  bool SaveSvg();
  bool SavePng();
  // The print button: asks for the printer (a PDF file too) and prints. False when cancelled.
  bool Print();
  // Prints the A4 pages on `printer`, each on a sheet of its own, as large as the sheet allows.
  // False when a page cannot be read or the printer cannot be started.
  bool PrintTo(QPrinter& printer) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The constructor's steps: the drawing's view, the row of tools above it (laid out, returned
  // for the window's layout), the keyboard shortcuts, and the first size.
  void CreateView();
  QHBoxLayout* CreateTools();
  void AddShortcuts();
  void SizeToScreen(const QWidget* parent);

  QByteArray svg_;
  std::vector<std::string> pages_;
  QString name_;
  SaveFileHook save_hook_;
  QSvgRenderer* renderer_;
  QGraphicsSvgItem* item_ = nullptr;
  LogView* view_;
  QLabel* zoom_label_;
  double zoom_ = 1;
  bool fitted_ = false;
};

}  // namespace tjvx::qt

#endif  // TJVX_QT_LOG_WINDOW_H_
