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

void TLumoDataA::ReserveEntries(size_t count) { lumo::GrowEntries(Entries, count); }

TLumoData::TLineResult TLumoDataA::AddLine(const std::string& line, size_t& fields_found) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  const std::string context = lumo::TreatField(fields[0]);
  if (context == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = context == kPriorMarker;
  std::string context_error, input_error;
  TDatumA entry{lumo::NewMatcher(context, context_error),
                lumo::NewMatcher(lumo::TreatField(fields[1]), input_error),
                std::move(fields[2]),
                false,
                marker,
                false};
  entry.Broken = !context_error.empty() || !input_error.empty();
  Entries.push_back(std::move(entry));
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
  for (; Prepared < Entries.size(); ++Prepared) {
    TDatumA& entry = Entries[Prepared];
    if (entry.Broken) continue;
    std::string context_error, input_error;
    lumo::Compile(*entry.ContextPattern, context_error);
    lumo::Compile(*entry.InputPattern, input_error);
    entry.Broken = !context_error.empty() || !input_error.empty();
    if (!entry.Marker) NoteErrors(static_cast<int32_t>(Prepared), context_error, input_error);
  }
}

std::string TLumoDataA::Search(std::string_view input) {
  const int32_t chosen = lumo::ScanTiers(Entries, [this, input](TDatumA& entry) {
    if (entry.Broken) return false;
    try {
      // The input pattern is tried only when the context fits.
      return entry.ContextPattern->Found(Context) && entry.InputPattern->Found(input);
    } catch (const EbmREToken&) {
      return false;  // a malformed pattern never matches
    }
  });
  return chosen < 0 ? std::string() : TakeAnswer(Entries[static_cast<size_t>(chosen)]);
}

}  // namespace parlevo
