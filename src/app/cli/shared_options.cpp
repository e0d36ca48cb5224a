// The option blocks shared by parlevo-cli's commands, so a flag reads, helps
// and fails the same way in every command that has it.
#include "app/cli/shared_options.h"

#include <CLI/CLI.hpp>

#include "app/cli/command.h"
#include "app/line_writer.h"
#include "platform/clock.h"
#include "platform/datetime.h"

namespace parlevo::cli {

std::optional<double> TClockOption::Instant() const {
  if (Text.empty()) return std::nullopt;
  const std::optional<double> when = platform::TextToDateTime(Text);
  if (!when) throw CommandError(kExitUsage, "invalid --clock value: " + Text);
  return when;
}

void TClockOption::Apply() const {
  if (const std::optional<double> when = Instant()) platform::FreezeClock(*when);
}

void AddClockOption(CLI::App& command, TClockOption& clock, std::string_view when) {
  std::string help = "freeze the clock at \"YYYY/MM/DD hh:nn:ss[.zzz]\"";
  if (!when.empty()) help += " " + std::string(when);
  command.add_option("--clock", clock.Text, help);
}

void AddNoSave(CLI::App& command, bool& no_save) {
  command.add_flag("--no-save", no_save,
                   "read the state file but never write it, so trying a character changes nothing");
}

void AddPartner(CLI::App& command, std::optional<std::string>& partner, std::string_view help) {
  command.add_option_function<std::string>(
      "--partner", [&partner](const std::string& name) { partner = name; }, std::string(help));
}

void AddTurnOutput(CLI::App& command, TTurnOutput& output) {
  CLI::Option* why = command.add_flag_callback(
      "--why", [&output] { output = TTurnOutput::kWhy; },
      "after each line, where its answer came from");
  CLI::Option* json = command.add_flag_callback(
      "--json", [&output] { output = TTurnOutput::kJson; }, "one JSON object per line");
  why->excludes(json);
}

void AddRaw(CLI::App& command, bool& raw) {
  command.add_flag("--raw", raw,
                   "print control characters (escape sequences) as they are, not as \\x1B");
}

void ApplyRaw(bool raw) {
  StandardOutput().SetControls(raw ? TControls::kAsIs : TControls::kVisible);
}

void AddExitStatuses(CLI::App& command, std::initializer_list<TExitStatus> statuses) {
  std::string text = "Exit status:";
  for (const TExitStatus& status : statuses) {
    text += "\n  " + std::to_string(status.Status) + "  " + std::string(status.Meaning);
  }
  command.footer(text);
}

}  // namespace parlevo::cli
