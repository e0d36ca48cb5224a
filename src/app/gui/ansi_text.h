// Conversions between ANSI text (bytes of the process code page) and the
// QString the widgets hold, through the platform's code page tables.
#ifndef PARLEVO_APP_GUI_ANSI_TEXT_H_
#define PARLEVO_APP_GUI_ANSI_TEXT_H_

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "platform/codepage.h"

namespace parlevo::gui {

inline QString AnsiToQString(std::string_view ansi) {
  return QString::fromStdU16String(platform::AnsiToWide(ansi));
}

// A character the code page cannot represent becomes '?'.
inline std::string QStringToAnsi(const QString& text) {
  return platform::WideToAnsi(text.toStdU16String());
}

// A file system path as Qt gives it to the native path the engine takes: the
// bytes the file system knows it by, whatever the code page can write.
inline std::string PathToNative(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

// A native path (a data folder, a file error's Path()) as the window shows it.
inline QString NativeToPath(std::string_view native) {
  return QFile::decodeName(QByteArray(native.data(), static_cast<qsizetype>(native.size())));
}

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_ANSI_TEXT_H_
