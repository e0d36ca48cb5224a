// The "found anywhere?" machinery of a compiled pattern: a literal prefilter
// (byte strings of which every match must contain one) and an unanchored
// automaton that answers in one pass over the text, stopping at the first
// accepting point.
#ifndef PARLEVO_REGEX_FAST_FIND_H_
#define PARLEVO_REGEX_FAST_FIND_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmREDFATable;
class TbmRETree;

// Budgets of the unanchored automaton; beyond them Found falls back to the
// full search (still correct, only slower).
inline constexpr int32_t kMaxFindStates = 2048;
inline constexpr int64_t kMaxFindCells = 1'000'000;
// At most this many alternative literals are kept for the prefilter.
inline constexpr size_t kMaxLiterals = 16;

// Immutable once built; reads `dfa`, which must outlive it.
class TbmREFastFind {
 public:
  TbmREFastFind(const TbmRETree& tree, const TbmREDFATable& dfa, TbmCharCode code);
  TbmREFastFind(const TbmREFastFind&) = delete;
  TbmREFastFind& operator=(const TbmREFastFind&) = delete;

  // False only when no match can exist in `text` (a necessary condition).
  bool MayMatch(std::string_view text) const;
  // 1 found, 0 not found, -1 when only the full search can tell.
  int Found(std::string_view text) const;

  // The prefilter's literals (empty: no prefilter), for tests and tuning.
  const std::vector<std::string>& Literals() const { return literals_; }
  bool HasAutomaton() const { return automaton_ok_; }

 private:
  struct Needle {
    std::string bytes;
    size_t rare;  // offset of the byte searched for first
  };
  void BuildLiterals(const TbmRETree& tree, TbmCharCode code);
  void BuildAutomaton(const TbmREDFATable& dfa, TbmCharCode code);
  int32_t WideClass(int32_t c) const;

  std::vector<std::string> literals_;
  std::vector<Needle> needles_;

  const TbmREDFATable* dfa_;
  bool always_ = false;  // the pattern matches at the very start
  bool automaton_ok_ = false;
  int32_t width_ = 0;
  int32_t start_ = 0;  // row offsets: state * width_; -1 is "found"
  std::vector<int32_t> next_;
  std::vector<uint8_t> at_end_;  // per state: found when the text ends here
  int32_t byte_class_[256];      // -1: a lead byte, decoded with the next byte
  int32_t lead_class_[256];      // class of every lead*256+trail, -1 if they differ
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_FAST_FIND_H_
