// Several patterns' positions stepped as one. A step walks the set pattern by
// pattern (their blocks are contiguous and ascending): the pattern's live
// leaves take the class through its own follow sets (a value of the common
// class stands for the whole class, which every pattern takes alike), and a
// pattern whose marker is in the set starts again.
#include "regex/combined_positions.h"

#include <algorithm>
#include <climits>
#include <iterator>

namespace parlevo {

namespace {

// Beyond this many class boundaries, ClassOf reads a table rather than
// searching them.
constexpr size_t kSearchedBounds = 32;
// The table covers values below this (Shift JIS and EUC characters).
constexpr int32_t kTabledValues = 1 << 16;
// Classes that have a column in every state's row, at most.
constexpr int32_t kDenseClasses = 64;

}  // namespace

TbmRECombinedPositions::Scratch& TbmRECombinedPositions::ThreadScratch(int32_t leaves) {
  // Per thread rather than per object: many patterns searched alone each
  // hold positions, and their steps never overlap on one thread.
  thread_local Scratch scratch;
  if (scratch.mark.size() < static_cast<size_t>(leaves)) scratch.mark.resize(leaves, 0);
  return scratch;
}

void TbmRECombinedPositions::Add(std::unique_ptr<TbmREPositionNFA> nfa, int32_t tag) {
  has_line_head_ = has_line_head_ || nfa->HasLineHead();
  max_leaves_ = std::max(max_leaves_, nfa->NumLeaves());
  const int32_t leaves = nfa->NumLeaves();
  patterns_.push_back(Pattern{std::move(nfa), tag, ids_});
  ids_ += 1 + leaves;
}

void TbmRECombinedPositions::Finish() {
  // One pattern alone is read through its own tables: a copy of them for
  // each of many patterns searched alone would cost more than their states.
  single_ = patterns_.size() == 1 && !every_start_;
  owner_.clear();
  kind_.clear();
  bounds_.clear();
  rep_.clear();
  class_of_.clear();
  if (single_) {
    dense_ = NumClasses();
    return;
  }
  for (size_t p = 0; p < patterns_.size(); ++p) {
    const TbmREPositionNFA& nfa = *patterns_[p].nfa;
    for (int32_t id = -1; id < nfa.NumLeaves(); ++id) {
      owner_.push_back(static_cast<int32_t>(p));
      kind_.push_back(LeafKind(nfa, id));
    }
    bounds_.insert(bounds_.end(), nfa.Bounds().begin(), nfa.Bounds().end());
  }
  std::sort(bounds_.begin(), bounds_.end());
  bounds_.erase(std::unique(bounds_.begin(), bounds_.end()), bounds_.end());
  rep_.assign(1, bounds_.empty() ? 0 : bounds_.front() - 1);
  rep_.insert(rep_.end(), bounds_.begin(), bounds_.end());
  // Single bytes always; every value up to the last boundary when there are
  // many boundaries.
  const int32_t last = bounds_.empty() ? 0 : bounds_.back();
  const int32_t covered = bounds_.size() > kSearchedBounds
                              ? std::max(std::min(last, kTabledValues), int32_t{256})
                              : 256;
  class_of_.assign(static_cast<size_t>(covered), 0);
  int32_t cls = 0;
  for (int32_t c = 0; c < covered; ++c) {
    while (static_cast<size_t>(cls) < bounds_.size() && bounds_[cls] <= c) ++cls;
    class_of_[c] = cls;
  }
  // Few classes: all have a column. Many: those of single bytes do, if
  // they are not many themselves (the letters and digits of most texts).
  const int32_t bytes = ClassOf(255) + 1;
  dense_ = NumClasses() <= kDenseClasses ? NumClasses() : bytes <= kDenseClasses ? bytes : 0;
  if (every_start_) IndexStarts();
}

void TbmRECombinedPositions::IndexStarts() {
  narrow_.clear();
  wide_.clear();
  head_starts_.clear();
  always_found_.clear();
  for (size_t p = 0; p < patterns_.size(); ++p) {
    const Pattern& pattern = patterns_[p];
    const TbmREPositionNFA& nfa = *pattern.nfa;
    const auto& own = nfa.Bounds();
    bool always = false;
    for (int32_t leaf : nfa.First()) {
      always = always || leaf == nfa.EndLeaf() || nfa.TailLeaf(leaf);
      const int32_t lo = nfa.LeafLo(leaf), hi = nfa.LeafHi(leaf);
      if (lo < 0) continue;  // an anchor: the line head's starts are its followers
      // The own classes lo..hi as common ones: from the first value of lo
      // to the last of hi.
      const int32_t from = lo == 0 ? 0 : ClassOf(own[static_cast<size_t>(lo) - 1]);
      const int32_t to = static_cast<size_t>(hi) >= own.size()
                             ? NumClasses() - 1
                             : ClassOf(own[static_cast<size_t>(hi)] - 1);
      (from == to ? narrow_ : wide_).push_back({from, to, static_cast<int32_t>(p), leaf});
    }
    if (always) always_found_.push_back(pattern.tag);
    for (int32_t leaf : nfa.HeadFirst()) head_starts_.push_back(pattern.base + 1 + leaf);
  }
  std::stable_sort(narrow_.begin(), narrow_.end(),
                   [](const FirstLeaf& a, const FirstLeaf& b) { return a.lo < b.lo; });
  std::sort(head_starts_.begin(), head_starts_.end());
}

void TbmRECombinedPositions::DropAnswered(std::vector<int32_t>& out) const {
  size_t kept = 0;
  for (size_t i = 0; i < out.size();) {
    const Pattern& p = patterns_[static_cast<size_t>(OwnerOf(out[i]))];
    size_t j = i;
    bool answered = false;
    const int32_t end = p.base + 1 + p.nfa->EndLeaf();
    for (; j < out.size() && OwnerOf(out[j]) == OwnerOf(out[i]); ++j) answered |= out[j] == end;
    if (answered) {
      out[kept++] = end;  // nothing more of it is needed
    } else {
      for (size_t k = i; k < j; ++k) out[kept++] = out[k];
    }
    i = j;
  }
  out.resize(kept);
}

void TbmRECombinedPositions::NextEveryStart(std::span<const int32_t> set, int32_t cls,
                                            std::vector<int32_t>& out) {
  out.clear();
  if (cls < 0) {  // a line head: all stay, and every pattern's starts after '^'
    out.resize(set.size() + head_starts_.size());
    out.erase(std::set_union(set.begin(), set.end(), head_starts_.begin(), head_starts_.end(),
                             out.begin()),
              out.end());
    DropAnswered(out);
    return;
  }
  Scratch& s = ThreadScratch(max_leaves_);
  auto step = [&](const Pattern& p, std::span<const int32_t> from) {
    s.local.clear();
    p.nfa->Step(from, p.nfa->ClassOf(rep_[static_cast<size_t>(cls)]), s.local, s.mark,
                s.NewStamp());
    for (int32_t leaf : s.local) out.push_back(p.base + 1 + leaf);
  };
  for (size_t i = 0; i < set.size();) {
    const int32_t owner = OwnerOf(set[i]);
    const Pattern& p = patterns_[static_cast<size_t>(owner)];
    s.from.clear();
    for (; i < set.size() && OwnerOf(set[i]) == owner; ++i) s.from.push_back(set[i] - p.base - 1);
    step(p, s.from);
  }
  // The matches starting here: the first leaves that take the class.
  auto first = std::lower_bound(narrow_.begin(), narrow_.end(), cls,
                                [](const FirstLeaf& f, int32_t c) { return f.lo < c; });
  for (; first != narrow_.end() && first->lo == cls; ++first) {
    step(patterns_[static_cast<size_t>(first->pattern)], std::span<const int32_t>(&first->leaf, 1));
  }
  for (const FirstLeaf& f : wide_) {
    if (f.lo <= cls && cls <= f.hi) {
      step(patterns_[static_cast<size_t>(f.pattern)], std::span<const int32_t>(&f.leaf, 1));
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  DropAnswered(out);
}

void TbmRECombinedPositions::MarkStartBytes(TbmCharCode code) {
  start_bytes_marked_ = true;
  std::fill(std::begin(start_bytes_), std::end(start_bytes_),
            ~uint64_t{0});  // all: no passing over
  if (!single_ || code == bmccUniCode) return;
  std::fill(std::begin(start_bytes_), std::end(start_bytes_), 0);
  const bool* is_lead = bmccLeadByteTable(code);
  const TbmREPositionNFA& nfa = *patterns_[0].nfa;
  const std::vector<int32_t>& bounds = nfa.Bounds();
  auto mark = [this](int32_t b) { start_bytes_[b >> 6] |= uint64_t{1} << (b & 63); };
  for (int32_t leaf : nfa.First()) {
    const int32_t lo = nfa.LeafLo(leaf), hi = nfa.LeafHi(leaf);
    if (lo < 0) continue;  // an anchor takes no character
    // Class k holds the values from bounds[k - 1] up to bounds[k] - 1.
    const int32_t from = lo == 0 ? INT32_MIN : bounds[static_cast<size_t>(lo) - 1];
    const int32_t to =
        static_cast<size_t>(hi) >= bounds.size() ? INT32_MAX : bounds[static_cast<size_t>(hi)] - 1;
    for (int32_t b = 0; b < 256; ++b) {
      // A lead byte begins the values b * 256 up to b * 256 + 255 (alone
      // at a text's end, b * 256); any other byte is a character itself.
      const int32_t first = is_lead[b] ? b * 256 : b, last = is_lead[b] ? b * 256 + 255 : b;
      if (first <= to && from <= last) mark(b);
    }
  }
  if (nfa.HasLineHead()) {
    mark('\n');
    mark('\r');
  }
}

uint8_t TbmRECombinedPositions::LeafKind(const TbmREPositionNFA& nfa, int32_t leaf) {
  if (leaf < 0) return kMarker;
  if (leaf == nfa.EndLeaf()) return kEnd;
  return nfa.TailLeaf(leaf) ? kTailLeaf : kLeaf;
}

int32_t TbmRECombinedPositions::SlowClassOf(int32_t c) const {
  return static_cast<int32_t>(std::upper_bound(bounds_.begin(), bounds_.end(), c) -
                              bounds_.begin());
}

uint32_t TbmRECombinedPositions::Scratch::NewStamp() {
  if (++stamp == 0) {  // went round: forget every mark
    std::fill(mark.begin(), mark.end(), 0);
    stamp = 1;
  }
  return stamp;
}

void TbmRECombinedPositions::AddStarts(const std::vector<int32_t>& starting, uint32_t stamp,
                                       Scratch& s) {
  for (int32_t leaf : starting) {
    if (s.mark[static_cast<size_t>(leaf)] == stamp) continue;
    s.mark[static_cast<size_t>(leaf)] = stamp;
    s.local.push_back(leaf);
  }
}

void TbmRECombinedPositions::Emit(const Pattern& p, bool marker, Scratch& s,
                                  std::vector<int32_t>& out) {
  const int32_t end = p.nfa->EndLeaf();
  if (std::find(s.local.begin(), s.local.end(), end) != s.local.end()) {
    out.push_back(p.base + 1 + end);  // answered: nothing more of it is needed
    return;
  }
  if (marker) out.push_back(p.base);
  std::sort(s.local.begin(), s.local.end());
  for (int32_t leaf : s.local) out.push_back(p.base + 1 + leaf);
}

void TbmRECombinedPositions::Start(std::span<const int32_t> ps, std::vector<int32_t>& out) {
  Scratch& s = ThreadScratch(max_leaves_);
  out.clear();
  if (every_start_) return;  // the starts are implied
  for (int32_t i : ps) {
    const Pattern& p = patterns_[static_cast<size_t>(i)];
    s.local.clear();
    AddStarts(p.nfa->First(), s.NewStamp(), s);
    Emit(p, true, s, out);
  }
}

void TbmRECombinedPositions::Next(std::span<const int32_t> set, int32_t cls,
                                  std::vector<int32_t>& out) {
  if (every_start_) {
    NextEveryStart(set, cls, out);
    return;
  }
  Scratch& s = ThreadScratch(max_leaves_);
  out.clear();
  for (size_t i = 0; i < set.size();) {
    const int32_t owner = OwnerOf(set[i]);
    const Pattern& p = patterns_[static_cast<size_t>(owner)];
    const bool marker = set[i] == p.base;
    s.from.clear();
    for (i += marker ? 1 : 0; i < set.size() && OwnerOf(set[i]) == owner; ++i) {
      s.from.push_back(set[i] - p.base - 1);
    }
    s.local.clear();
    const uint32_t stamp = s.NewStamp();
    if (cls < 0) {  // a line head: all stay, and those after '^' start
      for (int32_t leaf : s.from) s.mark[static_cast<size_t>(leaf)] = stamp;
      s.local.assign(s.from.begin(), s.from.end());
      if (marker) AddStarts(p.nfa->HeadFirst(), stamp, s);
    } else {
      const int32_t own = single_ ? cls : p.nfa->ClassOf(rep_[static_cast<size_t>(cls)]);
      p.nfa->Step(s.from, own, s.local, s.mark, stamp);
      if (marker) AddStarts(p.nfa->First(), stamp, s);
    }
    Emit(p, marker, s, out);
  }
}

void TbmRECombinedPositions::Accepts(std::span<const int32_t> set, std::vector<int32_t>& now,
                                     std::vector<int32_t>& at_tail) const {
  now.clear();
  at_tail.clear();
  for (int32_t id : set) {
    const Pattern& p = patterns_[static_cast<size_t>(OwnerOf(id))];
    const uint8_t kind = single_ ? LeafKind(*p.nfa, id - 1) : kind_[id];
    if (kind == kEnd) now.push_back(p.tag);
    if (kind == kTailLeaf && (at_tail.empty() || at_tail.back() != p.tag)) {
      at_tail.push_back(p.tag);
    }
  }
}

size_t TbmRECombinedPositions::MemoryBytes() const {
  size_t bytes = sizeof(*this) + patterns_.capacity() * sizeof(Pattern) +
                 (owner_.capacity() + bounds_.capacity() + rep_.capacity() + class_of_.capacity()) *
                     sizeof(int32_t) +
                 kind_.capacity() + (narrow_.capacity() + wide_.capacity()) * sizeof(FirstLeaf) +
                 (head_starts_.capacity() + always_found_.capacity()) * sizeof(int32_t);
  for (const Pattern& p : patterns_) {
    if (p.nfa) bytes += p.nfa->MemoryBytes();
  }
  return bytes;
}

}  // namespace parlevo
