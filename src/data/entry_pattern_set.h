// One column of a knowledge data object's patterns (kind B's patterns, kind
// A's context or input patterns) searched as one set: which entries' patterns
// are found in a text, answered once per text for all the tiers of a search.
#ifndef PARLEVO_DATA_ENTRY_PATTERN_SET_H_
#define PARLEVO_DATA_ENTRY_PATTERN_SET_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

class TbmRExp;
class TbmRExpSet;
class TbmREMatchBudget;

// Thread safety: as its object, searched by one thread at a time.
class TEntryPatternSet {
 public:
  TEntryPatternSet();
  ~TEntryPatternSet();
  TEntryPatternSet(const TEntryPatternSet&) = delete;
  TEntryPatternSet& operator=(const TEntryPatternSet&) = delete;

  // Adds the next entry's pattern (not owned; it must outlive the set). Null
  // for a marker or a pattern that does not compile: never found. The set
  // is rebuilt by the next search.
  void Add(TbmRExp* pattern);
  // Room for `count` entries in all (see TbmRExpSet::Reserve).
  void Reserve(size_t count);
  // Builds the set now rather than at the next search; the patterns it
  // decides from their literals alone give back their compiled state
  // (TbmRExpSet::SetReleaseDecided).
  void Build();

  // The entries (ascending) whose pattern is found in `text`. Kept until the
  // next call with another text or the next Add.
  const std::vector<int32_t>& Found(std::string_view text);

  // The same entries as ascending runs, disjoint from each other (one per
  // distinct pattern found: entries that repeat a pattern share a run), so
  // that a search can count and draw without listing them. Kept as Found is.
  const std::vector<std::span<const int32_t>>& FoundRuns(std::string_view text);

  // The budget the set's own search state is built under: the one its
  // patterns search under.
  void SetBudget(std::shared_ptr<TbmREMatchBudget> budget);

  // Tests and benchmarks: ask every pattern in turn (the reference the set
  // must agree with) instead of the set.
  void SetReference(bool on);

 private:
  std::unique_ptr<TbmRExpSet> set_;
  bool reference_ = false;
  bool known_ = false;  // found_ answers last_text_
  std::string last_text_;
  std::vector<int32_t> found_;
  bool runs_known_ = false;  // runs_ answer runs_text_
  std::string runs_text_;
  std::vector<std::span<const int32_t>> runs_;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_ENTRY_PATTERN_SET_H_
