// A starter character for a new author: a base file, one small data file per
// kind of data and a test script, written into a new folder in UTF-8.
#ifndef PARLEVO_APP_STARTER_CHARACTER_H_
#define PARLEVO_APP_STARTER_CHARACTER_H_

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace parlevo {

// Why no starter was written (UTF-8, naming the folder).
class EStarterRefused : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes the starter into `folder`, which must not exist or be an empty
// folder: FOLDER/LEAF.ltc (LEAF the folder's own name), its data files under
// FOLDER/data/ and FOLDER/tests/basics.txt. `name` (UTF-8) is the name the
// character speaks under, the folder's name when empty; it may hold no
// control character. Returns the files written, the base file first.
// Throws EStarterRefused, or platform::EFileError when a file cannot be
// written.
std::vector<std::filesystem::path> WriteStarterCharacter(const std::filesystem::path& folder,
                                                         std::string name);

}  // namespace parlevo

#endif  // PARLEVO_APP_STARTER_CHARACTER_H_
