// The talk cycle: prepare the input (silence, repetition, folding), ask the
// data objects in their fixed order, and keep the conversation bookkeeping.
#include <string>

#include "data/lumo_data.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "engine/free_talk.h"
#include "platform/codepage.h"
#include "platform/random.h"

namespace parlevo {
namespace {

constexpr std::u16string_view kNothingSaid = u"{NothingSaid}";
constexpr std::u16string_view kRepeated = u"{Repeated}";

bool Has(TDataSlots slots, int i) { return (slots >> i) & 1; }

}  // namespace

std::string TCharacter::PreparedInput(std::u16string_view text, std::string_view previous) {
  std::u16string prepared;
  if (text.empty()) {
    prepared = kNothingSaid;
  } else if (text == platform::AnsiToWide(previous)) {
    prepared = std::u16string(text) + std::u16string(kRepeated);
  } else {
    prepared = text;
  }
  return platform::WideToAnsi(NormalizeText(prepared));
}

std::u16string TCharacter::Talk(std::u16string_view text, TDataSlots slots) {
  platform::ReseedRandom();
  // Wraps like the 32-bit counter it is rather than overflowing.
  TalkCount_ = static_cast<int32_t>(static_cast<uint32_t>(TalkCount_) + 1u);
  PrevInput_ = std::move(Input_);
  Input_ = platform::WideToAnsi(text);

  const std::string input = PreparedInput(text, PrevInput_);
  OperateMessage_ = (slots & OpeningSlots) != 0 ? input : std::string();

  std::string answer;
  LastSource_ = {};
  for (int i = 0; i < kFirstFreeTalk && answer.empty(); ++i) {
    if (!Has(slots, i)) continue;
    answer = AnswerFrom(i, input);
    // An entry with an empty answer lets the next object speak.
    if (answer.empty()) LastSource_ = {};
  }
  if (answer.empty()) answer = AnswerFreeTalk(input, slots);

  LastAnswer_ = answer;
  for (int i = 0; i < kSlotCount; ++i) Slot(i).SetContext(answer);
  return platform::AnsiToWide(answer);
}

// Free talk is the last resort; between its two objects the choice is
// weighted by how many entries each can still give (engine/free_talk.h).
std::string TCharacter::AnswerFreeTalk(const std::string& input, TDataSlots slots) {
  const int slot = DrawFreeTalk(WeighFreeTalk(*this, slots));
  return slot < 0 ? std::string() : AnswerFrom(slot, input);
}

// The answer of one data object, remembering where it came from.
std::string TCharacter::AnswerFrom(int slot, const std::string& input) {
  TLumoData& data = Slot(slot);
  const std::optional<TPick> pick = data.Pick(input);
  if (!pick) return std::string();
  LastSource_ = {slot, *pick};
  return data.Take(*pick);
}

}  // namespace parlevo
