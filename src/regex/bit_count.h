// Counting the bits set in a word, for the rank tables of the set and its
// literal search (a bit per item and a count per 64 items).
#ifndef PARLEVO_REGEX_BIT_COUNT_H_
#define PARLEVO_REGEX_BIT_COUNT_H_

#include <cstdint>

namespace parlevo {

// std::popcount is a library call where the target may lack the
// instruction; this stays inline.
inline uint32_t CountBits(uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555u;
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<uint32_t>((x * 0x0101010101010101u) >> 56);
}

}  // namespace parlevo

#endif  // PARLEVO_REGEX_BIT_COUNT_H_
