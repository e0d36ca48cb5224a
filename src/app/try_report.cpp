// The report of `try`, shared by the command and the language server's
// parlevo.try: matches read back as written, and who would answer.
#include "app/try_report.h"

#include "data/written_entries.h"
#include "engine/character.h"
#include "engine/explain.h"
#include "platform/codepage.h"
#include "platform/native_path.h"
#include "platform/numbers.h"

namespace parlevo {
namespace {

// "PATTERN → ANSWER" (UTF-8) of entry `index`, fields as written ("?" when
// its line is gone from the file).
std::string Written(TWrittenEntries& written, const TLumoData& data, int32_t index) {
  const std::optional<TWrittenEntry> entry = written.Read(data, index);
  if (!entry) return "?";
  std::string patterns;
  for (const std::string& pattern : entry->Patterns) {
    patterns += (patterns.empty() ? "" : ",") + pattern;
  }
  return platform::AnsiToUtf8(patterns) + " → " + platform::AnsiToUtf8(entry->Answer);
}

void AddMatches(TCharacter& character, int slot, const std::vector<TExplainedTier>& tiers,
                TWrittenEntries& written, std::vector<TTryMatch>& matches) {
  const TLumoData& data = character.Slot(slot);
  for (const TExplainedTier& tier : tiers) {
    for (const int32_t index : tier.Entries) {
      const TEntryDescription entry = data.Describe(index);
      matches.push_back(
          {TCharacter::DataKey(slot), std::string(character.DataFileName(slot, entry.FileIndex)),
           std::string(entry.File), entry.Line, tier.Tier, Written(written, data, index)});
    }
  }
}

std::string Choice(const TAnswerer& answerer) {
  return std::string(TCharacter::DataKey(answerer.Slot)) + " tier " +
         std::to_string(answerer.Tier) + ", " +
         platform::CountText(answerer.Candidates, "candidate");
}

std::string WhoAnswers(const TExplanation& explanation) {
  const std::vector<TAnswerer>& answerers = explanation.Answerers;
  if (answerers.empty()) return "none";
  if (answerers.size() == 1) return Choice(answerers[0]);
  return Choice(answerers[0]) + " or " + Choice(answerers[1]) + ", weighed " +
         std::to_string(answerers[0].Weight) + ":" + std::to_string(answerers[1].Weight);
}

}  // namespace

TTryReport TryInput(TCharacter& character, std::string_view input,
                    const std::optional<std::string>& context, bool list_free_talk) {
  std::optional<std::string> ansi_context;
  if (context) ansi_context = platform::Utf8ToAnsi(*context);
  const TExplanation explanation = Explain(character, platform::Utf8ToWide(input), ansi_context);
  TTryReport report;
  TWrittenEntries written;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    const std::vector<TExplainedTier>& tiers = explanation.Slots[static_cast<size_t>(slot)];
    if (slot < TCharacter::kFirstFreeTalk || list_free_talk) {
      AddMatches(character, slot, tiers, written, report.Matches);
    } else if (!tiers.empty()) {
      report.FreeTalk.push_back({TCharacter::DataKey(slot), tiers.front().Tier,
                                 static_cast<int32_t>(tiers.front().Entries.size())});
    }
  }
  report.Answerer = WhoAnswers(explanation);
  return report;
}

std::string TryMatchLine(const TTryMatch& match) {
  return std::string(match.Key) + " " + platform::EditorPath(match.Path) + ":" +
         std::to_string(match.Line) + " tier " + std::to_string(match.Tier) + "  " + match.Written;
}

std::string TryObjectLine(const TTryObject& object) {
  return std::string(object.Key) + " tier " + std::to_string(object.Tier) + ": " +
         platform::CountText(object.Candidates, "candidate") + " (free talk)";
}

}  // namespace parlevo
