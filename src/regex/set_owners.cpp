// Decision classes. Under each literal the waiting patterns are sorted by
// what decides them, so that equal keys stand together (a class), and
// classes sharing the check of the bytes around the hit stand together too
// (a group).
#include "regex/set_owners.h"

#include <algorithm>
#include <compare>
#include <map>
#include <tuple>

namespace parlevo {
namespace {

using Waiting = TbmRESetOwners::Waiting;

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

// A waiting pattern's place in the layout: literal and group key's id, then
// class key's id and pattern, so that sorting by them puts a literal's
// groups, a group's classes and a class's patterns together.
struct Place {
  uint64_t literal_group, class_pattern;
  uint32_t index;  // in `waiting`
  auto operator<=>(const Place& other) const = default;
};

// The places of every waiting pattern; the keys of each pattern are given
// ids once (they are the same under each of its literals).
std::vector<Place> Places(const std::vector<Waiting>& waiting) {
  std::map<decltype(GroupKey(waiting[0])), uint32_t> group_ids;
  std::map<decltype(ClassKey(waiting[0])), uint32_t> class_ids;
  int32_t patterns = 0;
  for (const Waiting& w : waiting) patterns = std::max(patterns, w.pattern + 1);
  constexpr uint64_t kNotYet = UINT64_MAX;
  std::vector<uint64_t> ids_of(static_cast<size_t>(patterns), kNotYet);  // group << 32 | class
  std::vector<Place> places;
  places.reserve(waiting.size());
  for (size_t k = 0; k < waiting.size(); ++k) {
    const Waiting& w = waiting[k];
    uint64_t& ids = ids_of[static_cast<size_t>(w.pattern)];
    if (ids == kNotYet) {
      const uint64_t group =
          group_ids.try_emplace(GroupKey(w), uint32_t(group_ids.size())).first->second;
      const uint64_t cls =
          class_ids.try_emplace(ClassKey(w), uint32_t(class_ids.size())).first->second;
      ids = group << 32 | cls;
    }
    places.push_back({uint64_t{static_cast<uint32_t>(w.literal)} << 32 | ids >> 32,
                      (ids & UINT32_MAX) << 32 | static_cast<uint32_t>(w.pattern),
                      static_cast<uint32_t>(k)});
  }
  std::sort(places.begin(), places.end());
  return places;
}

}  // namespace

void TbmRESetOwners::Clear() { *this = TbmRESetOwners(); }

void TbmRESetOwners::Build(std::vector<Waiting>& waiting, size_t num_literals) {
  for (Waiting& w : waiting) Normalise(w);
  const std::vector<Place> places = waiting.empty() ? std::vector<Place>() : Places(waiting);
  group_begin_.assign(num_literals + 1, 0);
  groups_.clear();
  classes_.clear();
  patterns_.clear();
  patterns_.reserve(waiting.size());
  for (size_t k = 0; k < places.size(); ++k) {
    const Waiting& w = waiting[places[k].index];
    const bool new_group = k == 0 || places[k - 1].literal_group != places[k].literal_group;
    const bool new_class =
        new_group || places[k - 1].class_pattern >> 32 != places[k].class_pattern >> 32;
    // A pattern listed twice under one literal (two strings cut to one) once.
    if (!new_class && places[k - 1].class_pattern == places[k].class_pattern) continue;
    if (new_group) {
      groups_.push_back({static_cast<uint32_t>(classes_.size()), w.follow, w.lead,
                         DecidedAtHit(w.kind), w.tail, w.kind == TbmRESetOwnerKind::kDigitAfter});
      ++group_begin_[static_cast<size_t>(w.literal) + 1];
    }
    if (new_class) {
      classes_.push_back(
          {static_cast<uint32_t>(patterns_.size()), w.other, w.kind, w.head, w.tail});
    }
    patterns_.push_back(w.pattern);
  }
  for (size_t id = 1; id < group_begin_.size(); ++id) group_begin_[id] += group_begin_[id - 1];
  groups_.push_back({static_cast<uint32_t>(classes_.size()), 0, 0, false, false, false});
  classes_.push_back(
      {static_cast<uint32_t>(patterns_.size()), 0, TbmRESetOwnerKind::kExact, false, false});
  groups_.shrink_to_fit();
  classes_.shrink_to_fit();
  patterns_.shrink_to_fit();
}

size_t TbmRESetOwners::MemoryBytes() const {
  return group_begin_.capacity() * sizeof(uint32_t) + groups_.capacity() * sizeof(TbmRESetGroup) +
         classes_.capacity() * sizeof(TbmRESetClass) + patterns_.capacity() * sizeof(int32_t);
}

}  // namespace parlevo
