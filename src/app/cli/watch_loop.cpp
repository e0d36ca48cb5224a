// The watch loop shared by check --watch and test --watch: each run's output
// as the command prints it, a line on standard error between runs.
#include "app/cli/watch_loop.h"

#include <CLI/CLI.hpp>

#include "app/cli/command.h"
#include "app/line_writer.h"
#include "platform/file_watch.h"
#include "platform/termination_signals.h"

namespace parlevo::cli {
namespace {

// Ctrl-C ends the wait instead of the process, so the loop ends in its own
// time; the signal is the process's again afterwards.
class CatchInterrupts {
 public:
  CatchInterrupts() { platform::CatchTerminationSignals(true); }
  ~CatchInterrupts() { platform::CatchTerminationSignals(false); }
  CatchInterrupts(const CatchInterrupts&) = delete;
  CatchInterrupts& operator=(const CatchInterrupts&) = delete;
};

int RunOnce(const std::function<int()>& run) {
  try {
    return run();
  } catch (const CommandError& e) {
    PrintError(e.what());
    return e.status();
  }
}

}  // namespace

void AddWatch(CLI::App& command, bool& watch) {
  command.add_flag("--watch", watch,
                   "run again whenever a file of the character (base file, data files, scripts) "
                   "changes, until Ctrl-C");
}

int RunWatching(const std::function<int()>& run,
                const std::function<std::vector<std::string>()>& files) {
  CatchInterrupts interrupts;
  platform::TFileWatch watch;
  for (;;) {
    const std::vector<std::string> watched = files();
    watch.Watch(watched);  // before the run, so no change during it is missed
    const int status = RunOnce(run);
    StandardError().Line("# watching " + std::to_string(watched.size()) + " files; Ctrl-C ends");
    if (!watch.WaitForChange(platform::TerminationRequested)) return status;
    StandardError().Line("# changed: running again");
  }
}

}  // namespace parlevo::cli
