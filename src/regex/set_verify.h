// Candidate verification for the set matcher: the candidates of a text asked
// together, in one pass of one lazily built automaton over all of them, or
// one by one through their own automata when there are few.
#ifndef PARLEVO_REGEX_SET_VERIFY_H_
#define PARLEVO_REGEX_SET_VERIFY_H_

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmRExp;
class TbmRELazyFind;
class TbmREMatchBudget;

// The pattern's answer for a text that holds one of its literals (or for
// any text, when it has none); a pattern that does not compile, or whose
// automaton is refused, is never found. `first_end`, when above 0, says no
// match ends before that byte.
bool VerifyCandidate(TbmRExp& pattern, std::string_view text, uint32_t first_end = 0);

// The combined automaton's patterns are those of the set's texts' code that
// need an automaton (literal-only patterns answer faster alone). It holds
// the positions of every pattern that was a candidate since the last reset
// of its budget, and grows (dropping its states) when a new one comes.
//
// Thread safety: as the set, one thread at a time.
class TbmRESetVerify {
 public:
  explicit TbmRESetVerify(TbmCharCode code);
  ~TbmRESetVerify();
  TbmRESetVerify(const TbmRESetVerify&) = delete;
  TbmRESetVerify& operator=(const TbmRESetVerify&) = delete;

  // The budget the combined automaton is built under (null: one of its own).
  void SetBudget(std::shared_ptr<TbmREMatchBudget> budget);
  // The set's distinct patterns (kept by pointer), after it was built.
  void Assign(const std::vector<TbmRExp*>& distinct);
  // Appends to `found` those of the distinct patterns `candidates` found in
  // `text`, each once, in no order. `ends` (parallel to `candidates`) says
  // that no match of the candidate ends before that byte (0: anywhere).
  void Verify(std::string_view text, std::span<const int32_t> candidates,
              std::span<const uint32_t> ends, std::vector<int32_t>& found);
  // For a long text: every distinct pattern asked at once, by one automaton
  // over all of them whose states serve every text (no scan, no
  // candidates). Appends those found to `found` and returns true; false
  // (nothing appended) when the set is not asked this way or the run gave
  // up, and the text is to be scanned.
  bool VerifyWhole(std::string_view text, std::vector<int32_t>& found);
  size_t MemoryBytes() const;

 private:
  // Whether the whole set may be asked at once for a text of `bytes`: its
  // positions are made the first time.
  bool WholeServes(size_t bytes);
  bool MakeWhole();
  // Whether distinct pattern d goes into the combined automaton.
  bool Combined(int32_t d);
  // The positions of every pattern in combined_ held, their places in slots_.
  void Cover();
  // Forgets the places of the patterns held (their positions are gone).
  void DropHeld();
  // The bytes of the distinct patterns' texts.
  size_t TextBytes(std::span<const int32_t> ds) const;
  // Appends those of `ds` found in `text`, each asked through its own
  // automaton; `ends`, when not empty, is parallel to `ds` as Verify's.
  void AskEach(std::string_view text, std::span<const int32_t> ds, std::span<const uint32_t> ends,
               std::vector<int32_t>& found);

  TbmCharCode code_;
  std::shared_ptr<TbmREMatchBudget> budget_;
  std::unique_ptr<TbmRELazyFind> lazy_;
  const std::vector<TbmRExp*>* distinct_ = nullptr;
  std::vector<int8_t> combined_kind_;  // per distinct pattern: -1 unknown, 0 alone, 1 combined
  std::vector<int32_t> slot_;          // per distinct pattern: its place in the positions, or -1
  std::vector<int32_t> held_;          // per place: the distinct pattern
  // Scratch of one text: the candidates combined and the ends they were
  // given, those asked alone, and the places of the combined ones with
  // their ends.
  std::vector<int32_t> combined_, alone_, slots_;
  std::vector<uint32_t> combined_ends_, slot_ends_;
  std::vector<std::pair<int32_t, uint32_t>> pairs_;
  struct Backoff {
    int given_up = 0;  // combined runs given up in a row
    int skip = 0;      // texts still to ask one by one
  };
  std::array<Backoff, 24> backoff_;  // by the bit width of the text's length
  // The whole set: its automaton, the patterns asked alone beside it (of
  // another code), and whether it serves (-1 unknown, 0 never, 1 yes).
  std::unique_ptr<TbmRELazyFind> whole_;
  std::vector<int32_t> whole_alone_;
  int8_t whole_kind_ = -1;
  Backoff whole_backoff_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SET_VERIFY_H_
