// The process-wide pseudo-random generator: a 32-bit linear congruential
// state, re-seeded from the UTC time of day in milliseconds (with the clock
// frozen, from the frozen local instant's time of day).
#ifndef PARLEVO_PLATFORM_RANDOM_H_
#define PARLEVO_PLATFORM_RANDOM_H_

#include <cstdint>

namespace parlevo::platform {

// State := UtcMillisecondsOfDay() + SeedOffset(n), n being the number of
// re-seeds this process made before. SeedOffset(0) is 0, so the first seed
// is the time of day itself; later ones differ even within one millisecond,
// and two re-seeds in a row give unrelated draws. With the clock frozen, a
// process makes the same draws every time it runs.
void ReseedRandom();

// The state the next ReseedRandom will set (tests, and tools that explain a
// draw); changes nothing.
uint32_t NextSeed();

// Sets the state directly / starts the re-seed count again as at process
// start (tests).
void SetRandomState(uint32_t state);
void RestartReseedCount();
uint32_t RandomState();

// Each draw first steps state := state * 134775813 + 1 (mod 2^32).
// RandomInt(n): high 32 bits of the 64-bit product state * n, so 0 .. n-1
// (0 when n <= 0). RandomReal(): state * 2^-32, in [0, 1).
int32_t RandomInt(int32_t n);
double RandomReal();

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_RANDOM_H_
