// Saving a character's memory as a conversation goes, so that a crash or a
// power cut loses at most the last few seconds of it.
//
// Thread-safety: used by the one thread that talks with the character.
#ifndef PARLEVO_APP_PERIODIC_SAVE_H_
#define PARLEVO_APP_PERIODIC_SAVE_H_

#include <cstdint>

namespace parlevo {

class TCharacter;

// How often a talking character's memory is looked at and, when it changed,
// saved: at most one save per interval, so full speed stays full speed.
inline constexpr uint32_t kStateSaveIntervalMs = 5000;

class TPeriodicSave {
 public:
  explicit TPeriodicSave(uint32_t interval_ms = kStateSaveIntervalMs);

  // After `character` has spoken: once the interval has passed since the
  // last look, saves its memory if it changed (TCharacter::SaveChanges).
  void AfterTurn(TCharacter& character);

 private:
  uint32_t interval_ms_;
  uint32_t last_tick_;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_PERIODIC_SAVE_H_
