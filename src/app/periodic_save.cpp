// Saving a talking character's memory every few seconds, on the wrapping
// millisecond tick counter.
#include "app/periodic_save.h"

#include "app/pacing.h"
#include "engine/character.h"
#include "platform/clock.h"

namespace parlevo {

TPeriodicSave::TPeriodicSave(uint32_t interval_ms)
    : interval_ms_(interval_ms), last_tick_(platform::TickCount()) {}

void TPeriodicSave::AfterTurn(TCharacter& character) {
  const uint32_t now = platform::TickCount();
  if (RemainingWait(last_tick_, now, static_cast<int32_t>(interval_ms_)) > 0) return;
  last_tick_ = now;
  character.SaveChanges();
}

}  // namespace parlevo
