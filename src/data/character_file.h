// The character base file: pairs of lines (key, value), keys compared without
// letter case, the first pair winning; and the data folder it names.
#ifndef PARLEVO_DATA_CHARACTER_FILE_H_
#define PARLEVO_DATA_CHARACTER_FILE_H_

#include <string>
#include <string_view>
#include <vector>

#include "data/personality_text.h"

namespace parlevo {

class TCharacterFile {
 public:
  // Reads `file_name` (a native path, as the user gave it) whole if it exists; a missing file gives
  // an empty reader. A file that exists but cannot be read throws platform::EFileError.
  explicit TCharacterFile(std::string_view file_name);
  TCharacterFile(const TCharacterFile&) = delete;
  TCharacterFile& operator=(const TCharacterFile&) = delete;

  // Value of the first pair whose key equals `name` lower-cased; "" if none.
  std::string GetValue(std::string_view name) const;
  // DataFolder followed by `file_name`, a name from a personality file (ANSI,
  // "\" or "/" separating, found ignoring case): a native path.
  std::string DataPath(std::string_view file_name) const;

  // Directory of the base file + "folder" value, ending in a delimiter (a
  // native path); empty when the base file did not exist.
  const std::string& DataFolder() const { return DataFolder_; }
  const std::vector<std::string>& Keys() const { return Keys_; }
  const std::vector<std::string>& Values() const { return Values_; }
  // How the file's bytes were read (UTF-8 is converted), and what its author
  // should know about that.
  TTextEncoding Encoding() const { return Encoding_; }
  const std::vector<TLoadNote>& EncodingNotes() const { return EncodingNotes_; }

 private:
  std::string DataFolder_;
  std::vector<std::string> Keys_;
  std::vector<std::string> Values_;
  TTextEncoding Encoding_ = TTextEncoding::kCodePage;
  std::vector<TLoadNote> EncodingNotes_;
};

// The data folder rule shared with the character: the directory of
// `base_file` (native) with a trailing delimiter, then `folder` (ANSI, joined
// as platform::JoinAnsiPath does), then a trailing delimiter: a native path.
std::string ResolveDataFolder(std::string_view base_file, std::string_view folder);

// True when the file (a native path) exists and its "name" or "folder" value is non-empty.
bool IsCharacterFile(std::string_view file_name);

}  // namespace parlevo

#endif  // PARLEVO_DATA_CHARACTER_FILE_H_
