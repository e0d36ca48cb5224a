// The window's Japanese user interface font: "ＭＳ Ｐゴシック" 9 pt where the
// system has it, otherwise Noto Sans CJK JP 9 pt.
#ifndef PARLEVO_APP_GUI_UI_FONT_H_
#define PARLEVO_APP_GUI_UI_FONT_H_

#include <QFont>

namespace parlevo::gui {

QFont JapaneseUiFont();

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_UI_FONT_H_
