// Free talk, a turn's last resort: which of the character's two kind C
// objects answers, weighed by how many entries each can still give.
//
// Thread-safety: as the character's; DrawFreeTalk draws from the
// process-wide random generator.
#ifndef PARLEVO_ENGINE_FREE_TALK_H_
#define PARLEVO_ENGINE_FREE_TALK_H_

#include <cstdint>

#include "engine/character.h"

namespace parlevo {

// The weights of the two free-talk objects in a turn that asks `slots`.
struct TFreeTalkWeights {
  int32_t First = 0;   // entries slot kFirstFreeTalk can still give; 0 when not asked
  int32_t Second = 0;  // the same for the slot after it
  bool FirstAsked = false;
  bool SecondAsked = false;
};

TFreeTalkWeights WeighFreeTalk(TCharacter& character, TDataSlots slots);

// The free-talk slot that answers: when both are asked, one drawn with the
// odds of their weights (one draw of the generator; none, and -1, when
// neither has an entry left); else the one asked; -1 when neither is.
int DrawFreeTalk(const TFreeTalkWeights& weights);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_FREE_TALK_H_
