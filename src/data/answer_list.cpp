// The candidates of one knowledge data search and the random choice among
// them, re-seeded from the clock before every draw.
#include <algorithm>

#include "data/lumo_data.h"
#include "platform/random.h"

namespace parlevo {

namespace {

// A search may scan many entries but usually finds few candidates: reserve
// for the common case only.
constexpr int32_t kMaxInitialReserve = 64;

}  // namespace

TAnswerList::TAnswerList(int32_t grow_by) {
  Items.reserve(static_cast<size_t>(std::clamp(grow_by, 0, kMaxInitialReserve)));
}

int32_t TAnswerList::Choose() const {
  if (Items.empty()) return 0;
  platform::ReseedRandom();
  return Items[static_cast<size_t>(platform::RandomInt(Count()))];
}

}  // namespace parlevo
