// Loading a character for a parlevo-cli command, with the engine's failures
// turned into the command's exit status and an "error:" line.
#include "app/cli/load_character.h"

#include "app/cli/command.h"
#include "app/cli/read_only_character.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

// Runs `load`, turning the engine's refusals and file errors into a
// CommandError whose message is the engine's text, readable on a terminal.
template <typename Load>
std::unique_ptr<TCharacter> Guarded(Load load) {
  try {
    return load();
  } catch (const ELumoError& e) {
    throw CommandError(kExitFailure, platform::AnsiToUtf8(e.what()));
  } catch (const platform::EFileError& e) {
    throw CommandError(kExitFailure, platform::AnsiToUtf8(e.what()));
  }
}

}  // namespace

std::unique_ptr<TCharacter> LoadCharacter(const std::string& base_file_utf8, TStateUse state_use) {
  const std::string path = platform::Utf8ToAnsi(base_file_utf8);
  if (state_use == TStateUse::kReadWrite) WarnWhenStateCannotBeSaved(base_file_utf8);
  return Guarded([&] { return std::make_unique<TCharacter>(path, state_use); });
}

std::unique_ptr<TCharacter> InspectCharacter(const std::string& base_file_utf8,
                                             std::vector<TLoadNote>& notes) {
  const std::string path = platform::Utf8ToAnsi(base_file_utf8);
  return Guarded([&] { return std::make_unique<TCharacter>(path, notes); });
}

}  // namespace parlevo::cli
