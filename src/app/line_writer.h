// The one writer of the terminal front ends: whole lines of UTF-8 to standard
// output (or standard error), code-page and UTF-16 text converted right here.
#ifndef PARLEVO_APP_LINE_WRITER_H_
#define PARLEVO_APP_LINE_WRITER_H_

#include <cstdio>
#include <string>
#include <string_view>

namespace parlevo {

// Writes each line with write(2) after flushing what stdio still holds for
// the same stream, so lines never interleave with half of another; a write
// cut short by a signal goes on.
//
// Thread safety: writing is safe from any thread (one write per line); the
// process's two writers are made on first use and never change.
class TLineWriter {
 public:
  // Writes to the file descriptor `fd`, whose stdio stream is `stream`.
  TLineWriter(int fd, std::FILE* stream) : fd_(fd), stream_(stream) {}
  TLineWriter(const TLineWriter&) = delete;
  TLineWriter& operator=(const TLineWriter&) = delete;

  // One line of UTF-8 text and its '\n'. False when the output can no
  // longer be written (a closed pipe, a full disk).
  bool Line(std::string_view utf8) const;
  // The same for text in the process code page, or in UTF-16.
  bool AnsiLine(std::string_view ansi) const;
  bool WideLine(std::u16string_view wide) const;

 private:
  bool WriteAll(std::string_view bytes) const;

  int fd_;
  std::FILE* stream_;
};

// The process's standard output and standard error.
const TLineWriter& StandardOutput();
const TLineWriter& StandardError();

// "error: MESSAGE" and "warning: MESSAGE" (UTF-8) on standard error.
void PrintError(std::string_view message);
void PrintWarning(std::string_view message);

}  // namespace parlevo

#endif  // PARLEVO_APP_LINE_WRITER_H_
