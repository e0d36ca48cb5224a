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

std::string VisibleControls(std::string_view utf8) {
  std::string visible;
  visible.reserve(utf8.size());
  char escape[8];
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      visible += escape;
    } else if (byte == 0xC2 && i + 1 < utf8.size() &&
               static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
      // U+0080..U+009F, the C1 controls (0x9B alone starts an escape sequence)
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(utf8[++i]));
      visible += escape;
    } else {
      visible += utf8[i];
    }
  }
  return visible;
}

bool TLineWriter::Line(std::string_view utf8) const {
  std::string line = controls_ == TControls::kVisible ? VisibleControls(utf8) : std::string(utf8);
  line += '\n';
  return WriteAll(line);
}

bool TLineWriter::AnsiLine(std::string_view ansi) const { return Line(platform::AnsiToUtf8(ansi)); }

bool TLineWriter::WideLine(std::u16string_view wide) const {
  return Line(platform::WideToUtf8(wide));
}

TLineWriter& StandardOutput() {
  static TLineWriter writer(STDOUT_FILENO, stdout);
  return writer;
}

TLineWriter& StandardError() {
  static TLineWriter writer(STDERR_FILENO, stderr);
  return writer;
}

void PrintError(std::string_view message) {
  StandardError().Line("error: " + std::string(message));
}

void PrintWarning(std::string_view message) {
  StandardError().Line("warning: " + std::string(message));
}

}  // namespace parlevo
