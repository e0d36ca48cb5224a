// Coverage of a personality: which entries a character's turns chose and
// which matched, per data file, and why each entry never chosen was not.
//
// Thread-safety: none of its own; one thread records and reports.
#ifndef PARLEVO_APP_COVERAGE_H_
#define PARLEVO_APP_COVERAGE_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/turn.h"
#include "engine/character.h"

namespace parlevo {

class TCoverage {
 public:
  // Takes the entry tables of `character` (loaded from the base file whose
  // turns will be recorded) and what can be known before any run: entries
  // starved by one that always answers, patterns repeated in a tier. Keeps
  // no reference to it.
  explicit TCoverage(TCharacter& character);

  // Watches a character loaded from the same base file (one run's) until
  // the next Watch, so that Record learns what matched in each turn as well
  // as what was drawn. `character` must outlive the turns recorded.
  void Watch(TCharacter& character);
  // Marks the entry `turn` came from (a turn without a source: nothing) and
  // counts the candidates seen since the last Record; `opening`: the turn
  // was the character's opening.
  void Record(const TTurn& turn, bool opening = false);

  struct TFileCount {
    std::string File;  // as an editor here opens it (native: EditorPath)
    int32_t Chosen = 0;
    int32_t Total = 0;  // entries, markers not counted
  };
  // Per data slot and file, in slot and load order.
  std::vector<TFileCount> Files() const;

  struct TNeverChosen {
    std::string File;  // native, as an editor here opens it
    int32_t Line = 0;
    std::string Why;  // UTF-8; "" when nothing is known but that it never came up
  };
  // Entries never chosen, in slot and file order.
  std::vector<TNeverChosen> NeverChosen() const;

  // What the runs counted, as plain numbers, and another recording's counts
  // of the same character added to these: runs spread over processes report
  // as one.
  std::vector<int64_t> Counts() const;
  void AddCounts(const std::vector<int64_t>& counts);  // std::invalid_argument: another shape

  const std::string& Name() const { return Name_; }  // ANSI

 private:
  struct TEntry {
    int32_t File = 0;
    int32_t Line = 0;
    bool Marker = false;
    int64_t Chosen = 0;
    int64_t Matched = 0;         // turns it was a candidate in the tier drawn from
    int64_t MatchedOpening = 0;  // of those, opening turns
    std::string Known;           // why it cannot be chosen, or whom it copies
    std::string Reads;           // kind 0: the tags its condition reads
    bool Conditional = false;    // kind 0
  };
  struct TSlot {
    std::vector<std::string> Files;
    std::vector<TEntry> Entries;
  };
  void NoteKnown(TCharacter& character);
  std::string Why(const TEntry& entry) const;

  std::string Name_;
  std::array<TSlot, TCharacter::kSlotCount> Slots_;
  // Candidates seen since the last Record: slot and entry.
  std::vector<std::pair<int, int32_t>> Seen_;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_COVERAGE_H_
