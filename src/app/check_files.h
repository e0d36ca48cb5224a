// What check finds in a character's files as a whole: base file keys that
// nothing reads, and files in the data folder that the base file never lists.
#ifndef PARLEVO_APP_CHECK_FILES_H_
#define PARLEVO_APP_CHECK_FILES_H_

#include <string_view>
#include <vector>

#include "app/check.h"

namespace parlevo {

class TCharacter;

// A warning for each key of the base file (native path) that nothing reads,
// with the nearest known key as its fix when one is near ("versoin" ->
// "version"). Checked whether or not the character loads, since a misspelt
// key may be why it is refused. Nothing when the file cannot be read.
void CheckBaseFileKeys(std::string_view base_file, std::vector<TFinding>& findings);

// A note for each file in the data folder of `character` that its base file
// does not list. Base files, state files, backups (.bak, .bad), temporary
// files, Result.txt, hidden files, test scripts and folders are no data files.
void CheckUnlistedFiles(const TCharacter& character, std::vector<TFinding>& findings);

}  // namespace parlevo

#endif  // PARLEVO_APP_CHECK_FILES_H_
