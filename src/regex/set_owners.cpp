// Decision classes. Under each literal the waiting patterns are sorted by
// what decides them, so that equal keys stand together (a class), and
// classes sharing the check of the bytes around the hit stand together too
// (a group).
#include "regex/set_owners.h"

#include <algorithm>
#include <tuple>

namespace parlevo {
namespace {

using Waiting = TbmRESetOwners::Waiting;

// What a candidate kind's hit does depends on nothing but the kind.
void Normalise(Waiting& w) {
  if (DecidedAtHit(w.kind)) return;
  w.head = w.tail = false;
  w.follow = w.other = 0;
}

// The check of the bytes around a hit that classes may share: whether it
// is made, what follows, the tail (after the follow, but for digits after
// the hit, whose tail comes after them).
auto GroupKey(const Waiting& w) {
  return std::make_tuple(w.literal, DecidedAtHit(w.kind), w.follow, w.tail,
                         w.kind == TbmRESetOwnerKind::kDigitAfter);
}

auto ClassKey(const Waiting& w) {
  return std::tuple_cat(GroupKey(w), std::make_tuple(w.kind, w.head, w.other));
}

}  // namespace

void TbmRESetOwners::Clear() { *this = TbmRESetOwners(); }

void TbmRESetOwners::Build(std::vector<Waiting>& waiting, size_t num_literals) {
  for (Waiting& w : waiting) Normalise(w);
  std::sort(waiting.begin(), waiting.end(), [](const Waiting& a, const Waiting& b) {
    const auto ka = ClassKey(a), kb = ClassKey(b);
    return ka != kb ? ka < kb : a.pattern < b.pattern;
  });
  // A pattern listed twice under one literal (two strings cut to one) once.
  waiting.erase(std::unique(waiting.begin(), waiting.end(),
                            [](const Waiting& a, const Waiting& b) {
                              return a.pattern == b.pattern && ClassKey(a) == ClassKey(b);
                            }),
                waiting.end());
  group_begin_.assign(num_literals + 1, 0);
  groups_.clear();
  classes_.clear();
  patterns_.clear();
  patterns_.reserve(waiting.size());
  for (size_t k = 0; k < waiting.size(); ++k) {
    const Waiting& w = waiting[k];
    const bool new_group = k == 0 || GroupKey(waiting[k - 1]) != GroupKey(w);
    if (new_group) {
      groups_.push_back({static_cast<uint32_t>(classes_.size()), w.follow, DecidedAtHit(w.kind),
                         w.tail, w.kind == TbmRESetOwnerKind::kDigitAfter});
      ++group_begin_[static_cast<size_t>(w.literal) + 1];
    }
    if (new_group || ClassKey(waiting[k - 1]) != ClassKey(w)) {
      classes_.push_back(
          {static_cast<uint32_t>(patterns_.size()), w.other, w.kind, w.head, w.tail});
    }
    patterns_.push_back(w.pattern);
  }
  for (size_t id = 1; id < group_begin_.size(); ++id) group_begin_[id] += group_begin_[id - 1];
  groups_.push_back({static_cast<uint32_t>(classes_.size()), 0, false, false, false});
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
