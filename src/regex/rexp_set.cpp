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
#include <map>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "regex/char_boundaries.h"
#include "regex/distinct_patterns.h"
#include "regex/rexp.h"
#include "regex/set_interner.h"
#include "regex/set_literals.h"
#include "regex/set_records.h"
#include "regex/set_verify.h"

namespace parlevo {
namespace {

// Gives the heap's wholly free pages back to the system. Building a set
// releases the compiled state of the patterns it decides and drops its own
// lists, which leaves free pages among those still held; the allocator
// keeps them, so the tables built next would count on top of them in the
// process's peak.
void GiveBackFreePages() {
#if defined(__GLIBC__)
  malloc_trim(0);  // about a millisecond
#endif
}

// Patterns analysed (releasing theirs), or literal ids listed (growing
// lists leave their old blocks), between two GiveBackFreePages while
// building; a set of fewer patterns and literals than kLargeSet leaves too
// little to give back.
constexpr int32_t kPatternsPerTrim = 8192;
constexpr size_t kIdsPerTrim = 65536;
constexpr size_t kLargeSet = 4096;

}  // namespace

TbmRExpSet::TbmRExpSet(TbmCharCode code)
    : code_(code), is_lead_(bmccLeadByteTable(code)), verify_(code) {}

TbmRExpSet::~TbmRExpSet() = default;

void TbmRExpSet::SetBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  verify_.SetBudget(std::move(budget));
}

void TbmRExpSet::Reserve(size_t count) {
  if (count > patterns_.capacity()) patterns_.reserve(std::max(count, 2 * patterns_.capacity()));
}

int32_t TbmRExpSet::Add(TbmRExp* pattern) {
  if (release_decided_ && pattern != nullptr && !records_.Has(pattern)) {
    // Analysed now, so that a pattern the scan decides holds nothing of its
    // parse until the build.
    const TbmRESetLiterals analysis = AnalyzeForSet(*pattern, code_);
    if (analysis.kind == TbmRESetLiterals::Kind::kLiterals && DecidedAtHit(KindOf(analysis))) {
      pattern->Release();
    }
    records_.Keep(pattern, analysis);
  }
  patterns_.push_back(pattern);
  built_ = false;
  return size() - 1;
}

void TbmRExpSet::GroupDistinct() {
  std::vector<int32_t> distinct_of;
  GroupDistinctPatterns(patterns_, distinct_, distinct_of);
  index_begin_.assign(distinct_.size() + 1, 0);
  for (int32_t d : distinct_of) {
    if (d >= 0) ++index_begin_[static_cast<size_t>(d) + 1];
  }
  for (size_t d = 1; d < index_begin_.size(); ++d) index_begin_[d] += index_begin_[d - 1];
  indexes_.resize(index_begin_.back());
  std::vector<uint32_t> next(index_begin_.begin(), index_begin_.end() - 1);
  for (size_t i = 0; i < distinct_of.size(); ++i) {
    if (distinct_of[i] >= 0)
      indexes_[next[static_cast<size_t>(distinct_of[i])]++] = static_cast<int32_t>(i);
  }
}

TbmRExpSet::OwnerKind TbmRExpSet::KindOf(const TbmRESetLiterals& analysis) {
  switch (analysis.shape) {
    case TbmRESetShape::Kind::kPair:
      return OwnerKind::kAfterOnLine;
    case TbmRESetShape::Kind::kDigitsPair:
      return OwnerKind::kAfterDigits;
    case TbmRESetShape::Kind::kDigitsOrNonePair:
      return OwnerKind::kAfterDigitsOrNone;
    case TbmRESetShape::Kind::kDigitAfter:
      return OwnerKind::kDigitAfter;
    case TbmRESetShape::Kind::kRunBefore:
      return OwnerKind::kRunBefore;
    default:
      break;
  }
  if (analysis.exact) return OwnerKind::kExact;
  return analysis.also.empty() ? OwnerKind::kCandidate : OwnerKind::kOneOfTwo;
}

void TbmRExpSet::Build() {
  GroupDistinct();
  std::vector<Waiting> plans;
  std::vector<uint32_t> middles;
  std::vector<int32_t> ids;
  Analyse(plans, middles, ids);
  // The owners before the literal search: their lists are gone, and the
  // pages they and the released patterns left given back, before its
  // tables are built.
  LayOut(plans, middles, ids);
  const bool large = distinct_.size() + static_cast<size_t>(literals_.NumLiterals()) >= kLargeSet;
  if (large) GiveBackFreePages();
  literals_.Build();
  decided_.assign(distinct_.size(), 0);
  class_decided_.assign(owners_.NumClasses(), 0);
  stamp_ = 0;
  verify_.Assign(distinct_);
  built_ = true;
  if (large) GiveBackFreePages();  // the literal search's build
}

void TbmRExpSet::Analyse(std::vector<Waiting>& plans, std::vector<uint32_t>& middles,
                         std::vector<int32_t>& ids) {
  literals_.Clear();
  ask_always_.clear();
  plans.reserve(distinct_.size());
  middles.reserve(distinct_.size());
  follows_.Clear();
  bool added;
  follows_.Intern({}, added);  // id 0: nothing follows
  std::vector<int32_t> follow;
  class_rows_.clear();
  std::map<std::string, int32_t> rows;  // each row of classes once
  size_t trimmed_at = 0;                // ids when free pages were last given back
  TbmRESetLiterals analysis;
  for (int32_t i = 0; i < static_cast<int32_t>(distinct_.size()); ++i) {
    if ((release_decided_ && i > 0 && i % kPatternsPerTrim == 0) ||
        ids.size() - trimmed_at >= kIdsPerTrim) {
      GiveBackFreePages();
      trimmed_at = ids.size();
    }
    TbmRExp* pattern = distinct_[static_cast<size_t>(i)];
    if (!records_.Get(pattern, analysis)) analysis = AnalyzeForSet(*pattern, code_);
    if (analysis.kind == TbmRESetLiterals::Kind::kAskAlways) ask_always_.push_back(i);
    if (analysis.kind != TbmRESetLiterals::Kind::kLiterals) continue;
    Waiting plan{
        i, 0, 0, uint32_t(ids.size()), 0, 0, KindOf(analysis), analysis.head, analysis.tail};
    if (release_decided_ && DecidedAtHit(plan.kind)) {
      pattern->Release();
    }
    if (!analysis.before.empty()) {
      plan.other = static_cast<uint32_t>(ClassRowOf(analysis.before, rows));
    }
    for (const auto& s : analysis.strings) ids.push_back(literals_.Add(s));
    middles.push_back(static_cast<uint32_t>(ids.size()));
    for (const auto& s : analysis.also) ids.push_back(literals_.Add(s));
    plan.to = static_cast<uint32_t>(ids.size());
    follow.assign(analysis.follow.begin(), analysis.follow.end());
    plan.follow = static_cast<uint32_t>(follows_.Intern(follow, added));
    plan.lead = follow.empty() ? int16_t{0} : static_cast<int16_t>(follow[0]);
    plans.push_back(plan);
  }
  follows_.Compact();
  records_.Clear();
  literals_.EndAdding();
}

static_assert(kMaxClassItems <= 8, "a row's classes are bits of a byte");

int32_t TbmRExpSet::ClassRowOf(const std::vector<TbmREClassItem>& items,
                               std::map<std::string, int32_t>& seen) {
  std::string key;  // per class: a run or not, its size, its bytes
  for (const TbmREClassItem& item : items) {
    key += static_cast<char>(item.plus);
    key += static_cast<char>(item.bytes.size());
    key += item.bytes;
  }
  auto [it, added] = seen.try_emplace(key, static_cast<int32_t>(class_rows_.size()));
  if (added) {
    ClassRow row{};
    row.items = static_cast<uint8_t>(items.size());
    for (size_t k = 0; k < items.size(); ++k) {  // numbered from the literal back
      const TbmREClassItem& item = items[items.size() - 1 - k];
      const auto bit = static_cast<uint8_t>(1u << k);
      if (item.plus) row.plus |= bit;
      for (char c : item.bytes) row.in[static_cast<uint8_t>(c)] |= bit;
    }
    class_rows_.push_back(row);
  }
  return it->second;
}

void TbmRExpSet::LayOut(std::vector<Waiting>& plans, std::vector<uint32_t>& middles,
                        std::vector<int32_t>& ids) {
  const auto num_literals = static_cast<size_t>(literals_.NumLiterals());
  // How many patterns mention each literal: of a pattern's two sets, only
  // the one mentioned less in all is listed, so that a frequent word does
  // not walk every pattern that also needs a rarer one.
  std::vector<uint32_t> mentions(num_literals, 0);
  for (int32_t id : ids) ++mentions[static_cast<size_t>(id)];
  auto cost = [&](uint32_t from, uint32_t to) {
    uint64_t sum = 0;
    for (uint32_t k = from; k < to; ++k) sum += mentions[static_cast<size_t>(ids[k])];
    return sum;
  };
  auto is_pair = [](OwnerKind kind) {
    return kind == OwnerKind::kAfterOnLine || kind == OwnerKind::kAfterDigits ||
           kind == OwnerKind::kAfterDigitsOrNone;
  };
  // Whether plan k is listed under its also set, the rest of its ids being
  // its other side.
  auto also_listed = [&](size_t k) {
    const Waiting& plan = plans[k];
    return is_pair(plan.kind) || (plan.kind == OwnerKind::kOneOfTwo &&
                                  cost(middles[k], plan.to) < cost(plan.from, middles[k]));
  };
  other_begin_.assign(distinct_.size() + 1, 0);
  for (size_t k = 0; k < plans.size(); ++k) {
    const Waiting& plan = plans[k];
    const uint32_t strings = middles[k] - plan.from, also = plan.to - middles[k];
    other_begin_[static_cast<size_t>(plan.pattern) + 1] = plan.kind == OwnerKind::kRunBefore ? 1
                                                          : also_listed(k) ? strings
                                                                           : also;
  }
  for (size_t d = 1; d < other_begin_.size(); ++d) other_begin_[d] += other_begin_[d - 1];
  other_.clear();
  other_.reserve(other_begin_.back());
  for (size_t k = 0; k < plans.size(); ++k) {  // in pattern order, as other_begin_ counts
    Waiting& plan = plans[k];
    const uint32_t middle = middles[k];
    const bool also = also_listed(k);
    if (plan.kind == OwnerKind::kRunBefore) {
      other_.push_back(static_cast<int32_t>(plan.other));
    } else if (also) {
      other_.insert(other_.end(), ids.begin() + plan.from, ids.begin() + middle);
    } else {
      other_.insert(other_.end(), ids.begin() + middle, ids.begin() + plan.to);
    }
    (also ? plan.from : plan.to) = middle;
  }
  std::vector<uint32_t>().swap(mentions);
  std::vector<uint32_t>().swap(middles);
  NumberSides(plans, num_literals);
  // Each other side once: classes keep its id.
  others_.Clear();
  for (Waiting& w : plans) {
    const auto p = static_cast<size_t>(w.pattern);
    bool added;
    w.other = static_cast<uint32_t>(
        others_.Intern(std::span<const int32_t>(other_.data() + other_begin_[p],
                                                other_.data() + other_begin_[p + 1]),
                       added));
  }
  others_.Compact();
  owners_.Build(plans, ids, num_literals);
  std::vector<int32_t>().swap(ids);
  std::vector<Waiting>().swap(plans);
}

void TbmRExpSet::NumberSides(const std::vector<Waiting>& plans, size_t num_literals) {
  auto other_of = [this](const Waiting& plan) {
    const auto p = static_cast<size_t>(plan.pattern);
    return std::span<int32_t>(other_.data() + other_begin_[p], other_.data() + other_begin_[p + 1]);
  };
  // Marked first, then numbered in literal order: a literal's number is
  // one more than the marks before it.
  side_bits_.assign((num_literals + 63) / 64, 0);
  for (const Waiting& plan : plans) {
    if (plan.kind == OwnerKind::kRunBefore) continue;  // its other is a run class
    for (const int32_t id : other_of(plan)) {
      side_bits_[static_cast<size_t>(id) / 64] |= uint64_t{1} << (static_cast<size_t>(id) % 64);
    }
  }
  side_rank_.assign(side_bits_.size(), 0);
  uint32_t sides = 0;
  for (size_t w = 0; w < side_bits_.size(); ++w) {
    side_rank_[w] = sides + 1;
    sides += CountBits(side_bits_[w]);
  }
  for (const Waiting& plan : plans) {
    if (plan.kind == OwnerKind::kRunBefore) continue;
    for (int32_t& id : other_of(plan)) id = static_cast<int32_t>(SideOf(static_cast<size_t>(id)));
  }
  sides_.assign(sides + 1, Side{0, 0, 0});
  for (const Waiting& plan : plans) {
    const bool digits =
        plan.kind == OwnerKind::kAfterDigits || plan.kind == OwnerKind::kAfterDigitsOrNone;
    if (!digits && plan.kind != OwnerKind::kAfterOnLine) continue;
    // Listed under B; A's ends kept.
    const uint8_t which =
        digits ? (plan.head ? kDigitsHead : kDigitsAny) : (plan.head ? kLineHead : kLineAny);
    for (int32_t a : other_of(plan)) sides_[static_cast<size_t>(a)].ends_of |= which;
  }
  uint32_t kept = 0;
  for (Side& side : sides_) {
    side.ends_at = kept;
    kept += CountBits(side.ends_of);
  }
  first_ends_.assign(kept, TbmREFirstEnds());
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
