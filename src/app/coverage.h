// Coverage of a personality: which entries a character's turns chose, per
// data file, and which entries can never be reached at all.
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
  // turns will be recorded); keeps no reference to it.
  explicit TCoverage(TCharacter& character);

  // Marks the entry `turn` came from (a turn without a source: nothing).
  void Record(const TTurn& turn);

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
    std::string Why;  // "" or why it can never be chosen, or whom it copies (UTF-8)
  };
  // Entries never chosen, in slot and file order.
  std::vector<TNeverChosen> NeverChosen() const;

  const std::string& Name() const { return Name_; }  // ANSI

 private:
  struct TEntry {
    int32_t File = 0;
    int32_t Line = 0;
    bool Marker = false;
    bool Chosen = false;
    std::string Why;
  };
  struct TSlot {
    std::vector<std::string> Files;
    std::vector<TEntry> Entries;
  };
  void NoteUnreachable(TCharacter& character, int slot);

  std::string Name_;
  std::array<TSlot, TCharacter::kSlotCount> Slots_;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_COVERAGE_H_
