// Numbers the distinct patterns of a set: one per pattern text (in one char
// code), found by object first so that a repeated object hashes no text.
#ifndef PARLEVO_REGEX_DISTINCT_PATTERNS_H_
#define PARLEVO_REGEX_DISTINCT_PATTERNS_H_

#include <cstdint>
#include <vector>

namespace parlevo {

class TbmRExp;

// Fills `distinct` with the first pattern of each text, in order of first
// index, and `distinct_of` with each index's distinct number (-1 for a
// null pattern). A pattern of a text already seen in another char code is
// a distinct pattern of its own, each time it is added.
void GroupDistinctPatterns(const std::vector<TbmRExp*>& patterns, std::vector<TbmRExp*>& distinct,
                           std::vector<int32_t>& distinct_of);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_DISTINCT_PATTERNS_H_
