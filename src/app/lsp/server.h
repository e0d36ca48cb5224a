// The language server: reads messages, answers requests through the
// features, publishes diagnostics when the input falls quiet, and lives
// until the client says exit or the input ends.
#ifndef PARLEVO_APP_LSP_SERVER_H_
#define PARLEVO_APP_LSP_SERVER_H_

namespace parlevo::lsp {

// Serves one client on `in_fd` / `out_fd` (standard input and output).
// Returns the exit status: 0 after shutdown then exit, 1 when the input
// ended or exit came without shutdown. Nothing but protocol messages is
// written to `out_fd`; no file is written anywhere.
int RunServer(int in_fd, int out_fd);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_SERVER_H_
