// Knowledge data kind C: free talk, every entry a candidate. Each line as
// written is an answer; an empty line is an entry with an empty answer.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"

namespace parlevo {

TLumoDataC::TLumoDataC(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoDataC::~TLumoDataC() = default;

TLumoData::TLineResult TLumoDataC::AddLine(std::string_view line, size_t& /*fields_found*/,
                                           TLumoEntry& entry) {
  const std::u16string folded = NormalizeText(platform::AnsiToWide(line));
  if (folded == u"{ENDOFDATA}") return TLineResult::kEndOfData;
  if (folded == u"{PRIOR}") {
    entry.Answer = KeepAnswer(kPriorMarker);
    return TLineResult::kMarker;
  }
  entry.Answer = KeepAnswer(line);
  return TLineResult::kEntry;
}

void TLumoDataC::MatchTier(std::string_view /*input*/, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  AddUsableInterval(begin, end, candidates);
}

}  // namespace parlevo
