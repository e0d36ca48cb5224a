// A column of entry patterns as one set. A search asks its object tier by
// tier; the set answers for every entry at once, so the answer of the first
// tier is kept for the next ones (and for the next search of the same text).
#include "data/entry_pattern_set.h"

#include "regex/reader.h"
#include "regex/rexp_set.h"

namespace parlevo {

TEntryPatternSet::TEntryPatternSet() : set_(std::make_unique<TbmRExpSet>(bmccDefaultCharCode())) {
  set_->SetReleaseDecided(true);  // the entries' patterns are asked through the set
}

TEntryPatternSet::~TEntryPatternSet() = default;

void TEntryPatternSet::Add(TbmRExp* pattern) {
  set_->Add(pattern);
  known_ = runs_known_ = false;
}

void TEntryPatternSet::Reserve(size_t count) { set_->Reserve(count); }

void TEntryPatternSet::Build() { set_->Build(); }

void TEntryPatternSet::SetBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  set_->SetBudget(std::move(budget));
}

void TEntryPatternSet::SetReference(bool on) {
  reference_ = on;
  known_ = runs_known_ = false;
}

const std::vector<int32_t>& TEntryPatternSet::Found(std::string_view text) {
  if (known_ && text == last_text_) return found_;
  if (reference_) {
    set_->FindEach(text, found_);
  } else {
    set_->Find(text, found_);
  }
  last_text_.assign(text);
  known_ = true;
  runs_known_ = false;  // a run may be found_ itself
  return found_;
}

const std::vector<std::span<const int32_t>>& TEntryPatternSet::FoundRuns(std::string_view text) {
  if (runs_known_ && text == runs_text_) return runs_;
  runs_.clear();
  if (reference_ || !set_->DistinctSearch()) {
    runs_.emplace_back(Found(text));  // one run: the listed answer
  } else {
    for (int32_t d : set_->FindDistinct(text)) runs_.push_back(set_->IndexesOf(d));
  }
  runs_text_.assign(text);
  runs_known_ = true;
  return runs_;
}

}  // namespace parlevo
