// Fuzzes the base file reader and the character's construction from it: any
// bytes as a base file, beside one small valid data file.
#include <cstdint>
#include <string>

#include "data/character_file.h"
#include "engine/character.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = fuzz::ScratchDir();
  fuzz::WriteFile(dir + "talk.txt", "hello\r\n");
  const std::string base = dir + "base.ltc";
  fuzz::WriteFile(base, data, size);
  parlevo::TCharacterFile file(base);
  file.GetValue("name");
  file.DataPath("x.lts");
  parlevo::IsCharacterFile(base);
  // The character writes its state file into its folder: keep it in ours.
  if (file.GetValue("folder").find("..") != std::string::npos) return 0;
  try {
    parlevo::TCharacter character(base);
    character.Talk(u"hello", parlevo::AllSlots);
  } catch (const std::exception&) {
  }
  return 0;
}
