// Text files as byte lines: reading with the CR / LF / CR LF rules (a NUL ends
// the text), writing with CR LF, and replacing a file atomically. Paths are
// ANSI strings as written in personality files; "\" and "/" both separate,
// and a name that does not exist as spelled is looked up ignoring case.
#ifndef PARLEVO_PLATFORM_TEXTFILE_H_
#define PARLEVO_PLATFORM_TEXTFILE_H_

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::platform {

// A file that cannot be read or written. The message names the OS path
// (UTF-8) and the system's reason: cannot open file "/x/y.txt": No such ...
class EFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits bytes into lines: the text ends at the first NUL; lines end at CR,
// LF or CR LF; a last line without a break is a line; a break at the very end
// adds no empty line.
std::vector<std::string> SplitLines(std::string_view bytes);

// The OS path (UTF-8 on Linux) of an ANSI path: "\" that is not the second
// byte of a double-byte character becomes "/", and each component that does
// not exist with that exact spelling is matched case-insensitively in its
// folder (ASCII, Latin-1 and full-width letters fold; of several matches the
// smallest name wins). After a component that is not found the rest is
// taken as spelled; the result may name a file that does not exist. A
// leading delimiter makes the path absolute; a trailing one is kept.
std::string NativePath(std::string_view ansi_path);

bool FileExists(std::string_view ansi_path);  // a regular file
bool DeleteFile(std::string_view ansi_path);  // false if it could not be deleted

// No read budget: the file is read whatever its size (the transcript log).
inline constexpr size_t kUnlimitedBytes = static_cast<size_t>(-1);

// Reads a whole file as bytes / as lines. Throws EFileError if the file cannot
// be opened or read, or holds more than `max_bytes` bytes (the file is then
// not read further, so an oversized file cannot exhaust memory).
std::string ReadFileBytes(std::string_view ansi_path, size_t max_bytes = kUnlimitedBytes);
std::vector<std::string> ReadTextLines(std::string_view ansi_path,
                                       size_t max_bytes = kUnlimitedBytes);

// Writes the lines, each followed by CR LF, to a temporary file beside the
// target, flushes it to disk and renames it over the target, so a reader sees
// the complete old file or the complete new one; the new file keeps the old
// one's permissions. Throws EFileError; on failure the old file is left
// untouched and the temporary file removed. A writer killed midway leaves at
// most its temporary file ("NAME.tmp0", ...), which the next write of the
// same file takes over; writers running at once never share one.
void WriteTextLinesAtomic(std::string_view ansi_path, const std::vector<std::string>& lines);
// The same for bytes written as they are.
void WriteFileBytesAtomic(std::string_view ansi_path, std::string_view bytes);

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
