// Subset construction. A state is a set of leaves (positions); for each state
// the leaves' class intervals are swept in class order, and on each stretch of
// classes covered by the same leaves the target is the union of their follow
// sets. Targets are looked up in a hash map of the sets seen so far. A state
// accepts when it holds the end marker, and may end a match at a line break
// or the end of the text when it holds the line-tail leaf.
#include "regex/automaton.h"

#include <algorithm>
#include <bit>

#include "regex/set_interner.h"
#include "regex/token.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

// Refuses the pattern like a malformed one; the end token stands for it.
[[noreturn]] void RefuseTooLarge() {
  throw EbmREToken(TbmREToken{tkErrInvalidChar, -1, -1, 0, 0}, "automaton too large");
}

}  // namespace

int32_t TbmREState::NextState(int32_t c) const {
  for (const auto& t : Transitions) {
    if (c < t.Lo) return kNoState;
    if (c <= t.Hi) return t.Target;
  }
  return kNoState;
}

void TbmREDFATable::ClearStates() {
  classes_.clear();
  class_lows_.clear();
  next_.clear();
  flags_.clear();
  width_ = 1;
  num_states_ = 0;
  head_ = kNoState;
  HasLineHead = HasLineTail = false;
  std::fill(std::begin(byte_class_), std::end(byte_class_), 0);
}

int32_t TbmREDFATable::WideClassOf(int32_t c) const {
  auto it = std::upper_bound(class_lows_.begin(), class_lows_.end(), c);
  if (it == class_lows_.begin()) return OtherClass();
  size_t i = static_cast<size_t>(it - class_lows_.begin()) - 1;
  return c <= classes_[i].Hi ? static_cast<int32_t>(i) : OtherClass();
}

int32_t TbmREDFATable::UniformClass(int32_t lo, int32_t hi) const {
  int32_t cls = WideClassOf(lo);
  if (cls != OtherClass()) return classes_[cls].Hi >= hi ? cls : -1;
  auto it = std::upper_bound(class_lows_.begin(), class_lows_.end(), lo);
  return (it == class_lows_.end() || *it > hi) ? cls : -1;
}

void TbmREDFATable::Build(const TbmRETree& tree, TbmREWchRanges& partition) {
  ClearStates();
  HasLineHead = tree.HasLineHead;
  HasLineTail = tree.HasLineTail;
  if (HasLineHead) partition.AddRange(kLineHead, kLineHead);
  if (HasLineTail) partition.AddRange(kLineTail, kLineTail);
  partition.AddNewlines();  // the search treats CR and LF apart
  classes_ = partition.Records();
  for (const auto& r : classes_) class_lows_.push_back(r.Lo);
  width_ = static_cast<int32_t>(classes_.size()) + 1;
  std::fill(std::begin(byte_class_), std::end(byte_class_), OtherClass());
  for (size_t k = 0; k < classes_.size(); ++k) {
    for (int32_t c = std::max(classes_[k].Lo, 0); c <= std::min(classes_[k].Hi, 255); ++c) {
      byte_class_[c] = static_cast<int32_t>(k);
    }
  }

  // Each leaf covers a run of consecutive classes; the end marker covers none.
  const auto& leaves = tree.Leaves();
  std::vector<int32_t> cls_lo(leaves.size(), -1), cls_hi(leaves.size(), -1);
  for (size_t i = 0; i < leaves.size(); ++i) {
    if (leaves[i].Lo == kEndMarker) continue;
    int32_t lo = WideClassOf(leaves[i].Lo), hi = WideClassOf(leaves[i].Hi);
    if (lo == OtherClass() || hi == OtherClass()) continue;  // cannot happen for scanner output
    cls_lo[i] = lo;
    cls_hi[i] = hi;
  }

  // Scratch reused from one build to the next on this thread (not shared).
  struct Scratch {
    TbmRESetInterner states;
    std::vector<uint32_t> stamp;
    std::vector<std::pair<int32_t, int32_t>> events;  // (class, leaf+1 enters / -(leaf+1) leaves)
    std::vector<int32_t> active, where, target, positions;
  };
  thread_local Scratch scratch;
  TbmRESetInterner& states = scratch.states;
  states.Clear();
  scratch.stamp.assign(leaves.size(), 0);
  scratch.where.assign(leaves.size(), -1);
  uint32_t generation = 0;
  int64_t work = 0;
  const int64_t work_budget = kMaxDFAWork + kDFAWorkPerLeaf * static_cast<int64_t>(leaves.size());

  auto add_state = [&](std::span<const int32_t> set) -> int32_t {
    // Charged before interning: the set would be stored if it is new.
    if (static_cast<int64_t>(states.TotalElements() + set.size()) > kMaxDFASetElements) {
      RefuseTooLarge();
    }
    bool added;
    int32_t id = states.Intern(set, added);
    if (added) {
      if (id >= kMaxDFAStates || static_cast<int64_t>(id + 1) * width_ > kMaxDFACells) {
        RefuseTooLarge();
      }
      next_.resize(static_cast<size_t>(id + 1) * width_, kNoState);
    }
    return id;
  };
  add_state(tree.RootFirstPos());

  auto& events = scratch.events;
  auto& active = scratch.active;
  auto& where = scratch.where;
  auto& target = scratch.target;
  for (int32_t s = 0; s < states.size(); ++s) {
    auto& positions = scratch.positions;
    auto set = states.Get(s);
    positions.assign(set.begin(), set.end());  // interning may move the stored sets
    uint8_t flags = 0;
    events.clear();
    for (int32_t leaf : positions) {
      if (leaf == tree.EndMarkerLeaf()) flags |= kAccepting;
      if (leaves[leaf].Lo == kLineTail) flags |= kTail;
      if (cls_lo[leaf] < 0) continue;
      events.push_back({cls_lo[leaf], leaf + 1});
      events.push_back({cls_hi[leaf] + 1, -(leaf + 1)});
    }
    flags_.push_back(flags);
    // Sorting costs n log n; the budget counts it so.
    work += static_cast<int64_t>(events.size()) * std::bit_width(events.size()) + width_;
    if (work > work_budget) RefuseTooLarge();
    std::sort(events.begin(), events.end());
    active.clear();
    for (size_t e = 0; e < events.size();) {
      int32_t cls = events[e].first;
      for (; e < events.size() && events[e].first == cls; ++e) {
        int32_t leaf = std::abs(events[e].second) - 1;
        if (events[e].second > 0) {
          where[leaf] = static_cast<int32_t>(active.size());
          active.push_back(leaf);
        } else {
          int32_t at = where[leaf];
          active[at] = active.back();
          where[active[at]] = at;
          active.pop_back();
        }
      }
      if (active.empty() || e == events.size()) continue;
      int32_t end_cls = events[e].first;  // the stretch cls..end_cls-1 has these leaves
      ++generation;
      target.clear();
      for (int32_t leaf : active) {
        work += 1 + static_cast<int64_t>(leaves[leaf].FollowPos.size());
        for (int32_t f : leaves[leaf].FollowPos) {
          if (scratch.stamp[f] != generation) {
            scratch.stamp[f] = generation;
            target.push_back(f);
          }
        }
      }
      work += static_cast<int64_t>(target.size()) * (1 + std::bit_width(target.size()));
      if (work > work_budget) RefuseTooLarge();
      if (target.empty()) continue;
      std::sort(target.begin(), target.end());
      int32_t to = add_state(target);
      int32_t* row = &next_[static_cast<size_t>(s) * width_];
      std::fill(row + cls, row + end_cls, to);
    }
  }
  num_states_ = states.size();
  if (HasLineHead) head_ = Next(0, WideClassOf(kLineHead));
}

TbmREState TbmREDFATable::State(int32_t s) const {
  TbmREState state;
  state.Accepting = Accepting(s);
  for (int32_t k = 0; k + 1 < width_; ++k) {
    int32_t to = Next(s, k);
    if (to == kNoState) continue;
    auto& list = state.Transitions;
    if (!list.empty() && list.back().Target == to && list.back().Hi + 1 == classes_[k].Lo) {
      list.back().Hi = classes_[k].Hi;
    } else {
      list.push_back({classes_[k].Lo, classes_[k].Hi, to});
    }
  }
  return state;
}

}  // namespace parlevo
