#ifndef TJVX_QT_SAVE_FILE_H_
#define TJVX_QT_SAVE_FILE_H_

#include <QByteArray>
#include <QString>
#include <functional>

class QWidget;

namespace tjvx::qt {

// Answers where to save instead of the save dialog (tests); gets the suggested file (a full path)
// and returns the chosen one, or an empty string for "cancelled".
using SaveFileHook = std::function<QString(const QString& suggested)>;

// Asks where to save a file, suggesting `name` in the user's documents folder: through `hook`
// when set, else with the save dialog. Empty when the user cancelled.
QString AskSaveFile(QWidget* parent, const SaveFileHook& hook, const QString& title,
                    const QString& name, const QString& filter);

// Writes `bytes` as the whole file `path`; an existing file is replaced only once the new one is
// written whole. On failure a message under `parent` names the file, and the result is false.
bool SaveBytes(QWidget* parent, const QString& path, const QByteArray& bytes);

}  // namespace tjvx::qt

#endif  // TJVX_QT_SAVE_FILE_H_
