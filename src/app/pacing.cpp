// Pacing of a conversation: the wait before the next turn, computed from the
// elapsed ticks so the counter's wrap-around is harmless.
#include "app/pacing.h"

namespace parlevo {

uint32_t RemainingWait(uint32_t last_tick, uint32_t now, int32_t interval) {
  if (interval <= 0) return 0;
  const uint32_t elapsed = now - last_tick;  // modulo 2^32 by definition
  const uint32_t wanted = static_cast<uint32_t>(interval);
  return elapsed >= wanted ? 0 : wanted - elapsed;
}

}  // namespace parlevo
