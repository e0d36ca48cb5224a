// Candidate verification. One pattern alone is asked through its own
// automaton, its literal prefilter skipped because the set's search already
// passed it. Several are asked together: their positions side by side make
// one automaton whose state holds each candidate's live positions, so one
// pass over the text decides them all, and stops once all are found.
#include "regex/set_verify.h"

#include <algorithm>
#include <bit>

#include "regex/combined_positions.h"
#include "regex/lazy_find.h"
#include "regex/rexp.h"

namespace parlevo {

namespace {

// Below this many candidates of a text, or in a text shorter than this (a
// line of conversation, as a rule), each is asked alone: there a combined
// run costs more to set up than it saves.
constexpr size_t kMinCombined = 2;
constexpr size_t kMinCombinedBytes = 64;
// A combined run gives up once making its states has stepped more positions
// than a quarter of (text bytes x candidates), plus a little: about what
// asking each candidate through its own automaton costs (stepping a
// position costs some steps of such an automaton). A run over states
// already made costs no work at all.
constexpr size_t kWorkShare = 4;
constexpr size_t kWorkFloor = 256;
// After a run gave up, the next 2^n - 1 texts (n runs given up in a row, at
// most this) ask each candidate alone.
constexpr int kMaxSkipShift = 6;
// Patterns the combined automaton holds at most (those of recent texts), and
// their pattern bytes at most (what making their positions costs); a text
// whose candidates are more asks each alone.
constexpr size_t kMaxHeld = 256;
constexpr size_t kMaxHeldBytes = 16 << 10;

// A text this long or longer is asked of the whole set at once (below it,
// the scan and the candidates' verification cost less); a set of more
// patterns, or of longer pattern texts, is never asked so (making the
// positions costs about a parse of each).
constexpr size_t kMinWholeBytes = 256;
constexpr size_t kMaxWholePatterns = 4096;
constexpr size_t kMaxWholeBytes = 256 << 10;
// A run over the whole set gives up once making its states has stepped this
// many positions per byte of the text (a text unlike those before), plus a
// floor.
constexpr size_t kWholeWorkPerByte = 16;

}  // namespace

bool VerifyCandidate(TbmRExp& pattern, std::string_view text, uint32_t first_end) {
  try {
    return pattern.FoundPrefiltered(text, first_end);
  } catch (const EbmREToken&) {
    return false;
  }
}

TbmRESetVerify::TbmRESetVerify(TbmCharCode code) : code_(code) {}

TbmRESetVerify::~TbmRESetVerify() = default;

void TbmRESetVerify::SetBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  budget_ = std::move(budget);
  lazy_.reset();
  whole_.reset();
  if (whole_kind_ > 0) whole_kind_ = -1;
}

void TbmRESetVerify::Assign(const std::vector<TbmRExp*>& distinct) {
  distinct_ = &distinct;
  whole_.reset();
  whole_kind_ = -1;
  whole_backoff_ = Backoff();
  combined_kind_.assign(distinct.size(), -1);
  slot_.assign(distinct.size(), -1);
  held_.clear();
  if (lazy_) lazy_->TakePositions();
}

bool TbmRESetVerify::Combined(int32_t d) {
  int8_t& kind = combined_kind_[static_cast<size_t>(d)];
  if (kind < 0) {
    TbmRExp& pattern = *(*distinct_)[static_cast<size_t>(d)];
    try {
      kind = pattern.GetCharCode() == code_ && !pattern.QuickAnswers().LiteralOnly();
    } catch (const EbmREToken&) {
      kind = 0;  // never found, as VerifyCandidate says
    }
  }
  return kind != 0;
}

size_t TbmRESetVerify::TextBytes(std::span<const int32_t> ds) const {
  size_t bytes = 0;
  for (int32_t d : ds) bytes += (*distinct_)[static_cast<size_t>(d)]->Pattern().size();
  return bytes;
}

void TbmRESetVerify::DropHeld() {
  for (int32_t d : held_) slot_[static_cast<size_t>(d)] = -1;
  held_.clear();
}

void TbmRESetVerify::Cover() {
  if (!lazy_) {
    if (!budget_) budget_ = std::make_shared<TbmREMatchBudget>();
    lazy_ = std::make_unique<TbmRELazyFind>(budget_);
  }
  if (!lazy_->HasPositions()) DropHeld();  // given back with the budget: start again
  const bool complete =
      lazy_->HasPositions() && std::all_of(combined_.begin(), combined_.end(), [this](int32_t d) {
        return slot_[static_cast<size_t>(d)] >= 0;
      });
  if (!complete) {
    // The patterns held keep their places (and parsed positions); the new
    // ones come after them. Beyond kMaxHeld, only this text's candidates
    // are held: growing costs the whole union each time.
    auto old = lazy_->TakePositions();
    if (old && (static_cast<size_t>(old->NumPatterns()) + combined_.size() > kMaxHeld ||
                TextBytes(held_) + TextBytes(combined_) > kMaxHeldBytes)) {
      old.reset();
      DropHeld();
    }
    auto positions = std::make_unique<TbmRECombinedPositions>();
    for (int32_t p = 0; old && p < old->NumPatterns(); ++p) {
      positions->Add(old->Release(p), old->Tag(p));
    }
    for (int32_t d : combined_) {
      auto& slot = slot_[static_cast<size_t>(d)];
      if (slot >= 0) continue;
      slot = static_cast<int32_t>(held_.size());
      held_.push_back(d);
      positions->Add((*distinct_)[static_cast<size_t>(d)]->BuildPositions(), d);
    }
    positions->Finish();
    lazy_->SetPositions(std::move(positions));
  }
  // The places ascending, each once with the earliest end it was given.
  pairs_.clear();
  for (size_t i = 0; i < combined_.size(); ++i) {
    pairs_.push_back({slot_[static_cast<size_t>(combined_[i])], combined_ends_[i]});
  }
  std::sort(pairs_.begin(), pairs_.end());
  slots_.clear();
  slot_ends_.clear();
  for (const auto& [slot, end] : pairs_) {
    if (!slots_.empty() && slots_.back() == slot) continue;
    slots_.push_back(slot);
    slot_ends_.push_back(end);
  }
}

void TbmRESetVerify::AskEach(std::string_view text, std::span<const int32_t> ds,
                             std::span<const uint32_t> ends, std::vector<int32_t>& found) {
  for (size_t i = 0; i < ds.size(); ++i) {
    const int32_t d = ds[i];
    if (VerifyCandidate(*(*distinct_)[static_cast<size_t>(d)], text, ends.empty() ? 0 : ends[i])) {
      found.push_back(d);
    }
  }
}

void TbmRESetVerify::Verify(std::string_view text, std::span<const int32_t> candidates,
                            std::span<const uint32_t> ends, std::vector<int32_t>& found) {
  combined_.clear();
  combined_ends_.clear();
  alone_.clear();
  for (size_t i = 0; i < candidates.size(); ++i) {
    const int32_t d = candidates[i];
    if (!Combined(d)) {
      alone_.push_back(d);
      continue;
    }
    combined_.push_back(d);
    combined_ends_.push_back(ends[i]);
  }
  AskEach(text, alone_, {}, found);
  // Whether combined runs pay depends much on the text's length: how they
  // fared is kept per length class.
  const auto length_class = static_cast<size_t>(std::bit_width(text.size()));
  Backoff& backoff = backoff_[std::min(length_class, backoff_.size() - 1)];
  if (combined_.size() < kMinCombined || combined_.size() > kMaxHeld || backoff.skip > 0 ||
      text.size() < kMinCombinedBytes || TextBytes(combined_) > kMaxHeldBytes) {
    if (backoff.skip > 0) --backoff.skip;  // the combined runs gave up lately
    AskEach(text, combined_, combined_ends_, found);
    return;
  }
  Cover();
  const size_t before = found.size();
  const size_t limit = text.size() * combined_.size() / kWorkShare + kWorkFloor;
  if (lazy_->FindAll(code_, text, slots_, slot_ends_, limit, found)) {
    backoff.given_up = 0;
    return;
  }
  // Not all decided: those the run did not find are asked one by one.
  backoff.given_up = std::min(backoff.given_up + 1, kMaxSkipShift);
  backoff.skip = (1 << backoff.given_up) - 1;
  std::sort(found.begin() + static_cast<std::ptrdiff_t>(before), found.end());
  alone_.clear();
  for (int32_t d : combined_) {
    if (!std::binary_search(found.begin() + static_cast<std::ptrdiff_t>(before), found.end(), d)) {
      alone_.push_back(d);
    }
  }
  AskEach(text, alone_, {}, found);
}

bool TbmRESetVerify::MakeWhole() {
  if (distinct_->size() > kMaxWholePatterns) return false;
  std::vector<int32_t> all(distinct_->size());
  for (size_t d = 0; d < all.size(); ++d) all[d] = static_cast<int32_t>(d);
  if (TextBytes(all) > kMaxWholeBytes) return false;
  if (!budget_) budget_ = std::make_shared<TbmREMatchBudget>();
  auto positions = std::make_unique<TbmRECombinedPositions>();
  positions->SetEveryStart();
  whole_alone_.clear();
  for (int32_t d : all) {
    TbmRExp& pattern = *(*distinct_)[static_cast<size_t>(d)];
    try {
      if (pattern.GetCharCode() != code_) {
        whole_alone_.push_back(d);
        continue;
      }
      pattern.QuickAnswers();  // throws for a pattern that does not compile
      positions->Add(pattern.BuildPositions(), d);
    } catch (const EbmREToken&) {
      // never found
    }
  }
  positions->Finish();
  // Positions that would crowd out the states: the set is scanned instead.
  if (positions->MemoryBytes() > budget_->Limit() / 2) return false;
  whole_ = std::make_unique<TbmRELazyFind>(budget_);
  whole_->SetPositions(std::move(positions));
  return true;
}

bool TbmRESetVerify::WholeServes(size_t bytes) {
  if (bytes < kMinWholeBytes || whole_kind_ == 0) return false;
  if (whole_backoff_.skip > 0) {
    --whole_backoff_.skip;
    return false;
  }
  if (whole_kind_ < 0) whole_kind_ = MakeWhole() ? 1 : 0;
  // Given back with the budget: made again only after a while, as a run
  // that gave up.
  if (whole_kind_ > 0 && !whole_->HasPositions()) {
    whole_kind_ = -1;
    whole_.reset();
    whole_backoff_.given_up = std::min(whole_backoff_.given_up + 1, kMaxSkipShift);
    whole_backoff_.skip = (1 << whole_backoff_.given_up) - 1;
    return false;
  }
  return whole_kind_ > 0;
}

bool TbmRESetVerify::VerifyWhole(std::string_view text, std::vector<int32_t>& found) {
  if (!distinct_ || !WholeServes(text.size())) return false;
  const size_t before = found.size();
  if (!whole_->FindEvery(code_, text, text.size() * kWholeWorkPerByte + kWorkFloor, found)) {
    found.resize(before);
    whole_backoff_.given_up = std::min(whole_backoff_.given_up + 1, kMaxSkipShift);
    whole_backoff_.skip = (1 << whole_backoff_.given_up) - 1;
    return false;
  }
  whole_backoff_.given_up = 0;
  AskEach(text, whole_alone_, {}, found);
  return true;
}

size_t TbmRESetVerify::MemoryBytes() const {
  return sizeof(*this) + combined_kind_.capacity() +
         (slot_.capacity() + held_.capacity() + combined_.capacity() + alone_.capacity() +
          slots_.capacity() + combined_ends_.capacity() + slot_ends_.capacity()) *
             sizeof(int32_t) +
         pairs_.capacity() * sizeof(pairs_[0]) + whole_alone_.capacity() * sizeof(int32_t);
}

}  // namespace parlevo
