// How knowledge data fields become conditions and matchers: folded,
// "#" expanded, and patterns compiled with the engine's default settings.
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"
#include "regex/match_budget.h"
#include "regex/rexp.h"

namespace parlevo::lumo {

std::string TreatField(std::string_view field) { return FoldEntryField(field); }

std::string CompileNote(std::string_view which, std::string_view written, const TbmRExp& matcher,
                        const std::string& error) {
  std::string note = std::string(which) + " \"" + std::string(written) + "\"";
  // Folding can turn a full-width sign into an operator: show what was read.
  if (matcher.Pattern() != written) note += " (folded: \"" + std::string(matcher.Pattern()) + "\")";
  return platform::AnsiToUtf8(note + " does not compile: " + error);
}

namespace {

// Sets `matcher`'s pattern, read in place; `error` receives the engine's
// message when the pattern is refused already here.
void SetMatcherPattern(TbmRExp& matcher, std::string_view pattern, std::string& error) {
  try {
    matcher.SetPatternInPlace(pattern);
  } catch (const EbmREToken& e) {
    error = e.Detail();
  }
}

size_t TextHash(std::string_view text) { return std::hash<std::string_view>()(text); }

uint64_t SlotOf(size_t index, size_t hash) {
  return (static_cast<uint64_t>(hash) >> 32 << 32) | static_cast<uint64_t>(index + 1);
}

}  // namespace

TbmRExp& TMatcherCache::At(size_t m) { return blocks_[m / kBlockMatchers][m % kBlockMatchers]; }

void TMatcherCache::Rehash(size_t slots) {
  slots_.assign(slots, 0);
  const size_t mask = slots - 1;
  for (size_t m = first_made_; m < made_; ++m) {
    const size_t hash = TextHash(At(m).Pattern());
    size_t i = hash & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = SlotOf(m, hash);
  }
}

void TMatcherCache::Clear() {
  slots_ = decltype(slots_)();  // fresh: assigning {} would keep the storage
  errors_ = decltype(errors_)();
  first_made_ = made_;
}

bool TMatcherCache::Check(uint32_t m, bool whole, std::string& error) {
  error.clear();
  if (m < checked_.size() && checked_[m]) {
    const auto refused = errors_.find(&At(m));
    if (refused != errors_.end()) error = refused->second;
    return error.empty();
  }
  if (m >= checked_.size()) checked_.resize(made_);  // m < made_
  checked_[m] = true;
  if (lumo::Check(At(m), whole, error)) return true;
  errors_.emplace(&At(m), error);
  return false;
}

void TMatcherCache::Reserve(size_t count) {
  size_t slots = 16;
  while (slots < 2 * count) slots *= 2;  // at most half full
  if (slots > slots_.size()) Rehash(slots);
}

uint32_t TMatcherCache::Get(const std::string& pattern, std::string& error) {
  if (2 * (made_ - first_made_ + 1) > slots_.size()) {
    Rehash(std::max<size_t>(16, 2 * slots_.size()));
  }
  const size_t hash = TextHash(pattern);
  const size_t mask = slots_.size() - 1;
  const uint64_t tag = static_cast<uint64_t>(hash) >> 32;
  size_t i = hash & mask;
  for (; slots_[i] != 0; i = (i + 1) & mask) {
    if (slots_[i] >> 32 != tag) continue;
    const uint32_t m = static_cast<uint32_t>(slots_[i]) - 1;
    if (At(m).Pattern() == pattern) {
      error.clear();
      if (!errors_.empty()) {
        const auto refused = errors_.find(&At(m));
        if (refused != errors_.end()) error = refused->second;
      }
      return m;
    }
  }
  if (made_ >= kMaxMatchers) throw std::length_error("too many patterns");
  if (made_ % kBlockMatchers == 0) blocks_.push_back(std::make_unique<TbmRExp[]>(kBlockMatchers));
  TbmRExp* matcher = &At(made_++);
  error.clear();
  SetMatcherPattern(*matcher, texts_.View(texts_.Keep(pattern)), error);
  if (!error.empty()) errors_.emplace(matcher, error);
  if (budget_) {
    matcher->SetBudget(budget_);
    budget_->Allow(kMatchBudgetBytesPerPattern);
  }
  slots_[i] = SlotOf(made_ - 1, hash);
  return static_cast<uint32_t>(made_ - 1);
}

bool Compile(TbmRExp& matcher, std::string& error) {
  try {
    matcher.Found(std::string_view());
    return true;
  } catch (const EbmREToken& e) {
    error = e.Detail();
    return false;
  }
}

bool Check(TbmRExp& matcher, bool whole, std::string& error) {
  if (whole) return Compile(matcher, error);
  try {
    matcher.Parse();
    return true;
  } catch (const EbmREToken& e) {
    error = e.Detail();
    return false;
  }
}

}  // namespace parlevo::lumo
