// The LIKE service of the tag language: whether a pattern (default
// settings) is found in a text, its matcher kept in the character's cache.
#include "engine/character.h"

namespace parlevo {

bool TCharacter::PatternMatches(std::string_view pattern, std::string_view text) const {
  return PatternCache_.Found(pattern, text);
}

}  // namespace parlevo
