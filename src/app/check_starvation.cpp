// The starvation finding: the library's analysis (engine/starvation.h) told
// at the starving entry, with each starved object named and where its first
// starved entry is.
#include "app/check_starvation.h"

#include <string>

#include "engine/character.h"
#include "engine/starvation.h"
#include "platform/codepage.h"

namespace parlevo {
namespace {

std::string Where(const TCharacter& character, int slot, int32_t entry) {
  const TEntryDescription item = character.Slot(slot).Describe(entry);
  return std::string(character.DataFileName(slot, item.FileIndex)) + ":" +
         std::to_string(item.Line);
}

std::string Entries(int32_t count) {
  return std::to_string(count) + (count == 1 ? " entry" : " entries");
}

// "tier 2 and below of datab2 (3 entries, from b.txt:7)", "datac2 (...)".
std::string Group(const TCharacter& character, const TStarvedGroup& group) {
  std::string said(TCharacter::DataKey(group.Slot));
  if (group.FirstTier > 0)
    said = "tier " + std::to_string(group.FirstTier) + " and below of " + said;
  return said + " (" + Entries(group.Entries) + ", from " +
         Where(character, group.Slot, group.FirstEntry) + ")";
}

}  // namespace

void CheckStarvation(const TCharacter& character, std::vector<TFinding>& findings) {
  for (const TStarver& starver : AnalyzeStarvation(character).Starvers) {
    std::string starved;
    for (const TStarvedGroup& group : starver.Starved) {
      starved += (starved.empty() ? "" : ", ") + Group(character, group);
    }
    TFinding finding;
    finding.File = starver.File;
    finding.Line = starver.Line;
    finding.Severity = TFindingSeverity::kWarning;
    finding.Code = "starves-entries";
    finding.Message =
        platform::AnsiToUtf8("this entry answers every input (" + starver.Why + ") and " +
                             std::string(TCharacter::DataKey(starver.Slot)) +
                             " uses nothing up, so what follows it is never heard: " + starved);
    findings.push_back(std::move(finding));
  }
}

}  // namespace parlevo
