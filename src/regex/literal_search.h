// Many literal byte strings found in one pass over a text: an Aho-Corasick
// automaton kept in narrow tables, whose shallow states have full ones.
#ifndef PARLEVO_REGEX_LITERAL_SEARCH_H_
#define PARLEVO_REGEX_LITERAL_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "regex/bit_count.h"
#include "regex/packed_uints.h"

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
  int32_t Length(int32_t id) const {
    const uint8_t n = lengths_[static_cast<size_t>(id)];
    return n != kLongLength ? n : LongLength(id);
  }
  // Bytes held by the built automaton.
  size_t MemoryBytes() const;

  // Calls on_hit(id, end) for every occurrence of every literal in `text`,
  // `end` being one past its last byte; in order of `end`, and the longer
  // literal first where two end together. An on_hit that returns bool ends
  // the scan by returning false.
  template <typename OnHit>
  void Scan(std::string_view text, OnHit&& on_hit) const;

 private:
  static constexpr int32_t kNone = -1;
  static constexpr uint8_t kLongLength = 0xFF;  // the length is in long_lengths_

  int32_t LongLength(int32_t id) const;
  uint32_t EdgeBegin(size_t s) const { return edge_base_[s >> 8] + edge_offset_[s]; }
  void SetEdgeBegin(size_t s, uint32_t edge);
  // The child of `s` by `b`, or kNone: a few edges are compared in turn,
  // more are looked up out of line.
  int32_t Child(int32_t s, uint8_t b) const {
    const auto i = static_cast<size_t>(s);
    const uint32_t base = edge_base_[i >> 8];
    const uint32_t lo = base + edge_offset_[i];
    const uint32_t hi = ((i + 1) & 255) != 0 ? base + edge_offset_[i + 1] : EdgeBegin(i + 1);
    if (hi - lo > 8) return ChildAmongMany(s, lo, hi, b);
    for (uint32_t e = lo; e < hi; ++e) {
      if (edge_bytes_[e] == b) return Target(e);
    }
    return kNone;
  }
  int32_t ChildAmongMany(int32_t s, uint32_t lo, uint32_t hi, uint8_t b) const;
  int32_t Go(int32_t s, uint8_t b) const;  // the full transition, following failures
  int32_t Fail(int32_t s) const { return static_cast<int32_t>(fail_.Get(static_cast<size_t>(s))); }
  int32_t Step(int32_t s, uint8_t b) const {
    while (s >= dense_states_) {
      int32_t t = Child(s, b);
      if (t != kNone) return t;
      s = Fail(s);
    }
    return dense_[static_cast<size_t>(s) * 256 + b];
  }
  bool Emits(int32_t s) const { return flags_[static_cast<size_t>(s) >> 6].emits >> (s & 63) & 1; }
  // The states before `s` where a literal ends (`ends` and `bit`: its
  // word of flags and bit there).
  uint32_t EndsBefore(int32_t s, uint64_t ends, uint64_t bit) const {
    return ends_before_[static_cast<size_t>(s) >> 6] + CountBits(ends & (bit - 1));
  }

  // Build's steps.
  std::vector<int32_t> SortedIds() const;
  size_t CountStates(const std::vector<int32_t>& order) const;
  void Allocate(size_t states);
  void LayStates(std::vector<int32_t>& order);
  void AddState(int32_t state, int32_t parent, uint8_t byte, int32_t id, size_t& edges_set);
  void MakeDenseTables();
  void MakeWideRows();
  const uint8_t* WideRow(int32_t s) const;

  // Until Build: each literal once, back to back in id order, and an open
  // addressing table of their ids by hash (kNone: free), so that a word
  // list of many short literals costs little more than its bytes.
  std::string_view Pending(int32_t id) const;
  void Rehash(size_t slots);
  std::string pending_;
  std::vector<uint32_t> pending_ends_;  // per literal id
  std::vector<int32_t> table_;
  // Per literal id from Add on; those of kLongLength bytes or more are
  // listed, by id, beside.
  std::vector<uint8_t> lengths_;
  std::vector<std::pair<int32_t, int32_t>> long_lengths_;

  // States in breadth-first order (the root is 0), children of a state in
  // ascending byte order, back to back. Every state but the root is reached
  // by one edge, and numbered in the order of the edges: edge e leads to
  // state e + 1, so targets need no table. A state's first edge is a base
  // per 256 states plus a 16-bit offset (256 states have at most 65,280
  // edges before the last of them).
  std::vector<uint32_t> edge_base_;    // per 256 states
  std::vector<uint16_t> edge_offset_;  // per state, plus one
  std::vector<uint8_t> edge_bytes_;
  static int32_t Target(uint32_t edge) { return static_cast<int32_t>(edge) + 1; }
  TbmPackedUints fail_;  // per state
  // Per 64 states: where a literal ends, and where one ends here or down
  // the failure chain (the hits of a state are that chain's ending states).
  struct Flags {
    uint64_t ends = 0, emits = 0;
  };
  std::vector<Flags> flags_;
  std::vector<uint32_t> ends_before_;  // per 64 states: ending states before them
  TbmPackedUints ids_;                 // per ending state, in state order: its literal
  // The root and the states one byte deep have full tables (the states a
  // failed step mostly lands in).
  int32_t dense_states_ = 0;
  std::vector<int32_t> dense_;
  bool starts_[256] = {};  // bytes that leave the root
  // States deeper than those with many children (where halving the edge
  // list would take six steps or more) may have a row that gives each
  // byte's child (its rank among the edges plus one, or 0), found through
  // a small hash table of (state, row), kNone where free.
  static constexpr uint32_t kWideEdges = 64;
  std::vector<uint8_t> wide_rows_;
  std::vector<std::pair<int32_t, int32_t>> wide_slots_;
  int wide_shift_ = 0;
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
    // Down the failure chain while something ends on it, longest first.
    for (int32_t u = s; u != 0; u = Fail(u)) {
      const Flags& f = flags_[static_cast<size_t>(u) >> 6];
      const uint64_t bit = uint64_t{1} << (u & 63);
      if (!(f.emits & bit)) break;
      if (!(f.ends & bit)) continue;
      const auto id = static_cast<int32_t>(ids_.Get(EndsBefore(u, f.ends, bit)));
      if constexpr (std::is_same_v<std::invoke_result_t<OnHit, int32_t, size_t>, bool>) {
        if (!on_hit(id, i + 1)) return;
      } else {
        on_hit(id, i + 1);
      }
    }
  }
}

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LITERAL_SEARCH_H_
