// Knowledge data kind B: entries whose pattern is found in the input.
// Lines: pattern, answer. Patterns are compiled at load.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "regex/rexp.h"

namespace parlevo {

TLumoDataB::TLumoDataB(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoDataB::~TLumoDataB() = default;

void TLumoDataB::ReserveEntries(size_t count) { lumo::GrowEntries(Entries, count); }

TLumoData::TLineResult TLumoDataB::AddLine(const std::string& line, size_t& fields_found) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  const std::string pattern = lumo::TreatField(fields[0]);
  if (pattern == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = pattern == kPriorMarker;
  std::string error;
  TDatumB entry{lumo::NewMatcher(pattern, error), std::move(fields[1]), false, marker, false};
  entry.Broken = !error.empty();
  Entries.push_back(std::move(entry));
  if (!error.empty() && !marker) {
    NoteEntry(EntryCount() - 1, "pattern does not compile: " + error);
  }
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoDataB::Prepare() {
  // Compiling is done once per entry; a malformed pattern is remembered so
  // that no search asks the engine again.
  for (; Prepared < Entries.size(); ++Prepared) {
    TDatumB& entry = Entries[Prepared];
    std::string error;
    if (entry.Broken || lumo::Compile(*entry.Pattern, error)) continue;
    entry.Broken = true;
    if (!entry.Marker) {
      NoteEntry(static_cast<int32_t>(Prepared), "pattern does not compile: " + error);
    }
  }
}

std::string TLumoDataB::Search(std::string_view input) {
  const int32_t chosen = lumo::ScanTiers(Entries, [input](TDatumB& entry) {
    if (entry.Broken) return false;
    try {
      return entry.Pattern->Found(input);
    } catch (const EbmREToken&) {
      return false;  // a malformed pattern never matches
    }
  });
  return chosen < 0 ? std::string() : TakeAnswer(Entries[static_cast<size_t>(chosen)]);
}

}  // namespace parlevo
