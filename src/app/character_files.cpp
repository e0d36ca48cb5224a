// The files of a character: its base file's data keys, resolved against the
// data folder as loading resolves them.
#include "app/character_files.h"

#include <exception>

#include "data/character_file.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "platform/native_path.h"
#include "platform/textfile.h"

namespace parlevo {

std::vector<std::string> CharacterFiles(const std::string& base_file) {
  std::vector<std::string> files = {base_file};
  if (!platform::FileExists(base_file)) return files;
  try {
    const TCharacterFile base(base_file);
    const std::string folder = ResolveDataFolder(base_file, base.GetValue("folder"));
    for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
      for (const std::string& name : SplitCommaText(base.GetValue(TCharacter::DataKey(slot)))) {
        files.push_back(platform::JoinAnsiPath(folder, name));
      }
    }
  } catch (const std::exception&) {
    // Unreadable now: the base file alone is watched until it is fixed.
  }
  return files;
}

}  // namespace parlevo
