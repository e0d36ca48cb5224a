// Subset construction. A state is a set of leaves (positions); for each state
// the leaves' class intervals are swept in class order, and on each stretch of
// classes covered by the same leaves the target is the union of their follow
// sets. Targets are looked up in a hash map of the sets seen so far. A state
// accepts when it holds the end marker, and may end a match at a line break
// or the end of the text when it holds the line-tail leaf.
#include "regex/automaton.h"

#include <algorithm>
#include <unordered_map>

#include "regex/token.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

struct SetHash {
  size_t operator()(const TbmRELeafNodeSet& s) const {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    for (int32_t v : s) h = (h ^ static_cast<uint32_t>(v)) * 0x100000001B3ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

// Refuses the pattern like a malformed one; the end token stands for it.
[[noreturn]] void RefuseTooLarge() { throw EbmREToken(TbmREToken{tkErrInvalidChar, -1, -1, 0, 0}); }

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

  std::vector<TbmRELeafNodeSet> positions;
  std::unordered_map<TbmRELeafNodeSet, int32_t, SetHash> index;
  auto add_state = [&](TbmRELeafNodeSet set) -> int32_t {
    auto it = index.find(set);
    if (it != index.end()) return it->second;
    int32_t id = static_cast<int32_t>(positions.size());
    if (id >= kMaxDFAStates || static_cast<int64_t>(id + 1) * width_ > kMaxDFACells) {
      RefuseTooLarge();
    }
    index.emplace(set, id);
    positions.push_back(std::move(set));
    next_.resize(static_cast<size_t>(id + 1) * width_, kNoState);
    return id;
  };
  add_state(tree.RootFirstPos());

  int64_t work = 0;
  std::vector<uint32_t> stamp(leaves.size(), 0);
  uint32_t generation = 0;
  std::vector<std::pair<int32_t, int32_t>> events;  // (class, +leaf+1 enters / -(leaf+1) leaves)
  std::vector<int32_t> active, where(leaves.size(), -1);
  TbmRELeafNodeSet target;

  for (int32_t s = 0; s < static_cast<int32_t>(positions.size()); ++s) {
    uint8_t flags = 0;
    events.clear();
    for (int32_t leaf : positions[s]) {
      if (leaf == tree.EndMarkerLeaf()) flags |= kAccepting;
      if (leaves[leaf].Lo == kLineTail) flags |= kTail;
      if (cls_lo[leaf] < 0) continue;
      events.push_back({cls_lo[leaf], leaf + 1});
      events.push_back({cls_hi[leaf] + 1, -(leaf + 1)});
    }
    flags_.push_back(flags);
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
        work += static_cast<int64_t>(leaves[leaf].FollowPos.size());
        for (int32_t f : leaves[leaf].FollowPos) {
          if (stamp[f] != generation) {
            stamp[f] = generation;
            target.push_back(f);
          }
        }
      }
      if (work > kMaxDFAWork) RefuseTooLarge();
      if (target.empty()) continue;
      std::sort(target.begin(), target.end());
      int32_t to = add_state(target);
      int32_t* row = &next_[static_cast<size_t>(s) * width_];
      std::fill(row + cls, row + end_cls, to);
    }
  }
  num_states_ = static_cast<int32_t>(positions.size());
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
