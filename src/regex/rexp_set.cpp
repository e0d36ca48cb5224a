// The set matcher.
//
// Building analyses every pattern (set_literals, set_shapes): the strings one
// of which each match must contain go into one multi-literal search
// (literal_search), each string remembering the patterns that wait for it.
// Finding scans the text once. A hit of an exact literal pattern on a
// character boundary (and at a line head or tail when the pattern anchors
// it) is a match outright, and so is a hit of a shape where it stands (B of
// "A.*B" with an A earlier on its line, a literal with a digit beside it).
// A hit of any other pattern makes it a candidate, verified afterwards by its
// own automaton (set_verify), as are the few patterns with no required
// string. A pattern that needs one string of each of two sets is listed
// under the set fewer patterns mention, and becomes a candidate only if the
// text also held one of the other set. Each pattern is decided at most once
// per text.
//
// Personalities repeat a pattern for several answers, so all of this works
// on distinct patterns (one per pattern text); the found ones are spread to
// their indexes at the end.
#include "regex/rexp_set.h"

#include <algorithm>
#include <bit>

#include "regex/char_boundaries.h"
#include "regex/rexp.h"
#include "regex/set_interner.h"
#include "regex/set_verify.h"

namespace parlevo {

TbmRExpSet::TbmRExpSet(TbmCharCode code)
    : code_(code), is_lead_(bmccLeadByteTable(code)), verify_(code) {}

TbmRExpSet::~TbmRExpSet() = default;

void TbmRExpSet::SetBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  verify_.SetBudget(std::move(budget));
}

void TbmRExpSet::Reserve(size_t count) {
  if (count > patterns_.capacity()) patterns_.reserve(std::max(count, 2 * patterns_.capacity()));
}

void TbmRExpSet::Find(std::string_view text, std::vector<int32_t>& found) {
  if (code_ == bmccUniCode) {  // rare, and its texts come in 16-bit units: ask each
    FindEach(text, found);
    return;
  }
  FindDistinct(text);
  found.clear();
  ListIndexes(found);
}

const std::vector<int32_t>& TbmRExpSet::FindDistinct(std::string_view text) {
  if (!built_) Build();
  found_distinct_.clear();
  if (verify_.VerifyWhole(text, found_distinct_)) return found_distinct_;  // long: no scan
  candidates_.clear();
  candidate_ends_.clear();
  one_of_two_.clear();
  one_of_two_ends_.clear();
  if (++stamp_ == 0) {  // the stamps went round: forget them all
    std::fill(decided_.begin(), decided_.end(), 0);
    std::fill(class_decided_.begin(), class_decided_.end(), 0);
    for (Side& side : sides_) side.hit = 0;
    for (TbmREFirstEnds& f : first_ends_) f.Forget();
    stamp_ = 1;
  }
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  TbmRECharBoundaries boundaries(t, text.size(), is_lead_, boundary_marks_);
  using Split = TbmRETextSegments::Split;
  TbmRETextSegments lines(Split::kLines, t, text.size(), boundaries, line_counts_);
  TbmRETextSegments digit_runs(Split::kDigitRuns, t, text.size(), boundaries, digit_counts_);
  ScanText scan{t, text.size(), boundaries, lines, digit_runs};
  literals_.Scan(text, [&](int32_t id, size_t end) { OnHit(id, end, scan); });
  for (size_t k = 0; k < one_of_two_.size(); ++k) {
    if (!OtherSetHit(one_of_two_[k])) continue;
    candidates_.push_back(one_of_two_[k]);
    candidate_ends_.push_back(one_of_two_ends_[k]);
  }
  // The candidates and those always asked, verified together.
  candidates_.insert(candidates_.end(), ask_always_.begin(), ask_always_.end());
  candidate_ends_.resize(candidates_.size(), 0);
  verify_.Verify(text, candidates_, candidate_ends_, found_distinct_);
  return found_distinct_;
}

void TbmRExpSet::ListIndexes(std::vector<int32_t>& found) {
  size_t listed = 0;  // the indexes to list
  for (int32_t d : found_distinct_) {
    listed += index_begin_[static_cast<size_t>(d) + 1] - index_begin_[static_cast<size_t>(d)];
  }
  // Many found: their indexes are marked in a bitmap and read back in order,
  // cheaper than sorting them once the bitmap's words are fewer.
  if (found_distinct_.size() > kMaxMergedLists &&
      indexes_.size() / 64 <= listed * static_cast<size_t>(std::bit_width(listed))) {
    ListIndexesByBitmap(listed, found);
    return;
  }
  // Each pattern's indexes are ascending already: a few lists are merged
  // one into the other, many short ones sorted at the end.
  const bool merge = found_distinct_.size() <= kMaxMergedLists;
  bool sorted = true;
  for (int32_t d : found_distinct_) {
    const auto first = indexes_.begin() + index_begin_[static_cast<size_t>(d)];
    const auto last = indexes_.begin() + index_begin_[static_cast<size_t>(d) + 1];
    if (found.empty() || found.back() < *first) {
      found.insert(found.end(), first, last);
    } else if (merge) {
      merged_.resize(found.size() + static_cast<size_t>(last - first));
      std::merge(found.begin(), found.end(), first, last, merged_.begin());
      found.swap(merged_);
    } else {
      found.insert(found.end(), first, last);
      sorted = false;
    }
  }
  if (!sorted) std::sort(found.begin(), found.end());
}

void TbmRExpSet::ListIndexesByBitmap(size_t listed, std::vector<int32_t>& found) {
  index_bits_.resize((patterns_.size() + 63) / 64, 0);  // all clear between calls
  for (int32_t d : found_distinct_) {
    for (int32_t i : IndexesOf(d)) {
      index_bits_[static_cast<size_t>(i) / 64] |= uint64_t{1} << (static_cast<size_t>(i) % 64);
    }
  }
  found.reserve(found.size() + listed);
  for (size_t w = 0; w < index_bits_.size(); ++w) {
    for (uint64_t bits = index_bits_[w]; bits != 0; bits &= bits - 1) {
      found.push_back(static_cast<int32_t>(w * 64 + static_cast<size_t>(std::countr_zero(bits))));
    }
    index_bits_[w] = 0;
  }
}

void TbmRExpSet::OnHit(int32_t id, size_t end, ScanText& text) {
  const auto lit = static_cast<size_t>(id);
  const size_t start = end - static_cast<size_t>(literals_.Length(id));
  if (const uint32_t s = SideOf(lit); s != 0) {
    Side& side = sides_[s];
    side.hit = stamp_;
    if (side.ends_of != 0) NoteFirstEnds(side, start, end, text);
  }
  // Group by group: the bytes around the hit checked once for all the
  // classes of a group, then class by class.
  bool more = true;
  for (uint32_t g = owners_.GroupBegin(id); more; ++g) {
    const TbmRESetGroup& group = owners_.Group(g);
    more = !group.last;
    if (group.checked && !AroundHit(group, start, end, text)) continue;
    const uint32_t classes_end = owners_.Group(g + 1).first;
    for (uint32_t c = group.first; c < classes_end; ++c) {
      if (class_decided_[c] == stamp_) continue;
      const Verdict verdict =
          group.checked ? Decide(owners_.Class(c), start, end, text) : Verdict::kAsk;
      if (verdict == Verdict::kNo) continue;  // not here: a later hit may still count
      class_decided_[c] = stamp_;
      Report(c, verdict, end);
    }
  }
}

void TbmRExpSet::Report(uint32_t c, Verdict verdict, size_t end) {
  // Hits come in order of their ends, so a candidate's first hit is the
  // earliest end of its listed literals: no match of it ends before. A
  // shape's first hit may have been passed over (kNo): it has no such end.
  const OwnerKind kind = owners_.Class(c).kind;
  const bool one_of_two = kind == OwnerKind::kOneOfTwo;
  std::vector<int32_t>& to = one_of_two                   ? one_of_two_
                             : verdict == Verdict::kFound ? found_distinct_
                                                          : candidates_;
  std::vector<uint32_t>* ends = one_of_two                   ? &one_of_two_ends_
                                : verdict == Verdict::kFound ? nullptr
                                                             : &candidate_ends_;
  const uint32_t no_match_before = DecidedAtHit(kind) ? 0 : static_cast<uint32_t>(end);
  for (int32_t p : owners_.Patterns(c)) {
    uint32_t& decided = decided_[static_cast<size_t>(p)];
    if (decided == stamp_) continue;
    decided = stamp_;
    to.push_back(p);
    if (ends) ends->push_back(no_match_before);
  }
}

namespace {

// Whether text byte `b` is what a follow asks for.
bool FollowByte(int32_t follow, uint8_t b) {
  return follow == kFollowDigit ? b >= '0' && b <= '9' : b == follow;
}

}  // namespace

bool TbmRExpSet::AroundHit(const TbmRESetGroup& group, size_t start, size_t end,
                           const ScanText& x) const {
  size_t stop = end;
  if (group.follow != 0) {  // its first byte told before the rest
    if (end == x.n || !FollowByte(group.lead, x.t[end]) || !Followed(group.follow, end, x, stop)) {
      return false;
    }
  }
  if (!x.boundaries.Starts(start)) return false;
  // Digits after the hit come before its tail: DigitsAfter looks at it.
  return group.digits || !group.tail || AtLineTail(x.t, x.n, stop);
}

TbmRExpSet::Verdict TbmRExpSet::Decide(const TbmRESetClass& o, size_t start, size_t end,
                                       ScanText& x) {
  switch (o.kind) {
    case OwnerKind::kDigitAfter:
      return DigitsAfter(o, start, end, x);  // the tail after the digits
    case OwnerKind::kAfterOnLine:
    case OwnerKind::kAfterDigits:
    case OwnerKind::kAfterDigitsOrNone:
      return PairStarted(o, start, x);  // the head is A's
    case OwnerKind::kRunBefore:
      return RunBefore(o, start, x);  // the head is the run's
    default:
      return !o.head || AtLineHead(x.t, x.n, start, x.boundaries) ? Verdict::kFound : Verdict::kNo;
  }
}

namespace {

bool IsDigit(uint8_t b) { return b >= '0' && b <= '9'; }

// A run walked byte by byte stops here: a longer one is left to the automaton,
// so that many hits inside one long run cost no more than this each.
constexpr size_t kMaxRunWalk = 64;

}  // namespace

// The literal ends on a boundary, so a digit there is a character of its own,
// and so is every digit after it.
TbmRExpSet::Verdict TbmRExpSet::DigitsAfter(const TbmRESetClass& o, size_t start, size_t end,
                                            ScanText& x) const {
  if (o.head && !AtLineHead(x.t, x.n, start, x.boundaries)) return Verdict::kNo;
  if (end == x.n || !IsDigit(x.t[end])) return Verdict::kNo;
  if (!o.tail) return Verdict::kFound;
  size_t stop = end + 1;
  for (; stop < x.n && IsDigit(x.t[stop]); ++stop) {
    if (stop - end == kMaxRunWalk) return Verdict::kAsk;
  }
  return AtLineTail(x.t, x.n, stop) ? Verdict::kFound : Verdict::kNo;
}

// Walks back from the hit over the classes, nearest first, keeping every way
// of taking them so far as a bit set (bit j: the nearest j taken), so that a
// run that could also take what comes before it is read right. Their bytes
// are single-byte characters once the first of them starts one (a byte of
// 0x80 or more, which no class takes, would be needed for a double-byte
// character): a trail byte among them fails that check and ends the walk.
// With a head anchor the first must start the line.
TbmRExpSet::Verdict TbmRExpSet::RunBefore(const TbmRESetClass& o, size_t start, ScanText& x) const {
  const ClassRow& row =
      class_rows_[static_cast<size_t>(others_.Get(static_cast<int32_t>(o.other))[0])];
  const uint32_t all = 1u << row.items;
  uint32_t ways = 1;
  for (size_t p = start; p > 0;) {
    const uint8_t b = x.t[--p];
    if (b >= 0x80) return Verdict::kNo;
    const uint32_t in = row.in[b];
    ways = ((ways & in) << 1) | (ways & ((in & row.plus) << 1));
    if (ways == 0) return Verdict::kNo;
    if ((ways & all) != 0 &&
        (o.head ? AtLineHead(x.t, x.n, p, x.boundaries) : x.boundaries.Starts(p))) {
      return Verdict::kFound;
    }
    if (start - p == kMaxRunWalk) return Verdict::kAsk;
  }
  return Verdict::kNo;
}

TbmRExpSet::Verdict TbmRExpSet::PairStarted(const TbmRESetClass& o, size_t start,
                                            ScanText& x) const {
  const std::span<const int32_t> others = others_.Get(static_cast<int32_t>(o.other));
  if (std::none_of(others.begin(), others.end(),
                   [this](int32_t a) { return sides_[static_cast<size_t>(a)].hit == stamp_; })) {
    return Verdict::kNo;  // no A in this text at all
  }
  const bool on_line = o.kind == OwnerKind::kAfterOnLine;
  const uint32_t segment = on_line ? x.lines.At(start) : x.digit_runs.At(start);
  const uint8_t which =
      on_line ? (o.head ? kLineHead : kLineAny) : (o.head ? kDigitsHead : kDigitsAny);
  // "A[0-9]+B" needs a digit between: A ends before B's start.
  const bool digit_between = o.kind == OwnerKind::kAfterDigits;
  if (digit_between && start == 0) return Verdict::kNo;
  const size_t limit = digit_between ? start - 1 : start;
  Verdict verdict = Verdict::kNo;
  for (const int32_t id : others) {
    const auto a = static_cast<size_t>(id);
    const uint8_t before = sides_[a].ends_of & static_cast<uint8_t>(which - 1);
    const TbmREFirstEnds& ends = first_ends_[sides_[a].ends_at + CountBits(before)];
    switch (ends.EndedBy(stamp_, segment, limit)) {
      case TbmREFirstEnds::Answer::kYes:
        return Verdict::kFound;
      case TbmREFirstEnds::Answer::kUnknown:
        verdict = Verdict::kAsk;  // an A may have ended there, long forgotten
        break;
      case TbmREFirstEnds::Answer::kNo:
        break;
    }
  }
  return verdict;
}

bool TbmRExpSet::Followed(uint32_t id, size_t end, const ScanText& x, size_t& stop) const {
  const std::span<const int32_t> follow = follows_.Get(static_cast<int32_t>(id));
  if (x.n - end < follow.size()) return false;
  for (size_t k = 0; k < follow.size(); ++k) {
    const uint8_t b = x.t[end + k];
    if (!FollowByte(follow[k], b)) return false;
  }
  stop = end + follow.size();
  return true;
}

void TbmRExpSet::NoteFirstEnds(Side& side, size_t start, size_t end, ScanText& x) {
  if (!x.boundaries.Starts(start)) return;
  const uint8_t which = side.ends_of;
  const bool head =
      (which & (kLineHead | kDigitsHead)) != 0 && AtLineHead(x.t, x.n, start, x.boundaries);
  TbmREFirstEnds* ends = first_ends_.data() + side.ends_at;
  if (which & kLineAny) (ends++)->Note(stamp_, x.lines.At(end), end);
  if (which & kLineHead) {
    if (head) ends->Note(stamp_, x.lines.At(end), end);
    ++ends;
  }
  if (which & kDigitsAny) (ends++)->Note(stamp_, x.digit_runs.At(end), end);
  if ((which & kDigitsHead) && head) ends->Note(stamp_, x.digit_runs.At(end), end);
}

bool TbmRExpSet::OtherSetHit(int32_t pattern) const {
  const auto p = static_cast<size_t>(pattern);
  for (uint32_t k = other_begin_[p]; k < other_begin_[p + 1]; ++k) {
    if (sides_[static_cast<size_t>(other_[k])].hit == stamp_) return true;
  }
  return false;
}

void TbmRExpSet::FindEach(std::string_view text, std::vector<int32_t>& found) const {
  found.clear();
  TbmRESameText same(text);  // every pattern is asked about this one text
  for (int32_t i = 0; i < size(); ++i) {
    TbmRExp* pattern = patterns_[static_cast<size_t>(i)];
    if (!pattern) continue;
    try {
      if (pattern->Found(text)) found.push_back(i);
    } catch (const EbmREToken&) {
      // a malformed pattern never matches
    }
  }
}

size_t TbmRExpSet::MemoryBytes() const {
  return literals_.MemoryBytes() + verify_.MemoryBytes() + owners_.MemoryBytes() +
         records_.MemoryBytes() + class_decided_.capacity() * sizeof(uint32_t) +
         ask_always_.capacity() * sizeof(int32_t) +
         (decided_.capacity() + side_rank_.capacity() + other_begin_.capacity()) *
             sizeof(uint32_t) +
         side_bits_.capacity() * sizeof(uint64_t) + other_.capacity() * sizeof(int32_t) +
         sides_.capacity() * sizeof(Side) + (others_.MemoryBytes() + follows_.MemoryBytes()) +
         first_ends_.capacity() * sizeof(TbmREFirstEnds) +
         (patterns_.capacity() + distinct_.capacity()) * sizeof(TbmRExp*) +
         index_begin_.capacity() * sizeof(uint32_t) + indexes_.capacity() * sizeof(int32_t) +
         index_bits_.capacity() * sizeof(uint64_t);
}

}  // namespace parlevo
