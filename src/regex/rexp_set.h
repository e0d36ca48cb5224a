// The set matcher: which of many compiled patterns are found in a text,
// answered in one pass over it with exactly the answers of each pattern's
// own Found.
#ifndef PARLEVO_REGEX_REXP_SET_H_
#define PARLEVO_REGEX_REXP_SET_H_

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "regex/bit_count.h"
#include "regex/char_boundaries.h"
#include "regex/literal_search.h"
#include "regex/reader.h"
#include "regex/set_interner.h"
#include "regex/set_owners.h"
#include "regex/set_records.h"
#include "regex/set_shapes.h"
#include "regex/set_verify.h"

namespace parlevo {

class TbmRExp;
struct TbmRESetLiterals;

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
  ~TbmRExpSet();
  TbmRExpSet(const TbmRExpSet&) = delete;
  TbmRExpSet& operator=(const TbmRExpSet&) = delete;

  // Adds the next pattern; its index is the number added before it. A null
  // pattern, or one that does not compile, is never found. Patterns of the
  // same text and code (or the same pattern added twice) are searched once
  // and found together.
  int32_t Add(TbmRExp* pattern);
  // Room for `count` patterns in all, so that adding them does not grow the
  // list by doubling (a loader knows its line count); grows at least
  // twofold when it grows, so that many reserves stay linear.
  void Reserve(size_t count);
  int32_t size() const { return static_cast<int32_t>(patterns_.size()); }
  void Build();
  // Each pattern is analysed as it is added, and the compiled state of those
  // the scan decides from where their literals stand is given back at once
  // (TbmRExp::Release): they are asked alone only now and then, and compile
  // again when they are. For an owner whose patterns serve this set above
  // all; set before the first Add.
  void SetReleaseDecided(bool on) { release_decided_ = on; }
  // The budget the set's own search state is built under (the one its
  // patterns have; null: one of the set's own).
  void SetBudget(std::shared_ptr<TbmREMatchBudget> budget);

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
  using OwnerKind = TbmRESetOwnerKind;
  // What a hit decides: nothing here, found, or only its automaton can tell.
  enum class Verdict : uint8_t { kNo, kFound, kAsk };
  // Which first ends an A literal keeps (bits of a mask, one TbmREFirstEnds
  // each): per line or per run of digits, of any hit or of hits at a line head.
  enum FirstEndsOf : uint8_t { kLineAny = 1, kLineHead = 2, kDigitsAny = 4, kDigitsHead = 8 };
  // What the scan looks at for one text.
  struct ScanText {
    const uint8_t* t;
    size_t n;
    TbmRECharBoundaries& boundaries;
    TbmRETextSegments& lines;
    TbmRETextSegments& digit_runs;
  };
  using Waiting = TbmRESetOwners::Waiting;
  // A literal on some pattern's other side: the stamp of the last text
  // holding it, which first ends it keeps (FirstEndsOf bits) and where the
  // first of them is in first_ends_ (the others follow it in bit order).
  struct Side {
    uint32_t hit;
    uint32_t ends_at;
    uint8_t ends_of;
  };
  static OwnerKind KindOf(const TbmRESetLiterals& analysis);
  // Whether the scan decides a pattern of this analysis by itself, so that
  // the pattern may give back its compiled state (SetReleaseDecided).
  static bool DecidedByScan(const TbmRESetLiterals& analysis);
  // Analyses every distinct pattern: the literals go into the search, and
  // each pattern that has some gets a plan (see LayOut).
  void Analyse(std::vector<Waiting>& plans, std::vector<uint32_t>& middles,
               std::vector<int32_t>& ids);
  // Owners, other sides and first ends from the plans: per distinct pattern
  // with literals, its key and all its literal ids, ids[from, to), of which
  // [from, middle) are its strings and the rest its also set (a run's other
  // is its row in class_rows_). Every argument is used up.
  void LayOut(std::vector<Waiting>& plans, std::vector<uint32_t>& middles,
              std::vector<int32_t>& ids);
  // Numbers the literals of the other sides in other_ (literal ids until
  // then) and lays out their first ends.
  void NumberSides(const std::vector<Waiting>& plans, size_t num_literals);
  // The number in sides_ of literal `id` (0: on no other side).
  uint32_t SideOf(size_t id) const {
    const uint64_t bits = side_bits_[id / 64], bit = uint64_t{1} << (id % 64);
    if ((bits & bit) == 0) return 0;
    return side_rank_[id / 64] + CountBits(bits & (bit - 1));
  }
  // The index in class_rows_ of the row of `items` (`seen`: those made so far).
  int32_t ClassRowOf(const std::vector<TbmREClassItem>& items,
                     std::map<std::string, int32_t>& seen);

  // The scan's step for one hit of literal `id` ending at `end`.
  void OnHit(int32_t id, size_t end, ScanText& text);
  // The check of the bytes around a hit that a group of classes shares: on
  // a boundary, followed by what must follow, at a tail.
  bool AroundHit(const TbmRESetGroup& group, size_t start, size_t end, const ScanText& text) const;
  // The rest, once AroundHit holds.
  Verdict Decide(const TbmRESetClass& owner, size_t start, size_t end, ScanText& text);
  // Every pattern of class `c` not yet decided in this text, as `verdict`
  // says, for a hit ending at `end`.
  void Report(uint32_t c, Verdict verdict, size_t end);
  Verdict PairStarted(const TbmRESetClass& owner, size_t start, ScanText& text) const;
  Verdict DigitsAfter(const TbmRESetClass& owner, size_t start, size_t end, ScanText& text) const;
  Verdict RunBefore(const TbmRESetClass& owner, size_t start, ScanText& text) const;
  // Whether follow `id` of follows_ stands at `end`; `stop` is then past it.
  bool Followed(uint32_t id, size_t end, const ScanText& text, size_t& stop) const;
  void NoteFirstEnds(Side& side, size_t start, size_t end, ScanText& text);
  bool OtherSetHit(int32_t pattern) const;
  // Gives every distinct pattern text one id and lists its indexes.
  void GroupDistinct();
  // The indexes of the distinct patterns in found_distinct_, ascending.
  void ListIndexes(std::vector<int32_t>& found);
  // The same for `listed` indexes or more, through index_bits_.
  void ListIndexesByBitmap(size_t listed, std::vector<int32_t>& found);
  // Up to this many found patterns, their index lists are merged as they come.
  static constexpr size_t kMaxMergedLists = 16;

  TbmCharCode code_;
  const bool* is_lead_;
  bool built_ = false;
  bool release_decided_ = false;
  std::vector<TbmRExp*> patterns_;  // per index
  TbmRESetRecords records_;         // analysed as added (release_decided_), until built
  // Distinct patterns (the first of each text), numbered in order of their
  // first index, and the indexes of each, ascending, back to back.
  std::vector<TbmRExp*> distinct_;
  std::vector<uint32_t> index_begin_;  // per distinct pattern, plus one
  std::vector<int32_t> indexes_;
  TbmRELiteralSearch literals_;
  TbmRESetOwners owners_;
  // Per distinct pattern, its other side: the set not listed (kOneOfTwo),
  // or the A side of a pair, as sides_ numbers; for kRunBefore, its row
  // in class_rows_.
  std::vector<uint32_t> other_begin_;  // per distinct pattern, plus one
  std::vector<int32_t> other_;
  // Each other side once (the classes' `other`), and each run of bytes after
  // a pattern's last literal once (kFollowDigit: a digit; the groups'
  // `follow`, 0 the empty one).
  TbmRESetInterner others_, follows_;
  // The classes before a kRunBefore pattern's literal, numbered from the
  // literal back: bit k of in[b] tells that class k takes byte b (below
  // 0x80), bit k of `plus` that it is a run. Each row once.
  struct ClassRow {
    std::array<uint8_t, 128> in;
    uint8_t plus;
    uint8_t items;  // at most 8 (kMaxClassItems)
  };
  std::vector<ClassRow> class_rows_;
  // Which literal ids are on other sides, a bit each, and per word of bits
  // the number in sides_ of its first: most literals are on none.
  std::vector<uint64_t> side_bits_;
  std::vector<uint32_t> side_rank_;
  std::vector<Side> sides_;  // from 1
  std::vector<TbmREFirstEnds> first_ends_;
  std::vector<int32_t> ask_always_;  // distinct patterns with no required string
  TbmRESetVerify verify_;

  // Scratch of one Find, per distinct pattern: those decided for this text
  // carry its stamp.
  std::vector<uint32_t> decided_;
  std::vector<uint32_t> class_decided_;  // per class of owners_
  uint32_t stamp_ = 0;
  std::vector<uint8_t> boundary_marks_;  // which bytes of the text start characters
  std::vector<uint32_t> line_counts_;    // the breaks before each byte
  std::vector<uint32_t> digit_counts_;   // the bytes but digits before each byte
  std::vector<int32_t> one_of_two_;      // kOneOfTwo patterns whose listed set was hit
  std::vector<int32_t> candidates_;
  // Per one_of_two_ / candidates_ entry: no match of it ends before this byte.
  std::vector<uint32_t> one_of_two_ends_, candidate_ends_;
  std::vector<int32_t> found_distinct_;
  std::vector<int32_t> merged_;
  std::vector<uint64_t> index_bits_;  // per index, a bit; clear between searches
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_REXP_SET_H_
