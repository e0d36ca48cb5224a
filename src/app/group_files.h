// The base files of a group of characters: each may be in it once, since
// every character writes its own state file.
#ifndef PARLEVO_APP_GROUP_FILES_H_
#define PARLEVO_APP_GROUP_FILES_H_

#include <string>
#include <vector>

namespace parlevo {

// The first base file (native path) that names the same file as one before
// it, spelled differently or not; "" when every one is distinct.
std::string RepeatedBaseFile(const std::vector<std::string>& base_files);

// The message that refuses such a group (UTF-8 when the path is).
std::string RepeatedBaseFileMessage(const std::string& base_file);

}  // namespace parlevo

#endif  // PARLEVO_APP_GROUP_FILES_H_
