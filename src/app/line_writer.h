// The one writer of the terminal front ends: whole lines of UTF-8 to standard
// output (or standard error), code-page and UTF-16 text converted right here.
#ifndef PARLEVO_APP_LINE_WRITER_H_
#define PARLEVO_APP_LINE_WRITER_H_

#include <atomic>
#include <cstdio>
#include <string>
#include <string_view>

namespace parlevo {

// What a writer does with control characters (C0 but tab, DEL, C1) in the
// text it is given: print them as they are, or as visible escapes, so text
// from a stranger's personality cannot retitle the terminal or clear it.
enum class TControls { kAsIs, kVisible };

// `utf8` with every control character but tab spelled as an escape: "\x1B"
// for C0 and DEL, "\u009B" for C1. Line breaks are escaped too, so one line
// stays one line.
std::string VisibleControls(std::string_view utf8);

// Writes each line with write(2) after flushing what stdio still holds for
// the same stream, so lines never interleave with half of another; a write
// cut short by a signal goes on.
//
// Thread safety: writing is safe from any thread (one write per line); the
// process's two writers are made on first use; a command sets what they do
// with control characters before it starts a thread (atomic all the same).
class TLineWriter {
 public:
  // Writes to the file descriptor `fd`, whose stdio stream is `stream`.
  TLineWriter(int fd, std::FILE* stream) : fd_(fd), stream_(stream) {}
  TLineWriter(const TLineWriter&) = delete;
  TLineWriter& operator=(const TLineWriter&) = delete;

  void SetControls(TControls controls) { controls_ = controls; }

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
  std::atomic<TControls> controls_{TControls::kAsIs};
};

// The process's standard output and standard error.
TLineWriter& StandardOutput();
TLineWriter& StandardError();

// "error: MESSAGE" and "warning: MESSAGE" (UTF-8) on standard error.
void PrintError(std::string_view message);
void PrintWarning(std::string_view message);

}  // namespace parlevo

#endif  // PARLEVO_APP_LINE_WRITER_H_
