// The process-wide pseudo-random generator: a 32-bit linear congruential
// state, re-seeded from the UTC time of day in milliseconds.
#ifndef PARLEVO_PLATFORM_RANDOM_H_
#define PARLEVO_PLATFORM_RANDOM_H_

#include <cstdint>

namespace parlevo::platform {

// State := UtcMillisecondsOfDay().
void ReseedRandom();

// Sets the state directly (tests).
void SetRandomState(uint32_t state);
uint32_t RandomState();

// Each draw first steps state := state * 134775813 + 1 (mod 2^32).
// RandomInt(n): high 32 bits of the 64-bit product state * n, so 0 .. n-1
// (0 when n <= 0). RandomReal(): state * 2^-32, in [0, 1).
int32_t RandomInt(int32_t n);
double RandomReal();

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_RANDOM_H_
