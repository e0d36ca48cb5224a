// One memory budget for the search state that many patterns build as they
// are searched (the patterns of one character): what each holds is counted
// against it, and when a pattern needs more than is left, everything held is
// given back at once and built again as the searches need it.
#ifndef PARLEVO_REGEX_MATCH_BUDGET_H_
#define PARLEVO_REGEX_MATCH_BUDGET_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace parlevo {

// Memory of a character's matching beyond what loading keeps: the states
// built while searching (see lazy_find.h), at most.
inline constexpr size_t kMatchBudgetBytes = size_t{64} << 20;
// A character's budget is a share of what its loading holds, so a long
// conversation adds little to it: it starts at the floor and grows by a
// share for each distinct pattern loaded, up to kMatchBudgetBytes.
inline constexpr size_t kMinMatchBudgetBytes = size_t{8} << 20;
inline constexpr size_t kMatchBudgetBytesPerPattern = 128;

class TbmREMatchBudget;

// Something that holds memory under a budget and can give it all back.
class TbmREBudgetHolder {
 public:
  virtual ~TbmREBudgetHolder() = default;
  // Frees everything held; the budget has already stopped counting it.
  virtual void ReleaseAll() = 0;

 private:
  friend class TbmREMatchBudget;
  size_t held_ = 0;    // bytes counted for this holder
  int32_t slot_ = -1;  // its place among the budget's holders, -1 when none
};

// Thread safety: one budget and all its holders serve one thread at a time
// (a character's patterns are searched by one thread at a time).
class TbmREMatchBudget {
 public:
  explicit TbmREMatchBudget(size_t limit = kMatchBudgetBytes) : limit_(limit), most_(limit) {}
  // A budget of `limit` that Allow may raise up to `most`.
  TbmREMatchBudget(size_t limit, size_t most) : limit_(limit), most_(std::max(limit, most)) {}
  ~TbmREMatchBudget();
  TbmREMatchBudget(const TbmREMatchBudget&) = delete;
  TbmREMatchBudget& operator=(const TbmREMatchBudget&) = delete;

  // Counts `bytes` more for `holder`; false (nothing counted) when they do
  // not fit in what is left.
  bool Take(TbmREBudgetHolder& holder, size_t bytes);
  // Stops counting what `holder` holds (it freed it, or is going away).
  void Forget(TbmREBudgetHolder& holder);
  // Every holder gives back everything: the budget is whole again.
  void ReleaseAll();

  // Raises the limit by `bytes`, up to the most it may grow to.
  void Allow(size_t bytes) { limit_ = std::min(most_, limit_ + std::min(bytes, most_)); }

  size_t Limit() const { return limit_; }
  size_t Used() const { return used_; }
  // How often ReleaseAll ran (tests, benchmarks).
  uint64_t Resets() const { return resets_; }

 private:
  size_t limit_;
  size_t most_;
  size_t used_ = 0;
  uint64_t resets_ = 0;
  std::vector<TbmREBudgetHolder*> holders_;  // those holding anything
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_MATCH_BUDGET_H_
