// Loading a character for a parlevo-cli command: the path comes from the
// terminal as given, and a refusal or a file error ends the command with status 1.
#ifndef PARLEVO_APP_CLI_LOAD_CHARACTER_H_
#define PARLEVO_APP_CLI_LOAD_CHARACTER_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/lumo_data.h"
#include "engine/character.h"

namespace parlevo::cli {

// Loads the character of `base_file` (a native path) as the program does,
// warning on stderr when its state file cannot be saved
// (read_only_character.h). Throws
// CommandError(kExitFailure, the engine's message) when it is refused or a
// file fails. With TStateUse::kReadOnly its state file is read, never written.
std::unique_ptr<TCharacter> LoadCharacter(const std::string& base_file,
                                          TStateUse state_use = TStateUse::kReadWrite);

// The help of the commands' --no-save flag, and the state use it asks for.
inline constexpr char kNoSaveHelp[] =
    "read the state file but never write it, so trying a character changes nothing";
inline TStateUse StateUse(bool no_save) {
  return no_save ? TStateUse::kReadOnly : TStateUse::kReadWrite;
}

// How the commands' characters report: a state file problem (a save that
// failed, a damaged file kept aside) and a file that looks like UTF-8 without
// the byte order mark are warnings on stderr.
TCharacterOptions CharacterOptions(TStateUse state_use);

// Loads it for inspection (no state file), collecting notes into `notes`.
// Same failures as LoadCharacter; `notes` keeps what was found before one.
std::unique_ptr<TCharacter> InspectCharacter(const std::string& base_file,
                                             std::vector<TLoadNote>& notes);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_LOAD_CHARACTER_H_
