// Knowledge data kind 0: entries whose tag condition, evaluated by the owner,
// yields "TRUE". Lines: condition, answer.
//
// Evaluating every condition on every turn is what a kind 0 search costs, so
// it is spared where the answer cannot differ: a condition without tags is
// its own value (known at load), and within one tier, evaluated at one
// instant, a condition text that ran no tag with an effect gives the same
// value again until some condition's tags do have one.
#include "data/lumo_internal.h"
#include "data/text_helpers.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo {

TLumoData0::TLumoData0(bool use_once, TEvaluateFunc on_evaluate)
    : TLumoData(use_once, std::move(on_evaluate)) {}

TLumoData0::~TLumoData0() = default;

void TLumoData0::ReserveEntries(size_t count) { lumo::GrowEntries(ConditionOf, count); }

TLumoData::TLineResult TLumoData0::AddLine(std::string_view line, size_t& fields_found,
                                           TLumoEntry& entry) {
  std::vector<std::string> fields = SplitCommaText(line);
  if (fields.size() < MinimumFields()) {
    fields_found = fields.size();
    return TLineResult::kShort;
  }
  std::string key = lumo::TreatField(fields[0]);
  if (key == kEndOfData) return TLineResult::kEndOfData;
  const bool marker = key == kPriorMarker;
  entry.Answer = KeepAnswer(fields[1]);
  auto [it, added] = ConditionIds.try_emplace(key, static_cast<int32_t>(Conditions.size()));
  if (added) {
    TCondition& condition = Conditions.emplace_back();
    condition.Text = key;
    condition.Wide = platform::AnsiToWide(key);
    // Without braces the expander returns the text as it stands.
    condition.Constant = key.find_first_of("{}") == std::string::npos;
    condition.ConstantHolds = condition.Constant && NormalizeText(condition.Wide) == u"TRUE";
    ResultStamp.push_back(0);
    Result.push_back(0);
  }
  ConditionOf.push_back(it->second);
  return marker ? TLineResult::kMarker : TLineResult::kEntry;
}

void TLumoData0::MatchTier(std::string_view /*input*/, int32_t begin, int32_t end,
                           TAnswerList& candidates) {
  // Without an evaluator no condition can hold.
  if (!OnEvaluate()) return;
  // One instant for the tier, so that results can be remembered within it.
  const double now = platform::NowLocal();
  ForgetResults();
  for (int32_t i = begin; i < end; ++i) {
    if (Usable(i) && Holds(ConditionOf[static_cast<size_t>(i)], now)) candidates.Add(i);
  }
}

void TLumoData0::DescribeMatching(int32_t index, TEntryDescription& description) const {
  description.Condition =
      Conditions[static_cast<size_t>(ConditionOf[static_cast<size_t>(index)])].Text;
}

bool TLumoData0::Holds(int32_t id, double now) {
  const auto d = static_cast<size_t>(id);
  const TCondition& condition = Conditions[d];
  if (Reference)
    return NormalizeText(OnEvaluate()(condition.Wide, platform::NowLocal()).Value) == u"TRUE";
  if (condition.Constant) return condition.ConstantHolds;
  if (ResultStamp[d] == Stamp) return Result[d] != 0;
  const TEvaluation evaluation = OnEvaluate()(condition.Wide, now);
  const bool holds = NormalizeText(evaluation.Value) == u"TRUE";
  if (evaluation.Repeatable) {
    ResultStamp[d] = Stamp;
    Result[d] = holds;
  } else {
    ForgetResults();  // its tags changed something the others may read
  }
  return holds;
}

void TLumoData0::ForgetResults() {
  if (++Stamp == 0) {  // the stamps went round: clear them
    std::fill(ResultStamp.begin(), ResultStamp.end(), 0);
    Stamp = 1;
  }
}

}  // namespace parlevo
