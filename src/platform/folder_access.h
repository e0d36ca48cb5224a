// Whether a folder can take new files, asked by trying: permission bits alone
// do not tell (a read-only mount, access lists, a program run by root).
#ifndef PARLEVO_PLATFORM_FOLDER_ACCESS_H_
#define PARLEVO_PLATFORM_FOLDER_ACCESS_H_

#include <filesystem>

namespace parlevo::platform {

// True when a file can be created in `folder`: creates an empty probe file
// with a name of its own (".parlevo-probe-...") and deletes it again.
bool FolderWritable(const std::filesystem::path& folder);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_FOLDER_ACCESS_H_
