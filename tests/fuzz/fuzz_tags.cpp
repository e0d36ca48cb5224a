// Fuzzes the tag expander: a fresh character with no files per input, the
// bytes read as code page 932 text. Every call must end quickly.
#include <cstdint>
#include <string>

#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool frozen = [] {
    parlevo::platform::FreezeClock(38000.5);  // reproducible dates and draws
    return true;
  }();
  (void)frozen;
  parlevo::TCharacter character;
  std::string bytes(reinterpret_cast<const char*>(data), size);
  character.ExpandTags(parlevo::platform::AnsiToWide(bytes));
  return 0;
}
