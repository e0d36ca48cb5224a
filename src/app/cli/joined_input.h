// A watcher's lines for `converse --join`: read from standard input as they
// come, without blocking the loop that also watches for interrupts.
#ifndef PARLEVO_APP_CLI_JOINED_INPUT_H_
#define PARLEVO_APP_CLI_JOINED_INPUT_H_

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::cli {

class JoinedInput {
 public:
  // The lines (UTF-8, line ends removed) completed within `timeout`; a line
  // over kMaxInputLineBytes is skipped with a warning, as in `chat`.
  std::vector<std::string> Poll(std::chrono::milliseconds timeout);
  // True once standard input has ended (or failed).
  bool Ended() const { return ended_; }

 private:
  void Take(std::string_view bytes, std::vector<std::string>& lines);
  void EndLine(std::vector<std::string>& lines);

  std::string pending_;    // the line being read
  bool skipping_ = false;  // the line being read is too long
  bool ended_ = false;
  int64_t line_number_ = 0;
};

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_JOINED_INPUT_H_
