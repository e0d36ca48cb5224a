// Fuzzes the pattern compiler and matcher: the input is a pattern, a NUL,
// then a text. A malformed pattern may throw the engine's syntax error only.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "regex/rexp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  std::string pattern = input.substr(0, cut);
  std::string text = cut == std::string::npos ? std::string() : input.substr(cut + 1);
  parlevo::TbmRExp rexp;
  rexp.SetPattern(pattern);
  try {
    int32_t pos = 0, len = 0;
    int32_t found = rexp.Match(text, 1, pos, len);
    if (found != pos) abort();
    if (found != 0 && (found < 1 || size_t(found - 1 + len) > text.size())) abort();
    if (rexp.Found(text) != (found != 0)) abort();
  } catch (const parlevo::EbmREToken&) {
  }
  return 0;
}
