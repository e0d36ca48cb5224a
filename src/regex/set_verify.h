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

// True when byte `pos` (a character boundary) is a line head: the start, or
// right after LF, or after a CR that no LF follows.
inline bool AtLineHead(const uint8_t* text, size_t n, size_t pos, const bool* is_lead) {
  if (pos == 0) return true;
  const uint8_t before = text[pos - 1];
  if (before != '\n' && before != '\r') return false;
  if (!OnCharacterBoundary(text, pos - 1, is_lead)) return false;  // a trail byte, not a break
  return before == '\n' || pos == n || text[pos] != '\n';
}

// True when byte `end` (a character boundary) is a line tail: the end, or
// right before LF or CR.
inline bool AtLineTail(const uint8_t* text, size_t n, size_t end) {
  return end == n || text[end] == '\n' || text[end] == '\r';
}

// The pattern's answer for a text that holds one of its literals (or for
// any text, when it has none); a pattern that does not compile, or whose
// automaton is refused, is never found.
bool VerifyCandidate(TbmRExp& pattern, std::string_view text);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_VERIFY_H_
