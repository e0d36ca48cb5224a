// Knowledge data kind 0: entries whose tag condition, evaluated by the owner,
// yields "TRUE". Lines: condition, answer.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"

namespace parlevo {

TLumoData0::TLumoData0(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoData0::~TLumoData0() = default;

void TLumoData0::ReserveEntries(size_t count) { lumo::GrowEntries(Entries, count); }

TLumoData::TLineResult TLumoData0::AddLine(const std::string& line, size_t& fields_found) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  std::string key = lumo::TreatField(fields[0]);
  if (key == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = key == kPriorMarker;
  Entries.push_back({std::move(key), std::move(fields[1]), false, marker});
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

std::string TLumoData0::Search(std::string_view /*input*/) {
  // Without an evaluator no condition can hold.
  if (!OnEvaluate()) return std::string();
  const int32_t chosen = lumo::ScanTiers(Entries, [this](const TDatum0& entry) {
    return NormalizeText(OnEvaluate()(platform::AnsiToWide(entry.Key))) == u"TRUE";
  });
  return chosen < 0 ? std::string() : TakeAnswer(Entries[static_cast<size_t>(chosen)]);
}

}  // namespace parlevo
