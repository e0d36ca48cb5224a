// Text files as byte lines: reading with the CR / LF / CR LF rules (a NUL ends
// the text), writing with CR LF, and replacing a file atomically. Paths are
// native (platform/native_path.h): they reach the file system as given.
#ifndef PARLEVO_PLATFORM_TEXTFILE_H_
#define PARLEVO_PLATFORM_TEXTFILE_H_

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/native_path.h"  // NativePath, for callers holding ANSI paths

namespace parlevo::platform {

// A file that cannot be read or written. what() is UTF-8 on every system:
//   cannot open file "/x/y.txt": No such file or directory
// naming the native path (UTF-8 on Linux and macOS) and the system's reason.
// The path is also kept apart, for a front end that shows it its own way.
class EFileError : public std::runtime_error {
 public:
  // `action` such as "cannot open file"; `error` an errno value.
  EFileError(std::string_view action, std::string path, int error);
  // The same with a reason of the program's own in place of an errno text.
  EFileError(std::string_view action, std::string path, std::string_view reason);
  const std::string& Path() const { return path_; }
  // The errno value it was made with; 0 for a reason of the program's own.
  int Error() const { return error_; }

 private:
  std::string path_;
  int error_ = 0;
};

// Splits bytes into lines: the text ends at the first NUL; lines end at CR,
// LF or CR LF; a last line without a break is a line; a break at the very end
// adds no empty line.
std::vector<std::string> SplitLines(std::string_view bytes);
// Calls `visit` with each line SplitLines would give, without holding them all.
template <typename Visit>
void VisitLines(std::string_view bytes, Visit visit) {
  bytes = bytes.substr(0, bytes.find('\0'));
  size_t start = 0;
  // Each kind of break is looked for again only once passed: two fast
  // single-byte searches rather than a test of every byte against both.
  size_t cr = bytes.find('\r'), lf = bytes.find('\n');
  while (start < bytes.size()) {
    if (cr < start) cr = bytes.find('\r', start);
    if (lf < start) lf = bytes.find('\n', start);
    const size_t brk = std::min(cr, lf);
    if (brk == std::string_view::npos) {
      visit(bytes.substr(start));
      break;
    }
    visit(bytes.substr(start, brk - start));
    start = brk + 1;
    if (bytes[brk] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
}

bool FileExists(std::string_view path);  // a regular file
// Whether something other than a regular file (a folder, a FIFO, a device)
// stands at `path`, links followed. Asking never opens it, so never blocks.
bool IsOtherThanFile(std::string_view path);
// `path` with symbolic links followed to what they name, as far as they lead
// (a link to nothing gives the name it points at).
std::string FollowLinks(std::string_view path);
bool DeleteFile(std::string_view path);  // false if it could not be deleted

// Throws EFileError ("cannot read folder") when `folder` exists but its files
// cannot be reached (no permission); a missing folder is no error here.
void CheckFolderReadable(std::string_view folder);

// Renames `path` to the first free name of "PATH.SUFFIX", "PATH.SUFFIX2",
// "PATH.SUFFIX3", ... (never over an existing file) and returns that name.
// With `max_kept` > 0 the names stop at "PATH.SUFFIX<max_kept>": when all are
// taken, the oldest of them is removed first, so the newest few are kept.
// Throws EFileError when it cannot.
std::string KeepAside(std::string_view path, std::string_view suffix, int max_kept = 0);

// No read budget: the file is read whatever its size (the transcript log).
inline constexpr size_t kUnlimitedBytes = static_cast<size_t>(-1);

// Reads a whole file as bytes / as lines. Throws EFileError if the file cannot
// be opened or read, or holds more than `max_bytes` bytes (the file is then
// not read further, so an oversized file cannot exhaust memory).
std::string ReadFileBytes(std::string_view path, size_t max_bytes = kUnlimitedBytes);
std::vector<std::string> ReadTextLines(std::string_view path, size_t max_bytes = kUnlimitedBytes);

// Writes the lines, each followed by CR LF, to a temporary file beside the
// target, flushes it to disk and renames it over the target, so a reader sees
// the complete old file or the complete new one; the new file keeps the old
// one's permissions. A path that is a symbolic link is written through to
// what it names, the link kept; what is there must be a regular file or
// nothing (anything else is refused). Throws EFileError; on failure the old file is left
// untouched and the temporary file removed. A writer killed midway leaves at
// most its temporary file ("NAME.tmp0", ...), which the next write of the
// same file takes over; writers running at once never share one. A write
// beyond a file size limit fails like a full disk (SIGXFSZ is ignored).
void WriteTextLinesAtomic(std::string_view path, const std::vector<std::string>& lines);
// The same for bytes written as they are.
void WriteFileBytesAtomic(std::string_view path, std::string_view bytes);

// The helpers below work on ANSI paths, as personality files spell them.
// Directory part of an ANSI path up to and including the last "\", "/" or
// ":" (never the second byte of a double-byte character); empty when none.
std::string ExtractFileDir(std::string_view ansi_path);
// The file name after that directory part.
std::string ExtractFileName(std::string_view ansi_path);
// True when the text ends in a path delimiter ("\" or "/") that is a
// character of its own.
bool EndsWithDelimiter(std::string_view ansi_path);
// `path` with its extension (from the last "." of the file name) replaced.
std::string ChangeFileExt(std::string_view ansi_path, std::string_view ext);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_TEXTFILE_H_
