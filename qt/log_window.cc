#include "qt/log_window.h"

#include <QBuffer>
#include <QGraphicsScene>
#include <QGraphicsSvgItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "form/converter_form.h"
#include "form/file_names.h"
#include "qt/text.h"

namespace tjvx::qt {
namespace {

// A picture larger than this many pixels is made smaller: a long log at twice its size stays
// within a few hundred megabytes.
constexpr double kMaxPicturePixels = 80e6;

}  // namespace

void LogView::wheelEvent(QWheelEvent* event) {
  if ((event->modifiers() & Qt::ControlModifier) != 0) {
    const int delta = event->angleDelta().y();
    if (delta != 0) emit ZoomSteps(delta > 0 ? 1 : -1);
    event->accept();
    return;
  }
  QGraphicsView::wheelEvent(event);
}

LogWindow::LogWindow(const std::string& svg, std::vector<std::string> pages,
                     std::u16string_view name, SaveFileHook save_hook, QWidget* parent)
    : QWidget(parent, Qt::Window),
      svg_(svg.data(), static_cast<qsizetype>(svg.size())),
      pages_(std::move(pages)),
      name_(Q(name)),
      save_hook_(std::move(save_hook)),
      renderer_(new QSvgRenderer(svg_, this)) {
  setObjectName(QStringLiteral("LogWindow"));
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(Q(form::kLogTitle) + QStringLiteral(" - ") + name_);
  CreateView();
  QHBoxLayout* tools = CreateTools();
  AddShortcuts();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(tools);
  layout->addWidget(view_, 1);
  SizeToScreen(parent);
  SetZoom(1);
  view_->setFocus();
}

void LogWindow::CreateView() {
  auto* scene = new QGraphicsScene(this);
  if (renderer_->isValid()) {
    item_ = new QGraphicsSvgItem;
    item_->setSharedRenderer(renderer_);
    // Drawn afresh at every zoom: a cached picture of a long log would be cut to the cache's
    // size and scaled, blurring and shifting its small texts.
    item_->setCacheMode(QGraphicsItem::NoCache);
    scene->addItem(item_);
    scene->setSceneRect(item_->boundingRect());
  }
  view_ = new LogView(scene, this);
  view_->setObjectName(QStringLiteral("View"));
  view_->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                        QPainter::SmoothPixmapTransform);
  view_->setDragMode(QGraphicsView::ScrollHandDrag);
  view_->setBackgroundBrush(QColor(0x8c, 0x8c, 0x8c));
  view_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  connect(view_, &LogView::ZoomSteps, this,
          [this](int steps) { SetZoom(zoom_ * std::pow(kZoomStep, steps)); });
}

QHBoxLayout* LogWindow::CreateTools() {
  auto make_button = [this](const char* name, const QString& caption, const QString& tip) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
  };
  auto* zoom_out = make_button("ZoomOut", QStringLiteral("－"), QStringLiteral("縮小 (Ctrl+-)"));
  auto* zoom_in = make_button("ZoomIn", QStringLiteral("＋"), QStringLiteral("拡大 (Ctrl++)"));
  for (QPushButton* button : {zoom_out, zoom_in}) button->setFixedWidth(40);
  auto* fit = make_button("FitWidth", QStringLiteral("幅に合わせる"),
                          QStringLiteral("図の幅を窓の幅に合わせます (Ctrl+0)"));
  auto* actual = make_button("ActualSize", QStringLiteral("原寸"),
                             QStringLiteral("図を SVG の大きさで表示します"));
  zoom_label_ = new QLabel(this);
  zoom_label_->setObjectName(QStringLiteral("Zoom"));
  zoom_label_->setMinimumWidth(
      zoom_label_->fontMetrics().horizontalAdvance(QStringLiteral("0000 %")) + 8);
  zoom_label_->setAlignment(Qt::AlignCenter);
  auto* save_svg = make_button("SaveSvg", QStringLiteral("SVGで保存..."),
                               QStringLiteral("柱状図を SVG ファイルに保存します"));
  auto* save_png = make_button("SavePng", QStringLiteral("PNGで保存..."),
                               QStringLiteral("柱状図を 2 倍の大きさの PNG 画像に保存します"));
  auto* print =
      make_button("Print", QStringLiteral("印刷..."),
                  QStringLiteral("柱状図を A4 の頁に分けて印刷します (PDF にも) (Ctrl+P)"));
  print->setEnabled(!pages_.empty());
  auto* close_button = make_button("Close", Q(form::kCloseDialogCaption), QString());
  connect(zoom_out, &QPushButton::clicked, this, &LogWindow::ZoomOut);
  connect(zoom_in, &QPushButton::clicked, this, &LogWindow::ZoomIn);
  connect(fit, &QPushButton::clicked, this, &LogWindow::FitWidth);
  connect(actual, &QPushButton::clicked, this, [this] { SetZoom(1); });
  connect(save_svg, &QPushButton::clicked, this, &LogWindow::SaveSvg);
  connect(save_png, &QPushButton::clicked, this, &LogWindow::SavePng);
  connect(print, &QPushButton::clicked, this, &LogWindow::Print);
  connect(close_button, &QPushButton::clicked, this, &QWidget::close);

  auto* tools = new QHBoxLayout;
  tools->addWidget(zoom_out);
  tools->addWidget(zoom_label_);
  tools->addWidget(zoom_in);
  tools->addWidget(fit);
  tools->addWidget(actual);
  tools->addStretch(1);
  tools->addWidget(print);
  tools->addWidget(save_svg);
  tools->addWidget(save_png);
  tools->addWidget(close_button);
  return tools;
}

void LogWindow::AddShortcuts() {
  auto shortcut = [this](QKeySequence keys, auto slot) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, slot);
  };
  shortcut(QKeySequence::ZoomIn, [this] { ZoomIn(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { ZoomIn(); });
  shortcut(QKeySequence::ZoomOut, [this] { ZoomOut(); });
  shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { FitWidth(); });
  shortcut(QKeySequence(Qt::Key_Escape), [this] { QWidget::close(); });
  shortcut(QKeySequence::Print, [this] { Print(); });
}

void LogWindow::SizeToScreen(const QWidget* parent) {
  // As wide as the drawing where the screen allows, and most of the screen's height.
  const QScreen* screen = parent && parent->screen() ? parent->screen() : this->screen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 900);
  const QSize drawing = renderer_->isValid() ? renderer_->defaultSize() : QSize(600, 800);
  resize(std::clamp(drawing.width() + 60, 640, area.width() * 9 / 10), area.height() * 85 / 100);
}

bool LogWindow::valid() const { return renderer_->isValid() && item_ != nullptr; }

void LogWindow::SetZoom(double zoom) {
  zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
  view_->setTransform(QTransform::fromScale(zoom_, zoom_));
  zoom_label_->setText(QStringLiteral("%1 %").arg(std::lround(zoom_ * 100)));
}

void LogWindow::FitWidth() {
  if (item_ == nullptr) return;
  const double width = item_->boundingRect().width();
  // The vertical scroll bar stays, so its width is kept free.
  const int room =
      view_->viewport()->width() - 4 -
      (view_->verticalScrollBar()->isVisible() ? 0
                                               : view_->verticalScrollBar()->sizeHint().width());
  if (width > 0 && room > 0) SetZoom(room / width);
}

void LogWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // The first showing fits the drawing to the window, once the view has its size.
  if (!fitted_) {
    fitted_ = true;
    FitWidth();
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->minimum());
  }
}

QImage LogWindow::Picture(double scale) const {
  const QSizeF size = QSizeF(renderer_->defaultSize()) * scale;
  const double pixels = size.width() * size.height();
  const double fit = pixels > kMaxPicturePixels ? std::sqrt(kMaxPicturePixels / pixels) : 1;
  QImage picture((size * fit).toSize(), QImage::Format_ARGB32_Premultiplied);
  if (picture.isNull()) return picture;
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  renderer_->render(&painter);
  return picture;
}

bool LogWindow::SaveSvg() {
  const QString path = AskSaveFile(this, save_hook_, QStringLiteral("柱状図を SVG で保存"),
                                   Q(form::LogFileName(name_.toStdU16String(), u".svg")),
                                   QStringLiteral("SVG 画像 (*.svg);;すべてのファイル (*)"));
  return !path.isEmpty() && SaveBytes(this, path, svg_);
}

bool LogWindow::SavePng() {
  const QString path = AskSaveFile(this, save_hook_, QStringLiteral("柱状図を PNG で保存"),
                                   Q(form::LogFileName(name_.toStdU16String(), u".png")),
                                   QStringLiteral("PNG 画像 (*.png);;すべてのファイル (*)"));
  if (path.isEmpty()) return false;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  const QImage picture = Picture(kPictureScale);
  if (picture.isNull() || !picture.save(&buffer, "PNG")) {
    QMessageBox::warning(this, Q(form::kProgramName),
                         QStringLiteral("PNG 画像を作れませんでした。"));
    return false;
  }
  return SaveBytes(this, path, bytes);
}

bool LogWindow::Print() {
  if (pages_.empty()) return false;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(name_);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("柱状図の印刷"));
  if (dialog.exec() != QDialog::Accepted) return false;
  if (!PrintTo(printer)) {
    QMessageBox::warning(this, Q(form::kProgramName),
                         QStringLiteral("柱状図を印刷できませんでした。"));
    return false;
  }
  return true;
}

bool LogWindow::PrintTo(QPrinter& printer) const {
  // The pages are drawn at their own A4 size: the whole sheet, no margin of the printer's own.
  printer.setFullPage(true);
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
  for (size_t i = 0; i < pages_.size(); ++i) {
    QSvgRenderer page(QByteArray(pages_[i].data(), static_cast<qsizetype>(pages_[i].size())));
    if (!page.isValid()) {
      painter.end();
      return false;
    }
    if (i > 0 && !printer.newPage()) {
      painter.end();
      return false;
    }
    // As large as the sheet allows, its proportions kept.
    const QRectF sheet = printer.pageRect(QPrinter::DevicePixel);
    QSizeF size = page.defaultSize();
    size.scale(sheet.size(), Qt::KeepAspectRatio);
    page.render(&painter, QRectF(sheet.topLeft(), size));
  }
  return painter.end();
}

}  // namespace tjvx::qt
