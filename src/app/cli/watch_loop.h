// --watch of check and test: run the command, then again whenever one of
// its files changes, until Ctrl-C.
#ifndef PARLEVO_APP_CLI_WATCH_LOOP_H_
#define PARLEVO_APP_CLI_WATCH_LOOP_H_

#include <functional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace parlevo::cli {

void AddWatch(CLI::App& command, bool& watch);

// Runs `run` (which returns an exit status, or throws CommandError: its
// message is shown and the watch goes on), then waits for a change to one
// of `files()` (asked before each run, so new data files are followed) and
// runs it again, until Ctrl-C. Returns the last run's status.
int RunWatching(const std::function<int()>& run,
                const std::function<std::vector<std::string>()>& files);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_WATCH_LOOP_H_
