// The repeated-pattern note: entries of one tier of a reusable object with
// the same patterns are candidates together, which may be meant (a choice of
// answers) or a copy. In a once-only object a repeat is one more answer to
// the same words, given in turn: the usual way to write one, so not noted.
#include <string>

#include "app/check_starvation.h"
#include "data/repeated_patterns.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace parlevo {

void CheckRepeatedPatterns(const TCharacter& character, std::vector<TFinding>& findings) {
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    const TLumoData& data = character.Slot(slot);
    if (data.UseOnce()) continue;
    const std::vector<int32_t> earlier = EarlierSamePattern(data);
    for (int32_t i = 0; i < data.EntryCount(); ++i) {
      const int32_t first = earlier[static_cast<size_t>(i)];
      if (first < 0) continue;
      const TEntryDescription original = data.Describe(first);
      const TEntryDescription entry = data.Describe(i);
      TFinding finding;
      finding.File = std::string(entry.File);
      finding.Line = entry.Line;
      finding.Severity = TFindingSeverity::kNote;
      finding.Code = "repeated-pattern";
      finding.Message = platform::AnsiToUtf8(
          "the same pattern as " + std::string(character.DataFileName(slot, original.FileIndex)) +
          ":" + std::to_string(original.Line) + " in tier " + std::to_string(entry.Tier) +
          ": the two are candidates together and drawn between at random");
      findings.push_back(std::move(finding));
    }
  }
}

}  // namespace parlevo
