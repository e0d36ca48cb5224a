// The personality authors' guide shipped with the program (authoring.md, and
// its Japanese edition authoring.ja.md): where to find it, and its viewer.
#ifndef PARLEVO_APP_GUI_AUTHORS_GUIDE_H_
#define PARLEVO_APP_GUI_AUTHORS_GUIDE_H_

#include <QLocale>
#include <QString>

class QTextBrowser;
class QWidget;

namespace parlevo::gui {

// The guide's file name for readers of `locale`: the Japanese edition for
// Japanese, the English one otherwise.
QString AuthorsGuideFileName(const QLocale& locale);

// The guide for the user's language where the program is installed
// (PREFIX/share/doc/parlevo), else in a development build's source tree
// (docs/); the English edition when the other is missing; "" when none.
QString FindAuthorsGuide(const QLocale& locale = QLocale());

// Opens a non-modal viewer of the Markdown file `path` over `parent` and
// returns its text view. Contents links jump to their headings; long lines,
// code and tables wrap to the window's width.
QTextBrowser* ShowAuthorsGuide(QWidget* parent, const QString& path);

// The anchor a Markdown link "#..." uses for a heading: lower case, blanks
// to "-", other punctuation dropped ("Once-only data, tiers" ->
// "once-only-data-tiers").
QString HeadingAnchor(const QString& heading);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_AUTHORS_GUIDE_H_
