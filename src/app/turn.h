// One turn of a character, as every front end sees it: the answer chosen,
// expanded, stripped of braces, converted and formatted, with where it came from.
//
// A turn owns all it holds, so it may outlive the character and cross
// threads freely. Its text is code page (ANSI) text; the turn pipeline is
// where an utterance crosses into and out of UTF-16, which the tag language
// and Talk work on.
#ifndef PARLEVO_APP_TURN_H_
#define PARLEVO_APP_TURN_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/lumo_data.h"
#include "engine/character.h"

namespace parlevo {

// The event text a conversation (and a chat) opens with.
inline constexpr std::string_view kOpeningInput = "LCCalled";

// Where an answer came from.
struct TTurnSource {
  int Slot = 0;         // 0 = Data01 ... 7 = DataC2
  std::string SlotKey;  // the base file key: "data01" ... "datac2"
  TLumoKind Kind = TLumoKind::k0;
  std::string FilePath;    // the data file as loaded (native, full path)
  std::string File;        // as shown: relative to the data folder when it lies there
  int32_t Line = 0;        // 1-based line in that file
  int32_t Entry = 0;       // index in the data object
  int32_t Tier = 0;        // 1-based
  int32_t Tiers = 0;       // tiers the object has
  int32_t Candidates = 0;  // candidates of that tier
  std::string Condition;   // kind 0: the condition that held (ANSI)
  // Kinds A and B: the pattern the input matched, and kind A's context
  // pattern (ANSI, folded as the matchers hold them).
  std::string Pattern;
  std::string ContextPattern;
};

// One line of a transcript.
struct TTurn {
  int64_t Number = 0;                 // 1-based line of the conversation
  int Speaker = 0;                    // which character spoke (0 opens)
  std::string Name;                   // the speaker's name (ANSI)
  std::string Said;                   // what was said: expanded, braces stripped (ANSI)
  std::string Line;                   // the formatted transcript line (ANSI)
  std::optional<TTurnSource> Source;  // none: nothing answered, or a partner
  int32_t StuckLines = 0;             // > 0: the last so many lines repeat (see TStuckDetector)
};

// Where `character`'s last answer came from; nothing when none was found.
std::optional<TTurnSource> LastSource(const TCharacter& character);

// `speaker` answers `heard` (ANSI) from the data objects in `slots`; the
// answer's tags are expanded, its braces removed, and the result formatted
// with `log_format` (ANSI). Number and Speaker are left for the caller.
TTurn SpeakTurn(TCharacter& speaker, std::string_view heard, TDataSlots slots,
                std::string_view log_format);

// The longest line someone who is no character may say (a chat's partner, a
// watcher joining in), its line end aside: a stranger's input cannot take
// more memory than this.
inline constexpr size_t kMaxInputLineBytes = size_t{1} << 20;

// A line said by someone who is no character (the partner of a chat).
TTurn HeardTurn(std::string_view name, std::string_view said, std::string_view log_format);

}  // namespace parlevo

#endif  // PARLEVO_APP_TURN_H_
