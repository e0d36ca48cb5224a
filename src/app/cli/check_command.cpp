// parlevo-cli check: loads a character as the program would and lists what
// loading passes over in silence, then how many entries each data slot holds.
#include <CLI/CLI.hpp>
#include <memory>
#include <string>

#include "app/check.h"
#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"

namespace parlevo::cli {
namespace {

// "FILE:LINE: message", the form editors and terminals link to the line.
std::string FindingLine(const TFinding& finding) {
  std::string line = finding.File;
  if (finding.Line > 0) line += ":" + std::to_string(finding.Line);
  return line + ": " + finding.Message;
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
  std::string base_file;
};

int RunCheck(const CheckOptions& options) {
  const TCheckReport report = CheckCharacter(options.base_file);
  bool noted = false;
  for (const TFinding& finding : report.Findings) {
    // A refusal ends the command; what was found before it may say why.
    if (finding.Severity == TFindingSeverity::kError) {
      throw CommandError(kExitFailure, finding.Message);
    }
    StandardOutput().Line(FindingLine(finding));
    noted = true;
  }
  if (report.Summary) PrintSummary(*report.Summary);
  return options.strict && noted ? kExitFailure : kExitOk;
}

CommandRunner SetUpCheck(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* check =
      app.add_subcommand("check", "Load a character and list what loading passes over in silence");
  check->add_flag("--strict", options->strict, "exit with status 1 when anything was noted");
  check->add_option("basefile", options->base_file, "the character's base file")->required();
  AddExitStatuses(
      *check, {{kExitOk, "the character loads (with --strict: and nothing was noted)"},
               {kExitFailure, "the character was refused, or with --strict something was noted"},
               {kExitUsage, kUsageStatus}});
  return [options] { return RunCheck(*options); };
}

const CommandRegistrar kCheckCommand(50, SetUpCheck);

}  // namespace
}  // namespace parlevo::cli
