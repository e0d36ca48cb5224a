// The server's loop: one message at a time; diagnostics wait until no more
// input is ready, so a burst of changes is checked once.
#include "app/lsp/server.h"

#include "app/lsp/dispatcher.h"
#include "app/lsp/transport.h"

namespace parlevo::lsp {

int RunServer(int in_fd, int out_fd) {
  bool output_gone = false;
  TDispatcher dispatcher([&](const Json& message) {
    // Text the code page gave that is no valid UTF-8 is replaced, not thrown.
    const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (!output_gone && !WriteMessage(out_fd, body)) output_gone = true;
  });
  TReader reader(in_fd);
  while (!dispatcher.Exited() && !output_gone) {
    const std::optional<TIncoming> message = reader.Next();
    if (!message) return 1;  // the client went away without exit
    dispatcher.Handle(message->Body, message->Problem);
    if (!dispatcher.Exited() && !reader.Ready()) dispatcher.PublishPending();
  }
  return dispatcher.ExitStatus();
}

}  // namespace parlevo::lsp
