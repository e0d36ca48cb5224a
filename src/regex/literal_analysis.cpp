// Literal analysis.
//
// From the parse tree, bottom-up, each node gets either the exact set of byte
// strings it matches (while small) or a set of strings one of which every
// match must contain. Concatenation keeps the better of its two sides (or the
// strings where they meet), alternation the union of both sides' sets. If a
// text contains none of the pattern's strings there is no match, whatever the
// start. When the root's set is exact (and the pattern has no anchors), a
// match is simply one of those strings starting on a character boundary.
// Anchors right before or after every string of an exact set are kept as
// flags ("^(yes|no)$"); anchors anywhere else make a set inexact.
//
// Every set is an immutable array of views into one arena per analysis, so a
// node passes its sets on by copying two words, cutting a string is taking a
// view of part of it, and everything is freed at once when the analysis ends.
// Only nodes whose sets can reach the root are analysed: below a closure
// nothing is required.
#include "regex/literal_analysis.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "regex/literal_list.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

constexpr int32_t kMaxRangeLiterals = 16;  // a class of more characters is no literal
constexpr size_t kKeptLits = 1024;         // a thread keeps room for trees this large

using Str = std::string_view;
using Set = std::span<const Str>;  // sorted, each once; empty: unknown

struct Lit {
  bool exact = false;  // `set` is every string the node matches
  // For an exact set: each string stands right after a line head ("^"),
  // right before a line tail ("$"); anchors anywhere else make a set inexact.
  bool head = false, tail = false;
  Set set;  // otherwise: one of these is in every match (empty: unknown)
  // Otherwise: every match starts (ends) with one of these (empty: unknown).
  Set prefix, suffix;
  // Not exact: a second set of which every match also contains one (empty:
  // none known), so that a text must hold one of each.
  Set also;
};

// The arena every set and string of one analysis lives in.
class Arena {
 public:
  explicit Arena(std::span<std::byte> start) : memory_(start.data(), start.size()) {}

  // Room for up to `n` strings, to be filled and then sealed by Seal.
  Str* Strings(size_t n) {
    return static_cast<Str*>(memory_.allocate(n * sizeof(Str), alignof(Str)));
  }
  // a + b, kept in the arena.
  Str Join(Str a, Str b) {
    char* bytes = static_cast<char*>(memory_.allocate(a.size() + b.size() + 1, 1));
    // An empty side may have no storage at all: memcpy must not see its null.
    if (!a.empty()) std::memcpy(bytes, a.data(), a.size());
    if (!b.empty()) std::memcpy(bytes + a.size(), b.data(), b.size());
    return Str(bytes, a.size() + b.size());
  }
  // The first `n` strings at `strings`, sorted, each once.
  static Set Seal(Str* strings, size_t n) {
    std::sort(strings, strings + n);
    return Set(strings, static_cast<size_t>(std::unique(strings, strings + n) - strings));
  }

 private:
  std::pmr::monotonic_buffer_resource memory_;
};

bool HasEmpty(Set set) {
  // Sorted: the empty string comes first.
  return !set.empty() && set.front().empty();
}

// The strings one of which a match of `lit` must contain; empty when unknown.
Set Required(const Lit& lit) { return HasEmpty(lit.set) ? Set() : lit.set; }
Set Starts(const Lit& lit) { return lit.exact ? lit.set : lit.prefix; }
Set Ends(const Lit& lit) { return lit.exact ? lit.set : lit.suffix; }

// Higher is better: the shortest string counts, then how few strings there are.
int64_t Score(Set set) {
  if (set.empty()) return -1;
  size_t shortest = SIZE_MAX;
  for (Str s : set) shortest = std::min(shortest, s.size());
  return static_cast<int64_t>(std::min(shortest, size_t{8})) * 64 -
         static_cast<int64_t>(set.size());
}

// `s` cut to kMaxLiteralBytes, keeping its head, or its tail for `keep_tail`.
Str Cut(Str s, bool keep_tail) {
  if (s.size() <= kMaxLiteralBytes) return s;
  return keep_tail ? s.substr(s.size() - kMaxLiteralBytes) : s.substr(0, kMaxLiteralBytes);
}

// Every a + b, each cut (see Cut); empty when either side is unknown or
// there are too many. `cut` (when given) tells whether any was cut.
Set Product(Set a, Set b, bool keep_tail, Arena& arena, bool* cut = nullptr) {
  if (a.empty() || b.empty() || a.size() * b.size() > kMaxLiterals) return {};
  Str* out = arena.Strings(a.size() * b.size());
  size_t n = 0;
  bool any_cut = false;
  for (Str x : a) {
    for (Str y : b) {
      const Str joined = arena.Join(x, y);
      any_cut = any_cut || joined.size() > kMaxLiteralBytes;
      out[n++] = Cut(joined, keep_tail);
    }
  }
  if (cut) *cut = any_cut;
  return Arena::Seal(out, n);
}

// a and b together, or unknown when either is or there are too many.
Set Either(Set a, Set b, Arena& arena) {
  if (a.empty() || b.empty() || a.size() + b.size() > kMaxLiterals) return {};
  Str* out = arena.Strings(a.size() + b.size());
  const size_t n =
      static_cast<size_t>(std::set_union(a.begin(), a.end(), b.begin(), b.end(), out) - out);
  return Set(out, n);
}

// An exact set of the empty string alone, with the anchor flags given.
Lit EmptyLit(bool head, bool tail) {
  static constexpr Str kEmpty[1] = {Str()};
  return Lit{true, head, tail, Set(kEmpty), {}, {}, {}};
}

Lit LeafLit(const TbmRELeafNode& leaf, TbmCharCode code, Arena& arena) {
  if (leaf.Lo < 0) {  // anchors and the end marker are zero-width
    return EmptyLit(leaf.Lo == kLineHead, leaf.Lo == kLineTail);
  }
  if (leaf.Hi - leaf.Lo + 1 > kMaxRangeLiterals) return {};
  const size_t count = static_cast<size_t>(leaf.Hi - leaf.Lo + 1);
  Str* out = arena.Strings(count);
  std::string bytes;
  for (int32_t c = leaf.Lo; c <= leaf.Hi; ++c) {
    bytes.clear();
    if (!EncodeLiteralChar(c, code, bytes)) return {};
    out[c - leaf.Lo] = arena.Join(bytes, Str());
  }
  Lit lit;
  lit.exact = true;
  lit.set = Arena::Seal(out, count);
  return lit;
}

// Both sides exact and few enough: every string of one then the other. Too
// long a result keeps a prefix of each as the requirement and beginnings.
Lit ExactCat(const Lit& l, const Lit& r, Arena& arena) {
  Lit lit;
  lit.exact = true;
  lit.head = l.head;
  lit.tail = r.tail;
  Str* out = arena.Strings(l.set.size() * r.set.size());
  size_t n = 0;
  bool too_long = false;
  for (Str a : l.set) {
    for (Str b : r.set) {
      out[n] = arena.Join(a, b);
      too_long = too_long || out[n].size() > kMaxLiteralBytes;
      ++n;
    }
  }
  if (!too_long) {
    lit.set = Arena::Seal(out, n);
    return lit;
  }
  lit.exact = false;
  for (size_t i = 0; i < n; ++i) out[i] = Cut(out[i], false);
  lit.set = lit.prefix = Arena::Seal(out, n);
  return lit;
}

// A concatenation. Not exact, it requires the best of: what the left side
// requires, what the right side requires, and the strings where the left
// side's endings meet the right side's beginnings ("[a-z]+name" requires
// "name", found a letter at a time).
Lit CatLit(const Lit& l, const Lit& r, Arena& arena) {
  if (l.exact && r.exact && l.set.size() * r.set.size() <= kMaxLiterals && !l.tail && !r.head) {
    return ExactCat(l, r, arena);
  }
  // Every option is required, so any two are required together: the best
  // becomes `set`, the best one from the other side `also`.
  struct Option {
    Set set;
    int side;  // 0: left, 1: right, 2: where they meet
    int64_t score;
  };
  bool meet_cut = false;
  const Set meet = Product(Ends(l), Starts(r), false, arena, &meet_cut);
  Option options[] = {
      {Required(l), 0, 0}, {l.also, 0, 0}, {Required(r), 1, 0}, {r.also, 1, 0}, {meet, 2, 0}};
  for (Option& o : options) o.score = Score(o.set);
  const Option* best = nullptr;
  for (const Option& o : options) {
    if (!HasEmpty(o.set) && (!best || o.score > best->score)) best = &o;
  }
  const Option* second = nullptr;
  for (const Option& o : options) {
    if (best && o.side != best->side && o.side != 2 && !HasEmpty(o.set) && o.score > 0 &&
        (!second || o.score > second->score)) {
      second = &o;
    }
  }
  Lit lit;
  if (best) lit.set = best->set;
  if (second) lit.also = second->set;
  // An exact side's beginnings (endings) joined to the other's are where they
  // meet: made once, and again only when cutting the other way differs.
  if (l.exact) {
    lit.prefix = meet.empty() ? l.set : meet;
  } else {
    lit.prefix = l.prefix;
  }
  if (r.exact) {
    lit.suffix = meet_cut ? Product(Ends(l), r.set, true, arena) : meet;
    if (lit.suffix.empty()) lit.suffix = r.set;
  } else {
    lit.suffix = r.suffix;
  }
  if (HasEmpty(lit.prefix)) lit.prefix = {};
  if (HasEmpty(lit.suffix)) lit.suffix = {};
  return lit;
}

Lit UnionLit(const Lit& a, const Lit& b, Arena& arena) {
  Lit lit;
  if (a.exact && b.exact && a.set.size() + b.set.size() <= kMaxLiterals && a.head == b.head &&
      a.tail == b.tail) {
    lit.exact = true;
    lit.head = a.head;
    lit.tail = a.tail;
    lit.set = Either(a.set, b.set, arena);
    return lit;
  }
  lit.set = Either(Required(a), Required(b), arena);
  lit.prefix = Either(Starts(a), Starts(b), arena);
  lit.suffix = Either(Ends(a), Ends(b), arena);
  if (HasEmpty(lit.prefix)) lit.prefix = {};
  if (HasEmpty(lit.suffix)) lit.suffix = {};
  return lit;
}

std::vector<std::string> ToStrings(Set set) { return {set.begin(), set.end()}; }

// The first block of every analysis on this thread: most trees fit in it,
// so most analyses take no memory from the heap at all.
std::span<std::byte> ArenaStart() {
  thread_local std::vector<std::byte> start(size_t{32} << 10);
  return start;
}

// Which nodes up to `root` can pass anything on to it (1), not those only
// below a closure: it requires nothing, whatever they hold.
const std::vector<uint8_t>& Reaching(const std::vector<TbmRETree::Node>& nodes, int32_t root) {
  thread_local std::vector<uint8_t> reaching;
  reaching.assign(static_cast<size_t>(root) + 1, 0);
  reaching[static_cast<size_t>(root)] = 1;
  for (size_t i = static_cast<size_t>(root) + 1; i-- > 0;) {
    const auto& n = nodes[i];
    if (reaching[i] &&
        (n.Kind == TbmRETree::NodeKind::kCat || n.Kind == TbmRETree::NodeKind::kUnion)) {
      reaching[static_cast<size_t>(n.Left)] = reaching[static_cast<size_t>(n.Right)] = 1;
    }
  }
  return reaching;
}

}  // namespace

void CutLiterals(std::vector<std::string>& strings, size_t max_bytes) {
  for (auto& s : strings) s.resize(std::min(s.size(), max_bytes));
  std::sort(strings.begin(), strings.end());
  strings.erase(std::unique(strings.begin(), strings.end()), strings.end());
}

TbmRERequiredLiterals AnalyzeLiterals(const TbmRETree& tree, TbmCharCode code) {
  const auto& nodes = tree.Nodes();
  const int32_t root = tree.PatternRoot();
  // The analysis keeps literals for every node at once: a tree as large as a
  // long word list would cost more memory than its compile budget, so such
  // a pattern goes without (still correct, the automaton answers).
  if (root < 0 || root >= kMaxLiteralAnalysisNodes) return {};
  Arena arena(ArenaStart());
  const std::vector<uint8_t>& reaching = Reaching(nodes, root);
  // Children are made before their parents, so index order is bottom-up.
  // Every node reaching the root is written before its parents read it;
  // the others are never read.
  thread_local std::vector<Lit> lits;
  if (lits.size() <= static_cast<size_t>(root)) lits.resize(static_cast<size_t>(root) + 1);
  for (int32_t i = 0; i <= root; ++i) {
    if (!reaching[static_cast<size_t>(i)]) continue;
    const auto& n = nodes[static_cast<size_t>(i)];
    Lit& lit = lits[static_cast<size_t>(i)];
    switch (n.Kind) {
      case TbmRETree::NodeKind::kLeaf:
        lit = LeafLit(tree.Leaves()[static_cast<size_t>(n.Left)], code, arena);
        break;
      case TbmRETree::NodeKind::kEpsilon:
        lit = EmptyLit(false, false);
        break;
      case TbmRETree::NodeKind::kCat:
        lit = CatLit(lits[static_cast<size_t>(n.Left)], lits[static_cast<size_t>(n.Right)], arena);
        break;
      case TbmRETree::NodeKind::kUnion:
        lit =
            UnionLit(lits[static_cast<size_t>(n.Left)], lits[static_cast<size_t>(n.Right)], arena);
        break;
      case TbmRETree::NodeKind::kClosure:
        lit = Lit{};  // may match nothing: no requirement
        break;
    }
  }
  const Lit& top = lits[static_cast<size_t>(root)];
  TbmRERequiredLiterals out;
  out.strings = ToStrings(Required(top));
  out.exact = top.exact;
  out.head = top.head;
  out.tail = top.tail;
  if (!top.exact && !out.strings.empty()) out.also = ToStrings(top.also);
  if (lits.size() > kKeptLits) lits = std::vector<Lit>();  // a rare large tree's: given back
  return out;
}

}  // namespace parlevo
