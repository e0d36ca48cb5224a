// Random tags: RANDOMB: (true n percent of the time), RANDOMV: (a draw below
// n) and CHOICE (one of the "|" items). Each re-seeds from the clock first.
#include "data/items.h"
#include "engine/tag_functions.h"
#include "platform/random.h"

namespace parlevo::tags {

// RANDOMBn or RANDOMVn; another letter only re-seeds. A draw below n <= 0 is 0.
std::u16string Random(TTagContext& tag) {
  tag.Effect = true;
  platform::ReseedRandom();
  switch (CharAt(tag.Key, 7)) {
    case u'B': {
      int32_t percent = ReadInt(SliceFrom(tag.Key, 9));
      return TruthText(platform::RandomInt(100) < percent);
    }
    case u'V': {
      int32_t n = ReadInt(SliceFrom(tag.Key, 9));
      return RealText(platform::RandomInt(n));
    }
    default:
      return {};
  }
}

// CHOICEa|b|c: one item as written, each with the same chance. Items are
// split on the ANSI form, never inside a double-byte character.
std::u16string Choice(TTagContext& tag) {
  tag.Effect = true;
  std::string items = ToAnsi(SliceFrom(tag.Content, 7));
  int count = ItemCount(items, '|');
  platform::ReseedRandom();
  int index = count > 0 ? platform::RandomInt(count) : 0;
  return ToWide(ItemAt(items, '|', index));
}

}  // namespace parlevo::tags
