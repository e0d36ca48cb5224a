// The parlevo-cli command framework: each command lives in a file of its own
// and registers itself here; main() builds the CLI11 application from them.
#ifndef PARLEVO_APP_CLI_COMMAND_H_
#define PARLEVO_APP_CLI_COMMAND_H_

#include <functional>
#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace parlevo::cli {

// Exit statuses of the contract.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;   // a character refused, a file failed
inline constexpr int kExitUsage = 2;     // a usage error or a pattern syntax error
inline constexpr int kExitNotSaved = 3;  // the run ended, but a state file was not saved

// Thrown by a command to end with "error: MESSAGE" on stderr and `status`.
class CommandError : public std::runtime_error {
 public:
  CommandError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

// Runs a parsed command and returns its exit status.
using CommandRunner = std::function<int()>;
// Adds one subcommand to `app` (app.add_subcommand) and returns its runner,
// which main() calls after parsing, once the global options are in force.
using CommandSetup = std::function<CommandRunner(CLI::App& app)>;

// A static CommandRegistrar in a command's file makes the command known.
struct CommandRegistrar {
  CommandRegistrar(int order, CommandSetup setup);
};

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_COMMAND_H_
