// Coverage: the chosen bit per entry, the per-file counts, and the analysis
// of entries nothing can reach (below a tier that always answers in an
// object that never runs dry) or that copy an earlier pattern of their tier.
#include "app/coverage.h"

#include <map>
#include <utility>

#include "platform/native_path.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

// Inputs unlike each other: a pattern found in all of them is taken to be
// found in any input.
constexpr std::string_view kProbes[] = {"", "X", "{NOTHINGSAID}", "\x82\xa0\x82\xa2", "1 2"};

bool FoundInAnything(TbmRExp* matcher) {
  if (matcher == nullptr) return false;
  try {
    for (std::string_view probe : kProbes) {
      if (!matcher->Found(probe)) return false;
    }
    return true;
  } catch (const EbmREToken&) {
    return false;
  }
}

// True when the entry is a candidate whatever is said: nothing to match
// (free talk), or patterns found in anything. A condition depends on the
// moment.
bool AlwaysMatches(const TEntryDescription& entry) {
  if (entry.Condition || entry.Broken) return false;
  return (!entry.ContextPattern || FoundInAnything(entry.ContextPattern)) &&
         (!entry.InputPattern || FoundInAnything(entry.InputPattern));
}

// The patterns of the entry as one text, to find copies ("" for an entry
// without patterns, or with one that does not compile).
std::string PatternKey(const TEntryDescription& entry) {
  if (entry.Broken) return std::string();
  std::string key;
  if (entry.ContextPattern) key = entry.ContextPattern->Pattern() + '\0';
  if (entry.InputPattern) key += entry.InputPattern->Pattern();
  return key;
}

}  // namespace

TCoverage::TCoverage(TCharacter& character) : Name_(character.DisplayName()) {
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    TLumoData& data = character.Slot(slot);
    TSlot& kept = Slots_[static_cast<size_t>(slot)];
    for (size_t f = 0; f < data.Files().size(); ++f) {
      kept.Files.emplace_back(platform::EditorPath(data.Files()[f]));
    }
    for (const TLumoEntry& entry : data.Items()) {
      kept.Entries.push_back({entry.File, entry.Line, entry.Marker, false, std::string()});
    }
    NoteUnreachable(character, slot);
  }
}

void TCoverage::NoteUnreachable(TCharacter& character, int slot) {
  TLumoData& data = character.Slot(slot);
  TSlot& kept = Slots_[static_cast<size_t>(slot)];
  auto where = [&](int32_t i) {
    const TEntry& entry = kept.Entries[static_cast<size_t>(i)];
    return kept.Files[static_cast<size_t>(entry.File)] + ":" + std::to_string(entry.Line);
  };
  int32_t blocker = -1;  // an entry that always answers, in an earlier tier
  for (int32_t tier = 1; tier <= data.TierCount(); ++tier) {
    const auto [begin, end] = data.TierBounds(tier);
    std::map<std::string, int32_t> first_with_pattern;
    int32_t always = -1;
    for (int32_t i = begin; i < end; ++i) {
      std::string& why = kept.Entries[static_cast<size_t>(i)].Why;
      if (blocker >= 0) {
        why = "cannot be reached: " + where(blocker) + " in an earlier tier always answers";
        continue;
      }
      const TEntryDescription entry = data.Describe(i);
      if (always < 0 && AlwaysMatches(entry)) always = i;
      std::string key = PatternKey(entry);
      if (key.empty()) continue;
      auto [it, added] = first_with_pattern.emplace(std::move(key), i);
      if (!added) why = "same pattern as " + where(it->second) + " in the same tier";
    }
    // A once-only object runs dry, and then lower tiers answer.
    if (always >= 0 && !data.UseOnce()) blocker = always;
  }
}

void TCoverage::Record(const TTurn& turn) {
  if (!turn.Source) return;
  auto& entries = Slots_.at(static_cast<size_t>(turn.Source->Slot)).Entries;
  if (turn.Source->Entry >= 0 && static_cast<size_t>(turn.Source->Entry) < entries.size()) {
    entries[static_cast<size_t>(turn.Source->Entry)].Chosen = true;
  }
}

std::vector<TCoverage::TFileCount> TCoverage::Files() const {
  std::vector<TFileCount> counts;
  for (const TSlot& slot : Slots_) {
    const size_t first = counts.size();
    for (const std::string& file : slot.Files) counts.push_back({file, 0, 0});
    for (const TEntry& entry : slot.Entries) {
      if (entry.Marker) continue;
      TFileCount& count = counts[first + static_cast<size_t>(entry.File)];
      ++count.Total;
      if (entry.Chosen) ++count.Chosen;
    }
  }
  return counts;
}

std::vector<TCoverage::TNeverChosen> TCoverage::NeverChosen() const {
  std::vector<TNeverChosen> never;
  for (const TSlot& slot : Slots_) {
    for (const TEntry& entry : slot.Entries) {
      if (entry.Marker || entry.Chosen) continue;
      never.push_back({slot.Files[static_cast<size_t>(entry.File)], entry.Line, entry.Why});
    }
  }
  return never;
}

}  // namespace parlevo
