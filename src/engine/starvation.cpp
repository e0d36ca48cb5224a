// The starvation analysis: one pass over the objects in talk order, tier by
// tier, carrying the entry (if any) that keeps the rest of its object, and
// then every later object, from being heard.
#include "engine/starvation.h"

#include <string_view>

#include "data/text_helpers.h"
#include "engine/constant_condition.h"
#include "platform/codepage.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

// Inputs unlike each other: a pattern found in all of them is taken to be
// found in any input (it matches the empty text, or is empty).
constexpr std::string_view kProbes[] = {"", "X", "{NOTHINGSAID}", "\x82\xa0\x82\xa2", "1 2"};

bool FoundInAnything(TbmRExp* matcher) {
  if (matcher == nullptr) return true;  // the kind has no such pattern
  try {
    for (std::string_view probe : kProbes) {
      if (!matcher->Found(probe)) return false;
    }
    return true;
  } catch (const EbmREToken&) {
    return false;
  }
}

// `which`: "" or the pattern's role and a blank ("context ").
std::string PatternWhy(const TbmRExp& matcher, std::string_view which = "") {
  const std::string pattern = "its " + std::string(which) + "pattern ";
  if (matcher.Pattern().empty()) return pattern + "is empty";
  return pattern + "\"" + std::string(matcher.Pattern()) + "\" matches the empty text";
}

std::optional<std::string> ConditionAlwaysTrue(std::string_view condition) {
  const std::u16string text = platform::AnsiToWide(condition);
  if (text.find_first_of(u"{}") == std::u16string::npos) {
    if (NormalizeText(text) == u"TRUE") return "its condition is True as written";
    return std::nullopt;
  }
  const std::optional<TConstantTruth> constant = ConstantTruth(text);
  if (!constant || !constant->Value) return std::nullopt;
  return "its condition " + std::string(condition) + " is always True: " + constant->Why;
}

// The running state of the pass: the starver (index into the result's
// list) of the rest of the current object and of every object after it.
struct TPass {
  TStarvation Result;
  int32_t LaterObjects = -1;
};

// Entry `i` of `slot` is starved by starver `by`: counted in its group.
void Starve(TPass& pass, int slot, int32_t i, int32_t tier, int32_t by) {
  pass.Result.StarvedBy[static_cast<size_t>(slot)][static_cast<size_t>(i)] = by;
  std::vector<TStarvedGroup>& groups = pass.Result.Starvers[static_cast<size_t>(by)].Starved;
  if (groups.empty() || groups.back().Slot != slot) groups.push_back({slot, tier, 0, i});
  ++groups.back().Entries;
}

// One object, tier by tier.
void Pass(TPass& pass, const TLumoData& data, int slot) {
  pass.Result.StarvedBy[static_cast<size_t>(slot)].assign(static_cast<size_t>(data.EntryCount()),
                                                          -1);
  int32_t rest_of_object = pass.LaterObjects;
  bool passes_on = false;  // an answer drawn so far may be empty
  for (int32_t tier = 1; tier <= data.TierCount(); ++tier) {
    const auto [begin, end] = data.TierBounds(tier);
    if (rest_of_object >= 0) {
      const int32_t group_tier = rest_of_object == pass.LaterObjects ? 0 : tier;
      for (int32_t i = begin; i < end; ++i) Starve(pass, slot, i, group_tier, rest_of_object);
      continue;
    }
    std::optional<TStarver> found;
    for (int32_t i = begin; i < end; ++i) {
      const TEntryDescription entry = data.Describe(i);
      passes_on = passes_on || entry.Answer.empty();
      if (found || data.UseOnce()) continue;
      if (std::optional<std::string> why = AnswersEverything(entry)) {
        found = TStarver{slot, i, std::string(entry.File), entry.Line, std::move(*why), {}};
      }
    }
    if (!found) continue;
    rest_of_object = static_cast<int32_t>(pass.Result.Starvers.size());
    pass.Result.Starvers.push_back(std::move(*found));
  }
  // Free talk is drawn between its two objects, so neither silences the other.
  if (rest_of_object >= 0 && !passes_on && slot < TCharacter::kFirstFreeTalk &&
      pass.LaterObjects < 0) {
    pass.LaterObjects = rest_of_object;
  }
}

// Keeps the starvers that starve something, renumbering StarvedBy.
void DropIdleStarvers(TStarvation& result) {
  std::vector<int32_t> renumbered(result.Starvers.size(), -1);
  std::vector<TStarver> kept;
  for (size_t i = 0; i < result.Starvers.size(); ++i) {
    if (result.Starvers[i].Starved.empty()) continue;
    renumbered[i] = static_cast<int32_t>(kept.size());
    kept.push_back(std::move(result.Starvers[i]));
  }
  result.Starvers = std::move(kept);
  for (std::vector<int32_t>& slot : result.StarvedBy) {
    for (int32_t& by : slot) {
      if (by >= 0) by = renumbered[static_cast<size_t>(by)];
    }
  }
}

}  // namespace

std::optional<std::string> AnswersEverything(const TEntryDescription& entry) {
  if (entry.Marker || entry.Broken) return std::nullopt;
  switch (entry.Kind) {
    case TLumoKind::k0:
      return entry.Condition ? ConditionAlwaysTrue(*entry.Condition) : std::nullopt;
    case TLumoKind::kC:
      return "free talk answers anything";
    default:
      break;
  }
  if (!FoundInAnything(entry.ContextPattern) || !FoundInAnything(entry.InputPattern)) {
    return std::nullopt;
  }
  if (entry.Kind == TLumoKind::kA && entry.ContextPattern && entry.InputPattern) {
    return PatternWhy(*entry.ContextPattern, "context ") + " and " +
           PatternWhy(*entry.InputPattern, "input ");
  }
  return entry.InputPattern ? PatternWhy(*entry.InputPattern) : std::string("it has no pattern");
}

TStarvation AnalyzeStarvation(const TCharacter& character) {
  TPass pass;
  for (int slot = 0; slot < TCharacter::kSlotCount; ++slot) {
    Pass(pass, character.Slot(slot), slot);
  }
  DropIdleStarvers(pass.Result);
  return pass.Result;
}

}  // namespace parlevo
