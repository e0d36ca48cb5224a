// The lazily built unanchored automaton. A state is a set of live positions
// (combined_positions: new matches start at every character boundary while
// a pattern is unanswered): the target on a class is the set's next set, and
// a line head adds the starts after '^' (a column of its own, taken when the
// text says a line begins). Rows are made when a state is first reached and
// filled as its classes are first read; classes past the row live in one
// table. Once states cannot be held, the same sets are stepped without
// interning them: a simulation, linear in the text. One pattern searched
// alone passes over, in its start state, the characters no match starts
// with, as far as their first bytes tell.
#include "regex/lazy_find.h"

#include <algorithm>
#include <cstdint>

#include "regex/search.h"

namespace parlevo {

namespace {

constexpr int32_t kLF = 10;
constexpr int32_t kCR = 13;

// Bytes of a state beyond its row and set: its set's slot in the interner
// and its bookkeeping.
constexpr size_t kStateOverhead = 32;

}  // namespace

TbmRELazyFind::TbmRELazyFind(std::shared_ptr<TbmREMatchBudget> budget)
    : budget_(std::move(budget)) {}

TbmRELazyFind::~TbmRELazyFind() { budget_->Forget(*this); }

void TbmRELazyFind::Clear() {
  sets_ = TbmRESetInterner();  // its storage too: a reset gives the memory back
  // Fresh vectors: assigning {} would keep the storage.
  next_ = decltype(next_)();
  sparse_.Clear();
  flags_ = decltype(flags_)();
  tag_end_ = decltype(tag_end_)();
  tags_ = decltype(tags_)();
  reported_ = decltype(reported_)();
  ++clears_;
}

void TbmRELazyFind::ReleaseAll() {
  // The budget stopped counting all of it; the positions go too unless a
  // search is using them.
  Clear();
  positions_counted_ = false;
  if (!busy_) positions_.reset();
}

void TbmRELazyFind::SetPositions(std::unique_ptr<TbmRECombinedPositions> positions) {
  budget_->Forget(*this);
  Clear();
  positions_ = std::move(positions);
  positions_counted_ = false;
  head_ = positions_->DenseClasses();
  width_ = head_ + 1;
}

std::unique_ptr<TbmRECombinedPositions> TbmRELazyFind::TakePositions() {
  budget_->Forget(*this);
  Clear();
  positions_counted_ = false;
  return std::move(positions_);
}

void TbmRELazyFind::CountPositions() {
  if (positions_counted_) return;
  const size_t bytes = positions_->MemoryBytes();
  positions_counted_ = budget_->Take(*this, bytes);
  if (!positions_counted_ && resets_ < kMaxResetsPerSearch) {
    ++resets_;
    budget_->ReleaseAll();
    positions_counted_ = budget_->Take(*this, bytes);
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

void TbmRELazyFind::MakeState(std::span<const int32_t> set) {
  next_.resize(static_cast<size_t>(sets_.size()) * static_cast<size_t>(width_), kUnknown);
  positions_->Accepts(set, now_, at_tail_);
  flags_.push_back(static_cast<uint8_t>((now_.empty() ? 0 : kAccepting) |
                                        (at_tail_.empty() ? 0 : kTail) |
                                        (set.empty() ? kEmpty : 0)));
  tags_.insert(tags_.end(), now_.begin(), now_.end());
  tag_end_.push_back(static_cast<uint32_t>(tags_.size()));
  tags_.insert(tags_.end(), at_tail_.begin(), at_tail_.end());
  tag_end_.push_back(static_cast<uint32_t>(tags_.size()));
  reported_.insert(reported_.end(), 2, 0);
}

int32_t TbmRELazyFind::StateOf(std::span<const int32_t> set, size_t extra) {
  const uint64_t clears = clears_;
  bool added;
  int32_t id = sets_.Intern(set, added);
  const size_t state_bytes =
      static_cast<size_t>(width_) * sizeof(int32_t) + set.size() * sizeof(int32_t) + kStateOverhead;
  const size_t bytes = extra + (added ? state_bytes : 0);
  if (bytes == 0) return id;
  bool charged = Charge(bytes);
  if (charged && clears_ != clears) {  // given back: the first state of a fresh lot
    id = sets_.Intern(set, added);
    if (bytes < state_bytes) charged = Charge(state_bytes - bytes);
  }
  if (!charged) {  // out of budget for this search: hold nothing more
    budget_->Forget(*this);
    Clear();
    CountPositions();
    return -1;
  }
  if (added) MakeState(set);
  return id;
}

int32_t TbmRELazyFind::Target(int32_t s, int32_t cls) {
  const auto set = sets_.Get(s);
  work_ += set.size() + 1;
  positions_->Next(set, cls, pending_);
  const uint64_t clears = clears_;
  const bool sparse = cls >= head_;
  const int32_t t = StateOf(pending_, sparse ? TbmRELazyTransitions::kBytesPerEntry : 0);
  if (t >= 0 && clears_ == clears) {
    if (sparse) {
      sparse_.Insert(s, cls, t);
    } else {
      next_[static_cast<size_t>(s) * static_cast<size_t>(width_) +
            static_cast<size_t>(cls < 0 ? head_ : cls)] = t;
    }
  }
  return t;
}

bool TbmRELazyFind::Report(int32_t s, bool line_ends) {
  std::span<const int32_t> now, at_tail;
  bool empty;
  if (s >= 0) {
    uint32_t* reported = reported_.data() + 2 * static_cast<size_t>(s);
    const bool again = reported[0] == search_stamp_ && (!line_ends || reported[1] == search_stamp_);
    reported[0] = search_stamp_;
    if (line_ends) reported[1] = search_stamp_;
    if (again)
      return Done((flags_[static_cast<size_t>(s)] & kEmpty) != 0) || found_.size() >= wanted_;
    const auto* e = tag_end_.data() + 2 * static_cast<size_t>(s);
    const uint32_t begin = s == 0 ? 0 : e[-1];
    now = {tags_.data() + begin, tags_.data() + e[0]};
    at_tail = {tags_.data() + e[0], tags_.data() + e[1]};
    empty = (flags_[static_cast<size_t>(s)] & kEmpty) != 0;
  } else {
    positions_->Accepts(pending_, now_, at_tail_);
    now = now_;
    at_tail = at_tail_;
    empty = pending_.empty();
  }
  Note(now);
  if (line_ends) Note(at_tail);
  return Done(empty) || found_.size() >= wanted_;
}

void TbmRELazyFind::Note(std::span<const int32_t> tags) {
  for (int32_t tag : tags) {
    const auto i = static_cast<size_t>(tag);
    if (i >= found_mark_.size()) found_mark_.resize(i + 1, 0);
    if (found_mark_[i] == search_stamp_) continue;
    found_mark_[i] = search_stamp_;
    found_.push_back(tag);
  }
}

int32_t TbmRELazyFind::StartLate(int32_t s, int32_t k) {
  for (; next_late_ < late_.size() && late_[next_late_].first <= k; ++next_late_) {
    const int32_t p = late_[next_late_].second;
    // A pattern starting is a transition of its own, cached beside the
    // classes' (below the line head's -1).
    const int32_t key = -2 - p;
    if (s >= 0) {
      const int32_t to = sparse_.Find(s, key);
      if (to >= 0) {
        s = to;
        continue;
      }
      const auto set = sets_.Get(s);
      pending_.assign(set.begin(), set.end());
    }
    positions_->Start(std::span<const int32_t>(&p, 1), started_);
    // The pattern's block is new to the set: the two merge, still ascending.
    scratch_.resize(pending_.size() + started_.size());
    std::merge(pending_.begin(), pending_.end(), started_.begin(), started_.end(),
               scratch_.begin());
    pending_.swap(scratch_);
    work_ += pending_.size() + 1;
    if (s < 0) continue;  // simulating
    const uint64_t clears = clears_;
    const int32_t t = StateOf(pending_, TbmRELazyTransitions::kBytesPerEntry);
    if (t >= 0 && clears_ == clears) sparse_.Insert(s, key, t);
    s = t;  // below 0: pending_ is its set
  }
  return s;
}

void TbmRELazyFind::Simulate(int32_t cls) {
  work_ += pending_.size() + 1;
  positions_->Next(pending_, cls, scratch_);
  pending_.swap(scratch_);
}

int32_t TbmRELazyFind::HeldState(int32_t& held, uint64_t& when, std::span<const int32_t> set) {
  if (held >= 0 && when == clears_) return held;
  held = StateOf(set, 0);
  when = clears_;
  return held;
}

int32_t TbmRELazyFind::StartState() {
  if (!only_) return StateOf(pending_, 0);
  // The start state is held even when the pattern starts late: Run passes
  // over what cannot leave it.
  if (only_start_ < 0 || only_start_clears_ != clears_) {
    static constexpr int32_t kOnly[] = {0};
    positions_->Start(kOnly, pending_);
  }
  const int32_t start = HeldState(only_start_, only_start_clears_, pending_);
  if (only_first_ == 0) return start;
  pending_.clear();  // nothing alive until the pattern starts
  return HeldState(only_empty_, only_empty_clears_, pending_);
}

int32_t TbmRELazyFind::PassOver(const uint8_t* t, int32_t n, int32_t k, const bool* is_lead) const {
  int32_t boundary = k;
  for (int32_t i = k;;) {
    while (i < n && !positions_->StartByte(t[i])) ++i;
    if (i >= n) return n;
    while (boundary < i) boundary += is_lead[t[boundary]] && boundary + 1 < n ? 2 : 1;
    if (boundary == i) return i;
    i = boundary;  // a trail byte: the lead byte before it starts nothing
  }
}

int32_t TbmRELazyFind::BoundaryFrom(const uint8_t* t, int32_t n, int32_t k, int32_t until,
                                    const TbmREDecoder& dec) {
  if (!dec.unicode) {
    // A byte that begins no character of two ends one: a character begins
    // after it. Only the lead bytes right before `until` are walked.
    int32_t q = until;
    while (q > k && dec.is_lead[t[q - 1]]) --q;
    k = q;
  }
  while (k < until) k += dec.Length(t, n, k);
  return k;
}

void TbmRELazyFind::StepQuiet(const uint8_t* t, int32_t n, const TbmREDecoder& dec, bool heads,
                              int32_t start, int32_t& s, int32_t& k) const {
  // Locals, so that nothing is read again from the object at each step.
  const int32_t* next = next_.data();
  const uint8_t* flags = flags_.data();
  const TbmRECombinedPositions& positions = *positions_;
  const TbmREPositionNFA* single = positions.Single();
  const auto width = static_cast<size_t>(width_);
  const int32_t head = head_;
  int32_t state = s, at = k;
  while (at < n && flags[state] == 0) {
    if (state == start && !positions.StartByte(t[at])) {
      at = PassOver(t, n, at, dec.is_lead);
      continue;
    }
    int32_t len = 0;
    const int32_t c = dec.Decode(t, n, at, len);
    if (heads && (c == kLF || c == kCR)) break;  // a line head may follow
    const int32_t cls = single ? single->ClassOf(c) : positions.ClassOf(c);
    if (cls >= head) break;
    const int32_t to = next[static_cast<size_t>(state) * width + static_cast<size_t>(cls)];
    if (to < 0) break;
    state = to;
    at += len;
  }
  s = state;
  k = at;
}

bool TbmRELazyFind::Run(TbmCharCode code, std::string_view text) {
  CountPositions();
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const auto n = static_cast<int32_t>(text.size());
  const TbmREDecoder dec(code);
  const bool heads = positions_->HasLineHead();
  const auto width = static_cast<size_t>(width_);
  int32_t s = StartState();  // below 0: simulating, pending_ the live set
  bool line_head = true;
  // Found's search: in its start state, characters that begin with a byte
  // no match starts with are passed over (the start state is quiet).
  const bool pass = only_ && positions_->HasStartBytes() && !dec.unicode;
  // The start state while it is held (below 0: none).
  auto start = [&] { return pass && only_start_clears_ == clears_ ? only_start_ : -1; };
  for (int32_t k = 0;;) {
    if (next_late_ < late_.size() && late_[next_late_].first <= k) s = StartLate(s, k);
    if (s >= 0 && next_late_ == late_.size() && !(heads && line_head)) {
      StepQuiet(t, n, dec, heads, start(), s, k);
    }
    if (line_head && heads) {
      if (s < 0) {
        Simulate(-1);
      } else {
        const int32_t h = next_[static_cast<size_t>(s) * width + static_cast<size_t>(head_)];
        s = h == kUnknown ? Target(s, -1) : h;  // below 0: pending_ is the head's set
      }
    }
    // Past the line head's starts: no break is passed over, so no line
    // head either.
    if (k < n && s >= 0 && s == start() && flags_[static_cast<size_t>(s)] == 0 &&
        next_late_ == late_.size() && !positions_->StartByte(t[k])) {
      k = PassOver(t, n, k, dec.is_lead);
    }
    int32_t cl = 0;
    const int32_t c = k < n ? dec.Decode(t, n, k, cl) : -1;
    if ((s < 0 || flags_[static_cast<size_t>(s)] != 0) &&
        Report(s, c == -1 || c == kLF || c == kCR)) {
      return true;
    }
    if (c < 0) return true;
    if (!every_ && (s < 0 ? pending_.empty() : (flags_[static_cast<size_t>(s)] & kEmpty) != 0)) {
      // Nothing alive before the next pattern starts, and a line head
      // starts nothing then: only where characters begin matters until
      // then, and whether a line begins where it does.
      k += cl;
      const int32_t until = next_late_ < late_.size() ? std::min(n, late_[next_late_].first) : n;
      if (k < until) {
        k = BoundaryFrom(t, n, k, until, dec);
        line_head = heads && dec.LineHeadAt(t, n, k);
      } else {
        line_head = c == kLF || (c == kCR && (k >= n || dec.Decode(t, n, k, cl) != kLF));
      }
      continue;
    }
    const int32_t cls = positions_->ClassOf(c);
    const int32_t to = s < 0 ? kUnknown
                       : cls < head_
                           ? next_[static_cast<size_t>(s) * width + static_cast<size_t>(cls)]
                           : sparse_.Find(s, cls);
    if (to >= 0) {
      s = to;
    } else {
      if (s < 0) {
        Simulate(cls);
      } else {
        s = Target(s, cls);  // below 0: pending_ is the target's set
      }
      if (work_ > work_limit_) return false;
    }
    k += cl;
    line_head = c == kLF || (c == kCR && (k >= n || dec.Decode(t, n, k, cl) != kLF));
  }
}

void TbmRELazyFind::Arrange(std::span<const int32_t> ps, std::span<const uint32_t> ends) {
  late_.clear();
  next_late_ = 0;
  if (ends.empty()) {  // all start at byte 0 (one pattern searched alone, as a rule)
    positions_->Start(ps, pending_);
    return;
  }
  for (size_t i = 0; i < ps.size(); ++i) {
    // A match spans at most `most` bytes and ends at or after `end`: it
    // cannot start before end - most.
    const int32_t most = positions_->MaxMatchBytes(ps[i]);
    const int64_t first = most < 0 ? 0 : std::max<int64_t>(0, int64_t{ends[i]} - most);
    late_.push_back({static_cast<int32_t>(first), ps[i]});
  }
  std::sort(late_.begin(), late_.end());
  scratch_.clear();
  for (; next_late_ < late_.size() && late_[next_late_].first == 0; ++next_late_) {
    scratch_.push_back(late_[next_late_].second);
  }
  std::sort(scratch_.begin(), scratch_.end());
  positions_->Start(scratch_, pending_);
}

void TbmRELazyFind::Search(TbmCharCode code, std::string_view text, std::span<const int32_t> ps,
                           std::span<const uint32_t> ends, size_t work_limit, bool only) {
  struct Busy {
    TbmRELazyFind& f;
    explicit Busy(TbmRELazyFind& find) : f(find) {
      f.busy_ = true;
      f.resets_ = 0;
    }
    ~Busy() {
      f.busy_ = false;
      if (!f.positions_counted_) {  // held for this search only
        f.budget_->Forget(f);
        f.ReleaseAll();
      }
    }
  } busy(*this);
  if (++search_stamp_ == 0) {  // went round: forget every mark
    std::fill(found_mark_.begin(), found_mark_.end(), 0);
    std::fill(reported_.begin(), reported_.end(), 0);
    search_stamp_ = 1;
  }
  found_.clear();
  wanted_ = ps.size();
  work_ = 0;
  work_limit_ = work_limit;
  complete_ = true;
  every_ = positions_->EveryStart();
  only_ = only && !every_;
  if (every_) {
    late_.clear();
    next_late_ = 0;
    pending_.clear();
    wanted_ = static_cast<size_t>(positions_->NumPatterns());
    Note(positions_->AlwaysFound());
    complete_ = found_.size() >= wanted_ || Run(code, text);
    return;
  }
  if (ps.empty()) return;
  if (only_) {  // the start set is worked out by StartState when not held
    late_.clear();
    next_late_ = 0;
    if (only_first_ > 0) late_.push_back({only_first_, 0});
  } else {
    Arrange(ps, ends);
  }
  complete_ = Run(code, text);
}

bool TbmRELazyFind::FindAll(TbmCharCode code, std::string_view text, std::span<const int32_t> ps,
                            std::span<const uint32_t> ends, size_t work_limit,
                            std::vector<int32_t>& found) {
  Search(code, text, ps, ends, work_limit);
  found.insert(found.end(), found_.begin(), found_.end());
  return complete_;
}

bool TbmRELazyFind::FindEvery(TbmCharCode code, std::string_view text, size_t work_limit,
                              std::vector<int32_t>& found) {
  Search(code, text, {}, {}, work_limit);
  found.insert(found.end(), found_.begin(), found_.end());
  return complete_;
}

bool TbmRELazyFind::Found(TbmCharCode code, std::string_view text, uint32_t first_end) {
  static constexpr int32_t kOnly[] = {0};
  // A match spans at most `most` bytes and ends at or after first_end: it
  // cannot start before first_end - most.
  const int32_t most = positions_->MaxMatchBytes(0);
  only_first_ = most < 0 || first_end <= static_cast<uint32_t>(most)
                    ? 0
                    : static_cast<int32_t>(first_end - static_cast<uint32_t>(most));
  if (!positions_->HasStartBytes()) positions_->MarkStartBytes(code);
  Search(code, text, kOnly, {}, SIZE_MAX, true);
  return !found_.empty();
}

}  // namespace parlevo
