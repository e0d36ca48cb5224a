// Fuzzes the state file reader: a small valid character whose state file is
// the fuzz input, loaded, talked to and released (which saves it again).
#include <cstdint>
#include <string>

#include "engine/character.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string dir = fuzz::ScratchDir();
  fuzz::WriteFile(dir + "state.ltc", "name\r\nFuzzy\r\nversion\r\n210\r\ndatac2\r\ntalk.txt\r\n");
  fuzz::WriteFile(dir + "talk.txt", "{MEMO50}{COUNT50}{FLAG50}\r\n");
  fuzz::WriteFile(dir + "state.lts", data, size);
  {
    parlevo::TCharacter character(dir + "state.ltc");
    character.ExpandTags(character.Talk(u"hello", parlevo::AllSlots));
  }
  fuzz::RemoveFilesStartingWith(dir, "state.lts.bad");  // damaged inputs are kept aside
  return 0;
}
