// Copying a turn's source out of the conversation thread's data (its views
// die with the turn) and the texts the window shows for it.
#include "app/gui/line_provenance.h"

#include <QCoreApplication>

#include "app/gui/ansi_text.h"

namespace parlevo::gui {
namespace {

// A data file named with a drive or from the root is not below the folder.
bool IsAbsolute(std::string_view path) {
  return !path.empty() &&
         (path[0] == '/' || path[0] == '\\' || (path.size() > 1 && path[1] == ':'));
}

}  // namespace

LineProvenance ProvenanceOf(const TTurn& turn, const std::string& data_folder) {
  LineProvenance source;
  if (!turn.Source) return source;
  const TTurnSource& from = *turn.Source;
  source.answered = true;
  source.slot_key = QString::fromLatin1(from.SlotKey.data(), qsizetype(from.SlotKey.size()));
  source.kind = QChar(static_cast<char>(from.Kind));
  source.file = NativeToPath(from.File);
  source.path = NativeToPath(IsAbsolute(from.File) ? std::string(from.File)
                                                   : data_folder + std::string(from.File));
  source.line = from.Line;
  source.tier = from.Tier;
  source.tiers = from.Tiers;
  source.candidates = from.Candidates;
  source.condition = AnsiToQString(from.Condition);
  return source;
}

QString FileLineText(const LineProvenance& source) {
  if (!source.answered) return {};
  return source.file + ':' + QString::number(source.line);
}

QString ProvenanceText(const LineProvenance& source) {
  if (!source.answered) {
    return QCoreApplication::translate("LineProvenance", "どのデータも答えませんでした");
  }
  QString text =
      QCoreApplication::translate("LineProvenance", "%1 (種類 %2)  %3  段 %4/%5  候補 %6")
          .arg(source.slot_key, QString(source.kind), FileLineText(source))
          .arg(source.tier)
          .arg(source.tiers)
          .arg(source.candidates);
  if (!source.condition.isEmpty()) {
    text += QCoreApplication::translate("LineProvenance", "  条件 %1").arg(source.condition);
  }
  return text;
}

}  // namespace parlevo::gui
