// "Found anywhere?" for a pattern searched under a memory budget: the
// states of its unanchored automaton are built as a text first reaches them
// and kept while the budget allows; when it runs out, everything held under
// the budget is given back and building starts afresh, and a search that
// keeps running out finishes by simulation, which needs no states at all.
#ifndef PARLEVO_REGEX_LAZY_FIND_H_
#define PARLEVO_REGEX_LAZY_FIND_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "regex/match_budget.h"
#include "regex/reader.h"
#include "regex/set_interner.h"

namespace parlevo {

class TbmREPositionNFA;

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
  bool HasPositions() const { return nfa_ != nullptr; }
  // The positions to search with, counted against the budget (held for this
  // search only when even an empty budget cannot take them).
  void SetPositions(std::unique_ptr<TbmREPositionNFA> nfa);
  // Whether a match starts at some character boundary of `text`.
  bool Found(TbmCharCode code, std::string_view text);

  void ReleaseAll() override;
  // States held now (tests).
  int32_t NumStates() const { return sets_.size(); }

 private:
  static constexpr int32_t kUnknown = -1;
  static constexpr uint8_t kAccepting = 1, kTail = 2;

  // Counts `bytes`, giving the budget back once when they do not fit;
  // false when they still do not or this search already gave it back too
  // often.
  bool Charge(size_t bytes);
  // The state of `set` (sorted), built when new; -1 when it cannot be held.
  int32_t StateOf(std::span<const int32_t> set);
  // The state after class `cls` (a new match may start there too), or the
  // state with the line head's starts added (cls == width_ - 1).
  int32_t Target(int32_t s, int32_t cls);
  void Clear();
  // Counts the positions when they are not counted yet (after a reset).
  void CountPositions();
  // The rest of a search from byte `from` by simulation, the leaves of
  // `set` alive there.
  bool Simulate(TbmCharCode code, std::string_view text, int32_t from, bool line_head);

  std::shared_ptr<TbmREMatchBudget> budget_;
  std::unique_ptr<TbmREPositionNFA> nfa_;
  bool nfa_counted_ = false;
  bool busy_ = false;             // searching: a reset keeps the positions
  uint64_t clears_ = 0;           // how often the states were dropped
  std::vector<int32_t> pending_;  // the last target set worked out
  int resets_ = 0;                // in this search
  int32_t width_ = 0;             // classes, plus one column for the line head
  TbmRESetInterner sets_;
  std::vector<int32_t> next_;  // state x width_
  std::vector<uint8_t> flags_;
  std::vector<int32_t> scratch_;
  std::vector<uint32_t> mark_;
  uint32_t stamp_ = 0;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LAZY_FIND_H_
