// The texts the window shows for a line's source: the turn's own record,
// converted only here, as it is shown.
#include "app/gui/line_provenance.h"

#include <QCoreApplication>

#include "app/gui/ansi_text.h"

namespace parlevo::gui {

QString FileLineText(const LineProvenance& source) {
  if (!source) return {};
  return NativeToPath(source->File) + ':' + QString::number(source->Line);
}

QString DataFilePath(const LineProvenance& source) {
  return source ? NativeToPath(source->FilePath) : QString();
}

QString ProvenanceText(const LineProvenance& source) {
  if (!source) {
    return QCoreApplication::translate("LineProvenance", "どのデータも答えませんでした");
  }
  QString text =
      QCoreApplication::translate("LineProvenance", "%1 (種類 %2)  %3  段 %4/%5  候補 %6")
          .arg(QString::fromLatin1(source->SlotKey),
               QString(QChar(static_cast<char>(source->Kind))), FileLineText(source))
          .arg(source->Tier)
          .arg(source->Tiers)
          .arg(source->Candidates);
  if (!source->Condition.empty()) {
    text += QCoreApplication::translate("LineProvenance", "  条件 %1")
                .arg(AnsiToQString(source->Condition));
  }
  return text;
}

}  // namespace parlevo::gui
