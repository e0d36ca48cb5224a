// parlevo-cli try: which entries of each data object match an input, tier by
// tier, and which object would answer, on a character that says nothing,
// uses nothing up and writes no state file.
#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>

#include "app/cli/command.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "app/try_report.h"
#include "engine/character.h"

namespace parlevo::cli {
namespace {

struct TryOptions {
  std::string context;
  bool context_given = false;
  TClockOption clock;
  bool raw = false;
  bool all = false;
  std::string base_file;
  std::string input;
};

int RunTry(const TryOptions& options) {
  options.clock.Apply();
  ApplyRaw(options.raw);
  std::unique_ptr<TCharacter> character = LoadCharacter(options.base_file, TStateUse::kReadOnly);
  std::optional<std::string> context;
  if (options.context_given) context = options.context;
  const TTryReport report = TryInput(*character, options.input, context, options.all);
  for (const TTryMatch& match : report.Matches) StandardOutput().Line(TryMatchLine(match));
  for (const TTryObject& object : report.FreeTalk) StandardOutput().Line(TryObjectLine(object));
  StandardOutput().Line("answer: " + report.Answerer);
  return kExitOk;
}

CommandRunner SetUpTry(CLI::App& app) {
  auto options = std::make_shared<TryOptions>();
  CLI::App* command = app.add_subcommand(
      "try", "Which entries match INPUT and which would answer, without saying anything");
  command->add_option_function<std::string>(
      "--context",
      [options](const std::string& text) {
        options->context = text;
        options->context_given = true;
      },
      "the character's previous answer for kind A (default: its last answer)");
  AddClockOption(*command, options->clock);
  AddRaw(*command, options->raw);
  command->add_flag("--all", options->all,
                    "list free talk entry by entry (default: one line per free-talk object)");
  command->add_option("basefile", options->base_file, "the character's base file")->required();
  command->add_option("input", options->input, "what the partner says")->required();
  AddExitStatuses(*command, {{kExitOk, "the matches were listed"},
                             {kExitFailure, kRefusedStatus},
                             {kExitUsage, kUsageStatus}});
  return [options] { return RunTry(*options); };
}

const CommandRegistrar kTryCommand(65, SetUpTry);

}  // namespace
}  // namespace parlevo::cli
