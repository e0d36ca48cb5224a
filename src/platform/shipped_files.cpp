// Finding the shipped files: the program's own location from the system, the
// installed folders relative to it (set by the build from the install layout).
#include "platform/shipped_files.h"

#include <iterator>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

// The build passes the install layout's folders relative to the program
// folder; these defaults are the usual PREFIX/bin and PREFIX/share.
#ifndef PARLEVO_BIN_TO_DATA
#define PARLEVO_BIN_TO_DATA "../share/parlevo"
#endif
#ifndef PARLEVO_BIN_TO_DOCS
#define PARLEVO_BIN_TO_DOCS "../share/doc/parlevo"
#endif

namespace parlevo::platform {
namespace {

namespace fs = std::filesystem;

// How many folders above the program a development build looks for its
// source tree: build/, build/tests/ and one level more.
constexpr int kMaxSourceTreeDepth = 3;

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(path, ignored);
}

fs::path Normal(const fs::path& path) { return path.lexically_normal(); }

fs::path InstalledPath(ShippedKind kind, const fs::path& relative, const fs::path& program_folder) {
  const char* folder = kind == ShippedKind::kData ? PARLEVO_BIN_TO_DATA : PARLEVO_BIN_TO_DOCS;
  return Normal(program_folder / fs::path(folder) / relative);
}

fs::path SourceTreePath(ShippedKind kind, const fs::path& relative, const fs::path& root) {
  return Normal(kind == ShippedKind::kData ? root / relative : root / "docs" / relative);
}

}  // namespace

fs::path ProgramFolder() {
  std::error_code error;
#if defined(_WIN32)
  wchar_t buffer[MAX_PATH * 4];
  const DWORD size = GetModuleFileNameW(nullptr, buffer, DWORD(std::size(buffer)));
  if (size == 0 || size == std::size(buffer)) return {};
  const fs::path program(std::wstring(buffer, size));
#elif defined(__APPLE__)
  char buffer[4096];
  uint32_t size = sizeof buffer;
  if (_NSGetExecutablePath(buffer, &size) != 0) return {};
  const fs::path program = fs::canonical(buffer, error);
#else
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
#endif
  if (error) return {};
  return program.parent_path();
}

std::optional<ShippedFile> FindShippedFile(ShippedKind kind, const fs::path& relative,
                                           const fs::path& program_folder) {
  if (program_folder.empty()) return std::nullopt;
  const fs::path installed = InstalledPath(kind, relative, program_folder);
  if (Exists(installed)) return ShippedFile{installed, true};
  fs::path folder = Normal(program_folder);
  if (!folder.has_filename()) folder = folder.parent_path();  // a trailing separator
  for (int depth = 1; depth <= kMaxSourceTreeDepth && folder.has_relative_path(); ++depth) {
    folder = folder.parent_path();
    const fs::path candidate = SourceTreePath(kind, relative, folder);
    if (Exists(folder / "CMakeLists.txt") && Exists(candidate))
      return ShippedFile{candidate, false};
  }
  return std::nullopt;
}

std::optional<ShippedFile> FindShippedFile(ShippedKind kind, const fs::path& relative) {
  return FindShippedFile(kind, relative, ProgramFolder());
}

bool IsInstalledProgram(const fs::path& program_folder) {
  return !program_folder.empty() && Exists(InstalledPath(ShippedKind::kData, "", program_folder));
}

bool IsInstalledProgram() { return IsInstalledProgram(ProgramFolder()); }

}  // namespace parlevo::platform
