// Why a character would answer as it does: which entries of which data
// object match an input, tier by tier, and which object would answer among
// how many candidates. The same tier loop and free-talk weighting as a turn.
//
// Explaining chooses nothing and uses nothing up, and leaves the context and
// {OPERATEMESSAGE} as it found them; but kind 0 conditions run their tags as
// a turn runs them, in every tier, so what those tags write stays written.
// Thread-safety: as the character's (one thread at a time).
#ifndef PARLEVO_ENGINE_EXPLAIN_H_
#define PARLEVO_ENGINE_EXPLAIN_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/character.h"

namespace parlevo {

// One tier's candidates: the unused entries that match, in entry order.
struct TExplainedTier {
  int32_t Tier = 0;  // 1-based
  std::vector<int32_t> Entries;
};

// An object that would answer: its slot, the tier a pick draws from and how
// many candidates that tier has. Free talk: the entries the object has left,
// which weigh it against the other free-talk object.
struct TAnswerer {
  int Slot = -1;
  int32_t Tier = 0;
  int32_t Candidates = 0;
  int32_t Weight = 0;  // free talk only
};

struct TExplanation {
  std::string Input;  // as the data objects are asked with it (ANSI, folded)
  // Per slot, the tiers that have candidates, in order (none for a slot not
  // asked); the first is the one a pick draws from.
  std::array<std::vector<TExplainedTier>, TCharacter::kSlotCount> Slots;
  // Who would answer: nobody, the first object with candidates, or (free
  // talk) both kind C objects, drawn between by weight. (An entry whose
  // answer is empty passes the turn on to the next object; when one is
  // drawn, a later object answers.)
  std::vector<TAnswerer> Answerers;
};

// Explains what `character` would answer to `input` (what the partner says)
// from the objects in `slots`, as its next turn would see it: the input
// prepared against the last one, and kind A's context the character's last
// answer unless `context` (ANSI, as stored) is given.
TExplanation Explain(TCharacter& character, std::u16string_view input,
                     const std::optional<std::string>& context = std::nullopt,
                     TDataSlots slots = AllSlots);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_EXPLAIN_H_
