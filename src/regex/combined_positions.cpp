// Several patterns' positions stepped as one. A step walks the set pattern by
// pattern (their blocks are contiguous and ascending): the pattern's live
// leaves take the class through its own follow sets (a value of the common
// class stands for the whole class, which every pattern takes alike), and a
// pattern whose marker is in the set starts again.
#include "regex/combined_positions.h"

#include <algorithm>

namespace parlevo {

namespace {

// Beyond this many class boundaries, ClassOf reads a table rather than
// searching them.
constexpr size_t kSearchedBounds = 32;
// The table covers values below this (Shift JIS and EUC characters).
constexpr int32_t kTabledValues = 1 << 16;

}  // namespace

void TbmRECombinedPositions::Add(std::unique_ptr<TbmREPositionNFA> nfa, int32_t tag) {
  const auto base = static_cast<int32_t>(owner_.size());
  const auto p = static_cast<int32_t>(patterns_.size());
  owner_.push_back(p);
  kind_.push_back(kMarker);
  for (int32_t l = 0; l < nfa->NumLeaves(); ++l) {
    owner_.push_back(p);
    kind_.push_back(l == nfa->EndLeaf() ? kEnd : nfa->TailLeaf(l) ? kTailLeaf : kLeaf);
  }
  has_line_head_ = has_line_head_ || nfa->HasLineHead();
  if (mark_.size() < static_cast<size_t>(nfa->NumLeaves())) mark_.resize(nfa->NumLeaves(), 0);
  patterns_.push_back(Pattern{std::move(nfa), tag, base});
}

void TbmRECombinedPositions::Finish() {
  bounds_.clear();
  for (const Pattern& p : patterns_) {
    bounds_.insert(bounds_.end(), p.nfa->Bounds().begin(), p.nfa->Bounds().end());
  }
  std::sort(bounds_.begin(), bounds_.end());
  bounds_.erase(std::unique(bounds_.begin(), bounds_.end()), bounds_.end());
  rep_.assign(1, bounds_.empty() ? 0 : bounds_.front() - 1);
  rep_.insert(rep_.end(), bounds_.begin(), bounds_.end());
  const int32_t last = bounds_.empty() ? 0 : bounds_.back();
  // Single bytes always; every value up to the last boundary only for a
  // union of many patterns (one per pattern would cost more than its states).
  const bool tabled = patterns_.size() > 1 && bounds_.size() > kSearchedBounds;
  const int32_t covered = tabled ? std::max(std::min(last, kTabledValues), int32_t{256}) : 256;
  class_of_.assign(static_cast<size_t>(covered), 0);
  int32_t cls = 0;
  for (int32_t c = 0; c < covered; ++c) {
    while (static_cast<size_t>(cls) < bounds_.size() && bounds_[cls] <= c) ++cls;
    class_of_[c] = cls;
  }
  dense_ = patterns_.size() == 1 || NumClasses() <= 64 ? NumClasses() : 0;
}

int32_t TbmRECombinedPositions::SlowClassOf(int32_t c) const {
  return static_cast<int32_t>(std::upper_bound(bounds_.begin(), bounds_.end(), c) -
                              bounds_.begin());
}

uint32_t TbmRECombinedPositions::NewStamp() {
  if (++stamp_ == 0) {  // went round: forget every mark
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  return stamp_;
}

void TbmRECombinedPositions::AddStarts(const std::vector<int32_t>& starting, uint32_t stamp) {
  for (int32_t leaf : starting) {
    if (mark_[static_cast<size_t>(leaf)] == stamp) continue;
    mark_[static_cast<size_t>(leaf)] = stamp;
    local_.push_back(leaf);
  }
}

void TbmRECombinedPositions::Emit(const Pattern& p, bool marker, std::vector<int32_t>& out) {
  const int32_t end = p.nfa->EndLeaf();
  if (std::find(local_.begin(), local_.end(), end) != local_.end()) {
    out.push_back(p.base + 1 + end);  // answered: nothing more of it is needed
    return;
  }
  if (marker) out.push_back(p.base);
  std::sort(local_.begin(), local_.end());
  for (int32_t leaf : local_) out.push_back(p.base + 1 + leaf);
}

void TbmRECombinedPositions::Start(std::span<const int32_t> ps, std::vector<int32_t>& out) {
  out.clear();
  for (int32_t i : ps) {
    const Pattern& p = patterns_[static_cast<size_t>(i)];
    local_.clear();
    AddStarts(p.nfa->First(), NewStamp());
    Emit(p, true, out);
  }
}

void TbmRECombinedPositions::Next(std::span<const int32_t> set, int32_t cls,
                                  std::vector<int32_t>& out) {
  out.clear();
  for (size_t i = 0; i < set.size();) {
    const Pattern& p = patterns_[static_cast<size_t>(owner_[set[i]])];
    const bool marker = set[i] == p.base;
    from_.clear();
    for (i += marker ? 1 : 0; i < set.size() && owner_[set[i]] == owner_[p.base]; ++i) {
      from_.push_back(set[i] - p.base - 1);
    }
    local_.clear();
    const uint32_t stamp = NewStamp();
    if (cls < 0) {  // a line head: all stay, and those after '^' start
      for (int32_t leaf : from_) mark_[static_cast<size_t>(leaf)] = stamp;
      local_.assign(from_.begin(), from_.end());
      if (marker) AddStarts(p.nfa->HeadFirst(), stamp);
    } else {
      p.nfa->Step(from_, p.nfa->ClassOf(rep_[static_cast<size_t>(cls)]), local_, mark_, stamp);
      if (marker) AddStarts(p.nfa->First(), stamp);
    }
    Emit(p, marker, out);
  }
}

void TbmRECombinedPositions::Accepts(std::span<const int32_t> set, std::vector<int32_t>& now,
                                     std::vector<int32_t>& at_tail) const {
  now.clear();
  at_tail.clear();
  for (int32_t id : set) {
    const int32_t tag = patterns_[static_cast<size_t>(owner_[id])].tag;
    if (kind_[id] == kEnd) now.push_back(tag);
    if (kind_[id] == kTailLeaf && (at_tail.empty() || at_tail.back() != tag)) {
      at_tail.push_back(tag);
    }
  }
}

size_t TbmRECombinedPositions::MemoryBytes() const {
  size_t bytes = sizeof(*this) + patterns_.capacity() * sizeof(Pattern) +
                 (owner_.capacity() + bounds_.capacity() + rep_.capacity() + class_of_.capacity() +
                  from_.capacity() + local_.capacity() + mark_.capacity()) *
                     sizeof(int32_t) +
                 kind_.capacity();
  for (const Pattern& p : patterns_) {
    if (p.nfa) bytes += p.nfa->MemoryBytes();
  }
  return bytes;
}

}  // namespace parlevo
