// Character ranges: a sorted list of disjoint inclusive ranges of character
// values that AddRange refines, so that every range ever added is exactly a
// union of consecutive records. The compile pipeline uses one such list as
// the partition of character values that the automaton's transitions use.
#ifndef PARLEVO_REGEX_RANGES_H_
#define PARLEVO_REGEX_RANGES_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parlevo {

struct TbmREWchRange {
  int32_t Lo;
  int32_t Hi;
  bool operator==(const TbmREWchRange&) const = default;
};

// Values may be negative: -2 (line head) and -3 (line tail) are added as
// one-value ranges by the automaton builder. Not thread-safe.
class TbmREWchRanges {
 public:
  TbmREWchRanges() = default;

  // Lower bound: the first index in [from, to) whose record is not less than
  // (lo, hi) ordered by Lo then Hi; `to` when there is none.
  size_t FindRange(size_t from, size_t to, int32_t lo, int32_t hi) const;
  // Refines the list by lo..hi (lo <= hi): records straddling lo or hi are
  // split and the gaps inside lo..hi are filled; nothing else changes.
  void AddRange(int32_t lo, int32_t hi);
  void AddRanges(const TbmREWchRanges& other);
  // The same list as AddRange of each of `ranges` in turn, built with one
  // sort instead of an insertion per range, so a pattern of many characters
  // costs n log n rather than n squared.
  void AddRangesAtOnce(std::vector<TbmREWchRange> ranges);
  void AddAnyButNewline();  // 0..9, 11..12, 14..0xFFFF
  void AddNewlines();       // 10, 13
  // Replaces the list by its complement within lo..hi.
  void Negate(int32_t lo, int32_t hi);
  void ClearRanges() { ranges_.clear(); }

  size_t size() const { return ranges_.size(); }
  bool empty() const { return ranges_.empty(); }
  const TbmREWchRange& operator[](size_t i) const { return ranges_[i]; }
  const std::vector<TbmREWchRange>& Records() const { return ranges_; }

 private:
  std::vector<TbmREWchRange> ranges_;
};

// The union of `ranges` as sorted, disjoint ranges, neighbours that touch
// merged: the characters a class of these members matches.
std::vector<TbmREWchRange> UniteRanges(std::vector<TbmREWchRange> ranges);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_RANGES_H_
