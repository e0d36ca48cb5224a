// parlevo-cli: the terminal front end. Global options (--codepage, --clock)
// come before the command; each command is registered from its own file.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <optional>
#include <utility>
#include <vector>

#include "app/cli/command.h"
#include "app/version.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"
#include "platform/termination_signals.h"

namespace parlevo::cli {
namespace {

std::vector<std::pair<int, CommandSetup>>& Registry() {
  static std::vector<std::pair<int, CommandSetup>> registry;
  return registry;
}

// Applies --clock "YYYY/MM/DD hh:nn:ss[.zzz]".
void FreezeClockAt(const std::string& text) { platform::FreezeClock(ClockOption(text)); }

}  // namespace

double ClockOption(const std::string& text) {
  const std::optional<double> when = platform::TextToDateTime(text);
  if (!when) throw CommandError(kExitUsage, "invalid --clock value: " + text);
  return *when;
}

CommandRegistrar::CommandRegistrar(int order, CommandSetup setup) {
  Registry().emplace_back(order, std::move(setup));
}

bool PrintLine(std::string_view utf8) {
  std::string line(utf8);
  line += '\n';
  if (std::fflush(stdout) != 0) return false;  // anything stdio still holds goes first
  std::string_view rest = line;
  while (!rest.empty()) {
    const ssize_t n = ::write(STDOUT_FILENO, rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    rest.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool PrintAnsiLine(const std::string& ansi) { return PrintLine(platform::AnsiToUtf8(ansi)); }

int Main(int argc, char** argv) {
  // Before any thread runs: every thread inherits the blocked signals and
  // the handlers are set.
  platform::StartTerminationSignalThread();
  CLI::App app{"parlevo-cli: two chatbot characters talking, in the terminal"};
  app.set_version_flag("--version", "parlevo-cli " + std::string(VersionText()));
  app.require_subcommand(1);
  int code_page = platform::kCodePage932;
  std::string clock;
  app.add_option("--codepage", code_page, "ANSI code page of personality files (932 or 1252)")
      ->check(CLI::IsMember({platform::kCodePage932, platform::kCodePage1252}));
  app.add_option("--clock", clock, "freeze the clock at \"YYYY/MM/DD hh:nn:ss[.zzz]\"");

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
    if (!clock.empty()) FreezeClockAt(clock);
    auto subcommands = app.get_subcommands({});
    for (size_t i = 0; i < subcommands.size() && i < runners.size(); ++i) {
      if (subcommands[i]->parsed()) return runners[i]();
    }
    return kExitUsage;
  } catch (const CommandError& e) {
    std::cerr << "error: " << e.what() << '\n';
    return e.status();
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace parlevo::cli

int main(int argc, char** argv) { return parlevo::cli::Main(argc, argv); }
