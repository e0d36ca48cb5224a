// The personality authors' guide installed with the program (authoring.md):
// where to find it, and a small window that shows it.
#ifndef PARLEVO_APP_GUI_AUTHORS_GUIDE_H_
#define PARLEVO_APP_GUI_AUTHORS_GUIDE_H_

#include <QString>

class QWidget;

namespace parlevo::gui {

// The guide where the program is installed (PREFIX/share/doc/parlevo), else
// in a development build's source tree (docs/); "" when none exists.
QString FindAuthorsGuide();

// Opens a non-modal viewer of the Markdown file `path` over `parent`.
void ShowAuthorsGuide(QWidget* parent, const QString& path);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_AUTHORS_GUIDE_H_
