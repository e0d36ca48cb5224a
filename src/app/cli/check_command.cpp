// parlevo-cli check: loads a character as the program would and lists what
// loading passes over in silence, then how many entries each data slot holds.
#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "app/character_files.h"
#include "app/check.h"
#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/cli/watch_loop.h"
#include "app/line_writer.h"

namespace parlevo::cli {
namespace {

// "FILE:LINE: message", the form editors and terminals link to the line
// (the columns are for programs: --json).
std::string FindingLine(const TFinding& finding) {
  std::string line = finding.File;
  if (finding.Line > 0) line += ":" + std::to_string(finding.Line);
  return line + ": " + finding.Message;
}

// One finding as a line of JSON; what is not known is null.
std::string FindingJson(const TFinding& finding) {
  using Json = nlohmann::ordered_json;
  auto column = [](int value) { return value > 0 ? Json(value) : Json(nullptr); };
  const Json json = {{"file", finding.File},
                     {"line", finding.Line > 0 ? Json(finding.Line) : Json(nullptr)},
                     {"column", column(finding.Column)},
                     {"end_column", column(finding.EndColumn)},
                     {"severity", std::string(SeverityName(finding.Severity))},
                     {"code", std::string(finding.Code)},
                     {"message", finding.Message},
                     {"fix", finding.Fix ? Json(*finding.Fix) : Json(nullptr)}};
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void PrintSummary(const TCheckSummary& summary) {
  const TLineWriter& out = StandardOutput();
  for (const TSlotCount& slot : summary.Slots) {
    out.Line(std::string(slot.Key) + ": entries " + std::to_string(slot.Entries) + ", markers " +
             std::to_string(slot.Markers) + ", available " + std::to_string(slot.Available));
  }
  out.Line(summary.Name + ": entries " + std::to_string(summary.Entries) + ", available " +
           std::to_string(summary.Available));
}

struct CheckOptions {
  bool strict = false;
  bool json = false;
  bool watch = false;
  bool raw = false;
  std::string base_file;
};

// Standard output holds the findings only, a refusal among them.
int RunCheckJson(const CheckOptions& options, const TCheckReport& report) {
  bool noted = false;
  for (const TFinding& finding : report.Findings) {
    StandardOutput().Line(FindingJson(finding));
    if (finding.Severity == TFindingSeverity::kError) return kExitFailure;
    noted = noted || finding.Severity == TFindingSeverity::kWarning;
  }
  return options.strict && noted ? kExitFailure : kExitOk;
}

int RunCheck(const CheckOptions& options) {
  const TCheckReport report = CheckCharacter(options.base_file);
  if (options.json) return RunCheckJson(options, report);
  bool noted = false;
  for (const TFinding& finding : report.Findings) {
    // A refusal ends the command; what was found before it may say why.
    if (finding.Severity == TFindingSeverity::kError) {
      throw CommandError(kExitFailure, options.base_file + ": " + finding.Message);
    }
    StandardOutput().Line(FindingLine(finding));
    noted = noted || finding.Severity == TFindingSeverity::kWarning;
  }
  if (report.Summary) PrintSummary(*report.Summary);
  return options.strict && noted ? kExitFailure : kExitOk;
}

CommandRunner SetUpCheck(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check =
      app.add_subcommand("check", "Load a character and list what loading passes over in silence");
  check->add_flag("--strict", options->strict,
                  "exit with status 1 when there was an error or a warning");
  check->add_flag("--json", options->json,
                  "only the findings on standard output, one JSON object per line");
  AddWatch(*check, options->watch);
  AddRaw(*check, options->raw);
  check->add_option("basefile", options->base_file, "the character's base file")->required();
  AddExitStatuses(
      *check, {{kExitOk, "the character loads (with --strict: and nothing was noted)"},
               {kExitFailure, "the character was refused, or with --strict something was noted"},
               {kExitUsage, kUsageStatus}});
  return [options] {
    ApplyRaw(options->raw);
    if (!options->watch) return RunCheck(*options);
    return RunWatching([options] { return RunCheck(*options); },
                       [options] { return CharacterFiles(options->base_file); });
  };
}

const CommandRegistrar kCheckCommand(50, SetUpCheck);

}  // namespace
}  // namespace parlevo::cli
