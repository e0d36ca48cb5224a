// Entries that answer every input, and what they starve: an entry of a
// reusable object that is always a candidate keeps its object's later tiers
// from ever being drawn from, and (outside free talk) the objects after it
// in talk order from ever being asked. For check, coverage and the editor
// service.
#ifndef PARLEVO_ENGINE_STARVATION_H_
#define PARLEVO_ENGINE_STARVATION_H_

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/character.h"

namespace parlevo {

// Why an entry answers any input (ANSI, "its pattern is empty"); nothing when
// what it hears or the moment decides.
std::optional<std::string> AnswersEverything(const TEntryDescription& entry);

// Entries of one object that an entry starves: all of them from tier
// `FirstTier` on (0: the whole object, which is never asked).
struct TStarvedGroup {
  int Slot = -1;
  int32_t FirstTier = 0;
  int32_t Entries = 0;      // markers not counted
  int32_t FirstEntry = -1;  // the first of them, an index into the slot's entries
};

// An entry that answers every input and starves others.
struct TStarver {
  int Slot = -1;
  int32_t Entry = -1;
  std::string File;  // native path, as loaded
  int32_t Line = 0;
  std::string Why;                     // as AnswersEverything
  std::vector<TStarvedGroup> Starved;  // its own object first, then talk order
};

struct TStarvation {
  std::vector<TStarver> Starvers;  // in slot and entry order
  // Per slot and entry: the index in Starvers of the entry that starves it,
  // or -1.
  std::array<std::vector<int32_t>, TCharacter::kSlotCount> StarvedBy;
};

// The starvation of `character`'s entries, as its data stands (once-only
// entries answer once, so they starve nothing; an object is never asked
// after one that always answers, unless an answer it may draw is empty,
// which passes the turn on).
TStarvation AnalyzeStarvation(const TCharacter& character);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_STARVATION_H_
