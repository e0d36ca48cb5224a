// The patterns waiting for each literal of a set, grouped into decision
// classes: patterns a hit decides alike are decided once per hit, together.
#ifndef PARLEVO_REGEX_SET_OWNERS_H_
#define PARLEVO_REGEX_SET_OWNERS_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace parlevo {

// What a hit of a literal means to a pattern waiting for it.
enum class TbmRESetOwnerKind : uint8_t {
  kExact,      // on a character boundary (at the anchors): found
  kCandidate,  // the pattern is verified after the scan
  kOneOfTwo,   // the rarer of two sets: a candidate if the other set was hit too
  // B of a pair: found if an A ended before it on its line ("A.*B"), or
  // with only digits between, one at least ("A[0-9]+B") or none.
  kAfterOnLine,
  kAfterDigits,
  kAfterDigitsOrNone,
  kDigitAfter,  // digits after the hit (up to a line tail, with `tail`)
  kRunBefore,   // a run of a class before it (from a line head, with `head`)
};

// Whether a hit decides the patterns of this kind from where it stands (as
// opposed to making them candidates of some kind).
inline bool DecidedAtHit(TbmRESetOwnerKind kind) {
  return kind != TbmRESetOwnerKind::kCandidate && kind != TbmRESetOwnerKind::kOneOfTwo;
}

// Patterns under one literal whose verdict is the same function of the scan:
// the same kind and anchors, the same bytes after the hit and the same other
// side (a pair's A literals, a run's class). Thousands of "天気.*猫" and
// "雨.*猫" patterns are a handful of classes under "猫".
struct TbmRESetClass {
  uint32_t first;  // its patterns: Patterns() from here to the next class's first
  uint32_t other;  // the set's id of its other side
  TbmRESetOwnerKind kind;
  bool head : 1, tail : 1;
};

// Classes under one literal that share the check of the bytes around a hit
// (on a boundary, what follows, the tail): when it fails, none of them is
// looked at.
struct TbmRESetGroup {
  uint32_t first;    // its classes, to the next group's first
  uint32_t follow;   // the set's id of what must follow the hit (0: nothing)
  int16_t lead;      // the first of it (kFollowDigit: a digit), told without the set
  bool checked : 1;  // the kinds decided at the hit: the bytes around it are checked
  bool tail : 1;     // the hit (and its follow) end at a line tail
  bool digits : 1;   // digits after the hit: the tail comes after them, not here
  bool last : 1;     // the last group of its literals
};

class TbmRESetOwners {
 public:
  // One pattern and the literals it waits for, ids[from, to). What decides
  // its hits (kind, anchors, `follow` and `other`: the set's ids of what
  // follows the hit and of the other side, equal when the same) is the same
  // under each of them; patterns with equal keys under one literal form a
  // class.
  struct Waiting {
    int32_t pattern;
    uint32_t follow, other;
    uint32_t from, to;
    int16_t lead;  // the first of the follow, if any
    TbmRESetOwnerKind kind;
    bool head, tail;
  };

  // Lays out the groups and classes (`waiting` is normalised: what its
  // kinds do not look at is cleared). Literals waited for by the same
  // patterns share their groups: a word list's thousand words are one.
  void Build(std::vector<Waiting>& waiting, std::span<const int32_t> ids, size_t num_literals);
  void Clear();

  size_t NumClasses() const { return classes_.size() - 1; }
  // The groups of literal `id`: from GroupBegin(id) to the first marked
  // `last` (a literal no pattern waits for has one, of no class); the
  // classes of group g: [Group(g).first, Group(g + 1).first).
  uint32_t GroupBegin(int32_t id) const { return group_begin_[static_cast<size_t>(id)]; }
  const TbmRESetGroup& Group(uint32_t g) const { return groups_[g]; }
  const TbmRESetClass& Class(uint32_t c) const { return classes_[c]; }
  std::span<const int32_t> Patterns(uint32_t c) const {
    return {patterns_.data() + classes_[c].first, patterns_.data() + classes_[c + 1].first};
  }
  size_t MemoryBytes() const;

 private:
  // Fills the tables from the literals' runs (see the .cpp).
  void LayOutRuns(const std::vector<Waiting>& waiting, std::span<const uint32_t> rank,
                  std::span<const uint32_t> group_of_rank, std::vector<uint32_t>& listed,
                  std::vector<uint32_t>& run_end);

  std::vector<uint32_t> group_begin_;   // per literal id
  std::vector<TbmRESetGroup> groups_;   // 0: no group; plus one closing the last
  std::vector<TbmRESetClass> classes_;  // plus one closing the last
  std::vector<int32_t> patterns_;       // the classes' patterns, back to back
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_OWNERS_H_
