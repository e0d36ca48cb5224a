// Native paths and the case-insensitive lookup of names from personality
// files, which were written on a system whose file names ignore case.
#include "platform/native_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "platform/codepage.h"

namespace parlevo::platform {

namespace {

bool IsAnsiDelimiter(char c) { return c == '\\' || c == '/'; }

bool IsNativeDelimiter(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
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

// The components of an ANSI path, split at delimiters that are characters of
// their own and converted to UTF-8.
std::vector<std::string> AnsiComponents(std::string_view ansi_path) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i <= ansi_path.size();
       i += i < ansi_path.size() ? CharLengthAt(ansi_path, i) : 1) {
    if (i == ansi_path.size() || IsAnsiDelimiter(ansi_path[i])) {
      if (i > start) parts.push_back(AnsiToUtf8(ansi_path.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

bool AnsiEndsWithDelimiter(std::string_view ansi_path) {
  size_t last = std::string_view::npos;
  for (size_t i = 0; i < ansi_path.size(); i += CharLengthAt(ansi_path, i)) last = i;
  return last != std::string_view::npos && last + 1 == ansi_path.size() &&
         IsAnsiDelimiter(ansi_path[last]);
}

}  // namespace

std::string JoinAnsiPath(std::string_view folder, std::string_view ansi_name) {
  std::string path(folder);
  if (!path.empty() && !NativeEndsWithDelimiter(path)) path += kNativeDelimiter;
  std::vector<std::string> parts = AnsiComponents(ansi_name);
  bool lookup = true;  // stop looking once a folder is missing
  for (size_t k = 0; k < parts.size(); ++k) {
    const std::string& name = parts[k];
    std::string candidate = path + name;
    if (lookup && name != "." && name != ".." && !PathExists(candidate)) {
      std::string found = FindIgnoringCase(path, name);
      if (found.empty()) {
        lookup = false;
      } else {
        candidate = path + found;
      }
    }
    path = std::move(candidate);
    if (k + 1 < parts.size()) path += kNativeDelimiter;
  }
  if (!parts.empty() && AnsiEndsWithDelimiter(ansi_name)) path += kNativeDelimiter;
  return path;
}

std::string NativePath(std::string_view ansi_path) {
  const bool absolute = !ansi_path.empty() && IsAnsiDelimiter(ansi_path[0]);
  if (absolute && AnsiComponents(ansi_path).empty()) return "/";
  return JoinAnsiPath(absolute ? "/" : "", ansi_path);
}

std::string NativeFileDir(std::string_view path) {
  size_t i = path.size();
  while (i > 0 && !IsNativeDelimiter(path[i - 1])) --i;
  return std::string(path.substr(0, i));
}

std::string NativeFileName(std::string_view path) {
  return std::string(path.substr(NativeFileDir(path).size()));
}

std::string EditorPath(std::string_view path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path absolute = fs::absolute(fs::path(path), error).lexically_normal();
  if (error) return std::string(path);
  const fs::path here = fs::current_path(error);
  if (error) return absolute.string();
  const fs::path relative = absolute.lexically_relative(here);
  if (relative.empty() || *relative.begin() == "..") return absolute.string();
  return relative.string();
}

bool NativeEndsWithDelimiter(std::string_view path) {
  return !path.empty() && IsNativeDelimiter(path.back());
}

}  // namespace parlevo::platform
