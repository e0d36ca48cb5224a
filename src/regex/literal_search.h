// Many literal byte strings found in one pass over a text: an Aho-Corasick
// automaton whose shallow states have full transition tables.
#ifndef PARLEVO_REGEX_LITERAL_SEARCH_H_
#define PARLEVO_REGEX_LITERAL_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parlevo {

// Literals are added, then Build makes the automaton and lets go of the
// literals: to add more, Clear and add them all again. Scan is const and may
// run on several threads at once.
class TbmRELiteralSearch {
 public:
  TbmRELiteralSearch() = default;
  TbmRELiteralSearch(const TbmRELiteralSearch&) = delete;
  TbmRELiteralSearch& operator=(const TbmRELiteralSearch&) = delete;
  TbmRELiteralSearch(TbmRELiteralSearch&&) noexcept = default;
  TbmRELiteralSearch& operator=(TbmRELiteralSearch&&) noexcept = default;

  // The id of `literal` (not empty); the same bytes always get the same id.
  int32_t Add(std::string_view literal);
  void Build();
  void Clear();

  int32_t NumLiterals() const { return static_cast<int32_t>(lengths_.size()); }
  int32_t Length(int32_t id) const { return lengths_[static_cast<size_t>(id)]; }
  // Bytes held by the built automaton.
  size_t MemoryBytes() const;

  // Calls on_hit(id, end) for every occurrence of every literal in `text`,
  // `end` being one past its last byte; in order of `end`. An on_hit that
  // returns bool ends the scan by returning false.
  template <typename OnHit>
  void Scan(std::string_view text, OnHit&& on_hit) const;

 private:
  static constexpr int32_t kNone = -1;

  int32_t Child(int32_t s, uint8_t b) const;
  int32_t Go(int32_t s, uint8_t b) const;  // the full transition, following failures
  int32_t Step(int32_t s, uint8_t b) const {
    while (s >= dense_states_) {
      int32_t t = Child(s, b);
      if (t != kNone) return t;
      s = fail_[static_cast<size_t>(s)];
    }
    return dense_[static_cast<size_t>(s) * 256 + b];
  }

  // Until Build: each literal once, back to back in id order, and an open
  // addressing table of their ids by hash (kNone: free), so that a word
  // list of many short literals costs little more than its bytes.
  std::string_view Pending(int32_t id) const;
  std::vector<int32_t> SortedIds() const;
  void Rehash(size_t slots);
  std::string pending_;
  std::vector<uint32_t> pending_ends_;  // per literal id
  std::vector<int32_t> table_;
  std::vector<int32_t> lengths_;  // per literal id

  // States in breadth-first order (the root is 0), children of a state in
  // ascending byte order, back to back. Every state but the root is reached
  // by one edge, and numbered in the order of the edges: edge e leads to
  // state e + 1, so targets need no table.
  std::vector<uint32_t> edge_begin_;  // per state, plus one
  std::vector<uint8_t> edge_bytes_;
  static int32_t Target(uint32_t edge) { return static_cast<int32_t>(edge) + 1; }
  std::vector<int32_t> fail_;
  std::vector<int32_t> out_;    // the literal ending exactly here, or kNone
  std::vector<int32_t> dict_;   // the next state down the failure chain with a literal, or 0
  std::vector<uint8_t> emits_;  // out_ or dict_ set: something ends here
  // The root and the states one byte deep have full tables (the states a
  // failed step mostly lands in).
  int32_t dense_states_ = 0;
  std::vector<int32_t> dense_;
  bool starts_[256] = {};  // bytes that leave the root
};

template <typename OnHit>
void TbmRELiteralSearch::Scan(std::string_view text, OnHit&& on_hit) const {
  if (dense_states_ == 0) return;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  int32_t s = 0;
  for (size_t i = 0; i < n; ++i) {
    if (s == 0) {  // nothing under way: skip bytes that start no literal
      while (i < n && !starts_[t[i]]) ++i;
      if (i == n) break;
    }
    s = Step(s, t[i]);
    if (!emits_[static_cast<size_t>(s)]) continue;
    for (int32_t u = out_[static_cast<size_t>(s)] != kNone ? s : dict_[static_cast<size_t>(s)];
         u != 0; u = dict_[static_cast<size_t>(u)]) {
      if constexpr (std::is_same_v<std::invoke_result_t<OnHit, int32_t, size_t>, bool>) {
        if (!on_hit(out_[static_cast<size_t>(u)], i + 1)) return;
      } else {
        on_hit(out_[static_cast<size_t>(u)], i + 1);
      }
    }
  }
}

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LITERAL_SEARCH_H_
