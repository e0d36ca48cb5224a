// Finding the base files that list a data file: candidate base files (".ltc"
// and small ".txt" files) in its folder and the folder above, each read as a
// base file and its data lists resolved as loading resolves them.
#include "app/lsp/belonging.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/lsp/base_file_text.h"
#include "data/character_file.h"
#include "data/text_helpers.h"
#include "data/text_overlay.h"
#include "engine/character.h"
#include "platform/textfile.h"

namespace parlevo::lsp {
namespace {

// The files of `folder` that may be base files, in name order.
std::vector<std::string> Candidates(const std::filesystem::path& folder, std::string_view self) {
  std::vector<std::string> found;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::path& file = it->path();
    const std::string extension = LowerAscii(file.extension().string());
    if (extension != ".ltc" && extension != ".txt") continue;
    std::error_code size_error;
    const uintmax_t size = std::filesystem::file_size(file, size_error);
    if (size_error || size > kMaxBaseFileBytes) continue;
    if (RealPath(file.string()) == self) continue;
    found.push_back(file.string());
    if (found.size() >= kMaxCandidatesPerFolder) break;
  }
  std::sort(found.begin(), found.end());
  return found;
}

// The keys of `base`'s data lists that name the file at real path `path`.
std::vector<std::string> KeysListing(const TCharacterFile& base, std::string_view path) {
  std::vector<std::string> keys;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    const std::string_view key = TCharacter::DataKey(slot);
    for (const std::string& name : SplitCommaText(base.GetValue(key))) {
      if (RealPath(base.DataPath(name)) == path) {
        keys.emplace_back(key);
        break;
      }
    }
  }
  return keys;
}

// Whether `path` names a base file by its extension (".ltc", any case).
bool HasBaseFileExtension(std::string_view path) {
  return LowerAscii(std::filesystem::path(path).extension().string()) == ".ltc";
}

}  // namespace

TBelonging FindBelonging(std::string_view path) {
  TBelonging belonging;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::vector<std::filesystem::path> folders = {folder};
  if (folder.has_parent_path() && folder.parent_path() != folder) {
    folders.push_back(folder.parent_path());
  }
  for (const std::filesystem::path& where : folders) {
    for (const std::string& candidate : Candidates(where, path)) {
      try {
        if (!IsCharacterFile(candidate)) continue;
        const TCharacterFile base(candidate);
        std::vector<std::string> keys = KeysListing(base, path);
        if (keys.empty()) continue;
        belonging.BaseFiles.push_back(RealPath(candidate));
        for (std::string& key : keys) belonging.Keys.push_back(std::move(key));
      } catch (const platform::EFileError&) {
        // A candidate that cannot be read lists nothing.
      }
    }
  }
  if (!belonging.BaseFiles.empty()) {
    belonging.Kind = TDocumentKind::kDataFile;
    return belonging;
  }
  bool base = HasBaseFileExtension(path);
  if (!base) {
    try {
      base = IsCharacterFile(path);
    } catch (const platform::EFileError&) {
    }
  }
  if (base) {
    belonging.Kind = TDocumentKind::kBaseFile;
    belonging.BaseFiles.push_back(std::string(path));
  }
  return belonging;
}

}  // namespace parlevo::lsp
