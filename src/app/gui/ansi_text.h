// Conversions between ANSI text (bytes of the process code page) and the
// QString the widgets hold, through the platform's code page tables.
#ifndef PARLEVO_APP_GUI_ANSI_TEXT_H_
#define PARLEVO_APP_GUI_ANSI_TEXT_H_

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

// File system paths as Qt gives them (UTF-8 on Linux) to the ANSI paths the
// engine takes; platform::NativePath turns them back.
inline std::string PathToAnsi(const QString& path) {
  return platform::Utf8ToAnsi(path.toUtf8().toStdString());
}

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_ANSI_TEXT_H_
