// parlevo-cli: the terminal front end. Global options (--codepage, --clock)
// come before the command; each command is registered from its own file.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <utility>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/line_writer.h"
#include "app/version.h"
#include "platform/codepage.h"
#include "platform/termination_signals.h"

namespace parlevo::cli {
namespace {

std::vector<std::pair<int, CommandSetup>>& Registry() {
  static std::vector<std::pair<int, CommandSetup>> registry;
  return registry;
}

}  // namespace

CommandRegistrar::CommandRegistrar(int order, CommandSetup setup) {
  Registry().emplace_back(order, std::move(setup));
}

int Main(int argc, char** argv) {
  // Before any thread runs: every thread inherits the blocked signals and
  // the handlers are set.
  platform::StartTerminationSignalThread();
  CLI::App app{"parlevo-cli: two chatbot characters talking, in the terminal"};
  app.set_version_flag("--version", "parlevo-cli " + std::string(VersionText()));
  app.require_subcommand(1);
  AddExitStatuses(app, {{kExitOk, "success (each command's --help says what its statuses mean)"},
                        {kExitFailure, kRefusedStatus},
                        {kExitUsage, kUsageStatus},
                        {kExitNotSaved, kNotSavedStatus}});
  int code_page = platform::kCodePage932;
  TClockOption clock;
  app.add_option("--codepage", code_page, "ANSI code page of personality files (932 or 1252)")
      ->check(CLI::IsMember({platform::kCodePage932, platform::kCodePage1252}));
  AddClockOption(app, clock);

  auto& registry = Registry();
  std::stable_sort(registry.begin(), registry.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<CommandRunner> runners;
  for (auto& [order, setup] : registry) runners.push_back(setup(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int status = app.exit(e);
    return status == 0 ? kExitOk : kExitUsage;
  }
  try {
    platform::SetProcessCodePage(code_page);
    clock.Apply();
    auto subcommands = app.get_subcommands({});
    for (size_t i = 0; i < subcommands.size() && i < runners.size(); ++i) {
      if (subcommands[i]->parsed()) return runners[i]();
    }
    return kExitUsage;
  } catch (const CommandError& e) {
    PrintError(e.what());
    return e.status();
  } catch (const std::exception& e) {
    PrintError(e.what());
    return kExitFailure;
  }
}

}  // namespace parlevo::cli

int main(int argc, char** argv) { return parlevo::cli::Main(argc, argv); }
