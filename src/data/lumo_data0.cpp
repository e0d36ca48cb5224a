// Knowledge data kind 0: entries whose tag condition, evaluated by the owner,
// yields "TRUE". Lines: condition, answer.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"

namespace parlevo {

TLumoData0::TLumoData0(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoData0::~TLumoData0() = default;

void TLumoData0::ReserveEntries(size_t count) { lumo::GrowEntries(Keys, count); }

TLumoData::TLineResult TLumoData0::AddLine(const std::string& line, size_t& fields_found,
                                           TLumoEntry& entry) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  std::string key = lumo::TreatField(fields[0]);
  if (key == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = key == kPriorMarker;
  entry.Answer = std::move(fields[1]);
  Keys.push_back(std::move(key));
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoData0::MatchTier(std::string_view /*input*/, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  // Without an evaluator no condition can hold.
  if (!OnEvaluate()) return;
  for (int32_t i = begin; i < end; ++i) {
    if (!Usable(i)) continue;
    const std::u16string value = OnEvaluate()(platform::AnsiToWide(Condition(i)));
    if (NormalizeText(value) == u"TRUE") candidates.Add(i);
  }
}

}  // namespace parlevo
