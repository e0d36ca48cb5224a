// Knowledge data kind B: entries whose pattern is found in the input.
// Lines: pattern, answer. Patterns are checked at load; the set of all of
// them answers which are found in an input, in one pass.
#include "data/entry_pattern_set.h"
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "regex/rexp.h"

namespace parlevo {

TLumoDataB::TLumoDataB(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)),
      Matchers(std::make_unique<lumo::TMatcherCache>()),
      Set(std::make_unique<TEntryPatternSet>()) {}

TLumoDataB::~TLumoDataB() = default;

void TLumoDataB::ReserveEntries(size_t count) {
  lumo::GrowEntries(Patterns, count);
  Matchers->Reserve(count);
  Set->Reserve(count);
}

TLumoData::TLineResult TLumoDataB::AddLine(std::string_view line, size_t& fields_found,
                                           TLumoEntry& entry) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  const std::string pattern = lumo::TreatField(fields[0]);
  if (pattern == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = pattern == kPriorMarker;
  std::string error;
  TPattern& added = Patterns.emplace_back();
  added.Matcher = Matchers->Get(pattern, error);
  added.Broken = !error.empty();
  if (NotesOn()) {
    Written.resize(Patterns.size());
    Written.back() = fields[0];
  }
  entry.Answer = KeepAnswer(fields[1]);
  if (!error.empty() && !marker) {
    NoteEntry(EntryCount() - 1,
              lumo::CompileNote("pattern", WrittenOf(Patterns.size() - 1),
                                Matchers->At(added.Matcher), error),
              lumo::kPatternError);
  }
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoDataB::Prepare() {
  // Checked once per pattern (see lumo::Check); a malformed pattern is
  // remembered so that no search asks the engine again.
  for (; Prepared < Patterns.size(); ++Prepared) {
    TPattern& pattern = Patterns[Prepared];
    const bool marker = Items()[Prepared].Marker;
    std::string error;
    TbmRExp& matcher = Matchers->At(pattern.Matcher);
    if (!pattern.Broken && !Matchers->Check(pattern.Matcher, NotesOn(), error)) {
      pattern.Broken = true;
      if (!marker) {
        NoteEntry(static_cast<int32_t>(Prepared),
                  lumo::CompileNote("pattern", WrittenOf(Prepared), matcher, error),
                  lumo::kPatternError);
      }
    }
    Set->Add(marker || pattern.Broken ? nullptr : &matcher);
  }
}

std::string_view TLumoDataB::WrittenOf(size_t index) const {
  return index < Written.size() ? std::string_view(Written[index]) : std::string_view();
}

void TLumoDataB::Ready() {
  Matchers->Clear();  // first: its table would be held while the set builds
  Set->Build();
}

void TLumoDataB::DescribeMatching(int32_t index, TEntryDescription& description) const {
  const TPattern& pattern = Patterns[static_cast<size_t>(index)];
  description.InputPattern = &Matchers->At(pattern.Matcher);
  description.Broken = pattern.Broken;
}

void TLumoDataB::MatchTier(std::string_view input, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  AddFoundRuns(Set->FoundRuns(input), begin, end, candidates);
}

void TLumoDataB::SetReferenceSearch(bool on) { Set->SetReference(on); }

void TLumoDataB::SetMatchBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  Set->SetBudget(budget);
  Matchers->SetBudget(std::move(budget));
}

}  // namespace parlevo
