// parlevo-cli test: runs personality test scripts against a character that
// writes nothing, and reports each failed check as SCRIPT:LINE.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/character_files.h"
#include "app/cli/command.h"
#include "app/cli/coverage_report.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/cli/watch_loop.h"
#include "app/coverage.h"
#include "app/line_writer.h"
#include "app/personality_test.h"
#include "data/personality_text.h"
#include "platform/codepage.h"
#include "platform/numbers.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

struct TestOptions {
  TClockOption clock;
  bool coverage = false;
  bool state = false;
  bool watch = false;
  bool raw = false;
  std::string base_file;
  std::vector<std::string> scripts;
};

// Why a script could not run, as its result line says it.
struct EScriptNotRun {
  int Line = 0;  // 0: the script as a whole
  std::string Reason;
};

std::vector<TScriptStep> ReadScript(const std::string& script) {
  // Read as every personality file is (UTF-8 or the code page), then given
  // to the parser as UTF-8, which holds every code page character.
  std::string text;
  try {
    for (const std::string& line : ReadPersonalityText(script).Lines) {  // as given
      text += platform::AnsiToUtf8(line) + "\n";
    }
  } catch (const platform::EFileError& e) {
    throw EScriptNotRun{0, std::string("cannot read the script: ") + e.what()};
  }
  std::vector<TScriptStep> steps;
  try {
    steps = ParseTestScript(text);
  } catch (const ETestScriptError& e) {
    throw EScriptNotRun{e.Line, e.what()};
  }
  if (std::none_of(steps.begin(), steps.end(), [](const auto& step) { return step.IsCheck(); })) {
    throw EScriptNotRun{0, "no checks (< ~ @ ?): nothing would be tested"};
  }
  return steps;
}

// Runs one script; a character that cannot be loaded is the script's.
TScriptResult RunScript(const std::string& script, const TestOptions& options,
                        const TScriptRun& run) {
  const std::vector<TScriptStep> steps = ReadScript(script);
  try {
    return RunTestScript(steps, options.base_file, run);
  } catch (const ELumoError& e) {
    throw EScriptNotRun{0, LoadErrorText(options.base_file, e)};
  } catch (const platform::EFileError& e) {
    throw EScriptNotRun{0, LoadErrorText(options.base_file, e)};  // UTF-8 already
  }
}

// Coverage of the scripts' turns; none when the character cannot be loaded
// (each script says why).
std::unique_ptr<TCoverage> StartCoverage(const TestOptions& options, TScriptRun& run) {
  if (!options.coverage) return nullptr;
  std::unique_ptr<TCoverage> coverage;
  try {
    coverage = std::make_unique<TCoverage>(*LoadCharacter(options.base_file, TStateUse::kNone));
  } catch (const CommandError&) {
    return nullptr;
  }
  run.OnTurn = [coverage = coverage.get()](const TTurn& turn) { coverage->Record(turn); };
  return coverage;
}

// Every script runs, whatever another's fate: its failures, then its result.
int RunTest(const TestOptions& options) {
  ApplyRaw(options.raw);
  TScriptRun run;
  run.Character = CharacterOptions(TStateUse::kNone);
  run.Clock = options.clock.Instant();
  run.ReadState = options.state;
  const std::unique_ptr<TCoverage> coverage = StartCoverage(options, run);
  const TLineWriter& out = StandardOutput();
  int checks = 0;
  int failed = 0;
  int not_run = 0;
  for (const std::string& script : options.scripts) {
    try {
      const TScriptResult result = RunScript(script, options, run);
      for (const TCheckFailure& failure : result.Failures) {
        out.Line(script + ":" + std::to_string(failure.Line) + ": " + failure.Message);
      }
      const int failures = static_cast<int>(result.Failures.size());
      out.Line(script + ": " + platform::CountText(result.Checks, "check") + ", " +
               std::to_string(failures) + " failed");
      checks += result.Checks;
      failed += failures;
    } catch (const EScriptNotRun& e) {
      const std::string where = e.Line > 0 ? script + ":" + std::to_string(e.Line) : script;
      out.Line(where + ": not run: " + e.Reason);
      ++not_run;
    }
  }
  std::string total =
      platform::CountText(checks, "check") + ", " + std::to_string(failed) + " failed";
  if (not_run > 0) total += ", " + platform::CountText(not_run, "script") + " not run";
  out.Line(total);
  if (coverage) PrintCoverage(*coverage, kDefaultNeverChosenLines);
  if (not_run > 0) return kExitUsage;
  return failed == 0 ? kExitOk : kExitFailure;
}

CommandRunner SetUpTest(CLI::App& app) {
  auto options = std::make_shared<TestOptions>();
  CLI::App* test = app.add_subcommand(
      "test",
      "Run personality test scripts, each on the character as on a first meeting; its state file "
      "is never written");
  AddClockOption(*test, options->clock, "as each script starts");
  AddRaw(*test, options->raw);
  test->add_flag("--coverage", options->coverage,
                 "then report which entries the scripts made the character choose");
  test->add_flag("--state", options->state,
                 "start each script from the saved state file (still never written) instead of "
                 "a first meeting with empty memory");
  AddWatch(*test, options->watch);
  test->add_option("basefile", options->base_file, "the character's base file")->required();
  test->add_option("script", options->scripts, "test scripts (UTF-8 or code page text)")
      ->required();
  AddExitStatuses(*test,
                  {{kExitOk, "every check passed"},
                   {kExitFailure, "a check failed"},
                   {kExitUsage,
                    "a usage error, or a script could not run: unreadable, an error in it, no "
                    "checks, or a character that was refused or a file that failed"}});
  return [options] {
    if (!options->watch) return RunTest(*options);
    return RunWatching([options] { return RunTest(*options); },
                       [options] {
                         std::vector<std::string> files = CharacterFiles(options->base_file);
                         files.insert(files.end(), options->scripts.begin(),
                                      options->scripts.end());
                         return files;
                       });
  };
}

const CommandRegistrar kTestCommand(60, SetUpTest);

}  // namespace
}  // namespace parlevo::cli
