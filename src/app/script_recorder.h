// A chat written down as a personality test script as it goes: where the
// character started (clock, partner, saved memory), each line the partner
// said and each answer with the entry it came from.
#ifndef PARLEVO_APP_SCRIPT_RECORDER_H_
#define PARLEVO_APP_SCRIPT_RECORDER_H_

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "app/turn.h"
#include "engine/character.h"

namespace parlevo {

// Thread-safety: none; used by the thread that runs the chat.
class TScriptRecorder {
 public:
  // Creates or replaces the script `path` (native). Throws platform::EFileError.
  explicit TScriptRecorder(const std::string& path);

  // The lines before the opening: a "! set" for each kept memory slot
  // (50-99) that holds something (not empty, 0 or False), so that the
  // script starts where the chat did, "! clock" when the clock is frozen at
  // `clock`, and "! partner".
  void Begin(const TCharacter& character, std::optional<double> clock, std::string_view partner);
  // What the partner said (ANSI): "> TEXT".
  void Heard(std::string_view said);
  // The character's answer: "< TEXT" and "@ FILE:LINE" ("@ none").
  void Answered(const TTurn& turn);

 private:
  // Writes one line (UTF-8) and flushes it, so an interrupted chat keeps
  // what was said. Throws platform::EFileError.
  void Line(const std::string& utf8);

  std::string path_;
  std::ofstream out_;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_SCRIPT_RECORDER_H_
