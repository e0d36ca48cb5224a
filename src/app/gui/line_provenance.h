// Where one transcript line came from (slot, file and line, tier, candidates),
// kept beside the line, and the texts the window shows for it.
#ifndef PARLEVO_APP_GUI_LINE_PROVENANCE_H_
#define PARLEVO_APP_GUI_LINE_PROVENANCE_H_

#include <QString>
#include <optional>

#include "app/turn.h"

namespace parlevo::gui {

// A conversation line's source as its turn reported it; none when nothing
// answered (an empty line).
using LineProvenance = std::optional<TTurnSource>;

// "FILE:LINE" as authors' tools print it; "" when nothing answered.
QString FileLineText(const LineProvenance& source);
// One line for the status bar: slot, file:line, tier and candidates.
QString ProvenanceText(const LineProvenance& source);
// The data file on disk; "" when nothing answered.
QString DataFilePath(const LineProvenance& source);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_LINE_PROVENANCE_H_
