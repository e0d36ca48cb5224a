// Pacing of a conversation on the wrapping 32-bit millisecond tick counter:
// how long is left to wait before the next turn may start.
#ifndef PARLEVO_APP_PACING_H_
#define PARLEVO_APP_PACING_H_

#include <cstdint>

namespace parlevo {

// Milliseconds still to wait when the last turn ended at tick `last_tick`, the
// counter reads `now` and the interval is `interval` ms (negative counts as 0);
// 0 when the next turn may start. Measures elapsed time as now - last_tick
// modulo 2^32, so the counter wrapping around neither skips nor stretches a
// wait.
uint32_t RemainingWait(uint32_t last_tick, uint32_t now, int32_t interval);

}  // namespace parlevo

#endif  // PARLEVO_APP_PACING_H_
