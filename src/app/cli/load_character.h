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

// How the commands' characters report: a state file problem (a save that
// failed, a damaged file kept aside) is a warning on stderr. A state file that a character
// writing its state could not save is noted for ExitStatusAfterSaving.
TCharacterOptions CharacterOptions(TStateUse state_use);

// kExitOk, or kExitNotSaved once a character of this process could not save
// its state file (a failed save, a state file that is no regular file).
int ExitStatusAfterSaving();

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_LOAD_CHARACTER_H_
