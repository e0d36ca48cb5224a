// The candidates of one knowledge data search, and the random draw among them:
// listed one by one, or as sorted runs of entry indexes counted and drawn from
// without listing them.
#ifndef PARLEVO_DATA_ANSWER_LIST_H_
#define PARLEVO_DATA_ANSWER_LIST_H_

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace parlevo {

// Either entries added one by one (Add, in the order added), or runs: sorted
// arrays of entry indexes and intervals of them, disjoint from each other,
// less the entries excluded (Exclude). A list of runs holds its candidates in
// ascending order, so Item(k) is the k-th smallest; it is found by counting,
// never by listing, so a draw costs as little when thousands of entries match
// as when one does. A list does not mix the two ways. Drawing uses working
// space kept in the list: one thread at a time.
class TAnswerList {
 public:
  explicit TAnswerList(int32_t grow_by);
  void Add(int32_t index) { Items.push_back(index); }
  // An ascending run of entry indexes (not copied: it must outlive the
  // list's use); empty runs are passed over.
  void AddRun(std::span<const int32_t> run);
  // The entries begin .. end-1.
  void AddInterval(int32_t begin, int32_t end);
  // An entry of a run that is no candidate after all (used up). Each at
  // most once, in ascending order.
  void Exclude(int32_t index) { Excluded.push_back(index); }
  void Clear();
  int32_t Count() const;
  // The i-th candidate (0 <= i < Count()).
  int32_t Item(int32_t i) const;
  // All candidates, in order, appended to `out`.
  void AppendTo(std::vector<int32_t>& out) const;
  // Re-seeds the process-wide generator from the clock, then returns
  // Item(RandomInt(Count)); 0 on an empty list.
  int32_t Choose() const;

 private:
  // Sorted entry indexes at `Data` or, when it is null, the interval
  // First .. First+Size-1.
  struct TRun {
    const int32_t* Data;
    int32_t First;
    int32_t Size;
    int32_t At(int32_t i) const { return Data ? Data[i] : First + i; }
  };
  // The k-th smallest candidate of the runs.
  int32_t Select(int32_t k) const;
  // The same from the windows, once they hold few elements; lo: the least
  // value they may hold.
  int32_t ReadOut(int32_t k, int32_t lo) const;
  // At most this many elements in the windows are read out and sorted.
  static constexpr size_t kReadOut = 32;

  std::vector<int32_t> Items;
  std::vector<TRun> Runs;
  std::vector<int32_t> Excluded;
  int32_t RunTotal = 0;
  // Select's working space, kept so that a list used again allocates
  // nothing: per run the window [from, to) of its elements still in
  // question, and where a step's bound falls in it; the elements read out.
  mutable std::vector<std::pair<int32_t, int32_t>> Window;
  mutable std::vector<int32_t> At;
  mutable std::vector<int32_t> Values;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_ANSWER_LIST_H_
