// A generated, reproducible corpus of patterns and inputs like those of
// personality data files: ASCII and Japanese (Shift JIS) literals,
// alternations, digit classes, ".*" in the middle and anchors; inputs are
// chat sentences of 10-200 bytes.
#ifndef PARLEVO_BENCH_PATTERN_CORPUS_H_
#define PARLEVO_BENCH_PATTERN_CORPUS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace parlevo::bench {

enum class PatternKind { kAsciiLiteral, kJapaneseLiteral, kAlternation, kClass };

struct CorpusPattern {
  std::string text;  // Shift JIS bytes
  PatternKind kind;
};

// `count` patterns, a quarter of each kind, from a fixed seed.
std::vector<CorpusPattern> MakePatterns(size_t count, uint32_t seed = 2024);

// `count` inputs of 10 to 200 bytes (Shift JIS), from a fixed seed.
std::vector<std::string> MakeInputs(size_t count, uint32_t seed = 7);

// One input of about `bytes` bytes (the headline figure uses 60).
std::string MakeInput(size_t bytes, uint32_t seed = 11);

// The pattern as byte-oriented engines must see it: a trail byte of a
// double-byte character that is an ASCII metacharacter ('[' in "ー" 0x815B,
// '\\' in "ソ" 0x835C, ...) is escaped so that it stays a literal byte.
std::string ForByteEngines(const std::string& pattern);

// Patterns of up to 1,000 bytes built to be expensive to compile: long
// "(a|b)" chains, deep groups, many dots and classes, wide alternations.
std::vector<std::string> MakeHostilePatterns(uint32_t seed = 99);

}  // namespace parlevo::bench

#endif  // PARLEVO_BENCH_PATTERN_CORPUS_H_
