// Building the set matcher: every pattern analysed (as it is added, for a
// set whose patterns serve it above all), its literals put in the
// multi-literal search and its plan laid out into the owner tables (see
// rexp_set.cpp for how a search uses them).
#include <algorithm>
#include <map>

#include "regex/rexp_set.h"
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "regex/distinct_patterns.h"
#include "regex/rexp.h"
#include "regex/set_interner.h"
#include "regex/set_literals.h"
#include "regex/set_records.h"

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

int32_t TbmRExpSet::Add(TbmRExp* pattern) {
  if (release_decided_ && pattern != nullptr && !records_.Has(pattern)) {
    // Analysed now, so that a pattern the scan decides holds nothing of its
    // parse until the build.
    const TbmRESetLiterals analysis = AnalyzeForSet(*pattern, code_);
    if (DecidedByScan(analysis)) pattern->Release();
    records_.Keep(pattern, analysis);
  }
  patterns_.push_back(pattern);
  built_ = false;
  return size() - 1;
}

bool TbmRExpSet::DecidedByScan(const TbmRESetLiterals& analysis) {
  return analysis.kind == TbmRESetLiterals::Kind::kLiterals && DecidedAtHit(KindOf(analysis));
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
    if (release_decided_ && DecidedByScan(analysis)) pattern->Release();
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

}  // namespace parlevo
