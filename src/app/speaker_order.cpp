// Probing a group for the best answerer through the engine's explanation,
// limited to the pattern objects (kinds A and B).
#include "app/speaker_order.h"

#include "engine/explain.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

// Data01..DataB2 by slot: only the objects of kinds A and B (slots 2 to 5).
constexpr TDataSlots kPatternSlots = 0x3C;

}  // namespace

int64_t AnswerRank(TCharacter& character, std::u16string_view said) {
  const TExplanation explanation = Explain(character, said, std::nullopt, kPatternSlots);
  if (explanation.Answerers.empty()) return kNoAnswer;
  const TAnswerer& first = explanation.Answerers.front();
  return int64_t{first.Slot} << 32 | first.Tier;
}

void IntroduceGroup(const std::vector<std::unique_ptr<TCharacter>>& group) {
  for (size_t i = 0; i < group.size(); ++i) {
    group[i]->SetPartner(group[(i + 1) % group.size()]->DisplayName());
  }
}

void IntroduceBeforeTurn(const std::vector<std::unique_ptr<TCharacter>>& group, int speaker,
                         int heard_from) {
  if (group.size() <= 2 || heard_from < 0) return;
  group[static_cast<size_t>(speaker)]->SetPartner(
      group[static_cast<size_t>(heard_from)]->DisplayName());
}

int BestSpeaker(const std::vector<std::unique_ptr<TCharacter>>& group, int last,
                std::string_view said) {
  const int count = static_cast<int>(group.size());
  int best = NextInOrder(last, group.size());
  int64_t best_rank = kNoAnswer;
  const std::u16string wide = platform::AnsiToWide(said);  // once for every candidate
  for (int step = 1; step < count; ++step) {
    const int candidate = (last + step) % count;
    const int64_t rank = AnswerRank(*group[static_cast<size_t>(candidate)], wide);
    if (rank < best_rank) {  // the earlier in the given order keeps a tie
      best = candidate;
      best_rank = rank;
    }
  }
  return best;
}

}  // namespace parlevo
