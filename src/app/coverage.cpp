// Coverage: the chosen and matched counts per entry, the per-file counts,
// and why an entry was never chosen: what is known before any run (the
// starvation analysis, repeated patterns) first, then what the runs saw.
#include "app/coverage.h"

#include <stdexcept>
#include <utility>

#include "data/repeated_patterns.h"
#include "engine/starvation.h"
#include "engine/tag_lookup.h"
#include "platform/codepage.h"
#include "platform/native_path.h"

namespace parlevo {
namespace {

constexpr size_t kCountsPerEntry = 3;  // chosen, matched, matched when opening

// What a tag reads that may change between turns, as a report says it: the
// first of memory, the clock, the talk that its rows read; "" for none.
std::string_view ReadsWhat(const TTagLookup& lookup) {
  uint8_t effects = 0;
  for (const TTagRow* row : lookup.Rows) effects |= row->Effects;
  if (effects & kReadsMemory) return "memory";
  if (effects & kReadsClock) return "the clock";
  if (effects & kReadsTalk) return "the talk";
  return {};
}

// The tags of a condition (ANSI) that read memory, the clock or the talk, as
// written ("memory {COUNT50}, the clock {HOUR}"): what decides whether it
// holds.
std::string TagsRead(std::string_view condition) {
  const std::u16string text = platform::AnsiToWide(condition);
  std::vector<size_t> open;
  std::string read;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'{') open.push_back(i);
    if (text[i] != u'}' || open.empty()) continue;
    const size_t from = open.back();
    open.pop_back();
    const std::string_view what = ReadsWhat(LookUpTag(text.substr(from + 1, i - from - 1)));
    if (what.empty()) continue;
    read += (read.empty() ? "" : ", ") + std::string(what) + " " +
            platform::WideToUtf8(text.substr(from, i - from + 1));
  }
  return read;
}

std::string Times(int64_t n) { return std::to_string(n) + (n == 1 ? " time" : " times"); }

}  // namespace

TCoverage::TCoverage(TCharacter& character) : Name_(character.DisplayName()) {
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    TLumoData& data = character.Slot(slot);
    TSlot& kept = Slots_[static_cast<size_t>(slot)];
    for (size_t f = 0; f < data.Files().size(); ++f) {
      kept.Files.emplace_back(platform::EditorPath(data.Files()[f]));
    }
    for (int32_t i = 0; i < data.EntryCount(); ++i) {
      const TEntryDescription entry = data.Describe(i);
      TEntry& item = kept.Entries.emplace_back();
      item.File = entry.FileIndex;
      item.Line = entry.Line;
      item.Marker = entry.Marker;
      item.Conditional = entry.Condition.has_value();
      if (entry.Condition) item.Reads = TagsRead(*entry.Condition);
    }
  }
  NoteKnown(character);
}

void TCoverage::NoteKnown(TCharacter& character) {
  auto where = [&](int slot, int32_t i) {
    const TSlot& kept = Slots_[static_cast<size_t>(slot)];
    const TEntry& entry = kept.Entries[static_cast<size_t>(i)];
    return kept.Files[static_cast<size_t>(entry.File)] + ":" + std::to_string(entry.Line);
  };
  const TStarvation starvation = AnalyzeStarvation(character);
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    std::vector<TEntry>& entries = Slots_[static_cast<size_t>(slot)].Entries;
    const std::vector<int32_t> copies = EarlierSamePattern(character.Slot(slot));
    for (size_t i = 0; i < entries.size(); ++i) {
      const int32_t by = starvation.StarvedBy[static_cast<size_t>(slot)][i];
      if (by >= 0) {
        const TStarver& starver = starvation.Starvers[static_cast<size_t>(by)];
        entries[i].Known =
            "behind " + where(starver.Slot, starver.Entry) + ", which always answers";
        if (starver.Slot != slot)
          entries[i].Known += ", in " + std::string(TCharacter::DataKey(starver.Slot));
      } else if (copies[i] >= 0) {
        entries[i].Known = "the same pattern as " + where(slot, copies[i]) + " in its tier";
      }
    }
  }
}

void TCoverage::Watch(TCharacter& character) {
  Seen_.clear();
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    character.Slot(slot).SetCandidateObserver([this, slot](const TAnswerList& candidates) {
      std::vector<int32_t> entries;
      candidates.AppendTo(entries);
      for (int32_t entry : entries) Seen_.emplace_back(slot, entry);
    });
  }
}

void TCoverage::Record(const TTurn& turn, bool opening) {
  for (const auto& [slot, entry] : Seen_) {
    auto& entries = Slots_[static_cast<size_t>(slot)].Entries;
    if (entry < 0 || static_cast<size_t>(entry) >= entries.size()) continue;
    ++entries[static_cast<size_t>(entry)].Matched;
    if (opening) ++entries[static_cast<size_t>(entry)].MatchedOpening;
  }
  Seen_.clear();
  if (!turn.Source) return;
  auto& entries = Slots_.at(static_cast<size_t>(turn.Source->Slot)).Entries;
  if (turn.Source->Entry >= 0 && static_cast<size_t>(turn.Source->Entry) < entries.size()) {
    ++entries[static_cast<size_t>(turn.Source->Entry)].Chosen;
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
      if (entry.Chosen > 0) ++count.Chosen;
    }
  }
  return counts;
}

// What is known first; then what the runs saw of it.
std::string TCoverage::Why(const TEntry& entry) const {
  std::string seen;
  if (entry.Matched > 0 && entry.Matched == entry.MatchedOpening) {
    seen = "only when opening: matched " + Times(entry.Matched) + " but never drawn";
  } else if (entry.Matched > 0) {
    seen = "matched " + Times(entry.Matched) + " but never drawn";
  } else if (entry.Conditional && entry.Known.empty()) {
    seen = "its condition was never true in these runs";
    if (!entry.Reads.empty()) seen += "; it reads " + entry.Reads;
  }
  if (entry.Known.empty() || seen.empty()) return entry.Known + seen;
  return entry.Known + "; " + seen;
}

std::vector<TCoverage::TNeverChosen> TCoverage::NeverChosen() const {
  std::vector<TNeverChosen> never;
  for (const TSlot& slot : Slots_) {
    for (const TEntry& entry : slot.Entries) {
      if (entry.Marker || entry.Chosen > 0) continue;
      never.push_back({slot.Files[static_cast<size_t>(entry.File)], entry.Line, Why(entry)});
    }
  }
  return never;
}

std::vector<int64_t> TCoverage::Counts() const {
  std::vector<int64_t> counts;
  for (const TSlot& slot : Slots_) {
    for (const TEntry& entry : slot.Entries) {
      counts.insert(counts.end(), {entry.Chosen, entry.Matched, entry.MatchedOpening});
    }
  }
  return counts;
}

void TCoverage::AddCounts(const std::vector<int64_t>& counts) {
  size_t at = 0;
  for (const TSlot& slot : Slots_) at += slot.Entries.size() * kCountsPerEntry;
  if (at != counts.size()) throw std::invalid_argument("coverage counts of another character");
  at = 0;
  for (TSlot& slot : Slots_) {
    for (TEntry& entry : slot.Entries) {
      entry.Chosen += counts[at++];
      entry.Matched += counts[at++];
      entry.MatchedOpening += counts[at++];
    }
  }
}

}  // namespace parlevo
