// Where the files shipped with the programs are (the samples, the guide): the
// installed layout beside the program first, then a development build's source tree.
#ifndef PARLEVO_PLATFORM_SHIPPED_FILES_H_
#define PARLEVO_PLATFORM_SHIPPED_FILES_H_

#include <filesystem>
#include <optional>

namespace parlevo::platform {

// The folder of the running program's executable, links resolved; empty when
// the system does not tell.
std::filesystem::path ProgramFolder();

// The two kinds of shipped files, each with its own installed folder.
enum class ShippedKind {
  kData,  // the samples: PREFIX/share/parlevo/..., in the source tree ./...
  kDocs,  // the guide: PREFIX/share/doc/parlevo/..., in the source tree docs/...
};

struct ShippedFile {
  std::filesystem::path path;
  bool installed = false;  // false: found in the source tree of a development build
};

// Finds `relative` (a file or folder, such as "examples" or "authoring.md")
// among the shipped files of `kind`. An installation keeps them at a fixed
// place relative to its program folder (bin/../share/parlevo); a program
// that is not installed is taken for a development build and looks in the
// nearest enclosing folders (up to three levels up) that hold a
// CMakeLists.txt. Nothing depends on where the sources were at build time, so
// a moved or packaged program finds its own files.
std::optional<ShippedFile> FindShippedFile(ShippedKind kind, const std::filesystem::path& relative,
                                           const std::filesystem::path& program_folder);
std::optional<ShippedFile> FindShippedFile(ShippedKind kind, const std::filesystem::path& relative);

// True when `program_folder` belongs to an installation (its shipped data
// folder is where the install layout puts it). An installed program writes
// nothing beside itself, not even when run by root.
bool IsInstalledProgram(const std::filesystem::path& program_folder);
bool IsInstalledProgram();

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_SHIPPED_FILES_H_
