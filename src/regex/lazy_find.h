// "Found anywhere?" under a memory budget, for one pattern or for many at
// once: the states of the unanchored automaton over their positions are
// built as a text first reaches them and kept while the budget allows; when
// it runs out, everything held under the budget is given back and building
// starts afresh, and a search that keeps running out finishes by simulation,
// which needs no states at all.
#ifndef PARLEVO_REGEX_LAZY_FIND_H_
#define PARLEVO_REGEX_LAZY_FIND_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "regex/combined_positions.h"
#include "regex/lazy_transitions.h"
#include "regex/match_budget.h"
#include "regex/reader.h"
#include "regex/set_interner.h"

namespace parlevo {

struct TbmREDecoder;

// A search may give the budget back this often before it finishes by
// simulation: states that do not outlive a few characters are not worth
// building.
inline constexpr int kMaxResetsPerSearch = 2;

// Thread safety: as its budget, one thread at a time.
class TbmRELazyFind final : public TbmREBudgetHolder {
 public:
  explicit TbmRELazyFind(std::shared_ptr<TbmREMatchBudget> budget);
  ~TbmRELazyFind() override;
  TbmRELazyFind(const TbmRELazyFind&) = delete;
  TbmRELazyFind& operator=(const TbmRELazyFind&) = delete;

  // Whether the positions are held (they go with the states at a reset).
  bool HasPositions() const { return positions_ != nullptr; }
  // The positions to search with (finished), counted against the budget
  // (held for the next search only when even an empty budget cannot take
  // them); the states built so far are dropped.
  void SetPositions(std::unique_ptr<TbmRECombinedPositions> positions);
  // Gives the positions back (and drops the states), e.g. to add patterns.
  std::unique_ptr<TbmRECombinedPositions> TakePositions();
  // Whether a match of the one pattern held starts at some character
  // boundary of `text`. `first_end`, when above 0, says no match ends
  // before that byte: a pattern whose matches span a bounded number of
  // bytes then starts only where a match could still reach it.
  bool Found(TbmCharCode code, std::string_view text, uint32_t first_end = 0);
  // Which of the patterns `ps` (ascending indexes of the positions) have a
  // match starting at some character boundary of `text`: their tags are
  // appended to `found`, each once, and the search stops once all are.
  // `ends`, when not empty, says per pattern of `ps` that no match of it
  // ends before that byte (one of its literals ends there first): a
  // pattern whose matches span a bounded number of bytes then starts only
  // where a match could still reach it, and the run begins at the earliest
  // such start. False when it gave up before deciding them all (those
  // found are found): when working out new states took more than
  // `work_limit` steps of a position, as a text unlike those before may (a
  // state of many patterns is rarely met again).
  bool FindAll(TbmCharCode code, std::string_view text, std::span<const int32_t> ps,
               std::span<const uint32_t> ends, size_t work_limit, std::vector<int32_t>& found);

  // Every pattern of positions that start everywhere (SetEveryStart) found
  // in `text`: their tags appended to `found`, each once. False when it
  // gave up as FindAll does.
  bool FindEvery(TbmCharCode code, std::string_view text, size_t work_limit,
                 std::vector<int32_t>& found);

  void ReleaseAll() override;
  // States held now (tests).
  int32_t NumStates() const { return sets_.size(); }

 private:
  static constexpr int32_t kUnknown = TbmRELazyTransitions::kUnknown;
  static constexpr uint8_t kAccepting = 1, kTail = 2, kEmpty = 4;

  // Counts `bytes`, giving the budget back once when they do not fit;
  // false when they still do not or this search already gave it back too
  // often.
  bool Charge(size_t bytes);
  // The state of `set` (sorted), built when new, with `extra` bytes more
  // counted (a transition to it); -1 when it cannot be held.
  int32_t StateOf(std::span<const int32_t> set, size_t extra);
  void MakeState(std::span<const int32_t> set);
  // The state after class `cls` (a new match may start there too), or the
  // state with the line head's starts added (cls < 0).
  int32_t Target(int32_t s, int32_t cls);
  void Clear();
  // Counts the positions when they are not counted yet (after a reset).
  void CountPositions();
  // The tags of the patterns `ps` found in `text` into found_.
  // `only`: Found's search of the one pattern, whose start state is kept.
  void Search(TbmCharCode code, std::string_view text, std::span<const int32_t> ps,
              std::span<const uint32_t> ends, size_t work_limit, bool only = false);
  // Sorts `ps` by the byte each may first start at (late_), and starts
  // pending_ with those that start at byte 0.
  void Arrange(std::span<const int32_t> ps, std::span<const uint32_t> ends);
  // Adds the starts of the patterns due at byte `k` to state s (or to
  // pending_, s < 0); the state after them.
  int32_t StartLate(int32_t s, int32_t k);
  // No pattern is alive and none is still to start: nothing more is found.
  bool Done(bool empty) const { return empty && next_late_ == late_.size() && !every_; }
  // Notes the tags of `tags` found (each once a search).
  void Note(std::span<const int32_t> tags);
  // The search from byte 0 with pending_ alive: the tags of each accepting
  // point go to found_ (once each), until all wanted_ are; false when it
  // gave up.
  bool Run(TbmCharCode code, std::string_view text);
  // The state of pending_ (below 0 when it cannot be held); for Found, the
  // pattern's start state (or the empty one when it starts late), worked
  // out only when not held.
  int32_t StartState();
  // From character boundary k, where the state is the start state: the
  // next boundary whose character begins with a start byte, or n.
  int32_t PassOver(const uint8_t* t, int32_t n, int32_t k, const bool* is_lead) const;
  // The held state `held` when made since the last reset, else that of
  // `set` (then held).
  int32_t HeldState(int32_t& held, uint64_t& when, std::span<const int32_t> set);
  // The first character boundary at or after `until`, walking from the
  // boundary k.
  static int32_t BoundaryFrom(const uint8_t* t, int32_t n, int32_t k, int32_t until,
                              const TbmREDecoder& dec);
  // The common stretch, from state s >= 0 at boundary k: no start is
  // still to come and no line head is at k, so while the state reports
  // nothing it steps by the table alone (passing over what cannot leave
  // the start state `start`, when one is held), up to a break when line
  // heads matter.
  void StepQuiet(const uint8_t* t, int32_t n, const TbmREDecoder& dec, bool heads, int32_t start,
                 int32_t& s, int32_t& k) const;
  // Steps pending_ over class `cls` (a line head when below 0) with no
  // states: the search's simulation.
  void Simulate(int32_t cls);
  // Notes what the state s (or pending_, s < 0) finds at a point where a
  // line ends or not; true when the search may stop.
  bool Report(int32_t s, bool line_ends);

  std::shared_ptr<TbmREMatchBudget> budget_;
  std::unique_ptr<TbmRECombinedPositions> positions_;
  bool positions_counted_ = false;
  bool busy_ = false;             // searching: a reset keeps the positions
  uint64_t clears_ = 0;           // how often the states were dropped
  std::vector<int32_t> pending_;  // the last target set worked out
  int resets_ = 0;                // in this search
  int32_t head_ = 0;              // the line head's column, after the dense classes' ones
  int32_t width_ = 0;             // columns of a row
  TbmRESetInterner sets_;
  std::vector<int32_t> next_;  // state x width_
  TbmRELazyTransitions sparse_;
  std::vector<uint8_t> flags_;
  // Per state, the tags it accepts now, then those at a line tail, back to
  // back: where each of the two ends.
  std::vector<uint32_t> tag_end_;
  std::vector<int32_t> tags_;
  // Scratch of one search.
  std::vector<int32_t> now_, at_tail_, scratch_, started_;
  std::vector<std::pair<int32_t, int32_t>> late_;  // (first start, pattern), ascending
  size_t next_late_ = 0;                           // the first of late_ not started
  std::vector<int32_t> found_;
  std::vector<uint32_t> found_mark_;  // per tag: the search that found it
  // Per state, the search that reported what it accepts now / at a line
  // tail: a state is reported once a search.
  std::vector<uint32_t> reported_;
  bool every_ = false;  // the positions start everywhere
  uint32_t search_stamp_ = 0;
  size_t wanted_ = 0;                 // patterns searched for
  size_t work_ = 0, work_limit_ = 0;  // positions stepped to make states
  bool complete_ = false;
  // Found's search: the one pattern starts at byte only_first_. Its start
  // state and the empty one are kept, each valid while clears_ is what it
  // was when made: Found neither works them out nor interns them per search.
  bool only_ = false;
  int32_t only_first_ = 0;
  int32_t only_start_ = -1, only_empty_ = -1;
  uint64_t only_start_clears_ = 0, only_empty_clears_ = 0;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LAZY_FIND_H_
