// The positions of several patterns side by side, stepped as one: what the
// lazily built automaton (lazy_find) is made of, for one pattern or for all
// the candidates of a set's text at once.
#ifndef PARLEVO_REGEX_COMBINED_POSITIONS_H_
#define PARLEVO_REGEX_COMBINED_POSITIONS_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "regex/position_nfa.h"
#include "regex/reader.h"

namespace parlevo {

// Ids: each pattern has a block, its start marker followed by its leaves. A
// set of ids (ascending) is what is alive at a point of the text; a
// pattern's marker says that a match of it may still start at every
// character boundary. Once a pattern's end leaf is reached its answer is
// known: the set keeps that leaf alone for it (no marker, no other leaf), so
// the pattern drops out at the next step. The classes are the common
// refinement of the patterns' own classes.
//
// Thread safety: Start and Next keep their scratch per thread; they may run
// on several threads at once.
class TbmRECombinedPositions {
 public:
  // The patterns' positions, in their order; each is reported by its tag.
  void Add(std::unique_ptr<TbmREPositionNFA> nfa, int32_t tag);
  // Before Finish: every pattern may start at every character boundary for
  // good, answered or not. A set then holds neither markers nor the leaves
  // a match starts with (they are implied), so that what is alive does not
  // depend on which patterns a text started or found: the states of one
  // text serve the next.
  void SetEveryStart() { every_start_ = true; }
  bool EveryStart() const { return every_start_; }
  // After the last Add: the classes.
  void Finish();
  // With every start: the tags of the patterns found in any text (a match
  // of nothing, or of a "$" alone).
  const std::vector<int32_t>& AlwaysFound() const { return always_found_; }
  int32_t NumPatterns() const { return static_cast<int32_t>(patterns_.size()); }
  // Takes back the positions of pattern `p` (the object is then unusable
  // until cleared): to rebuild a union with more patterns without parsing
  // again.
  std::unique_ptr<TbmREPositionNFA> Release(int32_t p) { return std::move(patterns_[p].nfa); }
  int32_t Tag(int32_t p) const { return patterns_[static_cast<size_t>(p)].tag; }
  // The most bytes a match of pattern `p` spans (-1: unbounded).
  int32_t MaxMatchBytes(int32_t p) const {
    return patterns_[static_cast<size_t>(p)].nfa->MaxMatchBytes();
  }

  // The one pattern's positions, whose classes these are (null: several).
  const TbmREPositionNFA* Single() const { return single_ ? patterns_[0].nfa.get() : nullptr; }
  int32_t NumClasses() const {
    return single_ ? patterns_[0].nfa->NumClasses() : static_cast<int32_t>(bounds_.size()) + 1;
  }
  // Classes below this have a column in every state's row (all of them
  // for one pattern or few classes; none for a union of many, whose
  // transitions go in one table).
  int32_t DenseClasses() const { return dense_; }
  int32_t ClassOf(int32_t c) const {
    if (single_) return patterns_[0].nfa->ClassOf(c);
    if (c >= 0 && static_cast<size_t>(c) < class_of_.size()) return class_of_[c];
    return SlowClassOf(c);
  }
  bool HasLineHead() const { return has_line_head_; }

  // One pattern alone: marks the bytes that begin a character some match
  // starts with, and the line breaks when a line head matters, for texts
  // in `code` (none for UTF-16). A character that begins with any other
  // byte leaves the state of the pattern's starts as it was.
  void MarkStartBytes(TbmCharCode code);
  bool HasStartBytes() const { return start_bytes_marked_; }
  bool StartByte(uint8_t b) const { return (start_bytes_[b >> 6] >> (b & 63)) & 1; }

  // The set at a text's start, before its line head: patterns `ps`
  // (ascending) starting.
  void Start(std::span<const int32_t> ps, std::vector<int32_t>& out);
  // The set after `set` reads class `cls`, matches starting anew after it;
  // or, for cls < 0, the set at a line head: `set` and the starts after '^'.
  void Next(std::span<const int32_t> set, int32_t cls, std::vector<int32_t>& out);
  // The tags of the patterns `set` has finished a match of, and those it has
  // if a line ends here, each once.
  void Accepts(std::span<const int32_t> set, std::vector<int32_t>& now,
               std::vector<int32_t>& at_tail) const;
  size_t MemoryBytes() const;

 private:
  enum Kind : uint8_t { kMarker, kLeaf, kEnd, kTailLeaf };
  struct Pattern {
    std::unique_ptr<TbmREPositionNFA> nfa;
    int32_t tag;
    int32_t base;  // its marker; leaf l is base + 1 + l
  };
  int32_t SlowClassOf(int32_t c) const;
  int32_t OwnerOf(int32_t id) const { return single_ ? 0 : owner_[static_cast<size_t>(id)]; }
  // The kind of the pattern's leaf (-1: its marker).
  static uint8_t LeafKind(const TbmREPositionNFA& nfa, int32_t leaf);
  // Scratch of Start and Next, per thread: one pattern's local leaves, marks
  // over them.
  struct Scratch {
    std::vector<int32_t> from, local;
    std::vector<uint32_t> mark;
    uint32_t stamp = 0;
    uint32_t NewStamp();
  };
  static Scratch& ThreadScratch(int32_t leaves);
  // Appends pattern p's block to out: its marker (if `marker`) and the
  // leaves in s.local (ascending after sorting), or its end leaf alone when
  // it is among them.
  static void Emit(const Pattern& p, bool marker, Scratch& s, std::vector<int32_t>& out);
  // Adds the leaves of `starting` not in s.local yet to it.
  static void AddStarts(const std::vector<int32_t>& starting, uint32_t stamp, Scratch& s);
  // With every start: the first leaves by the classes they take, and the
  // line head's starts.
  void IndexStarts();
  // With every start: Next, and the sorted ids of `out` cut to the end
  // leaf of each pattern that reached it.
  void NextEveryStart(std::span<const int32_t> set, int32_t cls, std::vector<int32_t>& out);
  void DropAnswered(std::vector<int32_t>& out) const;

  std::vector<Pattern> patterns_;
  int32_t ids_ = 0;
  bool single_ = false;         // one pattern: its own classes, no tables per id
  std::vector<int32_t> owner_;  // per id: its pattern
  std::vector<uint8_t> kind_;   // per id
  std::vector<int32_t> bounds_;
  std::vector<int32_t> rep_;       // per class: a value of it
  std::vector<int32_t> class_of_;  // ClassOf for values below the last bound
  int32_t dense_ = 0;
  bool has_line_head_ = false;
  int32_t max_leaves_ = 0;
  bool every_start_ = false;
  struct FirstLeaf {
    int32_t lo, hi;  // the common classes it takes
    int32_t pattern, leaf;
  };
  std::vector<FirstLeaf> narrow_;  // of one class each, by class
  std::vector<FirstLeaf> wide_;    // of several
  std::vector<int32_t> head_starts_;
  std::vector<int32_t> always_found_;
  uint64_t start_bytes_[4] = {};  // a bit per byte
  bool start_bytes_marked_ = false;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_COMBINED_POSITIONS_H_
