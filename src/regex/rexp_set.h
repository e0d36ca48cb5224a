// The set matcher: which of many compiled patterns are found in a text,
// answered in one pass over it with exactly the answers of each pattern's
// own Found.
#ifndef PARLEVO_REGEX_REXP_SET_H_
#define PARLEVO_REGEX_REXP_SET_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "regex/literal_search.h"
#include "regex/reader.h"

namespace parlevo {

class TbmRExp;

// Patterns are added by pointer and not owned: they must outlive the set and
// keep their pattern text. Build after the last Add (and again after more
// are added); building parses each pattern but leaves its automaton to the
// first search that needs it.
//
// Thread safety: Find keeps scratch in the set and may build automata in
// the patterns, so a set and its patterns serve one thread at a time (as a
// knowledge data object does).
class TbmRExpSet {
 public:
  // Texts are in `code` (the character code of the patterns, as a rule).
  explicit TbmRExpSet(TbmCharCode code);
  TbmRExpSet(const TbmRExpSet&) = delete;
  TbmRExpSet& operator=(const TbmRExpSet&) = delete;

  // Adds the next pattern; its index is the number added before it. A null
  // pattern, or one that does not compile, is never found. Patterns of the
  // same text and code (or the same pattern added twice) are searched once
  // and found together.
  int32_t Add(TbmRExp* pattern);
  int32_t size() const { return static_cast<int32_t>(patterns_.size()); }
  void Build();

  // The indexes of the patterns found in `text`, ascending, into `found`.
  // Throws what Found throws for a text the patterns' code cannot hold (an
  // odd UTF-16 text).
  void Find(std::string_view text, std::vector<int32_t>& found);
  // The same answer without spreading it to the indexes: the distinct
  // patterns found in `text` (each once, in no set order), valid until the
  // next search or Add; IndexesOf lists each one's indexes. Not for UTF-16
  // sets (DistinctSearch false), whose texts only FindEach takes.
  bool DistinctSearch() const { return code_ != bmccUniCode; }
  const std::vector<int32_t>& FindDistinct(std::string_view text);
  // The indexes (ascending) of the patterns sharing distinct pattern `d`.
  std::span<const int32_t> IndexesOf(int32_t d) const {
    return {indexes_.data() + index_begin_[static_cast<size_t>(d)],
            indexes_.data() + index_begin_[static_cast<size_t>(d) + 1]};
  }
  // The reference: every pattern asked Found in turn, malformed ones never
  // found. Same answers as Find, at the cost of a pass per pattern.
  void FindEach(std::string_view text, std::vector<int32_t>& found) const;

  // Bytes held by the set itself (not by its patterns).
  size_t MemoryBytes() const;

 private:
  // Who is waiting for a literal: a distinct pattern, and whether a hit on a
  // character boundary is a match by itself.
  struct Owner {
    int32_t pattern;  // a distinct pattern
    bool exact;
    bool head, tail;  // an exact hit must also stand at a line head / tail
    // A candidate needs a hit of both its sets: this owner's bit (1 or 2),
    // or 3 when the pattern has one set only.
    uint8_t group;
  };

  // Gives every distinct pattern text one id and lists its indexes.
  void GroupDistinct();
  // Notes a hit of `group` for `pattern`; true once both its sets were hit.
  bool SeenBoth(int32_t pattern, uint8_t group);
  // The indexes of the distinct patterns in found_distinct_, ascending.
  void ListIndexes(std::vector<int32_t>& found);
  // Up to this many found patterns, their index lists are merged as they come.
  static constexpr size_t kMaxMergedLists = 16;

  TbmCharCode code_;
  const bool* is_lead_;
  bool built_ = false;
  std::vector<TbmRExp*> patterns_;  // per index
  // Distinct patterns (the first of each text), numbered in order of their
  // first index, and the indexes of each, ascending, back to back.
  std::vector<TbmRExp*> distinct_;
  std::vector<uint32_t> index_begin_;  // per distinct pattern, plus one
  std::vector<int32_t> indexes_;
  TbmRELiteralSearch literals_;
  std::vector<uint32_t> owner_begin_;  // per literal id, plus one
  std::vector<Owner> owners_;
  std::vector<int32_t> ask_always_;  // distinct patterns with no required string

  // Scratch of one Find, per distinct pattern: those decided for this text
  // carry its stamp.
  std::vector<uint32_t> decided_;
  uint32_t stamp_ = 0;
  std::vector<uint8_t> boundary_marks_;  // which bytes of the text start characters
  // Which of its two sets a pattern has seen in this text (valid when
  // seen_stamp_ is the text's stamp).
  std::vector<uint32_t> seen_stamp_;
  std::vector<uint8_t> seen_groups_;
  std::vector<int32_t> candidates_;
  std::vector<int32_t> found_distinct_;
  std::vector<int32_t> merged_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_REXP_SET_H_
