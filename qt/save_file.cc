#include "qt/save_file.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>

#include "form/converter_form.h"
#include "qt/text.h"

namespace tjvx::qt {

QString AskSaveFile(QWidget* parent, const SaveFileHook& hook, const QString& title,
                    const QString& name, const QString& filter) {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  const QString suggested = QDir(folder).filePath(name);
  if (hook) return hook(suggested);
  return QFileDialog::getSaveFileName(parent, title, suggested, filter);
}

bool SaveBytes(QWidget* parent, const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
    return true;
  }
  QMessageBox::warning(parent, Q(form::kProgramName),
                       Q(form::kSaveFailedMessage) + u'\n' + QDir::toNativeSeparators(path));
  return false;
}

}  // namespace tjvx::qt
