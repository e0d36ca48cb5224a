// Repeated patterns within a tier, found by the patterns' text as folded (the
// form the matchers hold, so "ａ" and "A" repeat each other).
#include "data/repeated_patterns.h"

#include <map>
#include <string>

#include "data/lumo_data.h"
#include "regex/rexp.h"

namespace parlevo {
namespace {

// The patterns of an entry as one text; "" for one without patterns or with
// one that does not compile.
std::string PatternKey(const TEntryDescription& entry) {
  if (entry.Broken || entry.Marker) return std::string();
  std::string key;
  if (entry.ContextPattern) (key = entry.ContextPattern->Pattern()) += '\0';
  if (entry.InputPattern) (key += '\1') += entry.InputPattern->Pattern();
  return key;
}

}  // namespace

std::vector<int32_t> EarlierSamePattern(const TLumoData& data) {
  std::vector<int32_t> earlier(static_cast<size_t>(data.EntryCount()), -1);
  for (int32_t tier = 1; tier <= data.TierCount(); ++tier) {
    const auto [begin, end] = data.TierBounds(tier);
    std::map<std::string, int32_t> first;
    for (int32_t i = begin; i < end; ++i) {
      std::string key = PatternKey(data.Describe(i));
      if (key.empty()) continue;
      const auto [it, added] = first.emplace(std::move(key), i);
      if (!added) earlier[static_cast<size_t>(i)] = it->second;
    }
  }
  return earlier;
}

}  // namespace parlevo
