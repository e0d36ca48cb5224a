// Grouping a set's patterns by text. Callers usually hand one object per
// text (a loader's matcher cache) and repeat it, so a table keyed by object
// answers most indexes without touching the text; only an object met for the
// first time is looked up by text. Both tables are open addressing over
// plain arrays: no node per pattern.
#include "regex/distinct_patterns.h"

#include <functional>
#include <string_view>

#include "regex/rexp.h"

namespace parlevo {
namespace {

// Slots for `count` keys, at most half full.
size_t SlotsFor(size_t count) {
  size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  return slots;
}

size_t ObjectHash(const TbmRExp* pattern) {
  const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pattern));
  return static_cast<size_t>(((bits >> 4) * 0x9E3779B97F4A7C15ull) >> 29);
}

}  // namespace

void GroupDistinctPatterns(const std::vector<TbmRExp*>& patterns, std::vector<TbmRExp*>& distinct,
                           std::vector<int32_t>& distinct_of) {
  distinct_of.assign(patterns.size(), -1);
  const size_t mask = SlotsFor(patterns.size()) - 1;
  // by_object: an index whose object joined (or began) its text's group;
  // by_text: the first index of a text. -1: empty.
  std::vector<int32_t> by_object(mask + 1, -1);
  std::vector<int32_t> by_text(mask + 1, -1);
  int32_t groups = 0;
  for (size_t i = 0; i < patterns.size(); ++i) {
    TbmRExp* pattern = patterns[i];
    if (!pattern) continue;
    size_t o = ObjectHash(pattern) & mask;
    for (; by_object[o] >= 0; o = (o + 1) & mask) {
      if (patterns[static_cast<size_t>(by_object[o])] == pattern) break;
    }
    if (by_object[o] >= 0) {
      distinct_of[i] = distinct_of[static_cast<size_t>(by_object[o])];
      continue;
    }
    const std::string_view text = pattern->Pattern();
    size_t t = std::hash<std::string_view>()(text) & mask;
    for (; by_text[t] >= 0; t = (t + 1) & mask) {
      if (patterns[static_cast<size_t>(by_text[t])]->Pattern() == text) break;
    }
    if (by_text[t] < 0) {
      by_text[t] = static_cast<int32_t>(i);
      distinct_of[i] = groups++;
    } else if (const auto first = static_cast<size_t>(by_text[t]);
               patterns[first]->GetCharCode() == pattern->GetCharCode()) {
      distinct_of[i] = distinct_of[first];
    } else {
      // The text in another code: a group of its own every time, the
      // object not remembered, so that each later add is one again.
      distinct_of[i] = groups++;
      continue;
    }
    by_object[o] = static_cast<int32_t>(i);
  }
  // Groups are numbered in order of their first index: listed exactly,
  // with no growth by doubling.
  distinct = std::vector<TbmRExp*>();  // fresh: a rebuild keeps no larger storage
  distinct.reserve(static_cast<size_t>(groups));
  for (size_t i = 0; i < patterns.size(); ++i) {
    if (distinct_of[i] == static_cast<int32_t>(distinct.size())) distinct.push_back(patterns[i]);
  }
}

}  // namespace parlevo
