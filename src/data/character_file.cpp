// The character base file: pairs of lines (key, value), keys compared without
// letter case, the first pair winning; and the data folder it names.
#include "data/character_file.h"

#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {

std::string ResolveDataFolder(std::string_view base_file, std::string_view folder) {
  std::string result = platform::NativeFileDir(base_file);
  // A base file named without a directory lives in the current one; "\" or
  // "/" alone would mean the root of the file system.
  if (result.empty()) result = std::string(".") + platform::kNativeDelimiter;
  // The folder value is code page text, written where "\" separates too.
  result = platform::JoinAnsiPath(result, folder);
  if (!platform::NativeEndsWithDelimiter(result)) result += platform::kNativeDelimiter;
  return result;
}

TCharacterFile::TCharacterFile(std::string_view file_name) {
  if (!platform::FileExists(file_name)) return;
  TPersonalityText text = ReadPersonalityText(file_name);
  std::vector<std::string>& lines = text.Lines;
  Encoding_ = text.Encoding;
  EncodingNotes_ = std::move(text.Notes);
  size_t pairs = lines.size() / 2;  // an odd last line is ignored
  Keys_.reserve(pairs);
  Values_.reserve(pairs);
  for (size_t i = 0; i < pairs; ++i) {
    Keys_.push_back(platform::AnsiLower(lines[2 * i]));
    Values_.push_back(std::move(lines[2 * i + 1]));
  }
  DataFolder_ = ResolveDataFolder(file_name, GetValue("folder"));
}

std::string TCharacterFile::GetValue(std::string_view name) const {
  std::string key = platform::AnsiLower(name);
  for (size_t i = 0; i < Keys_.size(); ++i) {
    if (Keys_[i] == key) return Values_[i];
  }
  return std::string();
}

std::string TCharacterFile::DataPath(std::string_view file_name) const {
  return platform::JoinAnsiPath(DataFolder_, file_name);
}

bool IsCharacterFile(std::string_view file_name) {
  if (!platform::FileExists(file_name)) return false;
  TCharacterFile file(file_name);
  return !file.GetValue("name").empty() || !file.GetValue("folder").empty();
}

}  // namespace parlevo
