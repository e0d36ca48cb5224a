// The context a tag function runs in (its text, folded key, first bar, the
// instant of the expansion and the character), and the argument helpers.
#ifndef PARLEVO_ENGINE_TAG_CONTEXT_H_
#define PARLEVO_ENGINE_TAG_CONTEXT_H_

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace parlevo {

class TCharacter;

// Raised by a tag function for a bad argument; the expander turns it (like
// any std::exception) into an empty tag result.
class ETagError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One tag being evaluated. Positions are 1-based UTF-16 code units.
struct TTagContext {
  // The character the tags run for: read through its operations; its memory
  // is changed through the slots below, the one way tags write to it.
  TCharacter& Character;
  std::u16string_view Content;  // the tag text as written, inner tags replaced
  std::u16string_view Key;      // NormalizeText(Content), same length
  int Bar = 0;                  // position of the first "|" in Key, 0 if none
  int Len = 0;                  // length of Key
  double Now = 0;               // the one instant of the whole expansion
  // Set by a tag that changed the character or drew at random: running the
  // same text again may then give another result.
  bool Effect = false;

  // Slot `i` of the character's memos, counters and flags (0 <= i < 100).
  std::string& MemoSlot(int i);
  double& CountSlot(int i);
  bool& FlagSlot(int i);
};

// text[i..j], 1-based and inclusive; positions outside the text are simply
// missing, so any i and j are safe.
std::u16string_view Slice(std::u16string_view text, int64_t i, int64_t j);
// text[i..end].
std::u16string_view SliceFrom(std::u16string_view text, int64_t i);
// The character at 1-based position i, or 0 when there is none.
char16_t CharAt(std::u16string_view text, int64_t i);
bool StartsWith(std::u16string_view text, std::u16string_view prefix);

// Readers that raise ETagError for a text that does not convert.
double ReadReal(std::u16string_view text);
int32_t ReadInt(std::u16string_view text);
// The truth of an operand: its first four characters are "TRUE".
bool IsTrueOperand(std::u16string_view text);

// Writers. RealText raises ETagError for an infinite or NaN value, so a
// floating-point fault always ends as an empty tag result.
std::u16string RealText(double value);
std::u16string IntText(int64_t value);
std::u16string TruthText(bool value);

// Whole-number conversions of a real value that raise ETagError when the
// value lies outside the target type instead of being undefined.
int64_t TruncToInt64(double value);
int32_t TruncToInt32(double value);

// A date-time in the pattern, or ETagError when the value is no date the
// calendar can show (not finite, before year 1 or after 9999).
std::u16string DateText(std::string_view pattern, double date_time);

// ANSI <-> wide in the process code page.
std::string ToAnsi(std::u16string_view wide);
std::u16string ToWide(std::string_view ansi);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_TAG_CONTEXT_H_
