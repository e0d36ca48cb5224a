// parlevo-cli coverage: many conversations between two characters (or a group
// taking turns in the order given) on a simulated clock, nothing saved, then
// which entries of each were chosen and why the others were not. The runs
// may be spread over processes; each starts its random draws afresh, so the
// report is the same however they are spread.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/coverage_report.h"
#include "app/cli/load_character.h"
#include "app/cli/process_jobs.h"
#include "app/cli/shared_options.h"
#include "app/conversation.h"
#include "app/coverage.h"
#include "app/group_files.h"
#include "app/speaker_order.h"
#include "app/transcript.h"
#include "app/turn.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/random.h"

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
  int32_t jobs = 0;     // 0: one per core
  bool raw = false;
  std::string first, second;
  std::vector<std::string> more;

  std::vector<std::string> Files() const {
    std::vector<std::string> files = {first, second};
    files.insert(files.end(), more.begin(), more.end());
    return files;
  }
};

// One conversation of `turns` lines from both characters' loaded state, the
// clock frozen at `start` and stepped after every line, the random draws
// started afresh.
void Converse(const CoverageOptions& options, double start, std::vector<TCoverage>& coverage) {
  platform::RestartReseedCount();
  platform::SetRandomState(0);
  std::vector<std::unique_ptr<TCharacter>> speakers;
  for (const std::string& file : options.Files()) {
    speakers.push_back(LoadCharacter(file, TStateUse::kReadOnly));
    coverage[speakers.size() - 1].Watch(*speakers.back());
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
    coverage[static_cast<size_t>(index)].Record(turn, line == 0);
    heard = std::move(turn.Said);
    last = index;
  }
}

// Job `job` of `jobs`: every jobs-th run from the job's own on, counted in a
// copy of the empty coverage; the counts of every character in turn.
std::vector<int64_t> RunShare(const CoverageOptions& options, double start, int job, int jobs,
                              std::vector<TCoverage> coverage) {
  for (int32_t run = job; run < options.runs; run += jobs) {
    Converse(options, start + run * kRunSpacing, coverage);
  }
  std::vector<int64_t> counts;
  for (const TCoverage& each : coverage) {
    const std::vector<int64_t> own = each.Counts();
    counts.insert(counts.end(), own.begin(), own.end());
  }
  return counts;
}

// Adds a job's counts (RunShare) to `coverage`.
void AddShare(const std::vector<int64_t>& counts, std::vector<TCoverage>& coverage) {
  size_t at = 0;
  for (TCoverage& each : coverage) {
    const size_t size = each.Counts().size();
    if (at + size > counts.size())
      throw CommandError(kExitFailure, "coverage: a run was cut short");
    each.AddCounts(std::vector<int64_t>(counts.begin() + static_cast<ptrdiff_t>(at),
                                        counts.begin() + static_cast<ptrdiff_t>(at + size)));
    at += size;
  }
}

int RunCoverage(const CoverageOptions& options) {
  ApplyRaw(options.raw);
  // A frozen clock (--clock) fixes where the runs start, so a report repeats.
  const double start = platform::NowLocal();
  const std::vector<std::string> files = options.Files();
  if (const std::string refusal = GroupRefusal(files); !refusal.empty()) {
    throw CommandError(kExitUsage, refusal);
  }
  std::vector<TCoverage> coverage;
  for (const std::string& file : files) {
    coverage.emplace_back(*LoadCharacter(file, TStateUse::kReadOnly));
  }
  const int jobs = std::min(options.jobs > 0 ? options.jobs : DefaultJobs(), options.runs);
  std::vector<std::vector<int64_t>> shares;
  try {
    shares = RunJobs(jobs, [&](int job) { return RunShare(options, start, job, jobs, coverage); });
  } catch (const std::runtime_error& e) {
    throw CommandError(kExitFailure, std::string("coverage: ") + e.what());
  }
  for (const std::vector<int64_t>& share : shares) AddShare(share, coverage);
  for (const TCoverage& each : coverage) PrintCoverage(each, options.list);
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
  coverage
      ->add_option("--jobs", options->jobs,
                   "processes the runs are spread over (default: one per core); the report "
                   "is the same for any number")
      ->check(CLI::PositiveNumber);
  AddRaw(*coverage, options->raw);
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
