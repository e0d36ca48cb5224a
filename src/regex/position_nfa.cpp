// Simulation over the positions of a pattern. A set of live leaves moves on
// each character to the union of their follow sets; a new match may start at
// every character boundary (and, after the '^', at every line head). For the
// leftmost-longest search each live leaf carries the earliest start that
// reaches it: any match continuing from the leaf is one for that start too,
// so the earliest start with a match is the least start seen accepting, and
// its longest match the last point where it accepts.
#include "regex/position_nfa.h"

#include <algorithm>
#include <stdexcept>

#include "regex/search.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

constexpr int32_t kLF = 10;
constexpr int32_t kCR = 13;

// Scratch of the searches, per thread: leaf sets and marks sized to the
// largest pattern searched on it.
struct Scratch {
  std::vector<int32_t> cur, next;
  std::vector<int32_t> start_cur, start_next;  // per leaf: earliest start
  std::vector<uint32_t> mark;
  uint32_t stamp = 0;

  void Fit(int32_t leaves) {
    const auto n = static_cast<size_t>(leaves);
    if (mark.size() < n) {
      mark.resize(n, 0);
      start_cur.resize(n);
      start_next.resize(n);
    }
  }
  uint32_t NewStamp() {
    if (++stamp == 0) {  // went round: forget every mark
      std::fill(mark.begin(), mark.end(), 0);
      stamp = 1;
    }
    return stamp;
  }
};

Scratch& ThreadScratch() {
  thread_local Scratch scratch;
  return scratch;
}

bool EndsLine(int32_t c) { return c == -1 || c == kLF || c == kCR; }

// A line begins after LF, or after a CR that no LF follows.
bool LineHeadAfter(const TbmREDecoder& dec, const uint8_t* t, int32_t n, int32_t c, int32_t k) {
  int32_t cl;
  return c == kLF || (c == kCR && (k >= n || dec.Decode(t, n, k, cl) != kLF));
}

void CheckEven(TbmCharCode code, std::string_view text) {
  if (code == bmccUniCode && text.size() % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
}

}  // namespace

TbmREPositionNFA::TbmREPositionNFA(const TbmRETree& tree) {
  const auto& leaves = tree.Leaves();
  for (const auto& leaf : leaves) {
    if (leaf.Lo < 0) continue;
    bounds_.push_back(leaf.Lo);
    bounds_.push_back(leaf.Hi + 1);
  }
  std::sort(bounds_.begin(), bounds_.end());
  bounds_.erase(std::unique(bounds_.begin(), bounds_.end()), bounds_.end());
  for (int32_t c = 0; c < 256; ++c) byte_class_[c] = SlowClassOf(c);
  const bool rows = bounds_.size() < INT16_MAX;
  for (int32_t h = 0; h < 256; ++h) {
    const int32_t lo = SlowClassOf(h << 8), hi = SlowClassOf((h << 8) | 0xFF);
    row_class_[h] = static_cast<int16_t>(h > 0 && rows && lo == hi ? lo : -1);
  }
  leaf_lo_.assign(leaves.size(), -1);
  leaf_hi_.assign(leaves.size(), -1);
  tail_leaf_.assign(leaves.size(), 0);
  follow_begin_.assign(leaves.size() + 1, 0);
  for (size_t i = 0; i < leaves.size(); ++i) {
    const auto& leaf = leaves[i];
    if (leaf.Lo >= 0) {
      leaf_lo_[i] = ClassOf(leaf.Lo);
      leaf_hi_[i] = ClassOf(leaf.Hi);
    }
    tail_leaf_[i] = leaf.Lo == kLineTail;
    follow_.insert(follow_.end(), leaf.FollowPos.begin(), leaf.FollowPos.end());
    follow_begin_[i + 1] = static_cast<uint32_t>(follow_.size());
  }
  end_leaf_ = tree.EndMarkerLeaf();
  has_line_head_ = tree.HasLineHead;
  has_line_tail_ = tree.HasLineTail;
  first_ = tree.RootFirstPos();
  for (int32_t leaf : first_) {  // what a '^' at a line head leads to
    if (leaves[static_cast<size_t>(leaf)].Lo != kLineHead) continue;
    const auto& follow = leaves[static_cast<size_t>(leaf)].FollowPos;
    head_first_.insert(head_first_.end(), follow.begin(), follow.end());
  }
  std::sort(head_first_.begin(), head_first_.end());
  head_first_.erase(std::unique(head_first_.begin(), head_first_.end()), head_first_.end());
  max_match_bytes_ = LongestPath(tree, first_);
}

int32_t TbmREPositionNFA::LongestPath(const TbmRETree& tree, const std::vector<int32_t>& first) {
  const auto& leaves = tree.Leaves();
  // A character of a value past one byte takes two; anchors and the end none.
  auto width = [&leaves](int32_t leaf) {
    const auto& l = leaves[static_cast<size_t>(leaf)];
    return l.Lo < 0 ? 0 : l.Hi >= 0x100 ? 2 : 1;
  };
  // Depth-first, without recursion: per leaf 0 unseen, 1 on the path, 2 done
  // (longest[] then holds the longest path from it, its own width included).
  std::vector<uint8_t> state(leaves.size(), 0);
  std::vector<int32_t> longest(leaves.size(), 0);
  std::vector<std::pair<int32_t, size_t>> stack;  // leaf, next follower to visit
  for (int32_t root : first) {
    if (state[static_cast<size_t>(root)] == 2) continue;
    stack.push_back({root, 0});
    state[static_cast<size_t>(root)] = 1;
    while (!stack.empty()) {
      auto& [leaf, next] = stack.back();
      const auto& follow = leaves[static_cast<size_t>(leaf)].FollowPos;
      if (next < follow.size()) {
        const int32_t to = follow[next++];
        const uint8_t seen = state[static_cast<size_t>(to)];
        if (seen == 1) return -1;  // a loop
        if (seen == 0) {
          state[static_cast<size_t>(to)] = 1;
          stack.push_back({to, 0});
        }
        continue;
      }
      int32_t most = 0;
      for (int32_t to : follow) most = std::max(most, longest[static_cast<size_t>(to)]);
      longest[static_cast<size_t>(leaf)] = most + width(leaf);
      state[static_cast<size_t>(leaf)] = 2;
      stack.pop_back();
    }
  }
  int32_t most = 0;
  for (int32_t root : first) most = std::max(most, longest[static_cast<size_t>(root)]);
  return most;
}

int32_t TbmREPositionNFA::SlowClassOf(int32_t c) const {
  return static_cast<int32_t>(std::upper_bound(bounds_.begin(), bounds_.end(), c) -
                              bounds_.begin());
}

void TbmREPositionNFA::Step(std::span<const int32_t> from, int32_t cls, std::vector<int32_t>& out,
                            std::vector<uint32_t>& mark, uint32_t stamp) const {
  for (int32_t leaf : from) {
    const auto l = static_cast<size_t>(leaf);
    if (cls < leaf_lo_[l] || cls > leaf_hi_[l] || leaf_lo_[l] < 0) continue;
    for (uint32_t f = follow_begin_[l]; f < follow_begin_[l + 1]; ++f) {
      const auto to = static_cast<size_t>(follow_[f]);
      if (mark[to] == stamp) continue;
      mark[to] = stamp;
      out.push_back(follow_[f]);
    }
  }
}

bool TbmREPositionNFA::Accepting(std::span<const int32_t> leaves) const {
  return std::find(leaves.begin(), leaves.end(), end_leaf_) != leaves.end();
}

bool TbmREPositionNFA::TailAccepting(std::span<const int32_t> leaves) const {
  if (!has_line_tail_) return false;
  return std::any_of(leaves.begin(), leaves.end(),
                     [this](int32_t leaf) { return tail_leaf_[static_cast<size_t>(leaf)] != 0; });
}

size_t TbmREPositionNFA::MemoryBytes() const {
  return sizeof(*this) +
         (bounds_.capacity() + leaf_lo_.capacity() + leaf_hi_.capacity() + follow_.capacity() +
          first_.capacity() + head_first_.capacity()) *
             sizeof(int32_t) +
         follow_begin_.capacity() * sizeof(uint32_t) + tail_leaf_.capacity();
}

bool TbmREPositionNFA::Search(TbmCharCode code, std::string_view text, int32_t from, int32_t& pos,
                              int32_t& len) const {
  pos = -1;
  len = 0;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const auto n = static_cast<int32_t>(text.size());
  if (from < 0 || from > n) return false;
  CheckEven(code, text);
  const TbmREDecoder dec(code);
  Scratch& s = ThreadScratch();
  s.Fit(NumLeaves());
  s.cur.clear();
  int32_t best = -1, best_end = -1;  // the earliest start seen accepting, its last end
  bool line_head = has_line_head_ && dec.LineHeadAt(t, n, from);
  for (int32_t k = from;;) {
    if (best < 0) {  // later starts cannot beat a start that matched
      const uint32_t here = s.NewStamp();
      for (int32_t leaf : s.cur) s.mark[static_cast<size_t>(leaf)] = here;
      auto add = [&](const std::vector<int32_t>& starting) {
        for (int32_t leaf : starting) {
          const auto l = static_cast<size_t>(leaf);
          if (s.mark[l] == here) continue;  // reached from an earlier start already
          s.mark[l] = here;
          s.cur.push_back(leaf);
          s.start_cur[l] = k;
        }
      };
      add(first_);
      if (line_head) add(head_first_);
    }
    int32_t cl = 0;
    const int32_t c = k < n ? dec.Decode(t, n, k, cl) : -1;
    for (int32_t leaf : s.cur) {
      const auto l = static_cast<size_t>(leaf);
      if (leaf != end_leaf_ && !(tail_leaf_[l] && EndsLine(c))) continue;
      const int32_t start = s.start_cur[l];
      if (best < 0 || start < best) {
        best = start;
        best_end = k;
      } else if (start == best) {
        best_end = k;
      }
    }
    if (c < 0) break;
    const int32_t cls = ClassOf(c);
    const uint32_t stamp = s.NewStamp();
    s.next.clear();
    for (int32_t leaf : s.cur) {
      const auto l = static_cast<size_t>(leaf);
      const int32_t start = s.start_cur[l];
      if (best >= 0 && start > best) continue;
      if (leaf_lo_[l] < 0 || cls < leaf_lo_[l] || cls > leaf_hi_[l]) continue;
      for (uint32_t f = follow_begin_[l]; f < follow_begin_[l + 1]; ++f) {
        const auto to = static_cast<size_t>(follow_[f]);
        if (s.mark[to] != stamp) {
          s.mark[to] = stamp;
          s.next.push_back(follow_[f]);
          s.start_next[to] = start;
        } else {
          s.start_next[to] = std::min(s.start_next[to], start);
        }
      }
    }
    s.cur.swap(s.next);
    s.start_cur.swap(s.start_next);
    k += cl;
    line_head = has_line_head_ && LineHeadAfter(dec, t, n, c, k);
    if (best >= 0 && s.cur.empty()) break;
  }
  if (best < 0) return false;
  pos = best;
  len = best_end - best;
  return true;
}

}  // namespace parlevo
