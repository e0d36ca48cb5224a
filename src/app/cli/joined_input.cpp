// Reading a watcher's lines with poll(2), so the main thread of `converse`
// never blocks on standard input.
#include "app/cli/joined_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "app/cli/line_reader.h"
#include "app/line_writer.h"

namespace parlevo::cli {

std::vector<std::string> JoinedInput::Poll(std::chrono::milliseconds timeout) {
  std::vector<std::string> lines;
  if (ended_) return lines;
  pollfd input{STDIN_FILENO, POLLIN, 0};
  const int ready = ::poll(&input, 1, static_cast<int>(timeout.count()));
  if (ready <= 0) return lines;  // nothing yet (or a signal: the caller looks again)
  char chunk[1 << 16];
  const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
  if (got < 0 && errno == EINTR) return lines;
  if (got <= 0) {
    ended_ = true;
    if (!pending_.empty() || skipping_) EndLine(lines);  // a last line without its end
    return lines;
  }
  Take(std::string_view(chunk, static_cast<size_t>(got)), lines);
  return lines;
}

void JoinedInput::Take(std::string_view bytes, std::vector<std::string>& lines) {
  for (char c : bytes) {
    if (c == '\n') {
      EndLine(lines);
    } else if (!skipping_) {
      pending_ += c;
      // One byte over: a CR before the LF may still go.
      if (pending_.size() > kMaxInputLineBytes + 1) {
        pending_.clear();
        skipping_ = true;
      }
    }
  }
}

void JoinedInput::EndLine(std::vector<std::string>& lines) {
  ++line_number_;
  if (!pending_.empty() && pending_.back() == '\r') pending_.pop_back();
  if (skipping_ || pending_.size() > kMaxInputLineBytes) {
    PrintWarning("input line " + std::to_string(line_number_) + " is longer than " +
                 std::to_string(kMaxInputLineBytes >> 20) + " MiB: skipped");
  } else {
    lines.push_back(std::move(pending_));
  }
  pending_.clear();
  skipping_ = false;
}

}  // namespace parlevo::cli
