// The files a character is made of, read off its base file without loading
// it: what a watch over an author's work must look at.
#ifndef PARLEVO_APP_CHARACTER_FILES_H_
#define PARLEVO_APP_CHARACTER_FILES_H_

#include <string>
#include <vector>

namespace parlevo {

// The base file (native path, as given) and every data file it names, as
// loading would look for them (native paths), whether they exist or not. A
// base file that cannot be read names none.
std::vector<std::string> CharacterFiles(const std::string& base_file);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHARACTER_FILES_H_
