// Finding a base file named twice in a group: the same file whatever the
// spelling (links, "./", another case on a file system that ignores it).
#include "app/group_files.h"

#include <filesystem>
#include <system_error>

#include "app/conversation.h"

namespace parlevo {
namespace {

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(a, b, error);
  return error ? a == b : same;  // a file that is not there: by its name
}

}  // namespace

std::string GroupRefusal(const std::vector<std::string>& base_files) {
  if (base_files.size() > kMaxGroup) return "a conversation has at most 8 characters";
  if (base_files.size() <= 2) return "";
  for (size_t i = 1; i < base_files.size(); ++i) {
    for (size_t j = 0; j < i; ++j) {
      if (!SameFile(base_files[i], base_files[j])) continue;
      return base_files[i] +
             ": this character is in the group twice (its state file would be written by two "
             "characters)";
    }
  }
  return "";
}

}  // namespace parlevo
