// The lazily built unanchored automaton. A state is a set of live leaves, a
// new match starting at every character boundary: the target on a class is
// the step of the set plus the first leaves, and a line head adds the leaves
// after the '^' (a column of its own, taken when the text says a line
// begins). Rows are made when a state is first reached and filled as its
// classes are first read.
#include "regex/lazy_find.h"

#include <algorithm>

#include "regex/position_nfa.h"
#include "regex/search.h"

namespace parlevo {

namespace {

constexpr int32_t kLF = 10;
constexpr int32_t kCR = 13;

// Bytes of a state beyond its row: its set's slot in the interner and its
// bookkeeping.
constexpr size_t kStateOverhead = 24;

}  // namespace

TbmRELazyFind::TbmRELazyFind(std::shared_ptr<TbmREMatchBudget> budget)
    : budget_(std::move(budget)) {}

TbmRELazyFind::~TbmRELazyFind() { budget_->Forget(*this); }

void TbmRELazyFind::Clear() {
  sets_.Clear();
  next_ = {};
  flags_ = {};
  ++clears_;
}

void TbmRELazyFind::ReleaseAll() {
  // The budget stopped counting all of it; the positions go too unless a
  // search is using them.
  Clear();
  nfa_counted_ = false;
  if (!busy_) {
    nfa_.reset();
    mark_ = {};
  }
}

void TbmRELazyFind::SetPositions(std::unique_ptr<TbmREPositionNFA> nfa) {
  budget_->Forget(*this);
  Clear();
  nfa_ = std::move(nfa);
  nfa_counted_ = false;
  width_ = nfa_->NumClasses() + 1;
  mark_.assign(static_cast<size_t>(nfa_->NumLeaves()), 0);
  stamp_ = 0;
}

void TbmRELazyFind::CountPositions() {
  if (nfa_counted_) return;
  const size_t bytes = nfa_->MemoryBytes() + mark_.capacity() * sizeof(uint32_t);
  nfa_counted_ = budget_->Take(*this, bytes);
  if (!nfa_counted_ && resets_ < kMaxResetsPerSearch) {
    ++resets_;
    budget_->ReleaseAll();
    nfa_counted_ = budget_->Take(*this, bytes);
  }
}

bool TbmRELazyFind::Charge(size_t bytes) {
  if (budget_->Take(*this, bytes)) return true;
  if (resets_ >= kMaxResetsPerSearch) return false;
  ++resets_;
  budget_->ReleaseAll();  // this one's states too: the caller starts over
  CountPositions();
  return budget_->Take(*this, bytes);
}

int32_t TbmRELazyFind::StateOf(std::span<const int32_t> set) {
  const uint64_t clears = clears_;
  bool added;
  int32_t id = sets_.Intern(set, added);
  if (!added) return id;
  const size_t bytes =
      static_cast<size_t>(width_) * sizeof(int32_t) + set.size() * sizeof(int32_t) + kStateOverhead;
  const bool charged = Charge(bytes);
  if (charged && clears_ != clears) id = sets_.Intern(set, added);  // the first of a fresh lot
  if (!charged) {  // out of budget for this search: hold nothing more
    budget_->Forget(*this);
    Clear();
    CountPositions();
    return -1;
  }
  next_.resize(static_cast<size_t>(id + 1) * static_cast<size_t>(width_), kUnknown);
  flags_.push_back(static_cast<uint8_t>((nfa_->Accepting(set) ? kAccepting : 0) |
                                        (nfa_->TailAccepting(set) ? kTail : 0)));
  return id;
}

int32_t TbmRELazyFind::Target(int32_t s, int32_t cls) {
  const auto set = sets_.Get(s);
  pending_.clear();
  if (++stamp_ == 0) {
    std::fill(mark_.begin(), mark_.end(), 0);
    stamp_ = 1;
  }
  auto add = [this](const std::vector<int32_t>& leaves) {
    for (int32_t leaf : leaves) {
      if (mark_[static_cast<size_t>(leaf)] == stamp_) continue;
      mark_[static_cast<size_t>(leaf)] = stamp_;
      pending_.push_back(leaf);
    }
  };
  if (cls == width_ - 1) {  // a line head: the same leaves, and those after '^'
    for (int32_t leaf : set) {
      mark_[static_cast<size_t>(leaf)] = stamp_;
      pending_.push_back(leaf);
    }
    add(nfa_->HeadFirst());
  } else {
    nfa_->Step(set, cls, pending_, mark_, stamp_);
    add(nfa_->First());
  }
  std::sort(pending_.begin(), pending_.end());
  const uint64_t clears = clears_;
  const int32_t t = StateOf(pending_);
  if (t >= 0 && clears_ == clears) {
    next_[static_cast<size_t>(s) * static_cast<size_t>(width_) + static_cast<size_t>(cls)] = t;
  }
  return t;
}

bool TbmRELazyFind::Simulate(TbmCharCode code, std::string_view text, int32_t from,
                             bool line_head) {
  return nfa_->FoundFrom(code, text, from, pending_, line_head);
}

bool TbmRELazyFind::Found(TbmCharCode code, std::string_view text) {
  struct Busy {
    TbmRELazyFind& f;
    explicit Busy(TbmRELazyFind& find) : f(find) {
      f.busy_ = true;
      f.resets_ = 0;
    }
    ~Busy() {
      f.busy_ = false;
      if (!f.nfa_counted_) {  // held for this search only
        f.budget_->Forget(f);
        f.ReleaseAll();
      }
    }
  } busy(*this);
  CountPositions();
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const auto n = static_cast<int32_t>(text.size());
  const TbmREDecoder dec(code);
  const int32_t head = width_ - 1;
  pending_.clear();
  int32_t s = StateOf(nfa_->First());
  if (s < 0) return Simulate(code, text, 0, true);
  bool line_head = true;
  for (int32_t k = 0;;) {
    if (line_head && nfa_->HasLineHead()) {
      int32_t h = next_[static_cast<size_t>(s) * static_cast<size_t>(width_) + head];
      if (h == kUnknown) h = Target(s, head);
      if (h < 0) return Simulate(code, text, k, false);  // pending_: the head's set
      s = h;
    }
    int32_t cl = 0;
    const int32_t c = k < n ? dec.Decode(t, n, k, cl) : -1;
    const uint8_t f = flags_[static_cast<size_t>(s)];
    if ((f & kAccepting) || ((f & kTail) && (c == -1 || c == kLF || c == kCR))) return true;
    if (c < 0) return false;
    const int32_t cls = nfa_->ClassOf(c);
    int32_t to =
        next_[static_cast<size_t>(s) * static_cast<size_t>(width_) + static_cast<size_t>(cls)];
    if (to == kUnknown) to = Target(s, cls);
    k += cl;
    line_head = c == kLF || (c == kCR && (k >= n || dec.Decode(t, n, k, cl) != kLF));
    if (to < 0) return Simulate(code, text, k, line_head);  // pending_: the target's set
    s = to;
  }
}

}  // namespace parlevo
