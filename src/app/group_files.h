// The base files of a group of characters: each may be in it once, since
// every character writes its own state file.
#ifndef PARLEVO_APP_GROUP_FILES_H_
#define PARLEVO_APP_GROUP_FILES_H_

#include <string>
#include <vector>

namespace parlevo {

// Why `base_files` (native paths) cannot be one conversation, "" when they
// can: more than kMaxGroup of them, or, in a group of three or more, one
// file named twice, spelled differently or not (a pair may be one character
// twice, as it always could). UTF-8 when the paths are.
std::string GroupRefusal(const std::vector<std::string>& base_files);

}  // namespace parlevo

#endif  // PARLEVO_APP_GROUP_FILES_H_
