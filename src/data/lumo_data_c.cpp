// Knowledge data kind C: free talk, every entry a candidate. Each line as
// written is an answer; an empty line is an entry with an empty answer.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"

namespace parlevo {

TLumoDataC::TLumoDataC(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoDataC::~TLumoDataC() = default;

void TLumoDataC::ReserveEntries(size_t count) { lumo::GrowEntries(Entries, count); }

TLumoData::TLineResult TLumoDataC::AddLine(const std::string& line, size_t& /*fields_found*/) {
  const std::u16string folded = NormalizeText(platform::AnsiToWide(line));
  if (folded == u"{ENDOFDATA}") return TLineResult::kEndOfData;
  if (folded == u"{PRIOR}") {
    Entries.push_back({std::string(kPriorMarker), false, true});
    return TLineResult::kMarker;
  }
  Entries.push_back({line, false, false});
  return TLineResult::kEntry;
}

std::string TLumoDataC::Search(std::string_view /*input*/) {
  const int32_t chosen = lumo::ScanTiers(Entries, [](const TDatumC&) { return true; });
  return chosen < 0 ? std::string() : TakeAnswer(Entries[static_cast<size_t>(chosen)]);
}

}  // namespace parlevo
