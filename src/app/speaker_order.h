// Who speaks next in a group and whom each speaker is introduced to: in the
// order given, or by "best" (whoever's knowledge answers the last line best,
// probed without running a tag or changing anything).
//
// Thread-safety: as the characters' (the conversation thread).
#ifndef PARLEVO_APP_SPEAKER_ORDER_H_
#define PARLEVO_APP_SPEAKER_ORDER_H_

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/character.h"

namespace parlevo {

// How well `character` would answer `said` from its kind A and B
// objects: the first of them in talk order that has candidates, then the
// lower tier; lower is better, kNoAnswer when none has any. Kind 0 is not
// asked: its conditions run tags, which may have effects.
inline constexpr int64_t kNoAnswer = INT64_MAX;
int64_t AnswerRank(TCharacter& character, std::u16string_view said);

// Introduces each character of `group` to the next one in the order given:
// two to each other, once and for all, as a pair always is.
void IntroduceGroup(const std::vector<std::unique_ptr<TCharacter>>& group);
// Before character `speaker` answers the line of character `heard_from`: in
// a group of three or more, introduces it to that character.
void IntroduceBeforeTurn(const std::vector<std::unique_ptr<TCharacter>>& group, int speaker,
                         int heard_from);

// The index of the next speaker after `last` in the order given.
inline int NextInOrder(int last, size_t group_size) {
  return (last + 1) % static_cast<int>(group_size);
}

// The index of the best answerer of `said` among `group`, never `last` (who
// said it); ties and no answer go in the given order after `last`.
int BestSpeaker(const std::vector<std::unique_ptr<TCharacter>>& group, int last,
                std::string_view said);

}  // namespace parlevo

#endif  // PARLEVO_APP_SPEAKER_ORDER_H_
