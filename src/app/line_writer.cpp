// The terminal front ends' writer: each line goes out in one piece, and
// whatever stdio buffered for the stream before it goes first.
#include "app/line_writer.h"

#include <unistd.h>

#include <cerrno>

#include "platform/codepage.h"

namespace parlevo {

bool TLineWriter::WriteAll(std::string_view bytes) const {
  if (std::fflush(stream_) != 0) return false;  // anything stdio still holds goes first
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool TLineWriter::Line(std::string_view utf8) const {
  std::string line(utf8);
  line += '\n';
  return WriteAll(line);
}

bool TLineWriter::AnsiLine(std::string_view ansi) const { return Line(platform::AnsiToUtf8(ansi)); }

bool TLineWriter::WideLine(std::u16string_view wide) const {
  return Line(platform::WideToUtf8(wide));
}

const TLineWriter& StandardOutput() {
  static const TLineWriter writer(STDOUT_FILENO, stdout);
  return writer;
}

const TLineWriter& StandardError() {
  static const TLineWriter writer(STDERR_FILENO, stderr);
  return writer;
}

void PrintError(std::string_view message) {
  StandardError().Line("error: " + std::string(message));
}

void PrintWarning(std::string_view message) {
  StandardError().Line("warning: " + std::string(message));
}

}  // namespace parlevo
