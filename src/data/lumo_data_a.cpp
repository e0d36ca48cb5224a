// Knowledge data kind A: entries whose context pattern is found in the
// character's previous answer and whose input pattern is found in the input.
// Lines: context pattern, input pattern, answer.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "regex/rexp.h"

namespace parlevo {

TLumoDataA::TLumoDataA(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoDataA::~TLumoDataA() = default;

void TLumoDataA::ReserveEntries(size_t count) { lumo::GrowEntries(Patterns, count); }

TLumoData::TLineResult TLumoDataA::AddLine(const std::string& line, size_t& fields_found,
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
  TPatterns patterns{lumo::NewMatcher(context, context_error),
                     lumo::NewMatcher(lumo::TreatField(fields[1]), input_error), false};
  patterns.Broken = !context_error.empty() || !input_error.empty();
  entry.Answer = std::move(fields[2]);
  Patterns.push_back(std::move(patterns));
  if (!marker) NoteErrors(EntryCount() - 1, context_error, input_error);
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoDataA::NoteErrors(int32_t index, const std::string& context_error,
                            const std::string& input_error) {
  if (!context_error.empty())
    NoteEntry(index, "context pattern does not compile: " + context_error);
  if (!input_error.empty()) NoteEntry(index, "input pattern does not compile: " + input_error);
}

void TLumoDataA::Prepare() {
  // Both patterns of every new entry are compiled here, once; an entry with a
  // malformed one is remembered as never matching.
  for (; Prepared < Patterns.size(); ++Prepared) {
    TPatterns& patterns = Patterns[Prepared];
    if (patterns.Broken) continue;
    std::string context_error, input_error;
    lumo::Compile(*patterns.Context, context_error);
    lumo::Compile(*patterns.Input, input_error);
    patterns.Broken = !context_error.empty() || !input_error.empty();
    const auto index = static_cast<int32_t>(Prepared);
    if (!Items()[Prepared].Marker) NoteErrors(index, context_error, input_error);
  }
}

void TLumoDataA::MatchTier(std::string_view input, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  for (int32_t i = begin; i < end; ++i) {
    TPatterns& patterns = Patterns[static_cast<size_t>(i)];
    if (!Usable(i) || patterns.Broken) continue;
    try {
      // The input pattern is tried only when the context fits.
      if (patterns.Context->Found(Context) && patterns.Input->Found(input)) candidates.Add(i);
    } catch (const EbmREToken&) {
      // a malformed pattern never matches
    }
  }
}

}  // namespace parlevo
