// The warning parlevo-cli gives before a character starts when its state
// file cannot be saved (a read-only folder, such as the installed samples),
// with the command that copies the character to a folder of the user's own.
#ifndef PARLEVO_APP_CLI_READ_ONLY_CHARACTER_H_
#define PARLEVO_APP_CLI_READ_ONLY_CHARACTER_H_

#include <filesystem>
#include <string>

namespace parlevo::cli {

// Prints the warning to stderr when the data folder named by the base file
// `base_file` (a path from the terminal, native) exists but cannot take the
// state file; nothing otherwise. Reads only the base file, so it speaks
// before the character is loaded.
void WarnWhenStateCannotBeSaved(const std::string& base_file);

// The warning's text (UTF-8, lines ending in '\n'): `name` cannot save into
// `data_folder`; copy the folder holding both `base_file` and `data_folder`
// to ~/parlevo/ and use the copied base file.
std::string ReadOnlyCharacterWarning(const std::string& name,
                                     const std::filesystem::path& base_file,
                                     const std::filesystem::path& data_folder);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_READ_ONLY_CHARACTER_H_
