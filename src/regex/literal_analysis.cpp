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
#include "regex/literal_analysis.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <span>
#include <string>
#include <vector>

#include "regex/literal_list.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

constexpr int32_t kMaxRangeLiterals = 16;  // a class of more characters is no literal

// The analysis makes and drops many small sets of short strings: they live in
// one arena per analysis, freed at once when it ends.
using Str = std::pmr::string;
using Set = std::pmr::vector<Str>;

template <typename Strings>
void SortDistinct(Strings& set) {
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
}

struct Lit {
  explicit Lit(std::pmr::memory_resource* arena)
      : set(arena), prefix(arena), suffix(arena), also(arena) {}
  bool exact = false;  // `set` is every string the node matches
  Set set;             // otherwise: one of these is in every match (empty: unknown)
  // Otherwise: every match starts (ends) with one of these (empty: unknown).
  Set prefix, suffix;
  // Not exact: a second set of which every match also contains one (empty:
  // none known), so that a text must hold one of each.
  Set also;
  // For an exact set: each string stands right after a line head ("^"),
  // right before a line tail ("$"); anchors anywhere else make a set inexact.
  bool head = false, tail = false;
};

// An exact set of the empty string alone, with the anchor flags given.
Lit EmptyLit(std::pmr::memory_resource* arena, bool head, bool tail) {
  Lit lit(arena);
  lit.exact = true;
  lit.set.emplace_back();
  lit.head = head;
  lit.tail = tail;
  return lit;
}

bool HasEmpty(const Set& set) {
  return std::any_of(set.begin(), set.end(), [](const Str& s) { return s.empty(); });
}

// The strings one of which a match of `lit` must contain; empty when unknown.
const Set& Required(const Lit& lit) {
  static const Set kUnknown;  // never changes: safe to share
  if (lit.set.empty() || HasEmpty(lit.set)) return kUnknown;
  return lit.set;
}
const Set& Starts(const Lit& lit) { return lit.exact ? lit.set : lit.prefix; }
const Set& Ends(const Lit& lit) { return lit.exact ? lit.set : lit.suffix; }

// Higher is better: the shortest string counts, then how few strings there are.
int64_t Score(const Set& set) {
  if (set.empty()) return -1;
  size_t shortest = SIZE_MAX;
  for (const auto& s : set) shortest = std::min(shortest, s.size());
  return static_cast<int64_t>(std::min(shortest, size_t{8})) * 64 -
         static_cast<int64_t>(set.size());
}

// Every a + b, each cut to kMaxLiteralBytes (keeping its head, or its tail
// for `keep_tail`); empty when either side is unknown or there are too many.
Set Product(const Set& a, const Set& b, bool keep_tail, std::pmr::memory_resource* arena) {
  Set out(arena);
  if (a.empty() || b.empty() || a.size() * b.size() > kMaxLiterals) return out;
  for (const auto& x : a) {
    for (const auto& y : b) {
      Str& s = out.emplace_back(x);
      s += y;
      if (s.size() > kMaxLiteralBytes) {
        if (keep_tail) {
          s.erase(0, s.size() - kMaxLiteralBytes);
        } else {
          s.resize(kMaxLiteralBytes);
        }
      }
    }
  }
  SortDistinct(out);
  return out;
}

// a and b together, or unknown when either is or there are too many.
Set Either(const Set& a, const Set& b, std::pmr::memory_resource* arena) {
  Set out(arena);
  if (a.empty() || b.empty() || a.size() + b.size() > kMaxLiterals) return out;
  out.reserve(a.size() + b.size());
  out.insert(out.end(), a.begin(), a.end());
  out.insert(out.end(), b.begin(), b.end());
  SortDistinct(out);
  return out;
}

Lit LeafLit(const TbmRELeafNode& leaf, TbmCharCode code, std::pmr::memory_resource* arena) {
  if (leaf.Lo < 0) {  // anchors and the end marker are zero-width
    return EmptyLit(arena, leaf.Lo == kLineHead, leaf.Lo == kLineTail);
  }
  Lit lit(arena);
  if (leaf.Hi - leaf.Lo + 1 > kMaxRangeLiterals) return lit;
  std::string s;
  for (int32_t c = leaf.Lo; c <= leaf.Hi; ++c) {
    s.clear();
    if (!EncodeLiteralChar(c, code, s)) return Lit(arena);
    lit.set.emplace_back(s);
  }
  lit.exact = true;
  return lit;
}

// A concatenation. Not exact, it requires the best of: what the left side
// requires, what the right side requires, and the strings where the left
// side's endings meet the right side's beginnings ("[a-z]+name" requires
// "name", found a letter at a time).
Lit CatLit(const Lit& l, const Lit& r, std::pmr::memory_resource* arena) {
  Lit lit(arena);
  if (l.exact && r.exact && l.set.size() * r.set.size() <= kMaxLiterals && !l.tail && !r.head) {
    lit.exact = true;
    lit.head = l.head;
    lit.tail = r.tail;
    for (const auto& a : l.set) {
      for (const auto& b : r.set) lit.set.emplace_back(a) += b;
    }
    SortDistinct(lit.set);
    bool too_long = std::any_of(lit.set.begin(), lit.set.end(),
                                [](const Str& s) { return s.size() > kMaxLiteralBytes; });
    if (!too_long) return lit;
    // Keep a prefix of each as the requirement, and as the beginnings.
    lit.exact = false;
    for (auto& s : lit.set) s.resize(std::min(s.size(), kMaxLiteralBytes));
    SortDistinct(lit.set);
    lit.prefix = lit.set;
    return lit;
  }
  // Every option is required, so any two are required together: the best
  // becomes `set`, the best one from the other side `also`.
  // The options are looked at in place; only the chosen ones are copied.
  struct Option {
    const Set& set;
    int side;  // 0: left, 1: right, 2: where they meet
  };
  const Set meet = Product(Ends(l), Starts(r), false, arena);
  const Option options[] = {
      {Required(l), 0}, {l.also, 0}, {Required(r), 1}, {r.also, 1}, {meet, 2}};
  const Option* best = nullptr;
  for (const Option& o : options) {
    if (!HasEmpty(o.set) && (!best || Score(o.set) > Score(best->set))) best = &o;
  }
  const Option* second = nullptr;
  for (const Option& o : options) {
    if (best && o.side != best->side && o.side != 2 && !HasEmpty(o.set) && Score(o.set) > 0 &&
        (!second || Score(o.set) > Score(second->set))) {
      second = &o;
    }
  }
  if (best) lit.set = best->set;
  if (second) lit.also = second->set;
  if (l.exact) {
    lit.prefix = Product(l.set, Starts(r), false, arena);
    if (lit.prefix.empty()) lit.prefix = l.set;
  } else {
    lit.prefix = l.prefix;
  }
  if (r.exact) {
    lit.suffix = Product(Ends(l), r.set, true, arena);
    if (lit.suffix.empty()) lit.suffix = r.set;
  } else {
    lit.suffix = r.suffix;
  }
  if (HasEmpty(lit.prefix)) lit.prefix.clear();
  if (HasEmpty(lit.suffix)) lit.suffix.clear();
  return lit;
}

Lit UnionLit(const Lit& a, const Lit& b, std::pmr::memory_resource* arena) {
  Lit lit(arena);
  if (a.exact && b.exact && a.set.size() + b.set.size() <= kMaxLiterals && a.head == b.head &&
      a.tail == b.tail) {
    lit.exact = true;
    lit.head = a.head;
    lit.tail = a.tail;
    lit.set.reserve(a.set.size() + b.set.size());
    lit.set.insert(lit.set.end(), a.set.begin(), a.set.end());
    lit.set.insert(lit.set.end(), b.set.begin(), b.set.end());
    SortDistinct(lit.set);
    return lit;
  }
  lit.set = Either(Required(a), Required(b), arena);
  lit.prefix = Either(Starts(a), Starts(b), arena);
  lit.suffix = Either(Ends(a), Ends(b), arena);
  if (HasEmpty(lit.prefix)) lit.prefix.clear();
  if (HasEmpty(lit.suffix)) lit.suffix.clear();
  return lit;
}

std::vector<std::string> ToStrings(const Set& set) { return {set.begin(), set.end()}; }

// The first block of every analysis on this thread: most trees fit in it,
// so most analyses take no memory from the heap at all.
std::span<std::byte> ArenaStart() {
  thread_local std::vector<std::byte> start(size_t{32} << 10);
  return start;
}

}  // namespace

void CutLiterals(std::vector<std::string>& strings, size_t max_bytes) {
  for (auto& s : strings) s.resize(std::min(s.size(), max_bytes));
  SortDistinct(strings);
}

TbmRERequiredLiterals AnalyzeLiterals(const TbmRETree& tree, TbmCharCode code) {
  const auto& nodes = tree.Nodes();
  const int32_t root = tree.PatternRoot();
  // The analysis keeps literals for every node at once: a tree as large as a
  // long word list would cost more memory than its compile budget, so such
  // a pattern goes without (still correct, the automaton answers).
  if (root < 0 || root >= kMaxLiteralAnalysisNodes) return {};
  const std::span<std::byte> start = ArenaStart();
  std::pmr::monotonic_buffer_resource arena(start.data(), start.size());
  // Children are made before their parents, so index order is bottom-up.
  std::pmr::vector<Lit> lits(&arena);
  lits.reserve(static_cast<size_t>(root) + 1);
  for (int32_t i = 0; i <= root; ++i) {
    const auto& n = nodes[i];
    switch (n.Kind) {
      case TbmRETree::NodeKind::kLeaf:
        lits.push_back(LeafLit(tree.Leaves()[n.Left], code, &arena));
        break;
      case TbmRETree::NodeKind::kEpsilon:
        lits.push_back(EmptyLit(&arena, false, false));
        break;
      case TbmRETree::NodeKind::kCat:
        lits.push_back(CatLit(lits[n.Left], lits[n.Right], &arena));
        break;
      case TbmRETree::NodeKind::kUnion:
        lits.push_back(UnionLit(lits[n.Left], lits[n.Right], &arena));
        break;
      case TbmRETree::NodeKind::kClosure:
        lits.emplace_back(&arena);  // may match nothing: no requirement
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
  return out;
}

}  // namespace parlevo
