// Decision classes. Under each literal the waiting patterns are sorted by
// what decides them, so that equal keys stand together (a class), and
// classes sharing the check of the bytes around the hit stand together too
// (a group). Literals with the same waiting patterns share one run of
// groups. Every table is counted first and allocated once, and nothing is
// held per (literal, pattern) pair but the pattern lists being sorted.
#include "regex/set_owners.h"

#include <algorithm>
#include <map>
#include <span>
#include <tuple>
#include <utility>

namespace parlevo {
namespace {

using Waiting = TbmRESetOwners::Waiting;

constexpr uint32_t kNoRun = UINT32_MAX;

// What a candidate kind's hit does depends on nothing but the kind.
void Normalise(Waiting& w) {
  if (DecidedAtHit(w.kind)) return;
  w.head = w.tail = false;
  w.follow = w.other = 0;
  w.lead = 0;
}

// The check of the bytes around a hit that classes may share: whether it
// is made, what follows, the tail (after the follow, but for digits after
// the hit, whose tail comes after them). Then the rest of a class's key.
// Neither holds the literal: both are the same for every literal of a
// pattern.
auto GroupKey(const Waiting& w) {
  return std::make_tuple(DecidedAtHit(w.kind), w.follow, w.tail,
                         w.kind == TbmRESetOwnerKind::kDigitAfter);
}

auto ClassKey(const Waiting& w) { return std::make_tuple(w.kind, w.head, w.other); }

// Per waiting pattern, the rank of its (group key, class key) ids, the ids
// given in order of first appearance; per rank, its group key's id. Sorting
// a literal's patterns by rank, then pattern, puts its groups, a group's
// classes and a class's patterns together.
void Ranks(const std::vector<Waiting>& waiting, std::vector<uint32_t>& rank,
           std::vector<uint32_t>& group_of_rank) {
  std::map<decltype(GroupKey(waiting[0])), uint32_t> group_ids;
  std::map<decltype(ClassKey(waiting[0])), uint32_t> class_ids;
  auto type = [&](const Waiting& w) {
    const uint64_t group =
        group_ids.try_emplace(GroupKey(w), uint32_t(group_ids.size())).first->second;
    const uint64_t cls =
        class_ids.try_emplace(ClassKey(w), uint32_t(class_ids.size())).first->second;
    return group << 32 | cls;
  };
  std::map<uint64_t, uint32_t> ranks;  // few: the kinds of keys, not the patterns
  for (const Waiting& w : waiting) ranks.emplace(type(w), 0);
  group_of_rank.clear();
  for (auto& [t, r] : ranks) {
    r = static_cast<uint32_t>(group_of_rank.size());
    group_of_rank.push_back(static_cast<uint32_t>(t >> 32));
  }
  rank.resize(waiting.size());
  for (size_t k = 0; k < waiting.size(); ++k) rank[k] = ranks.find(type(waiting[k]))->second;
}

// The waiting patterns (indexes in `waiting`) of every literal, back to back
// in literal order; at[id] ends literal id's.
void Bucket(const std::vector<Waiting>& waiting, std::span<const int32_t> ids,
            std::vector<uint32_t>& at, std::vector<uint32_t>& listed) {
  for (const Waiting& w : waiting) {
    for (uint32_t k = w.from; k < w.to; ++k) ++at[static_cast<size_t>(ids[k])];
  }
  uint32_t sum = 0;
  for (uint32_t& a : at) sum += std::exchange(a, sum);
  listed.resize(sum);
  for (uint32_t k = 0; k < waiting.size(); ++k) {
    for (uint32_t j = waiting[k].from; j < waiting[k].to; ++j) {
      listed[at[static_cast<size_t>(ids[j])]++] = k;
    }
  }
}

size_t SlotsFor(size_t count) {
  size_t slots = 16;
  while (slots < 2 * count) slots *= 2;
  return slots;
}

size_t HashOf(std::span<const uint32_t> list) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ list.size();
  for (uint32_t v : list) h = (h ^ v) * 0x100000001B3ull;
  return static_cast<size_t>(h ^ (h >> 31));
}

// Sorts each literal's patterns (a pattern listed twice under it, two
// strings cut to one, once) and keeps each distinct list once: `listed`
// shrinks to the distinct lists back to back (list r ends at run_end[r]),
// and at[id] becomes the list of literal id (kNoRun: none waits for it).
void Runs(const std::vector<Waiting>& waiting, const std::vector<uint32_t>& rank,
          std::vector<uint32_t>& at, std::vector<uint32_t>& listed,
          std::vector<uint32_t>& run_end) {
  size_t lists = 0;
  for (size_t id = 0, in = 0; id < at.size(); in = at[id++]) lists += at[id] != in;
  run_end.reserve(lists);
  std::vector<uint32_t> slots(SlotsFor(lists), kNoRun);
  const size_t mask = slots.size() - 1;
  auto before = [&](uint32_t a, uint32_t b) {
    return rank[a] != rank[b] ? rank[a] < rank[b] : waiting[a].pattern < waiting[b].pattern;
  };
  auto run = [&](uint32_t r) {
    const uint32_t begin = r == 0 ? 0 : run_end[r - 1];
    return std::span<const uint32_t>(listed.data() + begin, run_end[r] - begin);
  };
  uint32_t in = 0, out = 0;  // the next list read, and the end of those kept
  for (uint32_t& a : at) {
    const uint32_t end = std::exchange(a, kNoRun);
    if (end == in) continue;
    std::sort(listed.begin() + in, listed.begin() + end, before);
    uint32_t kept = out;
    for (uint32_t k = in; k < end; ++k) {
      if (kept == out || listed[kept - 1] != listed[k]) listed[kept++] = listed[k];
    }
    in = end;
    const std::span<const uint32_t> list(listed.data() + out, kept - out);
    size_t i = HashOf(list) & mask;
    for (; slots[i] != kNoRun; i = (i + 1) & mask) {
      const auto other = run(slots[i]);
      if (std::equal(other.begin(), other.end(), list.begin(), list.end())) break;
    }
    if (slots[i] == kNoRun) {
      slots[i] = static_cast<uint32_t>(run_end.size());
      run_end.push_back(kept);
      out = kept;
    }
    a = slots[i];
  }
  listed.resize(out);
}

}  // namespace

void TbmRESetOwners::Clear() { *this = TbmRESetOwners(); }

void TbmRESetOwners::Build(std::vector<Waiting>& waiting, std::span<const int32_t> ids,
                           size_t num_literals) {
  for (Waiting& w : waiting) Normalise(w);
  std::vector<uint32_t> rank, group_of_rank;
  if (!waiting.empty()) Ranks(waiting, rank, group_of_rank);
  std::vector<uint32_t> at(num_literals, 0), listed, run_end;
  Bucket(waiting, ids, at, listed);
  Runs(waiting, rank, at, listed, run_end);
  LayOutRuns(waiting, rank, group_of_rank, listed, run_end);
  for (uint32_t& a : at) a = a == kNoRun ? 0 : run_end[a];
  group_begin_ = std::move(at);
}

void TbmRESetOwners::LayOutRuns(const std::vector<Waiting>& waiting, std::span<const uint32_t> rank,
                                std::span<const uint32_t> group_of_rank,
                                std::vector<uint32_t>& listed, std::vector<uint32_t>& run_end) {
  auto group_of = [&](uint32_t k) { return group_of_rank[rank[listed[k]]]; };
  // Counted first, so that each table is allocated once at its size.
  size_t num_groups = 0, num_classes = 0;
  for (uint32_t r = 0, begin = 0; r < run_end.size(); begin = run_end[r++]) {
    for (uint32_t k = begin; k < run_end[r]; ++k) {
      num_groups += k == begin || group_of(k) != group_of(k - 1);
      num_classes += k == begin || rank[listed[k]] != rank[listed[k - 1]];
    }
  }
  groups_ = {};
  classes_ = {};
  patterns_ = {};
  groups_.reserve(num_groups + 2);
  classes_.reserve(num_classes + 1);
  patterns_.reserve(listed.size());
  groups_.push_back({0, 0, 0, false, false, false, true});  // of no class
  // Each run's first group replaces its end.
  for (uint32_t r = 0, begin = 0; r < run_end.size(); ++r) {
    const uint32_t end = std::exchange(run_end[r], static_cast<uint32_t>(groups_.size()));
    for (uint32_t k = begin; k < end; ++k) {
      const Waiting& w = waiting[listed[k]];
      const bool new_group = k == begin || group_of(k) != group_of(k - 1);
      if (new_group) {
        groups_.push_back({static_cast<uint32_t>(classes_.size()), w.follow, w.lead,
                           DecidedAtHit(w.kind), w.tail, w.kind == TbmRESetOwnerKind::kDigitAfter,
                           false});
      }
      if (new_group || rank[listed[k]] != rank[listed[k - 1]]) {
        classes_.push_back(
            {static_cast<uint32_t>(patterns_.size()), w.other, w.kind, w.head, w.tail});
      }
      patterns_.push_back(w.pattern);
    }
    groups_.back().last = true;
    begin = end;
  }
  groups_.push_back({static_cast<uint32_t>(classes_.size()), 0, 0, false, false, false, true});
  classes_.push_back(
      {static_cast<uint32_t>(patterns_.size()), 0, TbmRESetOwnerKind::kExact, false, false});
}

size_t TbmRESetOwners::MemoryBytes() const {
  return group_begin_.capacity() * sizeof(uint32_t) + groups_.capacity() * sizeof(TbmRESetGroup) +
         classes_.capacity() * sizeof(TbmRESetClass) + patterns_.capacity() * sizeof(int32_t);
}

}  // namespace parlevo
