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
#include "data/written_entries.h"
#include "engine/explain.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

struct TryOptions {
  std::string context;
  bool context_given = false;
  TClockOption clock;
  bool raw = false;
  std::string base_file;
  std::string input;
};

// "PATTERN → ANSWER" (UTF-8) of entry `index`, fields as written ("?" when
// its line is gone from the file).
std::string Written(TWrittenEntries& written, const TLumoData& data, int32_t index) {
  const std::optional<TWrittenEntry> entry = written.Read(data, index);
  if (!entry) return "?";
  std::string patterns;
  for (const std::string& pattern : entry->Patterns) {
    patterns += (patterns.empty() ? "" : ",") + pattern;
  }
  return platform::AnsiToUtf8(patterns) + " → " + platform::AnsiToUtf8(entry->Answer);
}

// "KEY FILE:LINE tier T  PATTERN → ANSWER" for every candidate of slot `slot`.
void ListMatches(TCharacter& character, int slot, const std::vector<TExplainedTier>& tiers,
                 TWrittenEntries& written) {
  const TLumoData& data = character.Slot(slot);
  for (const TExplainedTier& tier : tiers) {
    for (const int32_t index : tier.Entries) {
      const TEntryDescription entry = data.Describe(index);
      StandardOutput().Line(std::string(TCharacter::DataKey(slot)) + " " +
                            std::string(character.DataFileName(slot, entry.FileIndex)) + ":" +
                            std::to_string(entry.Line) + " tier " + std::to_string(tier.Tier) +
                            "  " + Written(written, data, index));
    }
  }
}

std::string Choice(const TAnswerer& answerer) {
  return std::string(TCharacter::DataKey(answerer.Slot)) + " tier " +
         std::to_string(answerer.Tier) + ", " + std::to_string(answerer.Candidates) + " candidates";
}

std::string WhoAnswers(const TExplanation& explanation) {
  const std::vector<TAnswerer>& answerers = explanation.Answerers;
  if (answerers.empty()) return "none";
  if (answerers.size() == 1) return Choice(answerers[0]);
  return Choice(answerers[0]) + " or " + Choice(answerers[1]) + ", weighed " +
         std::to_string(answerers[0].Weight) + ":" + std::to_string(answerers[1].Weight);
}

int RunTry(const TryOptions& options) {
  options.clock.Apply();
  ApplyRaw(options.raw);
  std::unique_ptr<TCharacter> character = LoadCharacter(options.base_file, TStateUse::kReadOnly);
  std::optional<std::string> context;
  if (options.context_given) context = platform::Utf8ToAnsi(options.context);
  const TExplanation explanation =
      Explain(*character, platform::Utf8ToWide(options.input), context);
  TWrittenEntries written;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    ListMatches(*character, slot, explanation.Slots[static_cast<size_t>(slot)], written);
  }
  StandardOutput().Line("answer: " + WhoAnswers(explanation));
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
