// Notices a conversation that has fallen into a loop: the last lines repeat
// a cycle of 1 to 12 utterances (all speakers' lines together) for the third
// time in a row.
//
// Thread-safety: none of its own; fed by one thread (the conversation's).
#ifndef PARLEVO_APP_STUCK_DETECTOR_H_
#define PARLEVO_APP_STUCK_DETECTOR_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace parlevo {

class TStuckDetector {
 public:
  // The longest cycle looked for, and how often it must come in a row.
  static constexpr int kLongestCycle = 12;
  static constexpr int kRepeats = 3;

  // Adds what was said next (whoever said it). Returns how many of the last
  // lines repeat (cycle length x 3, shortest cycle first), 0 while the
  // conversation is not stuck.
  int32_t Add(std::string_view said);

 private:
  static constexpr int kKept = kLongestCycle * kRepeats;
  // The newest kKept utterances in a ring; slots keep their capacity, so a
  // long conversation stops allocating here.
  const std::string& Back(int age) const;  // age 0: the newest

  std::array<std::string, kKept> ring_;
  int next_ = 0;
  int64_t count_ = 0;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_STUCK_DETECTOR_H_
