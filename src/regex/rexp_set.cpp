// The set matcher.
//
// Building analyses every pattern (set_literals): the strings one of which
// each match must contain go into one multi-literal search (literal_search),
// each string remembering the patterns that wait for it. Finding scans the
// text once; a hit of an exact literal pattern on a character boundary (and
// at a line head or tail when the pattern anchors it) is a match outright; a
// hit of any other pattern (of both its string sets, when it has two) makes
// it a candidate, verified afterwards by its own automaton (set_verify), as
// are the few patterns with no required string. Each pattern is decided at
// most once per text.
//
// Personalities repeat a pattern for several answers, so all of this works
// on distinct patterns (one per pattern text); the found ones are spread to
// their indexes at the end.
#include "regex/rexp_set.h"

#include <algorithm>
#include <unordered_map>

#include "regex/char_boundaries.h"
#include "regex/rexp.h"
#include "regex/set_literals.h"
#include "regex/set_verify.h"

namespace parlevo {

TbmRExpSet::TbmRExpSet(TbmCharCode code) : code_(code), is_lead_(bmccLeadByteTable(code)) {}

int32_t TbmRExpSet::Add(TbmRExp* pattern) {
  patterns_.push_back(pattern);
  built_ = false;
  return size() - 1;
}

void TbmRExpSet::GroupDistinct() {
  distinct_.clear();
  std::vector<int32_t> distinct_of(patterns_.size(), -1);
  std::unordered_map<std::string_view, int32_t> by_text;
  by_text.reserve(patterns_.size());
  for (size_t i = 0; i < patterns_.size(); ++i) {
    TbmRExp* pattern = patterns_[i];
    if (!pattern) continue;
    auto [it, added] =
        by_text.try_emplace(pattern->Pattern(), static_cast<int32_t>(distinct_.size()));
    if (!added &&
        distinct_[static_cast<size_t>(it->second)]->GetCharCode() == pattern->GetCharCode()) {
      distinct_of[i] = it->second;
      continue;
    }
    distinct_of[i] =
        static_cast<int32_t>(distinct_.size());  // new (or the same text in another code)
    distinct_.push_back(pattern);
  }
  index_begin_.assign(distinct_.size() + 1, 0);
  for (int32_t d : distinct_of) {
    if (d >= 0) ++index_begin_[static_cast<size_t>(d) + 1];
  }
  for (size_t d = 1; d < index_begin_.size(); ++d) index_begin_[d] += index_begin_[d - 1];
  indexes_.resize(index_begin_.back());
  std::vector<uint32_t> next(index_begin_.begin(), index_begin_.end() - 1);
  for (size_t i = 0; i < distinct_of.size(); ++i) {
    if (distinct_of[i] >= 0)
      indexes_[next[static_cast<size_t>(distinct_of[i])]++] = static_cast<int32_t>(i);
  }
}

void TbmRExpSet::Build() {
  GroupDistinct();
  literals_.Clear();
  ask_always_.clear();
  std::vector<std::pair<int32_t, Owner>> waiting;  // (literal id, owner)
  for (int32_t i = 0; i < static_cast<int32_t>(distinct_.size()); ++i) {
    TbmRExp* pattern = distinct_[static_cast<size_t>(i)];
    TbmRESetLiterals analysis = AnalyzeForSet(*pattern, code_);
    switch (analysis.kind) {
      case TbmRESetLiterals::Kind::kNever:
        break;
      case TbmRESetLiterals::Kind::kAskAlways:
        ask_always_.push_back(i);
        break;
      case TbmRESetLiterals::Kind::kLiterals: {
        const bool two = !analysis.also.empty();
        for (const auto& s : analysis.strings) {
          waiting.push_back({literals_.Add(s), Owner{i, analysis.exact, analysis.head,
                                                     analysis.tail, uint8_t(two ? 1 : 3)}});
        }
        for (const auto& s : analysis.also) {
          waiting.push_back({literals_.Add(s), Owner{i, false, false, false, 2}});
        }
        break;
      }
    }
  }
  literals_.Build();
  // Owners grouped by literal, in pattern order within each literal.
  std::stable_sort(waiting.begin(), waiting.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  owner_begin_.assign(static_cast<size_t>(literals_.NumLiterals()) + 1, 0);
  owners_.clear();
  owners_.reserve(waiting.size());
  for (const auto& [id, owner] : waiting) {
    ++owner_begin_[static_cast<size_t>(id) + 1];
    owners_.push_back(owner);
  }
  for (size_t k = 1; k < owner_begin_.size(); ++k) owner_begin_[k] += owner_begin_[k - 1];
  decided_.assign(distinct_.size(), 0);
  seen_stamp_.assign(distinct_.size(), 0);
  seen_groups_.assign(distinct_.size(), 0);
  stamp_ = 0;
  built_ = true;
}

void TbmRExpSet::Find(std::string_view text, std::vector<int32_t>& found) {
  if (code_ == bmccUniCode) {  // rare, and its texts come in 16-bit units: ask each
    FindEach(text, found);
    return;
  }
  FindDistinct(text);
  found.clear();
  ListIndexes(found);
}

const std::vector<int32_t>& TbmRExpSet::FindDistinct(std::string_view text) {
  if (!built_) Build();
  found_distinct_.clear();
  candidates_.clear();
  if (++stamp_ == 0) {  // the stamps went round: forget them all
    std::fill(decided_.begin(), decided_.end(), 0);
    std::fill(seen_stamp_.begin(), seen_stamp_.end(), 0);
    stamp_ = 1;
  }
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  TbmRECharBoundaries boundaries(t, text.size(), is_lead_, boundary_marks_);
  literals_.Scan(text, [&](int32_t id, size_t end) {
    const size_t start = end - static_cast<size_t>(literals_.Length(id));
    const Owner* o = owners_.data() + owner_begin_[static_cast<size_t>(id)];
    const Owner* last = owners_.data() + owner_begin_[static_cast<size_t>(id) + 1];
    for (; o != last; ++o) {
      uint32_t& decided = decided_[static_cast<size_t>(o->pattern)];
      if (decided == stamp_) continue;
      if (!o->exact) {
        if (!SeenBoth(o->pattern, o->group)) continue;
        decided = stamp_;
        candidates_.push_back(o->pattern);
      } else if (boundaries.Starts(start) &&
                 (!o->head || AtLineHead(t, text.size(), start, boundaries)) &&
                 (!o->tail || AtLineTail(t, text.size(), end))) {
        decided = stamp_;  // an exact literal on a boundary (and at its anchors): found
        found_distinct_.push_back(o->pattern);
      }  // else not here: a later hit may still count
    }
  });
  for (int32_t i : candidates_) {
    if (VerifyCandidate(*distinct_[static_cast<size_t>(i)], text)) found_distinct_.push_back(i);
  }
  for (int32_t i : ask_always_) {
    if (VerifyCandidate(*distinct_[static_cast<size_t>(i)], text)) found_distinct_.push_back(i);
  }
  return found_distinct_;
}

void TbmRExpSet::ListIndexes(std::vector<int32_t>& found) {
  // Each pattern's indexes are ascending already: a few lists are merged
  // one into the other, many short ones sorted at the end.
  const bool merge = found_distinct_.size() <= kMaxMergedLists;
  bool sorted = true;
  for (int32_t d : found_distinct_) {
    const auto first = indexes_.begin() + index_begin_[static_cast<size_t>(d)];
    const auto last = indexes_.begin() + index_begin_[static_cast<size_t>(d) + 1];
    if (found.empty() || found.back() < *first) {
      found.insert(found.end(), first, last);
    } else if (merge) {
      merged_.resize(found.size() + static_cast<size_t>(last - first));
      std::merge(found.begin(), found.end(), first, last, merged_.begin());
      found.swap(merged_);
    } else {
      found.insert(found.end(), first, last);
      sorted = false;
    }
  }
  if (!sorted) std::sort(found.begin(), found.end());
}

bool TbmRExpSet::SeenBoth(int32_t pattern, uint8_t group) {
  if (group == 3) return true;
  const auto p = static_cast<size_t>(pattern);
  if (seen_stamp_[p] != stamp_) {
    seen_stamp_[p] = stamp_;
    seen_groups_[p] = 0;
  }
  seen_groups_[p] = static_cast<uint8_t>(seen_groups_[p] | group);
  return seen_groups_[p] == 3;
}

void TbmRExpSet::FindEach(std::string_view text, std::vector<int32_t>& found) const {
  found.clear();
  TbmRESameText same(text);  // every pattern is asked about this one text
  for (int32_t i = 0; i < size(); ++i) {
    TbmRExp* pattern = patterns_[static_cast<size_t>(i)];
    if (!pattern) continue;
    try {
      if (pattern->Found(text)) found.push_back(i);
    } catch (const EbmREToken&) {
      // a malformed pattern never matches
    }
  }
}

size_t TbmRExpSet::MemoryBytes() const {
  return literals_.MemoryBytes() + owner_begin_.capacity() * sizeof(uint32_t) +
         owners_.capacity() * sizeof(Owner) + ask_always_.capacity() * sizeof(int32_t) +
         (decided_.capacity() + seen_stamp_.capacity()) * sizeof(uint32_t) +
         seen_groups_.capacity() +
         (patterns_.capacity() + distinct_.capacity()) * sizeof(TbmRExp*) +
         index_begin_.capacity() * sizeof(uint32_t) + indexes_.capacity() * sizeof(int32_t);
}

}  // namespace parlevo
