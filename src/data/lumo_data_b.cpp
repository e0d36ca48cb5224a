// Knowledge data kind B: entries whose pattern is found in the input.
// Lines: pattern, answer. Patterns are compiled at load.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "regex/rexp.h"

namespace parlevo {

TLumoDataB::TLumoDataB(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoDataB::~TLumoDataB() = default;

void TLumoDataB::ReserveEntries(size_t count) { lumo::GrowEntries(Patterns, count); }

TLumoData::TLineResult TLumoDataB::AddLine(const std::string& line, size_t& fields_found,
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
  Patterns.push_back({lumo::NewMatcher(pattern, error), !error.empty()});
  entry.Answer = std::move(fields[1]);
  if (!error.empty() && !marker) {
    NoteEntry(EntryCount() - 1, "pattern does not compile: " + error);
  }
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoDataB::Prepare() {
  // Compiling is done once per entry; a malformed pattern is remembered so
  // that no search asks the engine again.
  for (; Prepared < Patterns.size(); ++Prepared) {
    TPattern& pattern = Patterns[Prepared];
    std::string error;
    if (pattern.Broken || lumo::Compile(*pattern.Matcher, error)) continue;
    pattern.Broken = true;
    if (!Items()[Prepared].Marker) {
      NoteEntry(static_cast<int32_t>(Prepared), "pattern does not compile: " + error);
    }
  }
}

void TLumoDataB::MatchTier(std::string_view input, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  for (int32_t i = begin; i < end; ++i) {
    TPattern& pattern = Patterns[static_cast<size_t>(i)];
    if (!Usable(i) || pattern.Broken) continue;
    try {
      if (pattern.Matcher->Found(input)) candidates.Add(i);
    } catch (const EbmREToken&) {
      // a malformed pattern never matches
    }
  }
}

}  // namespace parlevo
