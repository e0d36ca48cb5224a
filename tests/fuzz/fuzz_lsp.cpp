// Fuzzes the language server's reading and answering: any bytes as what a
// client sends (after a valid initialize), framed or not, about a small
// character in a scratch folder ("$DIR" in the input stands for it).
#include <unistd.h>

#include <cstdint>
#include <string>

#include "app/lsp/dispatcher.h"
#include "app/lsp/transport.h"
#include "fuzz_util.h"

namespace {

std::string Framed(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

const std::string& Character() {
  static const std::string dir = [] {
    const std::string dir = fuzz::ScratchDir();
    fuzz::WriteFile(dir + "kiosk.ltc",
                    "name\r\nKiosk\r\nversion\r\n210\r\nfolder\r\ndata\r\n"
                    "datab1\r\nchat.txt\r\n");
    std::filesystem::create_directories(dir + "data");
    fuzz::WriteFile(dir + "data/chat.txt", "TEA,\"Green {NICKNAM}?\"\r\n{PRIOR}\r\nRAIN,rain\r\n");
    return dir;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& dir = Character();
  std::string input(reinterpret_cast<const char*>(data), size);
  for (size_t at; (at = input.find("$DIR")) != std::string::npos;) input.replace(at, 4, dir);
  input = Framed(R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{}})") + input;
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) abort();
  // The pipe holds 64 KiB, more than the fuzzer's inputs.
  if (write(pipe_fds[1], input.data(), input.size()) != static_cast<ssize_t>(input.size())) abort();
  close(pipe_fds[1]);
  parlevo::lsp::TDispatcher dispatcher([](const parlevo::lsp::Json& message) {
    message.dump(-1, ' ', false, parlevo::lsp::Json::error_handler_t::replace);
  });
  parlevo::lsp::TReader reader(pipe_fds[0]);
  while (!dispatcher.Exited()) {
    const auto message = reader.Next();
    if (!message) break;
    dispatcher.Handle(message->Body, message->Problem);
    dispatcher.PublishPending();
  }
  close(pipe_fds[0]);
  return 0;
}
