// The loop detector: compares the newest utterances with those one cycle
// earlier, for each cycle length from the shortest up.
#include "app/stuck_detector.h"

namespace parlevo {

const std::string& TStuckDetector::Back(int age) const {
  return ring_[static_cast<size_t>((next_ - 1 - age + 2 * kKept) % kKept)];
}

int32_t TStuckDetector::Add(std::string_view said) {
  ring_[static_cast<size_t>(next_)].assign(said);
  next_ = (next_ + 1) % kKept;
  ++count_;
  for (int cycle = 1; cycle <= kLongestCycle; ++cycle) {
    const int span = cycle * kRepeats;
    if (count_ < span) break;
    // Three copies of one cycle in a row: every line equals the one a
    // cycle before it, across the last two cycles.
    bool repeats = true;
    for (int age = 0; age + cycle < span && repeats; ++age) {
      repeats = Back(age) == Back(age + cycle);
    }
    if (repeats) return span;
  }
  return 0;
}

}  // namespace parlevo
