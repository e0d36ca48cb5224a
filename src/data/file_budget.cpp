// Reading a file within the file budget, saying which budget a larger one
// crossed.
#include "data/file_budget.h"

#include <cerrno>
#include <cstring>

#include "platform/textfile.h"

namespace parlevo {

std::string ReadFileWithinBudget(std::string_view path) {
  try {
    return platform::ReadFileBytes(path, kMaxPersonalityFileBytes);
  } catch (const platform::EFileError& e) {
    if (e.Error() != EFBIG) throw;
    throw platform::EFileError("cannot read file", e.Path(),
                               std::string(std::strerror(EFBIG)) + " (over the " +
                                   std::to_string(kMaxPersonalityFileBytes >> 20) +
                                   " MiB budget of a file)");
  }
}

}  // namespace parlevo
