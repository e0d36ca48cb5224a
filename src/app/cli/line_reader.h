// Where `chat` reads the partner's lines: on a terminal, a line editor with a
// prompt, editing and history (libedit); otherwise plain lines from the pipe.
#ifndef PARLEVO_APP_CLI_LINE_READER_H_
#define PARLEVO_APP_CLI_LINE_READER_H_

#include <cstddef>
#include <memory>
#include <string>

#include "app/turn.h"

namespace parlevo::cli {

// The longest line read is kMaxInputLineBytes (app/turn.h): a longer one is
// skipped whole.

enum class TLineRead { kLine, kTooLong, kEnd };

class LineReader {
 public:
  // The editor when standard input and output are both a terminal (and
  // libedit was built in), plain reading otherwise. `prompt` is UTF-8.
  static std::unique_ptr<LineReader> ForStandardInput(const std::string& prompt);
  virtual ~LineReader() = default;

  // The next line (UTF-8), its line end removed; kTooLong (and `line`
  // empty) for one over kMaxInputLineBytes, which is passed over; kEnd at the
  // end of input, which on a terminal Ctrl-D (on an empty line) and Ctrl-C
  // also mean.
  virtual TLineRead ReadLine(std::string& line) = 0;
  // True when what is typed is already on the screen after the prompt, so
  // the caller should not print it again.
  virtual bool ShowsInput() const = 0;
};

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_LINE_READER_H_
