// The explanation of a turn: every tier's candidates from the data layer's
// tier loop, then the answerer as Talk finds it (the first object with
// candidates, free talk last and weighed by engine/free_talk.h).
#include "engine/explain.h"

#include "engine/free_talk.h"

namespace parlevo {
namespace {

bool Asks(TDataSlots slots, int slot) { return (slots >> slot) & 1; }

// Sets what a turn would set before asking the objects, and puts back what
// was there when it goes.
class TAskedAsATurn {
 public:
  TAskedAsATurn(TCharacter& character, const std::string& input,
                const std::optional<std::string>& context, TDataSlots slots)
      : Character(character), OperateMessage(character.OperateMessage()) {
    Character.SetOperateMessage((slots & OpeningSlots) != 0 ? input : std::string());
    if (!context) return;
    for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
      TLumoData& data = Character.Slot(slot);
      Contexts[static_cast<size_t>(slot)] = data.Context();
      data.SetContext(*context);
    }
    ContextSet = true;
  }
  ~TAskedAsATurn() {
    Character.SetOperateMessage(std::move(OperateMessage));
    if (!ContextSet) return;
    for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
      Character.Slot(slot).SetContext(Contexts[static_cast<size_t>(slot)]);
    }
  }
  TAskedAsATurn(const TAskedAsATurn&) = delete;
  TAskedAsATurn& operator=(const TAskedAsATurn&) = delete;

 private:
  TCharacter& Character;
  std::string OperateMessage;
  std::array<std::string, TCharacter::kSlotCount> Contexts;
  bool ContextSet = false;
};

std::vector<TExplainedTier> ExplainSlot(TLumoData& data, std::string_view input) {
  std::vector<TExplainedTier> tiers;
  data.VisitTiers(input, [&tiers](int32_t tier, const TAnswerList& candidates) {
    TExplainedTier& explained = tiers.emplace_back();
    explained.Tier = tier;
    candidates.AppendTo(explained.Entries);
    return true;  // all tiers, not only the first
  });
  return tiers;
}

TAnswerer AnswererOf(const TExplanation& explanation, int slot, int32_t weight) {
  const TExplainedTier& first = explanation.Slots[static_cast<size_t>(slot)].front();
  return {slot, first.Tier, static_cast<int32_t>(first.Entries.size()), weight};
}

// The first object with candidates answers; free talk last, both its objects
// when both have candidates.
std::vector<TAnswerer> WhoAnswers(TCharacter& character, const TExplanation& explanation,
                                  TDataSlots slots) {
  for (int slot = 0; slot < TCharacter::kFirstFreeTalk; ++slot) {
    if (!explanation.Slots[static_cast<size_t>(slot)].empty()) {
      return {AnswererOf(explanation, slot, 0)};
    }
  }
  const TFreeTalkWeights weights = WeighFreeTalk(character, slots);
  std::vector<TAnswerer> answerers;
  for (const auto& [slot, weight] : {std::pair{TCharacter::kFirstFreeTalk, weights.First},
                                     std::pair{TCharacter::kFirstFreeTalk + 1, weights.Second}}) {
    if (!explanation.Slots[static_cast<size_t>(slot)].empty()) {
      answerers.push_back(AnswererOf(explanation, slot, weight));
    }
  }
  return answerers;
}

}  // namespace

TExplanation Explain(TCharacter& character, std::u16string_view input,
                     const std::optional<std::string>& context, TDataSlots slots) {
  TExplanation explanation;
  explanation.Input = TCharacter::PreparedInput(input, character.Input());
  const TAskedAsATurn asked(character, explanation.Input, context, slots);
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    if (!Asks(slots, slot)) continue;
    explanation.Slots[static_cast<size_t>(slot)] =
        ExplainSlot(character.Slot(slot), explanation.Input);
  }
  explanation.Answerers = WhoAnswers(character, explanation, slots);
  return explanation;
}

}  // namespace parlevo
