// Loading a character for a parlevo-cli command, with the engine's failures
// turned into the command's exit status and an "error:" line.
#include "app/cli/load_character.h"

#include <atomic>

#include "app/cli/command.h"
#include "app/cli/read_only_character.h"
#include "app/line_writer.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

// Runs `load`, turning the engine's refusals and file errors into a
// CommandError: the base file's path, then the engine's text (fixed English
// for a refusal, UTF-8 for a file error), as LoadErrorText tells it.
template <typename Load>
std::unique_ptr<TCharacter> Guarded(const std::string& base_file, Load load) {
  try {
    return load();
  } catch (const ELumoError& e) {
    throw CommandError(kExitFailure, LoadErrorText(base_file, e));
  } catch (const platform::EFileError& e) {
    throw CommandError(kExitFailure, LoadErrorText(base_file, e));
  }
}

// The message is UTF-8 already and names native paths.
void Warn(const std::string& message) { PrintWarning(message); }

// Set by whichever thread releases a character that could not save; read by
// the main thread once the command's characters are gone.
std::atomic<bool> state_not_saved{false};

}  // namespace

TCharacterOptions CharacterOptions(TStateUse state_use) {
  TCharacterOptions options(state_use);
  const bool writes = state_use == TStateUse::kReadWrite;
  options.OnStateProblem = [writes](TStateProblem problem, const std::string& message) {
    Warn(message);
    if (problem == TStateProblem::kNotSaved || (writes && problem == TStateProblem::kNotAFile)) {
      state_not_saved = true;
    }
  };
  return options;
}

int ExitStatusAfterSaving() { return state_not_saved ? kExitNotSaved : kExitOk; }

// The path reaches the file system as the user typed it.
std::unique_ptr<TCharacter> LoadCharacter(const std::string& base_file, TStateUse state_use) {
  if (state_use == TStateUse::kReadWrite) WarnWhenStateCannotBeSaved(base_file);
  return Guarded(base_file, [&] {
    return std::make_unique<TCharacter>(base_file, CharacterOptions(state_use));
  });
}

}  // namespace parlevo::cli
