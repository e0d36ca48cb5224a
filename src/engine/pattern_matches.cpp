// The LIKE service of the tag language: one throwaway matcher with default
// settings, asked whether a pattern is found in a text.
#include <cstdint>

#include "engine/character.h"
#include "regex/rexp.h"

namespace parlevo {

bool TCharacter::PatternMatches(std::string_view pattern, std::string_view text) const {
  try {
    TbmRExp matcher;
    matcher.SetPattern(pattern);
    int32_t pos = 0;
    int32_t len = 0;
    return matcher.Match(text, 1, pos, len) != 0;
  } catch (const EbmREToken&) {
    return false;  // a malformed pattern never matches
  }
}

}  // namespace parlevo
