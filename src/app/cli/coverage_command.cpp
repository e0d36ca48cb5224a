// parlevo-cli coverage: many conversations between two characters (or a group
// taking turns in the order given) on a simulated clock, nothing saved, then
// which entries of each were chosen.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/coverage_report.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/conversation.h"
#include "app/coverage.h"
#include "app/group_files.h"
#include "app/speaker_order.h"
#include "app/transcript.h"
#include "app/turn.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

// Each run starts this much later than the one before (about nine hours and
// a bit), so runs meet other hours of the day and other seeds.
constexpr double kRunSpacing = 0.3791;
constexpr double kMillisecond = 1.0 / 86400000.0;

struct CoverageOptions {
  int32_t turns = 200;
  int32_t runs = 20;
  int32_t list = kDefaultNeverChosenLines;
  int32_t step = 2000;  // ms per line: the window's normal speed
  std::string first, second;
  std::vector<std::string> more;

  std::vector<std::string> Files() const {
    std::vector<std::string> files = {first, second};
    files.insert(files.end(), more.begin(), more.end());
    return files;
  }
};

// One conversation of `turns` lines from both characters' loaded state, the
// clock frozen at `start` and stepped after every line.
void Converse(const CoverageOptions& options, double start,
              std::vector<std::unique_ptr<TCoverage>>& coverage) {
  std::vector<std::unique_ptr<TCharacter>> speakers;
  for (const std::string& file : options.Files()) {
    speakers.push_back(LoadCharacter(file, TStateUse::kReadOnly));
  }
  IntroduceGroup(speakers);
  std::string heard(kOpeningInput);
  int last = -1;
  for (int32_t line = 0; line < options.turns; ++line) {
    platform::FreezeClock(start + line * options.step * kMillisecond);
    const int index = line == 0 ? 0 : NextInOrder(last, speakers.size());
    IntroduceBeforeTurn(speakers, index, last);
    TTurn turn = SpeakTurn(*speakers[static_cast<size_t>(index)], heard,
                           line == 0 ? OpeningSlots : AllSlots, kDefaultLogFormat);
    coverage[static_cast<size_t>(index)]->Record(turn);
    heard = std::move(turn.Said);
    last = index;
  }
}

int RunCoverage(const CoverageOptions& options) {
  // A frozen clock (--clock) fixes where the runs start, so a report repeats.
  const double start = platform::NowLocal();
  const std::vector<std::string> files = options.Files();
  if (const std::string refusal = GroupRefusal(files); !refusal.empty()) {
    throw CommandError(kExitUsage, refusal);
  }
  std::vector<std::unique_ptr<TCoverage>> coverage;
  for (const std::string& file : files) {
    coverage.push_back(std::make_unique<TCoverage>(*LoadCharacter(file, TStateUse::kReadOnly)));
  }
  for (int32_t run = 0; run < options.runs; ++run) {
    Converse(options, start + run * kRunSpacing, coverage);
  }
  for (const auto& each : coverage) PrintCoverage(*each, options.list);
  return kExitOk;
}

CommandRunner SetUpCoverage(CLI::App& app) {
  auto options = std::make_shared<CoverageOptions>();
  CLI::App* coverage = app.add_subcommand(
      "coverage", "Let two characters talk many times (nothing saved) and list unchosen entries");
  coverage->add_option("--turns", options->turns, "lines per conversation (default 200)")
      ->check(CLI::PositiveNumber);
  coverage->add_option("--runs", options->runs, "conversations (default 20)")
      ->check(CLI::PositiveNumber);
  coverage->add_option("--list", options->list, "never-chosen entries listed per character")
      ->check(CLI::NonNegativeNumber);
  coverage->add_option("--step", options->step, "simulated ms per line (default 2000)")
      ->check(CLI::NonNegativeNumber);
  coverage->add_option("FIRST", options->first, "base file of the character who opens")->required();
  coverage->add_option("SECOND", options->second, "base file of the character who answers")
      ->required();
  coverage->add_option("MORE", options->more,
                       "base files of further characters, taking turns in the order given");
  AddExitStatuses(*coverage, {{kExitOk, "the report was printed"},
                              {kExitFailure, kRefusedStatus},
                              {kExitUsage, kUsageStatus}});
  return [options] { return RunCoverage(*options); };
}

const CommandRegistrar kCoverageCommand(70, SetUpCoverage);

}  // namespace
}  // namespace parlevo::cli
