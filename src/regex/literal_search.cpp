// The multi-literal search.
//
// The literals are sorted and laid into a trie (a sorted list shares each
// prefix with the one before it, so the trie grows at its right edge only),
// whose states are then renumbered breadth first. Every state gets its
// failure link, the longest proper suffix of its string that is also a trie
// state, and a dictionary link, the next state down that chain where a
// literal ends. Scanning steps along trie edges and falls back along failure
// links; the root and the states one byte deep, where most fallbacks end,
// have full 256-entry tables so that a step rarely walks the chain.
#include "regex/literal_search.h"

#include <algorithm>
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

std::string_view TbmRELiteralSearch::Pending(int32_t id) const {
  const auto i = static_cast<size_t>(id);
  return std::string_view(pending_).substr(pending_ends_[i] - static_cast<uint32_t>(lengths_[i]),
                                           static_cast<size_t>(lengths_[i]));
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
  lengths_.push_back(static_cast<int32_t>(literal.size()));
  return id;
}

void TbmRELiteralSearch::Clear() { *this = TbmRELiteralSearch(); }

int32_t TbmRELiteralSearch::Child(int32_t s, uint8_t b) const {
  const uint32_t lo = edge_begin_[static_cast<size_t>(s)];
  const uint32_t hi = edge_begin_[static_cast<size_t>(s) + 1];
  if (hi - lo <= 8) {
    for (uint32_t e = lo; e < hi; ++e) {
      if (edge_bytes_[e] == b) return Target(e);
    }
    return kNone;
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
    s = fail_[static_cast<size_t>(s)];
  }
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

void TbmRELiteralSearch::Build() {
  // The trie, from the literals in byte order, as first-child/next-sibling
  // lists; children come in ascending byte order.
  struct Node {
    int32_t first_child = kNone, last_child = kNone, next_sibling = kNone;
    uint8_t byte = 0;
    int32_t out = kNone;
  };
  // The ids are known: the table only served Add. (Fresh vectors give their
  // storage back; assigning {} would keep it.)
  table_ = decltype(table_)();
  std::vector<int32_t> order = SortedIds();
  // A node per byte a literal does not share with the one before it in
  // byte order: counted first, so the trie is allocated once and exactly.
  size_t node_count = 1;
  for (size_t k = 0; k < order.size(); ++k) {
    const std::string_view lit = Pending(order[k]);
    node_count += lit.size() - (k == 0 ? 0 : CommonPrefix(lit, Pending(order[k - 1])));
  }
  std::vector<Node> nodes(1);
  nodes.reserve(node_count);
  std::vector<int32_t> path(1, 0);  // nodes of the previous literal, root first
  std::string_view previous;
  for (int32_t id : order) {
    const std::string_view lit = Pending(id);
    const size_t common = CommonPrefix(lit, previous);
    path.resize(common + 1);
    for (size_t k = common; k < lit.size(); ++k) {
      const int32_t parent = path.back();
      const auto child = static_cast<int32_t>(nodes.size());
      nodes.push_back({});
      nodes.back().byte = static_cast<uint8_t>(lit[k]);
      Node& p = nodes[static_cast<size_t>(parent)];
      if (p.last_child == kNone) {
        p.first_child = child;
      } else {
        nodes[static_cast<size_t>(p.last_child)].next_sibling = child;
      }
      p.last_child = child;
      path.push_back(child);
    }
    nodes[static_cast<size_t>(path.back())].out = id;
    previous = lit;
  }
  order = decltype(order)();
  pending_ = decltype(pending_)();
  pending_ends_ = decltype(pending_ends_)();

  // Breadth-first numbering and the flat edge lists.
  const size_t count = nodes.size();
  std::vector<int32_t> bfs;  // bfs[new id] = node
  bfs.reserve(count);
  bfs.push_back(0);
  std::vector<int32_t> depth1_end(1, 1);
  edge_begin_.assign(count + 1, 0);
  edge_bytes_.clear();
  edge_bytes_.reserve(count - 1);
  for (size_t s = 0; s < bfs.size(); ++s) {
    edge_begin_[s] = static_cast<uint32_t>(edge_bytes_.size());
    for (int32_t c = nodes[static_cast<size_t>(bfs[s])].first_child; c != kNone;
         c = nodes[static_cast<size_t>(c)].next_sibling) {
      edge_bytes_.push_back(nodes[static_cast<size_t>(c)].byte);
      bfs.push_back(c);
    }
  }
  edge_begin_[count] = static_cast<uint32_t>(edge_bytes_.size());
  out_.resize(count);
  for (size_t s = 0; s < count; ++s) out_[s] = nodes[static_cast<size_t>(bfs[s])].out;
  dense_states_ = 1 + static_cast<int32_t>(edge_begin_[1] - edge_begin_[0]);
  nodes.clear();
  nodes.shrink_to_fit();

  // Failure and dictionary links, parents before children.
  fail_.assign(count, 0);
  dict_.assign(count, 0);
  emits_.assign(count, 0);
  for (size_t s = 0; s < count; ++s) {
    for (uint32_t e = edge_begin_[s]; e < edge_begin_[s + 1]; ++e) {
      const auto child = static_cast<size_t>(Target(e));
      const int32_t f = s == 0 ? 0 : Go(fail_[s], edge_bytes_[e]);
      fail_[child] = f;
      dict_[child] = out_[static_cast<size_t>(f)] != kNone ? f : dict_[static_cast<size_t>(f)];
      emits_[child] = out_[child] != kNone || dict_[child] != 0;
    }
  }

  dense_.resize(static_cast<size_t>(dense_states_) * 256);
  for (int32_t s = 0; s < dense_states_; ++s) {
    for (int b = 0; b < 256; ++b) {
      dense_[static_cast<size_t>(s) * 256 + static_cast<size_t>(b)] =
          Go(s, static_cast<uint8_t>(b));
    }
  }
  for (int b = 0; b < 256; ++b) starts_[b] = dense_[static_cast<size_t>(b)] != 0;
}

size_t TbmRELiteralSearch::MemoryBytes() const {
  return edge_begin_.capacity() * sizeof(uint32_t) + edge_bytes_.capacity() +
         (fail_.capacity() + out_.capacity() + dict_.capacity() + dense_.capacity() +
          lengths_.capacity()) *
             sizeof(int32_t) +
         emits_.capacity();
}

}  // namespace parlevo
