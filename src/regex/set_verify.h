// Candidate verification for the set matcher: whether a literal hit is a
// match by itself, and asking a candidate pattern about the whole text.
#ifndef PARLEVO_REGEX_SET_VERIFY_H_
#define PARLEVO_REGEX_SET_VERIFY_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "regex/char_boundaries.h"

namespace parlevo {

class TbmRExp;

// True when byte `pos` (a character boundary) is a line head: the start, or
// right after LF, or after a CR that no LF follows.
inline bool AtLineHead(const uint8_t* text, size_t n, size_t pos, TbmRECharBoundaries& boundaries) {
  if (pos == 0) return true;
  const uint8_t before = text[pos - 1];
  if (before != '\n' && before != '\r') return false;
  if (!boundaries.Starts(pos - 1)) return false;  // a trail byte, not a break
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
