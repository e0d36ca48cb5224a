// The deterministic automaton of a pattern: the subset construction over the
// leaf sets of the parse tree, on a partition of the character values into
// classes. States are rows of a dense table (state x class -> state), which
// is what the search reads; TbmREState is a readable view of one row.
#ifndef PARLEVO_REGEX_AUTOMATON_H_
#define PARLEVO_REGEX_AUTOMATON_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "regex/ranges.h"

namespace parlevo {

class TbmRETree;

// Budgets: an automaton beyond them is refused like a malformed pattern
// (EbmREToken), so it costs neither seconds nor gigabytes. Each is checked
// before what it measures is built. A word list's automaton is a tree of
// its words' beginnings, so states may be many while classes are few: the
// table's cells bound its memory, the leaf sets of its states the rest.
inline constexpr int32_t kMaxDFAStates = 65536;
inline constexpr int64_t kMaxDFACells = 2'000'000;        // states x classes (8 MiB)
inline constexpr int64_t kMaxDFASetElements = 2'000'000;  // leaves kept by the states (8 MiB)
inline constexpr int64_t kMaxDFAWork = 1'000'000;         // leaf-set elements handled, any pattern
inline constexpr int64_t kDFAWorkPerLeaf = 256;           // more for each leaf of the pattern

inline constexpr int32_t kNoState = -1;

struct TbmRETransition {
  int32_t Lo;
  int32_t Hi;
  int32_t Target;
  bool operator==(const TbmRETransition&) const = default;
};

// One state as a list of transitions, ascending, neighbouring records with
// the same target merged.
struct TbmREState {
  bool Accepting = false;
  std::vector<TbmRETransition> Transitions;
  // The target for character c, kNoState when there is none.
  int32_t NextState(int32_t c) const;
};

// Immutable once built; safe to read from several threads at once.
class TbmREDFATable {
 public:
  TbmREDFATable() = default;
  TbmREDFATable(const TbmREDFATable&) = delete;
  TbmREDFATable& operator=(const TbmREDFATable&) = delete;

  // Builds from `tree`, refining `partition` by the anchor pseudo-characters
  // in use and by LF and CR. Throws EbmREToken beyond the budgets.
  void Build(const TbmRETree& tree, TbmREWchRanges& partition);
  void ClearStates();

  bool HasLineHead = false;
  bool HasLineTail = false;

  int32_t size() const { return num_states_; }
  TbmREState State(int32_t s) const;

  // --- Search interface ---
  // Classes are the partition records, plus one last class for values that
  // lie in no record (no state has a transition on it).
  int32_t NumClasses() const { return width_; }
  int32_t OtherClass() const { return width_ - 1; }
  int32_t ClassOf(int32_t c) const { return (c >= 0 && c < 256) ? byte_class_[c] : WideClassOf(c); }
  int32_t WideClassOf(int32_t c) const;
  // The class of every value in lo..hi when they all share one, else -1.
  int32_t UniformClass(int32_t lo, int32_t hi) const;
  const TbmREWchRange& ClassRange(int32_t cls) const { return classes_[cls]; }
  int32_t Next(int32_t s, int32_t cls) const {
    return next_[static_cast<size_t>(s) * width_ + cls];
  }
  bool Accepting(int32_t s) const { return flags_[s] & kAccepting; }
  // The state has a transition on the line tail ('$' may end a match here).
  bool TailAccepting(int32_t s) const { return flags_[s] & kTail; }
  // NextState(initial, line head), kNoState without a line head.
  int32_t HeadState() const { return head_; }

 private:
  static constexpr uint8_t kAccepting = 1;
  static constexpr uint8_t kTail = 2;

  std::vector<TbmREWchRange> classes_;
  std::vector<int32_t> class_lows_;  // classes_[i].Lo, for the binary search
  int32_t byte_class_[256] = {};
  std::vector<int32_t> next_;
  std::vector<uint8_t> flags_;
  int32_t width_ = 1;
  int32_t num_states_ = 0;
  int32_t head_ = kNoState;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_AUTOMATON_H_
