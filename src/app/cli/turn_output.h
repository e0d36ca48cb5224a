// How parlevo-cli shows a turn: the transcript line alone, followed by where
// its answer came from (--why), or as one JSON object per line (--json).
#ifndef PARLEVO_APP_CLI_TURN_OUTPUT_H_
#define PARLEVO_APP_CLI_TURN_OUTPUT_H_

#include <string>

#include "app/turn.h"

namespace parlevo::cli {

enum class TTurnOutput { kLines, kWhy, kJson };

// "SLOT FILE:LINE tier T of N, C candidates; pattern "P"" (the condition, or
// the context and input patterns, the entry matched with), or "no answer".
std::string DescribeSource(const std::optional<TTurnSource>& source);
// "FILE:LINE", or "none" (UTF-8; FILE as an editor here opens it: EditorPath).
std::string SourceLocation(const std::optional<TTurnSource>& source);

// Prints `turn` to standard output in `output`'s form. `answer` is false for
// a line that is no character's answer (a chat partner's): it gets no
// "# ..." line. False when standard output can no longer be written.
bool PrintTurn(const TTurn& turn, TTurnOutput output, bool answer = true);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_TURN_OUTPUT_H_
