// Picks the Japanese user interface font from the families the system has.
#include "app/gui/ui_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace parlevo::gui {

QFont JapaneseUiFont() {
  const QStringList families = QFontDatabase::families();
  const QString preferred = QStringLiteral("ＭＳ Ｐゴシック");
  const QString family =
      families.contains(preferred) ? preferred : QStringLiteral("Noto Sans CJK JP");
  return QFont(family, 9);
}

}  // namespace parlevo::gui
