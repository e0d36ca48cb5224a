// Decision classes. Under each literal the waiting patterns are sorted by
// what decides them, so that equal keys stand together (a class) and
// classes sharing the check of the bytes around the hit stand together too
// (what `skip` jumps over when that check fails).
#include "regex/set_owners.h"

#include <algorithm>
#include <tuple>

namespace parlevo {
namespace {

using Waiting = TbmRESetOwners::Waiting;

// What a candidate kind's hit does depends on nothing but the kind.
void Normalise(Waiting& w) {
  if (DecidedAtHit(w.kind)) return;
  w.head = w.tail = w.follows = false;
  w.follow_key = w.other_key = 0;
}

// The check of the bytes around a hit that classes may share: whether it
// is made, what follows, the tail (after the follow, but for digits after
// the hit, whose tail comes after them).
auto LocalKey(const Waiting& w) {
  const bool decided = DecidedAtHit(w.kind);
  return std::make_tuple(w.literal, decided, w.follow_key, w.tail,
                         w.kind == TbmRESetOwnerKind::kDigitAfter);
}

auto ClassKey(const Waiting& w) {
  return std::tuple_cat(LocalKey(w), std::make_tuple(w.kind, w.head, w.follows, w.other_key));
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
  class_begin_.assign(num_literals + 1, 0);
  classes_.clear();
  patterns_.clear();
  patterns_.reserve(waiting.size());
  for (size_t k = 0; k < waiting.size(); ++k) {
    const Waiting& w = waiting[k];
    if (k == 0 || ClassKey(waiting[k - 1]) != ClassKey(w)) {
      classes_.push_back(
          {static_cast<uint32_t>(patterns_.size()), 1, w.kind, w.head, w.tail, w.follows});
      ++class_begin_[static_cast<size_t>(w.literal) + 1];
    }
    patterns_.push_back(w.pattern);
  }
  for (size_t id = 1; id < class_begin_.size(); ++id) class_begin_[id] += class_begin_[id - 1];
  // Skips, from the back: a class shares the local check of the one after
  // it when both have the same local key.
  std::vector<bool> same_as_next(classes_.size(), false);
  {
    size_t c = 0;
    for (size_t k = 0; k < waiting.size(); ++k) {
      if (k + 1 < waiting.size() && ClassKey(waiting[k]) != ClassKey(waiting[k + 1])) {
        same_as_next[c] = LocalKey(waiting[k]) == LocalKey(waiting[k + 1]);
        ++c;
      }
    }
  }
  for (size_t c = classes_.size(); c-- > 0;) {
    if (same_as_next[c] && classes_[c + 1].skip < UINT16_MAX) {
      classes_[c].skip = static_cast<uint16_t>(classes_[c + 1].skip + 1);
    }
  }
  classes_.push_back(
      {static_cast<uint32_t>(patterns_.size()), 1, TbmRESetOwnerKind::kExact, false, false, false});
  classes_.shrink_to_fit();
  patterns_.shrink_to_fit();
}

size_t TbmRESetOwners::MemoryBytes() const {
  return class_begin_.capacity() * sizeof(uint32_t) + classes_.capacity() * sizeof(TbmRESetClass) +
         patterns_.capacity() * sizeof(int32_t);
}

}  // namespace parlevo
