// The clock: local date-time as days since 1899-12-30, the UTC time of day in
// milliseconds (the random seed), and a millisecond tick counter for pacing.
#ifndef PARLEVO_PLATFORM_CLOCK_H_
#define PARLEVO_PLATFORM_CLOCK_H_

#include <cstdint>

namespace parlevo::platform {

// Local date and time: whole days since 1899-12-30, the fraction being the
// time of day. Returns the frozen instant while the clock is frozen.
double NowLocal();

// UTC time of day in ms: ((h * 60 + n) * 60 + s) * 1000 + ms. While frozen,
// the frozen instant's own time-of-day figures are used.
uint32_t UtcMillisecondsOfDay();

// Milliseconds since an arbitrary start, wrapping at 2^32; always real time,
// never frozen (it paces conversations).
uint32_t TickCount();

// Freezes NowLocal and UtcMillisecondsOfDay at `local_date_time` (tests, the
// CLI's --clock). The frozen instant is an atomic, so threads may read it.
void FreezeClock(double local_date_time);
void UnfreezeClock();
bool ClockFrozen();

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_CLOCK_H_
