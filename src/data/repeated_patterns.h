// Entries of one tier that repeat the patterns of an earlier entry of the
// same tier: both are candidates together, so the later adds only a choice.
#ifndef PARLEVO_DATA_REPEATED_PATTERNS_H_
#define PARLEVO_DATA_REPEATED_PATTERNS_H_

#include <cstdint>
#include <vector>

namespace parlevo {

class TLumoData;

// Per entry of `data`: the first earlier entry of its tier with the same
// patterns (kind A: both), or -1. Kinds 0 and C, markers and patterns that
// do not compile have none.
std::vector<int32_t> EarlierSamePattern(const TLumoData& data);

}  // namespace parlevo

#endif  // PARLEVO_DATA_REPEATED_PATTERNS_H_
