// The benchmarks' own small generator and the Shift JIS kana they make
// words of, so that every generated corpus is the same on every run.
#ifndef PARLEVO_BENCH_BENCH_RANDOM_H_
#define PARLEVO_BENCH_BENCH_RANDOM_H_

#include <cstdint>
#include <string>

namespace parlevo::bench {

// A 32-bit linear congruential step; the high 24 bits are the draw.
inline uint32_t Next(uint32_t& state) {
  state = state * 134775813u + 1u;
  return state >> 8;
}

// `count` hiragana as Shift JIS bytes: 0x82 0x9F .. 0x82 0xF1.
inline std::string Kana(uint32_t& seed, int count) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    s += '\x82';
    s += static_cast<char>(0x9F + Next(seed) % 83);
  }
  return s;
}

}  // namespace parlevo::bench

#endif  // PARLEVO_BENCH_BENCH_RANDOM_H_
