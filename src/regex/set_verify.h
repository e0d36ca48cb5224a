// Candidate verification for the set matcher: whether a literal hit is a
// match by itself, and asking a candidate pattern about the whole text.
#ifndef PARLEVO_REGEX_SET_VERIFY_H_
#define PARLEVO_REGEX_SET_VERIFY_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace parlevo {

class TbmRExp;

// True when byte `pos` of `text` starts a character: an even run of lead
// bytes stands right before it (the byte before such a run always ends a
// character).
inline bool OnCharacterBoundary(const uint8_t* text, size_t pos, const bool* is_lead) {
  size_t q = pos;
  while (q > 0 && is_lead[text[q - 1]]) --q;
  return ((pos - q) & 1) == 0;
}

// The pattern's answer for a text that holds one of its literals (or for
// any text, when it has none); a pattern that does not compile, or whose
// automaton is refused, is never found.
bool VerifyCandidate(TbmRExp& pattern, std::string_view text);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_VERIFY_H_
