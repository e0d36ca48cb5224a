// Qt's own texts (standard buttons, the file dialog, a text field's edit
// menu) in Japanese, like the rest of the window, from Qt's translations.
#ifndef PARLEVO_APP_GUI_QT_TRANSLATIONS_H_
#define PARLEVO_APP_GUI_QT_TRANSLATIONS_H_

#include <QCoreApplication>

namespace parlevo::gui {

// Loads and installs Qt's Japanese catalogue ("qtbase_ja.qm") from Qt's
// translations folder, else from "translations" beside the program (where a
// Windows or macOS bundle keeps it). False when neither has it; the texts
// then stay in English.
bool InstallQtJapanese(QCoreApplication& app);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_QT_TRANSLATIONS_H_
