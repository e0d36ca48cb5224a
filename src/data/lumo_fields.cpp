// How knowledge data fields become conditions and matchers: folded,
// "#" expanded, and patterns compiled with the engine's default settings.
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
  if (matcher.Pattern() != written) note += " (folded: \"" + matcher.Pattern() + "\")";
  return platform::AnsiToUtf8(note + " does not compile: " + error);
}

std::unique_ptr<TbmRExp> NewMatcher(const std::string& pattern, std::string& error) {
  auto matcher = std::make_unique<TbmRExp>();
  try {
    matcher->SetPattern(pattern);
  } catch (const EbmREToken& e) {
    error = e.Detail();
  }
  return matcher;
}

std::shared_ptr<TbmRExp> TMatcherCache::Get(const std::string& pattern, std::string& error) {
  auto [it, added] = made_.try_emplace(pattern);
  TMade& made = it->second;
  if (added) {
    made.Matcher = NewMatcher(pattern, made.Error);
    if (budget_) {
      made.Matcher->SetBudget(budget_);
      budget_->Allow(kMatchBudgetBytesPerPattern);
    }
  }
  error = made.Error;
  return made.Matcher;
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
