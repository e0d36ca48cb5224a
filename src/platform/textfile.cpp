// Text files and ANSI paths: line splitting, translation to OS paths, reading,
// atomic replacing, and the double-byte aware path-name helpers.

#include "platform/textfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

// Folds a UTF-16 unit for the case-insensitive name comparison: ASCII, the
// Latin-1 letters and the full-width Latin letters.
char16_t FoldCase(char16_t c) {
  if (c >= u'a' && c <= u'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c >= 0xFF41 && c <= 0xFF5A) return c - 32;
  return c;
}

bool SameNameIgnoringCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

// The entry of `dir` whose name equals `name` ignoring case (the smallest
// such name if there are several, so the choice is stable); empty if none.
std::string FindIgnoringCase(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (d == nullptr) return {};
  std::u16string wanted = Utf8ToWide(name);
  std::string best;
  while (dirent* entry = ::readdir(d)) {
    std::string candidate = entry->d_name;
    if (SameNameIgnoringCase(Utf8ToWide(candidate), wanted) && (best.empty() || candidate < best)) {
      best = candidate;
    }
  }
  ::closedir(d);
  return best;
}

std::string ErrorText(int error) { return std::strerror(error); }

[[noreturn]] void ThrowFileError(const std::string& what, const std::string& path, int error) {
  throw EFileError(what + " \"" + path + "\": " + ErrorText(error));
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
  size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t brk = bytes.find_first_of("\r\n", start);
    if (brk == std::string_view::npos) {
      lines.emplace_back(bytes.substr(start));
      break;
    }
    lines.emplace_back(bytes.substr(start, brk - start));
    start = brk + 1;
    if (bytes[brk] == '\r' && start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return lines;
}

// ---------------------------------------------------------------------------
// Paths

std::string NativePath(std::string_view ansi_path) {
  // Split into components at delimiters that are characters of their own.
  std::vector<std::string> parts;
  bool absolute = !ansi_path.empty() && IsDelimiter(ansi_path[0]);
  size_t start = 0;
  for (size_t i = 0; i <= ansi_path.size();
       i += i < ansi_path.size() ? CharLengthAt(ansi_path, i) : 1) {
    if (i == ansi_path.size() || (IsDelimiter(ansi_path[i]))) {
      if (i > start) parts.push_back(AnsiToUtf8(ansi_path.substr(start, i - start)));
      start = i + 1;
    }
  }
  std::string path = absolute ? "/" : "";
  bool lookup = true;  // stop looking once a folder is missing
  for (size_t k = 0; k < parts.size(); ++k) {
    std::string name = parts[k];
    std::string candidate = path + name;
    if (lookup && name != "." && name != ".." && !PathExists(candidate)) {
      std::string found = FindIgnoringCase(path, name);
      if (found.empty()) {
        lookup = false;
      } else {
        candidate = path + found;
      }
    }
    path = candidate;
    if (k + 1 < parts.size()) path += '/';
  }
  if (parts.empty()) return absolute ? "/" : "";
  if (IsDelimiter(ansi_path.back()) && EndsWithDelimiter(ansi_path)) path += '/';
  return path;
}

bool FileExists(std::string_view ansi_path) {
  struct stat st;
  return ::stat(NativePath(ansi_path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DeleteFile(std::string_view ansi_path) { return ::unlink(NativePath(ansi_path).c_str()) == 0; }

std::string ReadFileBytes(std::string_view ansi_path, size_t max_bytes) {
  std::string path = NativePath(ansi_path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowFileError("cannot open file", path, errno);
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    ThrowFileError("cannot read file", path, EISDIR);
  }
  std::string data;
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

void WriteTextLinesAtomic(std::string_view ansi_path, const std::vector<std::string>& lines) {
  std::string data;
  for (const std::string& line : lines) {
    data += line;
    data += "\r\n";
  }
  WriteFileBytesAtomic(ansi_path, data);
}

void WriteFileBytesAtomic(std::string_view ansi_path, std::string_view data) {
  std::string target = NativePath(ansi_path);
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
