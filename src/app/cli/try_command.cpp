// parlevo-cli try: which entries of each data object match an input, tier by
// tier, and which object would answer, on a character that says nothing,
// uses nothing up and writes no state file.
#include <CLI/CLI.hpp>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/load_character.h"
#include "app/turn.h"
#include "data/text_helpers.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"

namespace parlevo::cli {
namespace {

struct TryOptions {
  std::string context;
  bool context_given = false;
  std::string clock;
  std::string base_file;
  std::string input;
};

// Data file lines as written, read once per file.
class TSourceLines {
 public:
  // "PATTERN → ANSWER" (UTF-8) of the entry at `line` of `path`, fields as
  // written.
  std::string Describe(const std::string& path, int line, TLumoKind kind) {
    auto [it, added] = files_.try_emplace(path);
    if (added) it->second.lines = ReadDataLines(path, it->second.first_line);
    const auto index = static_cast<size_t>(line - it->second.first_line);
    if (index >= it->second.lines.size()) return "?";
    const std::string& text = it->second.lines[index];
    if (kind == TLumoKind::kC) return " → " + platform::AnsiToUtf8(text);
    const std::vector<std::string> fields = SplitCommaText(text);
    const size_t answer = kind == TLumoKind::kA ? 2 : 1;
    std::string pattern = fields[0];
    if (kind == TLumoKind::kA) pattern += "," + fields[1];
    return platform::AnsiToUtf8(pattern) + " → " + platform::AnsiToUtf8(fields[answer]);
  }

 private:
  struct TFile {
    int first_line = 1;
    std::vector<std::string> lines;
  };
  std::map<std::string, TFile> files_;
};

// Lists the matching entries of slot `slot`, every tier; returns the first
// tier with candidates and their count ({0, 0}: none).
std::pair<int32_t, int32_t> ListMatches(TCharacter& character, int slot, const std::string& input,
                                        TSourceLines& sources) {
  TLumoData& data = character.Slot(slot);
  std::pair<int32_t, int32_t> first{0, 0};
  TAnswerList candidates(data.EntryCount());
  for (int32_t tier = 1; tier <= data.TierCount(); ++tier) {
    const auto [begin, end] = data.TierBounds(tier);
    candidates.Clear();
    data.MatchTier(input, begin, end, candidates);
    if (candidates.Count() > 0 && first.first == 0) first = {tier, candidates.Count()};
    for (int32_t c = 0; c < candidates.Count(); ++c) {
      const TLumoEntry& entry = data.Items()[static_cast<size_t>(candidates.Item(c))];
      const std::string& path = data.Files()[static_cast<size_t>(entry.File)];
      PrintLine(std::string(TCharacter::DataKey(slot)) + " " +
                std::string(character.DataFileName(slot, entry.File)) + ":" +
                std::to_string(entry.Line) + " tier " + std::to_string(tier) + "  " +
                sources.Describe(path, entry.Line, data.Kind()));
    }
  }
  return first;
}

std::string Choice(int slot, std::pair<int32_t, int32_t> tier) {
  return std::string(TCharacter::DataKey(slot)) + " tier " + std::to_string(tier.first) + ", " +
         std::to_string(tier.second) + " candidates";
}

// The first object with candidates answers; free talk last, its two
// objects weighed by the entries they have left.
std::string WhoAnswers(TCharacter& character,
                       const std::array<std::pair<int32_t, int32_t>, 8>& tiers) {
  for (int slot = 0; slot < TCharacter::kFirstFreeTalk; ++slot) {
    if (tiers[static_cast<size_t>(slot)].first > 0) return Choice(slot, tiers[slot]);
  }
  const bool first = tiers[6].first > 0;
  const bool second = tiers[7].first > 0;
  if (first && second) {
    return Choice(6, tiers[6]) + " or " + Choice(7, tiers[7]) + ", weighed " +
           std::to_string(character.DataC1->Available()) + ":" +
           std::to_string(character.DataC2->Available());
  }
  if (first) return Choice(6, tiers[6]);
  if (second) return Choice(7, tiers[7]);
  return "none";
}

int RunTry(const TryOptions& options) {
  if (!options.clock.empty()) platform::FreezeClock(ClockOption(options.clock));
  std::unique_ptr<TCharacter> character = LoadCharacter(options.base_file, TStateUse::kReadOnly);
  const std::string context =
      options.context_given ? platform::Utf8ToAnsi(options.context) : character->LastAnswer;
  character->DataA1->Context = context;
  character->DataA2->Context = context;
  const std::string input =
      TCharacter::PreparedInput(platform::Utf8ToWide(options.input), character->Input);
  character->OperateMessage = input;  // as a turn that asks kind 0 sets it

  TSourceLines sources;
  std::array<std::pair<int32_t, int32_t>, TCharacter::kSlotCount> tiers;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    tiers[static_cast<size_t>(slot)] = ListMatches(*character, slot, input, sources);
  }
  PrintLine("answer: " + WhoAnswers(*character, tiers));
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
  command->add_option("--clock", options->clock,
                      "freeze the clock at \"YYYY/MM/DD hh:nn:ss[.zzz]\"");
  command->add_option("basefile", options->base_file, "the character's base file")->required();
  command->add_option("input", options->input, "what the partner says")->required();
  return [options] { return RunTry(*options); };
}

const CommandRegistrar kTryCommand(65, SetUpTry);

}  // namespace
}  // namespace parlevo::cli
