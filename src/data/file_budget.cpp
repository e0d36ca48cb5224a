// Reading a file within the file budget, saying which budget a larger one
// crossed; counting lines against the entries budget.
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

size_t CountLines(std::string_view bytes) {
  // The line rules of platform::VisitLines, a byte at a time: much faster
  // than finding each break, for a count alone.
  bytes = bytes.substr(0, bytes.find('\0'));
  size_t lines = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != '\r' && c != '\n') continue;
    ++lines;
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
  }
  if (!bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n') ++lines;
  return lines;
}

platform::EFileError EntriesBudgetError(std::string path) {
  return platform::EFileError("cannot read file", std::move(path),
                              "the personality's data files together exceed " +
                                  std::to_string(kMaxPersonalityEntries) +
                                  " lines (the budget of entries)");
}

}  // namespace parlevo
