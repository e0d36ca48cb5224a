// A pattern as its positions (the leaves of the parse tree and their follow
// sets), searched by simulation: no automaton is built, and the time is
// linear in the text whatever the pattern, so a pattern whose automaton would
// be too large still answers.
#ifndef PARLEVO_REGEX_POSITION_NFA_H_
#define PARLEVO_REGEX_POSITION_NFA_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmRETree;

// Immutable once built; the searches keep their scratch per thread, so they
// may run on several threads at once.
class TbmREPositionNFA {
 public:
  explicit TbmREPositionNFA(const TbmRETree& tree);

  // Character classes: values that every leaf takes alike.
  int32_t NumClasses() const { return static_cast<int32_t>(bounds_.size()) + 1; }
  // Inline: searches ask it for every character.
  int32_t ClassOf(int32_t c) const {
    if (c >= 0 && c < 256) return byte_class_[c];
    if (c > 0 && c < 0x10000 && row_class_[c >> 8] >= 0) return row_class_[c >> 8];
    return SlowClassOf(c);
  }
  // Appends to `out` the leaves that follow the leaves of `from` taking
  // class `cls`, each once (`mark`/`stamp`: per-leaf scratch of the caller,
  // `stamp` new for this step, and marks already set are not added again).
  void Step(std::span<const int32_t> from, int32_t cls, std::vector<int32_t>& out,
            std::vector<uint32_t>& mark, uint32_t stamp) const;
  // The leaves a match starts with, and those a match at a line head starts
  // with besides (after the '^').
  const std::vector<int32_t>& First() const { return first_; }
  const std::vector<int32_t>& HeadFirst() const { return head_first_; }
  bool HasLineHead() const { return has_line_head_; }
  // The class boundaries, ascending (the first value of each class but the
  // first), to refine with those of other patterns.
  const std::vector<int32_t>& Bounds() const { return bounds_; }
  // The leaf of a finished match, and whether a leaf is a '$' ending it.
  int32_t EndLeaf() const { return end_leaf_; }
  bool TailLeaf(int32_t leaf) const { return tail_leaf_[static_cast<size_t>(leaf)] != 0; }
  bool HasLineTail() const { return has_line_tail_; }
  // The leaves hold a finished match / one finished at a line tail.
  bool Accepting(std::span<const int32_t> leaves) const;
  bool TailAccepting(std::span<const int32_t> leaves) const;
  int32_t NumLeaves() const { return static_cast<int32_t>(leaf_lo_.size()); }
  // The classes leaf `leaf` takes, lo to hi (-1 for both: none).
  int32_t LeafLo(int32_t leaf) const { return leaf_lo_[static_cast<size_t>(leaf)]; }
  int32_t LeafHi(int32_t leaf) const { return leaf_hi_[static_cast<size_t>(leaf)]; }
  // The leaves that follow `leaf`.
  std::span<const int32_t> Follow(int32_t leaf) const {
    const auto l = static_cast<size_t>(leaf);
    return {follow_.data() + follow_begin_[l], follow_begin_[l + 1] - follow_begin_[l]};
  }
  // The most bytes a match can span, or -1 when a loop makes it unbounded.
  int32_t MaxMatchBytes() const { return max_match_bytes_; }
  size_t MemoryBytes() const;

  // Leftmost start, then the longest match there, from byte `from` (as
  // bmreSearch answers with the automaton).
  bool Search(TbmCharCode code, std::string_view text, int32_t from, int32_t& pos,
              int32_t& len) const;

 private:
  // ClassOf by a binary search of the boundaries.
  int32_t SlowClassOf(int32_t c) const;
  // The longest path from the first leaves, in bytes (-1: a loop).
  static int32_t LongestPath(const TbmRETree& tree, const std::vector<int32_t>& first);

  std::vector<int32_t> bounds_;   // ascending class boundaries (first value of a class)
  int32_t byte_class_[256] = {};  // ClassOf for single bytes
  // ClassOf for the values of a high byte (values 256 to 65535) when no
  // boundary falls among them, else -1: a text's double-byte characters
  // mostly skip the binary search.
  int16_t row_class_[256] = {};
  std::vector<int32_t> leaf_lo_, leaf_hi_;  // the classes each leaf takes; -1 for none
  std::vector<uint32_t> follow_begin_;      // per leaf, plus one
  std::vector<int32_t> follow_;
  std::vector<int32_t> first_, head_first_;
  std::vector<uint8_t> tail_leaf_;  // per leaf: a '$' that ends the pattern
  int32_t end_leaf_ = -1;
  int32_t max_match_bytes_ = -1;
  bool has_line_head_ = false, has_line_tail_ = false;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_POSITION_NFA_H_
