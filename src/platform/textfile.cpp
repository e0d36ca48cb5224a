// Text files: line splitting, reading, atomic replacing, keeping a file aside,
// and the double-byte aware helpers for ANSI path names.

#include "platform/textfile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <mutex>

#include "platform/codepage.h"
#include "platform/temp_file.h"

namespace parlevo::platform {

namespace {

// ---------------------------------------------------------------------------
// Path names

bool IsDelimiter(char c) { return c == '\\' || c == '/'; }

// Index of the last character in `path` (a character of its own, never the
// second byte of a double-byte character) for which `pred` holds; npos if none.
template <typename Pred>
size_t LastCharWhere(std::string_view path, Pred pred) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += CharLengthAt(path, i)) {
    if (pred(path[i])) found = i;
  }
  return found;
}

[[noreturn]] void ThrowFileError(std::string_view what, const std::string& path, int error) {
  throw EFileError(what, path, error);
}

// A write beyond a file size limit (ulimit -f) must fail like a full disk,
// not kill the process with SIGXFSZ before the old file's state is saved.
// Ignored once for the whole process: nothing in it wants that signal.
void IgnoreFileSizeSignal() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);
  });
}

// ---------------------------------------------------------------------------
// Low-level file access

// Writes all of `data` to `fd`; false with errno set on failure.
bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Makes a rename in `dir` durable; a folder that cannot be opened or synced
// (some file systems refuse) is not an error: the data itself is on disk.
void SyncFolder(const std::string& dir) {
  int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

// ---------------------------------------------------------------------------
// Lines

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  VisitLines(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

// ---------------------------------------------------------------------------
// Errors

EFileError::EFileError(std::string_view action, std::string path, int error)
    : EFileError(action, std::move(path), std::string_view(std::strerror(error))) {
  error_ = error;
}

EFileError::EFileError(std::string_view action, std::string path, std::string_view reason)
    : std::runtime_error(std::string(action) + " \"" + path + "\": " + std::string(reason)),
      path_(std::move(path)) {}

// ---------------------------------------------------------------------------
// Files

bool FileExists(std::string_view path) {
  struct stat st;
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsOtherThanFile(std::string_view path) {
  struct stat st;
  return ::stat(std::string(path).c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

std::string FollowLinks(std::string_view path) {
  std::filesystem::path at(path);
  // A loop of links ends where the system's own lookups give up.
  for (int hop = 0; hop < 40; ++hop) {
    std::error_code error;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(at, error))) break;
    const std::filesystem::path target = std::filesystem::read_symlink(at, error);
    if (error) break;
    at = target.is_absolute() ? target : at.parent_path() / target;
  }
  return at.string();
}

bool DeleteFile(std::string_view path) { return ::unlink(std::string(path).c_str()) == 0; }

void CheckFolderReadable(std::string_view folder) {
  std::string path(folder.empty() ? "." : folder);
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return;  // missing: its files are missing
    ThrowFileError("cannot read folder", std::string(folder), errno);
  }
  if (!S_ISDIR(st.st_mode)) return;
  // Reading a file needs search permission; finding a name ignoring case
  // needs read permission too.
  if (::access(path.c_str(), R_OK | X_OK) != 0) {
    ThrowFileError("cannot read folder", std::string(folder), errno);
  }
}

namespace {

std::string KeptName(const std::string& from, std::string_view suffix, int n) {
  return from + "." + std::string(suffix) + (n == 1 ? "" : std::to_string(n));
}

// When all `max_kept` names are taken, removes the oldest of them.
void MakeRoomAside(const std::string& from, std::string_view suffix, int max_kept) {
  std::string oldest;
  std::filesystem::file_time_type oldest_time;
  for (int n = 1; n <= max_kept; ++n) {
    const std::string name = KeptName(from, suffix, n);
    std::error_code error;
    const auto time = std::filesystem::last_write_time(name, error);
    if (error) return;  // a free name (or one that cannot be judged): nothing to remove
    if (oldest.empty() || time < oldest_time) {
      oldest = name;
      oldest_time = time;
    }
  }
  if (::unlink(oldest.c_str()) != 0) ThrowFileError("cannot remove file", oldest, errno);
}

}  // namespace

std::string KeepAside(std::string_view path, std::string_view suffix, int max_kept) {
  const std::string from(path);
  if (max_kept > 0) MakeRoomAside(from, suffix, max_kept);
  for (int n = 1;; ++n) {
    std::string to = KeptName(from, suffix, n);
    // A second name first, so an existing file is never replaced; where the
    // file system has no links, a rename after checking the name is free.
    if (::link(from.c_str(), to.c_str()) == 0) {
      if (::unlink(from.c_str()) != 0) ThrowFileError("cannot rename file", from, errno);
      return to;
    }
    if (errno == EEXIST) continue;
    struct stat st;
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) {
      ThrowFileError("cannot rename file", from, errno);
    }
    if (::lstat(to.c_str(), &st) == 0) continue;
    if (::rename(from.c_str(), to.c_str()) != 0) ThrowFileError("cannot rename file", from, errno);
    return to;
  }
}

std::string ReadFileBytes(std::string_view native_path, size_t max_bytes) {
  std::string path(native_path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError("cannot open file", path, errno);
  struct stat st;
  const bool known = ::fstat(fd, &st) == 0;
  if (known && S_ISDIR(st.st_mode)) {
    ::close(fd);
    ThrowFileError("cannot read file", path, EISDIR);
  }
  std::string data;
  // Room for the whole file at once: a string grown by doubling would hold
  // up to twice the file, three times while it moves.
  if (known && S_ISREG(st.st_mode) && st.st_size > 0) {
    data.reserve(std::min(static_cast<size_t>(st.st_size), max_bytes) + 1);
  }
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      ThrowFileError("cannot read file", path, error);
    }
    if (static_cast<size_t>(n) > max_bytes - data.size()) {
      ::close(fd);
      ThrowFileError("cannot read file", path, EFBIG);
    }
    data.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return data;
}

std::vector<std::string> ReadTextLines(std::string_view ansi_path, size_t max_bytes) {
  return SplitLines(ReadFileBytes(ansi_path, max_bytes));
}

void WriteTextLinesAtomic(std::string_view path, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& line : lines) {
    data += line;
    data += "\r\n";
  }
  WriteFileBytesAtomic(path, data);
}

void WriteFileBytesAtomic(std::string_view path, std::string_view data) {
  IgnoreFileSizeSignal();
  // Through a link to the file it names: renaming over the link would cut it.
  std::string target = FollowLinks(path);
  if (IsOtherThanFile(target)) {
    throw EFileError("cannot replace file", target, "it is not a regular file");
  }
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);

  TempFile temp(target);
  struct stat old_file;
  // The new file keeps the old one's permissions.
  if (::stat(target.c_str(), &old_file) == 0 && S_ISREG(old_file.st_mode)) {
    ::fchmod(temp.Descriptor(), old_file.st_mode & 07777);
  }
  // On failure the temporary file goes with `temp` and the target stays as it was.
  if (!WriteAll(temp.Descriptor(), data) || ::fsync(temp.Descriptor()) != 0) {
    ThrowFileError("cannot write file", target, errno);
  }
  if (!temp.RenameOverTarget()) ThrowFileError("cannot replace file", target, errno);
  SyncFolder(dir);
}

std::string ExtractFileDir(std::string_view ansi_path) {
  size_t pos = LastCharWhere(ansi_path, [](char c) { return IsDelimiter(c) || c == ':'; });
  return pos == std::string_view::npos ? std::string() : std::string(ansi_path.substr(0, pos + 1));
}

std::string ExtractFileName(std::string_view ansi_path) {
  return std::string(ansi_path.substr(ExtractFileDir(ansi_path).size()));
}

bool EndsWithDelimiter(std::string_view ansi_path) {
  size_t pos = LastCharWhere(ansi_path, [](char) { return true; });
  return pos != std::string_view::npos && pos + 1 == ansi_path.size() &&
         IsDelimiter(ansi_path[pos]);
}

std::string ChangeFileExt(std::string_view ansi_path, std::string_view ext) {
  size_t dir = ExtractFileDir(ansi_path).size();
  std::string_view name = ansi_path.substr(dir);
  size_t dot = LastCharWhere(name, [](char c) { return c == '.'; });
  std::string out(
      ansi_path.substr(0, dot == std::string_view::npos ? ansi_path.size() : dir + dot));
  out += ext;
  return out;
}

}  // namespace parlevo::platform
