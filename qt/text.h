#ifndef TJVX_QT_TEXT_H_
#define TJVX_QT_TEXT_H_

#include <QString>
#include <string_view>

namespace tjvx::qt {

// The program's UTF-16 text as a QString.
inline QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace tjvx::qt

#endif  // TJVX_QT_TEXT_H_
