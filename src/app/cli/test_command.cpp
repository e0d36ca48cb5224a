// parlevo-cli test: runs personality test scripts against a character that
// writes nothing, and reports each failed check as SCRIPT:LINE.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/coverage_report.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/coverage.h"
#include "app/line_writer.h"
#include "app/personality_test.h"
#include "data/file_budget.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

struct TestOptions {
  TClockOption clock;
  bool coverage = false;
  bool raw = false;
  std::string base_file;
  std::vector<std::string> scripts;
};

// A script error ends the command with status 2 and "SCRIPT:LINE: reason".
[[noreturn]] void ScriptError(const std::string& script, int line, const std::string& reason) {
  std::string where = script;
  if (line > 0) where += ":" + std::to_string(line);
  throw CommandError(kExitUsage, where + ": " + reason);
}

std::vector<TScriptStep> ReadScript(const std::string& script) {
  std::string text;
  try {
    text = ReadFileWithinBudget(script);  // as given
  } catch (const platform::EFileError& e) {
    ScriptError(script, 0, std::string("cannot read the script: ") + e.what());
  }
  try {
    return ParseTestScript(text);
  } catch (const ETestScriptError& e) {
    ScriptError(script, e.Line, e.what());
  }
}

int RunTest(const TestOptions& options) {
  ApplyRaw(options.raw);
  TScriptRun run;
  run.Character = CharacterOptions(TStateUse::kReadOnly);
  run.Clock = options.clock.Instant();
  // Every script is read before any runs, so a typo costs no run.
  std::vector<std::vector<TScriptStep>> scripts;
  for (const std::string& script : options.scripts) scripts.push_back(ReadScript(script));

  std::unique_ptr<TCoverage> coverage;
  if (options.coverage) {
    coverage = std::make_unique<TCoverage>(*LoadCharacter(options.base_file, TStateUse::kReadOnly));
    run.OnTurn = [&coverage](const TTurn& turn) { coverage->Record(turn); };
  }
  const TLineWriter& out = StandardOutput();
  int checks = 0;
  int failed = 0;
  for (size_t i = 0; i < scripts.size(); ++i) {
    TScriptResult result;
    try {
      result = RunTestScript(scripts[i], options.base_file, run);
    } catch (const ELumoError& e) {
      throw CommandError(kExitFailure, e.what());
    } catch (const platform::EFileError& e) {
      throw CommandError(kExitFailure, e.what());  // UTF-8 already
    }
    for (const TCheckFailure& failure : result.Failures) {
      out.Line(options.scripts[i] + ":" + std::to_string(failure.Line) + ": " + failure.Message);
    }
    checks += result.Checks;
    failed += static_cast<int>(result.Failures.size());
  }
  out.Line(std::to_string(checks) + " checks, " + std::to_string(failed) + " failed");
  if (coverage) PrintCoverage(*coverage, kDefaultNeverChosenLines);
  return failed == 0 ? kExitOk : kExitFailure;
}

CommandRunner SetUpTest(CLI::App& app) {
  auto options = std::make_shared<TestOptions>();
  CLI::App* test = app.add_subcommand(
      "test", "Run personality test scripts; the character's state file is never written");
  AddClockOption(*test, options->clock, "as each script starts");
  AddRaw(*test, options->raw);
  test->add_flag("--coverage", options->coverage,
                 "then report which entries the scripts made the character choose");
  test->add_option("basefile", options->base_file, "the character's base file")->required();
  test->add_option("script", options->scripts, "test scripts (UTF-8 text)")->required();
  AddExitStatuses(*test,
                  {{kExitOk, "every check passed"},
                   {kExitFailure, "a check failed, or the character was refused or a file failed"},
                   {kExitUsage, "a usage error, or a script that cannot be read or has an error"}});
  return [options] { return RunTest(*options); };
}

const CommandRegistrar kTestCommand(60, SetUpTest);

}  // namespace
}  // namespace parlevo::cli
