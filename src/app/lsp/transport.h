// Messages of the protocol over a pair of file descriptors: a header with
// Content-Length, a blank line, then that many bytes of JSON.
#ifndef PARLEVO_APP_LSP_TRANSPORT_H_
#define PARLEVO_APP_LSP_TRANSPORT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parlevo::lsp {

// The largest message body read: three times the budget of a personality
// file, room for a whole file's text escaped in JSON. A larger body is read
// past and dropped, never held.
inline constexpr size_t kMaxMessageBytes = size_t{192} << 20;
// The largest header line; a longer one is no header.
inline constexpr size_t kMaxHeaderLineBytes = 4096;

// One message as read: its body, or why there is none.
struct TIncoming {
  std::string Body;
  std::string Problem;  // empty when Body holds a message
};

class TReader {
 public:
  explicit TReader(int fd) : fd_(fd) {}
  // The next message; nothing at the end of input.
  std::optional<TIncoming> Next();
  // True when more input is ready now (buffered or waiting on the descriptor).
  bool Ready();

 private:
  bool Fill();  // false at the end of input
  std::optional<std::string> HeaderLine();
  bool Skip(size_t bytes);

  int fd_;
  std::string buffer_;
  size_t at_ = 0;
  bool ended_ = false;
};

// Writes one message (header and body) whole; false when the output is gone.
bool WriteMessage(int fd, std::string_view body);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_TRANSPORT_H_
