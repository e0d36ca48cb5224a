// A second corpus for the set benchmarks, shaped apart from the personality-
// like one of pattern_corpus: 2,000 patterns of seven kinds over vocabularies
// of their own, and Shift JIS texts cut at any byte offset from one long,
// varied stream (prose, lists, numbers, mixed scripts).
#ifndef PARLEVO_BENCH_SECOND_CORPUS_H_
#define PARLEVO_BENCH_SECOND_CORPUS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parlevo::bench {

// A pattern as this engine reads it, and the same pattern for byte-oriented
// engines (a class of double-byte characters spelled as an alternation,
// metacharacter trail bytes escaped).
struct SecondPattern {
  std::string ours;
  std::string bytes;
};

// `count` patterns, the seven kinds in turn: ASCII literals, Shift JIS
// literals, alternations of words, classes, ".*"-joined pairs, digit runs,
// anchored patterns.
std::vector<SecondPattern> MakeSecondPatterns(size_t count = 2000, uint32_t seed = 4242);

// `count` texts of `bytes` bytes cut from the stream at varied offsets, each
// starting and ending on a character boundary.
std::vector<std::string> CutSecondTexts(size_t bytes, size_t count = 16, uint32_t seed = 77);

}  // namespace parlevo::bench

#endif  // PARLEVO_BENCH_SECOND_CORPUS_H_
