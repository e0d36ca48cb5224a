// Memory slot tags: MEMO (texts), COUNT (numbers) and FLAG (truth values),
// each with a hundred slots read and changed through its sub-forms.
#include <cmath>

#include "engine/character.h"
#include "engine/memo_line.h"
#include "engine/tag_functions.h"

namespace parlevo::tags {
namespace {

constexpr int kSlotCount = 100;

// The slot index: the two characters right after the name, 0..99.
int SlotIndex(const TTagContext& tag, int name_length) {
  int32_t index = ReadInt(Slice(tag.Key, name_length + 1, name_length + 2));
  if (index < 0 || index >= kSlotCount) throw ETagError("slot index out of range");
  return index;
}

}  // namespace

// MEMOi, MEMOi:T, MEMOi+T, MEMOiC.
std::u16string Memo(TTagContext& tag) {
  std::string& memo = tag.MemoSlot(SlotIndex(tag, 4));
  if (tag.Len == 6) return ToWide(memo);
  tag.Effect = true;
  switch (CharAt(tag.Key, 7)) {
    case u':': {
      std::string text = ToAnsi(SliceFrom(tag.Content, 8));
      if (MemoLineLength(text) > kMaxMemoBytes) throw ETagError("memo too long");
      memo = std::move(text);
      break;
    }
    case u'+': {
      // Measured as saved, whatever the slot holds already (a memo read
      // back from an older state file may be over the cap): never a
      // difference of sizes, which could wrap round.
      std::string text = ToAnsi(SliceFrom(tag.Content, 8));
      if (MemoLineLength(memo) + MemoLineLength(text) > kMaxMemoBytes) {
        throw ETagError("memo too long");
      }
      memo += text;
      break;
    }
    case u'C':
      if (tag.Len == 7) memo.clear();
      break;
    default:
      break;
  }
  return {};
}

// COUNTi, COUNTi++, COUNTi--, COUNTi+x, COUNTi-x, COUNTi:x. A change that
// would leave the counter infinite or NaN is refused.
std::u16string Count(TTagContext& tag) {
  double& count = tag.CountSlot(SlotIndex(tag, 5));
  if (tag.Len == 7) return RealText(count);
  tag.Effect = true;
  std::u16string_view op = Slice(tag.Key, 8, 9);
  double value = count;
  if (tag.Len == 9 && op == u"++") {
    value = count + 1;
  } else if (tag.Len == 9 && op == u"--") {
    value = count - 1;
  } else if (op[0] == u'+') {
    value = count + ReadReal(SliceFrom(tag.Key, 9));
  } else if (op[0] == u'-') {
    value = count - ReadReal(SliceFrom(tag.Key, 9));
  } else if (op[0] == u':') {
    value = ReadReal(SliceFrom(tag.Key, 9));
  } else {
    return {};
  }
  if (!std::isfinite(value)) throw ETagError("counter overflow");
  count = value;
  return {};
}

// FLAGi, FLAGi!, FLAGi:TRUE, FLAGi:FALSE; any other value is ignored.
std::u16string Flag(TTagContext& tag) {
  bool& flag = tag.FlagSlot(SlotIndex(tag, 4));
  if (tag.Len == 6) return TruthText(flag);
  tag.Effect = true;
  char16_t op = CharAt(tag.Key, 7);
  if (op == u'!') {
    flag = !flag;
  } else if (op == u':') {
    std::u16string_view value = SliceFrom(tag.Key, 8);
    if (value == u"TRUE") flag = true;
    if (value == u"FALSE") flag = false;
  }
  return {};
}

}  // namespace parlevo::tags
