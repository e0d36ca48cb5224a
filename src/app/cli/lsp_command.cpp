// parlevo-cli lsp: the language server for editors, on standard input and
// output. Everything it does lives in app/lsp; this only registers it.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <memory>

#include "app/cli/command.h"
#include "app/cli/shared_options.h"
#include "app/lsp/server.h"

namespace parlevo::cli {
namespace {

int RunLsp() {
  // A client that goes away makes writes fail instead of ending the process.
  std::signal(SIGPIPE, SIG_IGN);
  return lsp::RunServer(STDIN_FILENO, STDOUT_FILENO);
}

CommandRunner SetUpLsp(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "lsp", "Serve editors as a language server (the protocol on standard input and output)");
  // Clients start servers with "--stdio"; it is the only transport there is.
  auto stdio = std::make_shared<bool>(false);
  command->add_flag("--stdio", *stdio, "talk on standard input and output (the default)");
  AddExitStatuses(*command, {{kExitOk, "the client said shutdown, then exit"},
                             {kExitFailure, "the input ended, or exit came without shutdown"},
                             {kExitUsage, kUsageStatus}});
  return [stdio] { return RunLsp(); };
}

const CommandRegistrar kLspCommand(95, SetUpLsp);

}  // namespace
}  // namespace parlevo::cli
