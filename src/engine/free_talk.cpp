// The free-talk weighting shared by a turn (Talk) and its explanation: the
// two kind C objects weighed by the entries they have left.
#include "engine/free_talk.h"

#include "platform/random.h"

namespace parlevo {
namespace {

constexpr int kSecondFreeTalk = TCharacter::kFirstFreeTalk + 1;

bool Asks(TDataSlots slots, int slot) { return (slots >> slot) & 1; }

}  // namespace

TFreeTalkWeights WeighFreeTalk(TCharacter& character, TDataSlots slots) {
  TFreeTalkWeights weights;
  weights.FirstAsked = Asks(slots, TCharacter::kFirstFreeTalk);
  weights.SecondAsked = Asks(slots, kSecondFreeTalk);
  if (weights.FirstAsked) weights.First = character.Slot(TCharacter::kFirstFreeTalk).Available();
  if (weights.SecondAsked) weights.Second = character.Slot(kSecondFreeTalk).Available();
  return weights;
}

int DrawFreeTalk(const TFreeTalkWeights& weights) {
  if (weights.FirstAsked && weights.SecondAsked) {
    const double first = weights.First;
    const double second = weights.Second;
    if (first + second <= 0) return -1;
    return platform::RandomReal() < first / (first + second) ? TCharacter::kFirstFreeTalk
                                                             : kSecondFreeTalk;
  }
  if (weights.FirstAsked) return TCharacter::kFirstFreeTalk;
  if (weights.SecondAsked) return kSecondFreeTalk;
  return -1;
}

}  // namespace parlevo
