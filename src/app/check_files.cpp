// Base file keys and data folder contents, judged as a whole: the keys the
// engine reads are fixed, and every data file it reads is listed by a key.
#include "app/check_files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "data/character_file.h"
#include "data/nearest_name.h"
#include "data/personality_text.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/textfile.h"

namespace parlevo {
namespace {

namespace fs = std::filesystem;

// Every key a base file is read for.
const std::vector<std::string_view>& KnownKeys() {
  static const std::vector<std::string_view> keys = {"name",   "version", "folder", "data01",
                                                     "data02", "dataa1",  "dataa2", "datab1",
                                                     "datab2", "datac1",  "datac2"};
  return keys;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Names the program or its tools write beside a personality, and names
// editors leave behind: never data files.
bool IsKeptFileName(const fs::path& path) {
  const std::string name = Lower(path.filename().string());
  const std::string extension = Lower(path.extension().string());
  if (name.empty() || name.front() == '.' || name.back() == '~') return true;
  if (name == "result.txt" || name == "parlevo.log") return true;
  if (extension == ".ltc" || extension == ".lts" || extension == ".bak") return true;
  // NAME.lts.bad, .bad2 ...; NAME.tmp0, .tmp1 ...
  for (std::string_view kept : {".bad", ".tmp"}) {
    if (extension.rfind(kept, 0) == 0 &&
        std::all_of(extension.begin() + kept.size(), extension.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
      return true;
    }
  }
  return false;
}

// A test script: every line that holds anything is a comment or a step.
bool IsTestScript(const std::vector<std::string>& lines) {
  bool steps = false;
  for (const std::string& line : lines) {
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    if (std::string_view("#><~@!?").find(line[first]) == std::string_view::npos) return false;
    steps = steps || line[first] != '#';
  }
  return steps;
}

bool IsOtherFileKind(const std::string& path) {
  if (IsCharacterFile(path)) return true;
  try {
    return IsTestScript(ReadPersonalityText(path).Lines);
  } catch (const platform::EFileError&) {
    return true;  // unreadable: not for this note to say
  }
}

fs::path Canonical(const fs::path& path) {
  std::error_code error;
  fs::path canonical = fs::weakly_canonical(path, error);
  return error ? path.lexically_normal() : canonical;
}

}  // namespace

void CheckBaseFileKeys(std::string_view base_file, std::vector<TFinding>& findings) {
  if (!platform::FileExists(base_file)) return;
  try {
    const TCharacterFile file(base_file);
    const std::vector<std::string>& keys = file.Keys();
    for (size_t i = 0; i < keys.size(); ++i) {
      const std::string& key = keys[i];
      if (key.empty()) continue;
      if (std::find(KnownKeys().begin(), KnownKeys().end(), key) != KnownKeys().end()) continue;
      const std::u16string wide = platform::AnsiToWide(key);
      TFinding finding;
      finding.File = std::string(base_file);
      finding.Line = static_cast<int>(2 * i + 1);
      finding.Severity = TFindingSeverity::kWarning;
      finding.Code = "unknown-base-key";
      finding.Message = "unknown key \"" + platform::AnsiToUtf8(key) + "\": nothing reads it";
      if (const std::optional<std::string_view> near = NearestName(wide, KnownKeys())) {
        finding.Message += "; did you mean \"" + std::string(*near) + "\"?";
        finding.Fix = std::string(*near);
        finding.Column = 1;
        finding.EndColumn = static_cast<int>(wide.size()) + 1;
      }
      findings.push_back(std::move(finding));
    }
  } catch (const platform::EFileError&) {
    // Loading reports a base file that cannot be read.
  }
}

void CheckUnlistedFiles(const TCharacter& character, std::vector<TFinding>& findings) {
  std::set<fs::path> listed;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    for (const std::string& file : character.Slot(slot).Files()) listed.insert(Canonical(file));
  }
  std::error_code error;
  std::vector<fs::path> unlisted;
  for (const fs::directory_entry& entry : fs::directory_iterator(character.Folder(), error)) {
    std::error_code kind_error;
    if (!entry.is_regular_file(kind_error) || IsKeptFileName(entry.path())) continue;
    if (listed.count(Canonical(entry.path())) > 0) continue;
    unlisted.push_back(entry.path());
  }
  std::sort(unlisted.begin(), unlisted.end());  // the folder's order is the file system's
  for (const fs::path& path : unlisted) {
    if (IsOtherFileKind(path.string())) continue;
    TFinding finding;
    finding.File = path.string();
    finding.Severity = TFindingSeverity::kNote;
    finding.Code = "unlisted-data-file";
    finding.Message =
        "in the data folder but not listed in the base file (data01 .. datac2), "
        "so it is never read";
    findings.push_back(std::move(finding));
  }
}

}  // namespace parlevo
