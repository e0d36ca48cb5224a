// Knowledge data kind A: entries whose context pattern is found in the
// character's previous answer and whose input pattern is found in the input.
// Lines: context pattern, input pattern, answer. The context patterns and the
// input patterns form two sets; an entry is a candidate when both find it.
#include <algorithm>

#include "data/entry_pattern_set.h"
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "regex/rexp.h"

namespace parlevo {

TLumoDataA::TLumoDataA(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)),
      Matchers(std::make_unique<lumo::TMatcherCache>()),
      ContextSet(std::make_unique<TEntryPatternSet>()),
      InputSet(std::make_unique<TEntryPatternSet>()) {}

TLumoDataA::~TLumoDataA() = default;

void TLumoDataA::ReserveEntries(size_t count) {
  lumo::GrowEntries(Patterns, count);
  Matchers->Reserve(2 * count);
  ContextSet->Reserve(count);
  InputSet->Reserve(count);
}

TLumoData::TLineResult TLumoDataA::AddLine(std::string_view line, size_t& fields_found,
                                           TLumoEntry& entry) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  const std::string context = lumo::TreatField(fields[0]);
  if (context == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = context == kPriorMarker;
  std::string context_error, input_error;
  TPatterns patterns;
  patterns.Context = Matchers->Get(context, context_error);
  patterns.Input = Matchers->Get(lumo::TreatField(fields[1]), input_error);
  patterns.Broken = !context_error.empty() || !input_error.empty();
  entry.Answer = KeepAnswer(fields[2]);
  Patterns.push_back(patterns);
  if (NotesOn()) {
    Written.resize(Patterns.size());
    Written.back() = {fields[0], fields[1]};
  }
  if (!marker) NoteErrors(EntryCount() - 1, context_error, input_error);
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoDataA::NoteErrors(int32_t index, const std::string& context_error,
                            const std::string& input_error) {
  const auto at = static_cast<size_t>(index);
  const TPatterns& patterns = Patterns[at];
  const std::pair<std::string, std::string> none;
  const auto& [written_context, written_input] = at < Written.size() ? Written[at] : none;
  if (!context_error.empty()) {
    NoteEntry(index,
              lumo::CompileNote("context pattern", written_context, Matchers->At(patterns.Context),
                                context_error),
              lumo::kPatternError);
  }
  if (!input_error.empty()) {
    NoteEntry(index,
              lumo::CompileNote("input pattern", written_input, Matchers->At(patterns.Input),
                                input_error),
              lumo::kPatternError);
  }
}

void TLumoDataA::Prepare() {
  // Both patterns of every new entry are checked here, once (see
  // lumo::Check); an entry with a malformed one is remembered as never
  // matching.
  for (; Prepared < Patterns.size(); ++Prepared) {
    TPatterns& patterns = Patterns[Prepared];
    const bool marker = Items()[Prepared].Marker;
    if (!patterns.Broken) {
      std::string context_error, input_error;
      Matchers->Check(patterns.Context, NotesOn(), context_error);
      Matchers->Check(patterns.Input, NotesOn(), input_error);
      patterns.Broken = !context_error.empty() || !input_error.empty();
      if (!marker) NoteErrors(static_cast<int32_t>(Prepared), context_error, input_error);
    }
    const bool never = marker || patterns.Broken;
    ContextSet->Add(never ? nullptr : &Matchers->At(patterns.Context));
    InputSet->Add(never ? nullptr : &Matchers->At(patterns.Input));
  }
}

void TLumoDataA::DescribeMatching(int32_t index, TEntryDescription& description) const {
  const TPatterns& patterns = Patterns[static_cast<size_t>(index)];
  description.ContextPattern = &Matchers->At(patterns.Context);
  description.InputPattern = &Matchers->At(patterns.Input);
  description.Broken = patterns.Broken;
}

void TLumoDataA::MatchTier(std::string_view input, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  // Entries whose context pattern fits, then those whose input pattern does.
  const std::vector<int32_t>& context = ContextSet->Found(Context_);
  auto it = std::lower_bound(context.begin(), context.end(), begin);
  if (it == context.end() || *it >= end) return;
  const std::vector<int32_t>& found = InputSet->Found(input);
  auto jt = std::lower_bound(found.begin(), found.end(), *it);
  for (; it != context.end() && *it < end; ++it) {
    while (jt != found.end() && *jt < *it) ++jt;
    if (jt != found.end() && *jt == *it && Usable(*it)) candidates.Add(*it);
  }
}

void TLumoDataA::Ready() {
  Matchers->Clear();  // first: its table would be held while the sets build
  ContextSet->Build();
  InputSet->Build();
}

void TLumoDataA::SetReferenceSearch(bool on) {
  ContextSet->SetReference(on);
  InputSet->SetReference(on);
}

void TLumoDataA::SetMatchBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  ContextSet->SetBudget(budget);
  InputSet->SetBudget(budget);
  Matchers->SetBudget(std::move(budget));
}

}  // namespace parlevo
