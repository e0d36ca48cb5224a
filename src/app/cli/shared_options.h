// The option blocks several parlevo-cli commands share, each defined once:
// --clock, --no-save, --partner, and --why/--json.
#ifndef PARLEVO_APP_CLI_SHARED_OPTIONS_H_
#define PARLEVO_APP_CLI_SHARED_OPTIONS_H_

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli/turn_output.h"
#include "engine/character.h"

namespace CLI {
class App;
}

namespace parlevo::cli {

// --clock "YYYY/MM/DD hh:nn:ss[.zzz]": kept as typed, read when the command
// runs, so a bad value is the command's usage error.
struct TClockOption {
  std::string Text;
  // The instant it names, none when it was not given; a usage error when
  // the text names no instant.
  std::optional<double> Instant() const;
  // Freezes the process clock at that instant, when one was given.
  void Apply() const;
};
// `when` completes the help ("as each script starts"), empty for none.
void AddClockOption(CLI::App& command, TClockOption& clock, std::string_view when = "");

// --no-save: the state file is read but never written.
void AddNoSave(CLI::App& command, bool& no_save);
inline TStateUse StateUse(bool no_save) {
  return no_save ? TStateUse::kReadOnly : TStateUse::kReadWrite;
}

// --partner NAME (UTF-8, as typed); none when not given.
void AddPartner(CLI::App& command, std::optional<std::string>& partner, std::string_view help);

// --why and --json, which exclude each other.
void AddTurnOutput(CLI::App& command, TTurnOutput& output);

// --raw: control characters in what the command prints reach the terminal
// as they are; without it they are shown as escapes. Applied when the
// command runs, before it starts any thread.
void AddRaw(CLI::App& command, bool& raw);
void ApplyRaw(bool raw);

// What an exit status of a command means.
struct TExitStatus {
  int Status;
  std::string_view Meaning;
};
// Meanings several commands share.
inline constexpr std::string_view kRefusedStatus = "a character was refused or a file failed";
inline constexpr std::string_view kUsageStatus = "a usage error";
inline constexpr std::string_view kNotSavedStatus =
    "the run ended, but a state file could not be saved (a warning says which and why)";
// Ends `command`'s help with its exit statuses, one per line.
void AddExitStatuses(CLI::App& command, std::initializer_list<TExitStatus> statuses);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_SHARED_OPTIONS_H_
