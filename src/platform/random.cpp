// The process-wide linear congruential generator. Its state is an atomic
// updated by compare-exchange, so draws from two threads never race.

#include "platform/random.h"

#include <atomic>

#include "platform/clock.h"

namespace parlevo::platform {

namespace {

// Process-wide by design (every re-seed and draw shares it); atomic so the
// two conversation threads and the window may draw at once.
std::atomic<uint32_t> g_state{0};

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

}  // namespace

void ReseedRandom() { g_state.store(UtcMillisecondsOfDay(), std::memory_order_relaxed); }

void SetRandomState(uint32_t state) { g_state.store(state, std::memory_order_relaxed); }

uint32_t RandomState() { return g_state.load(std::memory_order_relaxed); }

int32_t RandomInt(int32_t n) {
  uint32_t state = Step();
  if (n <= 0) return 0;
  return static_cast<int32_t>((static_cast<uint64_t>(state) * static_cast<uint32_t>(n)) >> 32);
}

double RandomReal() { return static_cast<double>(Step()) * (1.0 / 4294967296.0); }

}  // namespace parlevo::platform
