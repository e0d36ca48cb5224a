// Where one transcript line came from (slot, file and line, tier, candidates),
// in the form the window keeps beside the line and shows in its status bar.
#ifndef PARLEVO_APP_GUI_LINE_PROVENANCE_H_
#define PARLEVO_APP_GUI_LINE_PROVENANCE_H_

#include <QString>
#include <cstdint>
#include <string>

#include "app/turn.h"

namespace parlevo::gui {

struct LineProvenance {
  bool answered = false;  // false: nothing answered (an empty line)
  QString slot_key;       // "data01" ... "datac2"
  QChar kind;             // '0', 'A', 'B' or 'C'
  QString file;           // relative to the data folder
  QString path;           // the data file on disk
  int32_t line = 0;       // 1-based
  int32_t tier = 0;
  int32_t tiers = 0;
  int32_t candidates = 0;
  QString condition;  // kind 0: the condition that held
};

// A turn's line as the window receives it.
struct ShownTurn {
  std::string line;  // ANSI
  LineProvenance source;
};

// The provenance of `turn`, whose speaker's data folder is `data_folder`
// (native, ending in a delimiter).
LineProvenance ProvenanceOf(const TTurn& turn, const std::string& data_folder);

// "FILE:LINE" as authors' tools print it; "" when nothing answered.
QString FileLineText(const LineProvenance& source);
// One line for the status bar: slot, file:line, tier and candidates.
QString ProvenanceText(const LineProvenance& source);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_LINE_PROVENANCE_H_
