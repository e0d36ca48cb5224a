// The process-wide linear congruential generator. Its state is an atomic
// updated by compare-exchange, so draws from two threads never race.
//
// Every answer choice and random tag re-seeds from the millisecond clock
// first. A seed of the clock alone would repeat within a millisecond (at full
// speed every draw of a turn, and of many turns, would be the same), so each
// seed also carries the number of earlier re-seeds, scrambled by a bijective
// integer mix: no two re-seeds of one millisecond share a state, and draws
// made one after another are unrelated rather than a fixed step apart.

#include "platform/random.h"

#include <atomic>

#include "platform/clock.h"

namespace parlevo::platform {

namespace {

// Process-wide by design (every re-seed and draw shares it); atomic so the
// two conversation threads and the window may draw at once.
std::atomic<uint32_t> g_state{0};
// Re-seeds made so far in this process; atomic for the same reason, so two
// threads re-seeding at once still take different counts.
std::atomic<uint32_t> g_reseeds{0};

constexpr uint32_t kMultiplier = 134775813u;

// Steps the state once and returns the new value.
uint32_t Step() {
  uint32_t old_state = g_state.load(std::memory_order_relaxed);
  uint32_t new_state;
  do {
    new_state = old_state * kMultiplier + 1u;  // unsigned: wraps mod 2^32
  } while (!g_state.compare_exchange_weak(old_state, new_state, std::memory_order_relaxed));
  return new_state;
}

// The 32-bit finalizer of MurmurHash3: a bijection that spreads every input
// bit over the whole word, and maps 0 to 0.
uint32_t SeedOffset(uint32_t count) {
  count ^= count >> 16;
  count *= 0x85EBCA6Bu;
  count ^= count >> 13;
  count *= 0xC2B2AE35u;
  count ^= count >> 16;
  return count;
}

}  // namespace

void ReseedRandom() {
  const uint32_t count = g_reseeds.fetch_add(1, std::memory_order_relaxed);
  g_state.store(UtcMillisecondsOfDay() + SeedOffset(count), std::memory_order_relaxed);
}

uint32_t NextSeed() {
  return UtcMillisecondsOfDay() + SeedOffset(g_reseeds.load(std::memory_order_relaxed));
}

void SetRandomState(uint32_t state) { g_state.store(state, std::memory_order_relaxed); }

void RestartReseedCount() { g_reseeds.store(0, std::memory_order_relaxed); }

uint32_t RandomState() { return g_state.load(std::memory_order_relaxed); }

int32_t RandomInt(int32_t n) {
  uint32_t state = Step();
  if (n <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(state) * static_cast<uint32_t>(n)) >> 32);
}

double RandomReal() { return static_cast<double>(Step()) * (1.0 / 4294967296.0); }

}  // namespace parlevo::platform
