// The multi-literal search.
//
// The literals are sorted; the states one byte deeper are then the distinct
// prefixes one byte longer, met in breadth-first order by walking the
// sorted literals once per depth, so the tables are written in their final
// order with no trie in between. Every state gets its failure link, the
// longest proper suffix of its string that is also a state; the literals
// that end where a scan stands are those ending at the states of its
// failure chain. Scanning steps along trie edges and falls back along
// failure links; the root and the states one byte deep, where most
// fallbacks end, have full 256-entry tables so that a step rarely walks the
// chain.
#include "regex/literal_search.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace parlevo {
namespace {

size_t CommonPrefix(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  size_t k = 0;
  while (k < n && a[k] == b[k]) ++k;
  return k;
}

}  // namespace

int32_t TbmRELiteralSearch::LongLength(int32_t id) const {
  const auto it = std::lower_bound(long_lengths_.begin(), long_lengths_.end(),
                                   std::pair<int32_t, int32_t>(id, 0));
  return it->second;
}

std::string_view TbmRELiteralSearch::Pending(int32_t id) const {
  const auto length = static_cast<uint32_t>(Length(id));
  return std::string_view(pending_).substr(pending_ends_[static_cast<size_t>(id)] - length, length);
}

void TbmRELiteralSearch::Rehash(size_t slots) {
  table_.assign(slots, kNone);
  const size_t mask = slots - 1;
  for (int32_t id = 0; id < NumLiterals(); ++id) {
    size_t h = std::hash<std::string_view>()(Pending(id)) & mask;
    while (table_[h] != kNone) h = (h + 1) & mask;
    table_[h] = id;
  }
}

int32_t TbmRELiteralSearch::Add(std::string_view literal) {
  if ((lengths_.size() + 1) * 2 > table_.size()) Rehash(std::max<size_t>(16, table_.size() * 2));
  const size_t mask = table_.size() - 1;
  size_t h = std::hash<std::string_view>()(literal) & mask;
  for (; table_[h] != kNone; h = (h + 1) & mask) {
    if (Pending(table_[h]) == literal) return table_[h];
  }
  const int32_t id = NumLiterals();
  table_[h] = id;
  pending_.append(literal);
  pending_ends_.push_back(static_cast<uint32_t>(pending_.size()));
  if (literal.size() >= kLongLength) {
    long_lengths_.emplace_back(id, static_cast<int32_t>(literal.size()));
    lengths_.push_back(kLongLength);
  } else {
    lengths_.push_back(static_cast<uint8_t>(literal.size()));
  }
  return id;
}

void TbmRELiteralSearch::Clear() { *this = TbmRELiteralSearch(); }

int32_t TbmRELiteralSearch::ChildAmongMany(int32_t s, uint32_t lo, uint32_t hi, uint8_t b) const {
  if (hi - lo >= kWideEdges) {
    if (const uint8_t* row = WideRow(s)) return row[b] != 0 ? Target(lo + row[b] - 1u) : kNone;
  }
  const uint8_t* first = edge_bytes_.data() + lo;
  const uint8_t* last = edge_bytes_.data() + hi;
  const uint8_t* e = std::lower_bound(first, last, b);
  return e != last && *e == b ? Target(lo + static_cast<uint32_t>(e - first)) : kNone;
}

int32_t TbmRELiteralSearch::Go(int32_t s, uint8_t b) const {
  for (;;) {
    int32_t t = Child(s, b);
    if (t != kNone) return t;
    if (s == 0) return 0;
    s = Fail(s);
  }
}

void TbmRELiteralSearch::SetEdgeBegin(size_t s, uint32_t edge) {
  if (s % 256 == 0) edge_base_[s / 256] = edge;
  edge_offset_[s] = static_cast<uint16_t>(edge - edge_base_[s / 256]);
}

// The ids in byte order of their literals. Sorted by their first eight
// bytes as one number first, so that most comparisons read no literal.
std::vector<int32_t> TbmRELiteralSearch::SortedIds() const {
  std::vector<std::pair<uint64_t, int32_t>> keyed(lengths_.size());
  for (size_t id = 0; id < keyed.size(); ++id) {
    const std::string_view lit = Pending(static_cast<int32_t>(id));
    uint64_t key = 0;
    for (size_t k = 0; k < 8; ++k) {
      key = key << 8 | (k < lit.size() ? static_cast<uint8_t>(lit[k]) : 0u);
    }
    keyed[id] = {key, static_cast<int32_t>(id)};
  }
  std::sort(keyed.begin(), keyed.end(), [this](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return Pending(a.second) < Pending(b.second);
  });
  std::vector<int32_t> order(keyed.size());
  for (size_t k = 0; k < keyed.size(); ++k) order[k] = keyed[k].second;
  return order;
}

// A state per byte a literal does not share with the one before it in byte
// order, and the root.
size_t TbmRELiteralSearch::CountStates(const std::vector<int32_t>& order) const {
  size_t count = 1;
  for (size_t k = 0; k < order.size(); ++k) {
    const std::string_view lit = Pending(order[k]);
    count += lit.size() - (k == 0 ? 0 : CommonPrefix(lit, Pending(order[k - 1])));
  }
  return count;
}

void TbmRELiteralSearch::Allocate(size_t states) {
  edge_base_.assign((states + 256) / 256, 0);
  edge_offset_.assign(states + 1, 0);
  edge_bytes_.assign(states - 1, 0);
  fail_.Assign(states, static_cast<uint32_t>(states - 1));
  flags_.assign((states + 63) / 64, Flags());
  ends_before_.assign(flags_.size(), 0);
  ids_.Assign(lengths_.size(), static_cast<uint32_t>(std::max<size_t>(lengths_.size(), 1) - 1));
}

// State `state`, reached from `parent` by `byte`, where literal `id` ends
// (or kNone). States come in breadth-first order, so their parents do too:
// the edges of every state up to the parent are known from here on.
void TbmRELiteralSearch::AddState(int32_t state, int32_t parent, uint8_t byte, int32_t id,
                                  size_t& edges_set) {
  const auto edge = static_cast<uint32_t>(state - 1);
  for (; edges_set <= static_cast<size_t>(parent); ++edges_set) SetEdgeBegin(edges_set, edge);
  edge_bytes_[edge] = byte;
  const int32_t f = parent == 0 ? 0 : Go(Fail(parent), byte);
  fail_.Set(static_cast<size_t>(state), static_cast<uint32_t>(f));
  Flags& flags = flags_[static_cast<size_t>(state) >> 6];
  const uint64_t bit = uint64_t{1} << (state & 63);
  if (id != kNone) {
    ids_.Set(
        static_cast<size_t>(CountBits(flags.ends)) + ends_before_[static_cast<size_t>(state) >> 6],
        static_cast<uint32_t>(id));
    flags.ends |= bit;
  }
  if (id != kNone || Emits(f)) flags.emits |= bit;
}

// Depth by depth, the literals still as long walked in byte order: one
// whose prefix of this depth differs from the one before it starts a new
// state, a child of the state its shorter prefix reached. `order` (the
// sorted ids) keeps those still longer, `at` where each of them stands.
void TbmRELiteralSearch::LayStates(std::vector<int32_t>& order) {
  std::vector<int32_t> at(order.size(), 0);
  int32_t next = 1;
  size_t edges_set = 0;
  size_t active = order.size();
  for (size_t depth = 1; active > 0; ++depth) {
    size_t kept = 0;
    int32_t last_parent = kNone, last_state = kNone;
    uint8_t last_byte = 0;
    for (size_t k = 0; k < active; ++k) {
      const int32_t id = order[k];
      const std::string_view lit = Pending(id);
      const int32_t parent = at[k];
      const auto byte = static_cast<uint8_t>(lit[depth - 1]);
      if (parent != last_parent || byte != last_byte) {
        // A literal is sorted before those it is a prefix of, so the one
        // ending at a state is the one that starts it.
        last_state = next++;
        AddState(last_state, parent, byte, lit.size() == depth ? id : kNone, edges_set);
        last_parent = parent;
        last_byte = byte;
        if ((last_state & 63) == 63) {
          const size_t w = static_cast<size_t>(last_state) >> 6;
          if (w + 1 < ends_before_.size()) {
            ends_before_[w + 1] =
                ends_before_[w] + static_cast<uint32_t>(CountBits(flags_[w].ends));
          }
        }
      }
      if (lit.size() > depth) {
        order[kept] = id;
        at[kept] = last_state;
        ++kept;
      }
    }
    active = kept;
  }
  const auto edges = static_cast<uint32_t>(edge_bytes_.size());
  for (; edges_set < edge_offset_.size(); ++edges_set) SetEdgeBegin(edges_set, edges);
}

void TbmRELiteralSearch::MakeDenseTables() {
  dense_states_ = 1 + static_cast<int32_t>(EdgeBegin(1) - EdgeBegin(0));
  dense_.resize(static_cast<size_t>(dense_states_) * 256);
  for (int32_t s = 0; s < dense_states_; ++s) {
    for (int b = 0; b < 256; ++b) {
      dense_[static_cast<size_t>(s) * 256 + static_cast<size_t>(b)] =
          Go(s, static_cast<uint8_t>(b));
    }
  }
  for (int b = 0; b < 256; ++b) starts_[b] = dense_[static_cast<size_t>(b)] != 0;
}

const uint8_t* TbmRELiteralSearch::WideRow(int32_t s) const {
  if (wide_slots_.empty()) return nullptr;
  const size_t mask = wide_slots_.size() - 1;
  for (size_t h = (static_cast<uint32_t>(s) * 0x9E3779B1u) >> wide_shift_;; h = (h + 1) & mask) {
    if (wide_slots_[h].first == s)
      return wide_rows_.data() + 256 * static_cast<size_t>(wide_slots_[h].second);
    if (wide_slots_[h].first == kNone) return nullptr;
  }
}

// Rows for the widest states first would need a sort; those come first in
// breadth-first order anyway. All rows together take at most a quarter of
// a byte per state.
void TbmRELiteralSearch::MakeWideRows() {
  const size_t states = edge_offset_.size() - 1;
  std::vector<int32_t> wide;
  for (size_t s = static_cast<size_t>(dense_states_); s < states; ++s) {
    const uint32_t n = EdgeBegin(s + 1) - EdgeBegin(s);
    if (n < kWideEdges || n > 255) continue;
    if ((wide.size() + 1) * 256 > states / 4) break;
    wide.push_back(static_cast<int32_t>(s));
  }
  if (wide.empty()) return;
  wide_rows_.assign(wide.size() * 256, 0);
  const int bits = std::bit_width(wide.size() * 2 - 1);
  wide_shift_ = 32 - bits;
  wide_slots_.assign(size_t{1} << bits, {kNone, 0});
  for (size_t r = 0; r < wide.size(); ++r) {
    const auto s = static_cast<size_t>(wide[r]);
    const uint32_t lo = EdgeBegin(s);
    for (uint32_t e = lo; e < EdgeBegin(s + 1); ++e) {
      wide_rows_[r * 256 + edge_bytes_[e]] = static_cast<uint8_t>(e - lo + 1);
    }
    const size_t mask = wide_slots_.size() - 1;
    size_t h = (static_cast<uint32_t>(wide[r]) * 0x9E3779B1u) >> wide_shift_;
    while (wide_slots_[h].first != kNone) h = (h + 1) & mask;
    wide_slots_[h] = {wide[r], static_cast<int32_t>(r)};
  }
}

void TbmRELiteralSearch::Build() {
  // The ids are known: the table only served Add. (Fresh vectors give their
  // storage back; assigning {} would keep it.)
  table_ = decltype(table_)();
  std::vector<int32_t> order = SortedIds();
  // Empty literals end nowhere.
  std::erase_if(order, [this](int32_t id) { return lengths_[static_cast<size_t>(id)] == 0; });
  Allocate(CountStates(order));
  LayStates(order);
  order = decltype(order)();
  // A string moved in from an empty one keeps its own storage: swapped out.
  std::string().swap(pending_);
  pending_ends_ = decltype(pending_ends_)();
  lengths_.shrink_to_fit();
  MakeDenseTables();
  MakeWideRows();
}

size_t TbmRELiteralSearch::MemoryBytes() const {
  return (edge_base_.capacity() + ends_before_.capacity()) * sizeof(uint32_t) +
         edge_offset_.capacity() * sizeof(uint16_t) + edge_bytes_.capacity() + fail_.MemoryBytes() +
         flags_.capacity() * sizeof(Flags) + ids_.MemoryBytes() +
         dense_.capacity() * sizeof(int32_t) + lengths_.capacity() +
         long_lengths_.capacity() * sizeof(long_lengths_[0]) + wide_rows_.capacity() +
         wide_slots_.capacity() * sizeof(wide_slots_[0]);
}

}  // namespace parlevo
