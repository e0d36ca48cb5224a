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
#include <cstdint>

#include "regex/literal_list.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

constexpr int32_t kMaxRangeLiterals = 16;  // a class of more characters is no literal

void SortDistinct(std::vector<std::string>& set) {
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
}

struct Lit {
  bool exact = false;            // `set` is every string the node matches
  std::vector<std::string> set;  // otherwise: one of these is in every match (empty: unknown)
  // Otherwise: every match starts (ends) with one of these (empty: unknown).
  std::vector<std::string> prefix, suffix;
  // Not exact: a second set of which every match also contains one (empty:
  // none known), so that a text must hold one of each.
  std::vector<std::string> also;
  // For an exact set: each string stands right after a line head ("^"),
  // right before a line tail ("$"); anchors anywhere else make a set inexact.
  bool head = false, tail = false;
};

bool HasEmpty(const std::vector<std::string>& set) {
  return std::any_of(set.begin(), set.end(), [](const std::string& s) { return s.empty(); });
}

// The strings one of which a match of `lit` must contain; empty when unknown.
const std::vector<std::string>& Required(const Lit& lit) {
  static const std::vector<std::string> kUnknown;  // never changes: safe to share
  if (lit.set.empty() || HasEmpty(lit.set)) return kUnknown;
  return lit.set;
}
const std::vector<std::string>& Starts(const Lit& lit) { return lit.exact ? lit.set : lit.prefix; }
const std::vector<std::string>& Ends(const Lit& lit) { return lit.exact ? lit.set : lit.suffix; }

// Higher is better: the shortest string counts, then how few strings there are.
int64_t Score(const std::vector<std::string>& set) {
  if (set.empty()) return -1;
  size_t shortest = SIZE_MAX;
  for (const auto& s : set) shortest = std::min(shortest, s.size());
  return static_cast<int64_t>(std::min(shortest, size_t{8})) * 64 -
         static_cast<int64_t>(set.size());
}

// Every a + b, each cut to kMaxLiteralBytes (keeping its head, or its tail
// for `keep_tail`); empty when either side is unknown or there are too many.
std::vector<std::string> Product(const std::vector<std::string>& a,
                                 const std::vector<std::string>& b, bool keep_tail) {
  if (a.empty() || b.empty() || a.size() * b.size() > kMaxLiterals) return {};
  std::vector<std::string> out;
  for (const auto& x : a) {
    for (const auto& y : b) {
      std::string s = x + y;
      if (s.size() > kMaxLiteralBytes) {
        s = keep_tail ? s.substr(s.size() - kMaxLiteralBytes) : s.substr(0, kMaxLiteralBytes);
      }
      out.push_back(std::move(s));
    }
  }
  SortDistinct(out);
  return out;
}

// a and b together, or unknown when either is or there are too many.
std::vector<std::string> Either(const std::vector<std::string>& a,
                                const std::vector<std::string>& b) {
  if (a.empty() || b.empty() || a.size() + b.size() > kMaxLiterals) return {};
  std::vector<std::string> out = a;
  out.insert(out.end(), b.begin(), b.end());
  SortDistinct(out);
  return out;
}

Lit LeafLit(const TbmRELeafNode& leaf, TbmCharCode code) {
  Lit lit;
  if (leaf.Lo < 0) {  // anchors and the end marker are zero-width
    return {true, {""}, {}, {}, {}, leaf.Lo == kLineHead, leaf.Lo == kLineTail};
  }
  if (leaf.Hi - leaf.Lo + 1 > kMaxRangeLiterals) return lit;
  for (int32_t c = leaf.Lo; c <= leaf.Hi; ++c) {
    std::string s;
    if (!EncodeLiteralChar(c, code, s)) return Lit{};
    lit.set.push_back(std::move(s));
  }
  lit.exact = true;
  return lit;
}

// A concatenation. Not exact, it requires the best of: what the left side
// requires, what the right side requires, and the strings where the left
// side's endings meet the right side's beginnings ("[a-z]+name" requires
// "name", found a letter at a time).
Lit CatLit(const Lit& l, const Lit& r) {
  if (l.exact && r.exact && l.set.size() * r.set.size() <= kMaxLiterals && !l.tail && !r.head) {
    Lit lit{true, {}, {}, {}, {}, l.head, r.tail};
    for (const auto& a : l.set) {
      for (const auto& b : r.set) lit.set.push_back(a + b);
    }
    SortDistinct(lit.set);
    bool too_long = std::any_of(lit.set.begin(), lit.set.end(),
                                [](const std::string& s) { return s.size() > kMaxLiteralBytes; });
    if (!too_long) return lit;
    // Keep a prefix of each as the requirement, and as the beginnings.
    lit.exact = false;
    CutLiterals(lit.set, kMaxLiteralBytes);
    lit.prefix = lit.set;
    return lit;
  }
  // Every option is required, so any two are required together: the best
  // becomes `set`, the best one from the other side `also`.
  // The options are looked at in place; only the chosen ones are copied.
  struct Option {
    const std::vector<std::string>& set;
    int side;  // 0: left, 1: right, 2: where they meet
  };
  const std::vector<std::string> meet = Product(Ends(l), Starts(r), false);
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
  Lit lit;
  if (best) lit.set = best->set;
  if (second) lit.also = second->set;
  if (l.exact) {
    lit.prefix = Product(l.set, Starts(r), false);
    if (lit.prefix.empty()) lit.prefix = l.set;
  } else {
    lit.prefix = l.prefix;
  }
  if (r.exact) {
    lit.suffix = Product(Ends(l), r.set, true);
    if (lit.suffix.empty()) lit.suffix = r.set;
  } else {
    lit.suffix = r.suffix;
  }
  if (HasEmpty(lit.prefix)) lit.prefix.clear();
  if (HasEmpty(lit.suffix)) lit.suffix.clear();
  return lit;
}

Lit UnionLit(const Lit& a, const Lit& b) {
  if (a.exact && b.exact && a.set.size() + b.set.size() <= kMaxLiterals && a.head == b.head &&
      a.tail == b.tail) {
    Lit lit{true, a.set, {}, {}, {}, a.head, a.tail};
    lit.set.insert(lit.set.end(), b.set.begin(), b.set.end());
    SortDistinct(lit.set);
    return lit;
  }
  Lit lit;
  lit.set = Either(Required(a), Required(b));
  lit.prefix = Either(Starts(a), Starts(b));
  lit.suffix = Either(Ends(a), Ends(b));
  if (HasEmpty(lit.prefix)) lit.prefix.clear();
  if (HasEmpty(lit.suffix)) lit.suffix.clear();
  return lit;
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
  // Children are made before their parents, so index order is bottom-up.
  std::vector<Lit> lits(static_cast<size_t>(root) + 1);
  for (int32_t i = 0; i <= root; ++i) {
    const auto& n = nodes[i];
    switch (n.Kind) {
      case TbmRETree::NodeKind::kLeaf:
        lits[i] = LeafLit(tree.Leaves()[n.Left], code);
        break;
      case TbmRETree::NodeKind::kEpsilon:
        lits[i] = Lit{true, {""}, {}, {}, {}, false, false};
        break;
      case TbmRETree::NodeKind::kCat:
        lits[i] = CatLit(lits[n.Left], lits[n.Right]);
        break;
      case TbmRETree::NodeKind::kUnion:
        lits[i] = UnionLit(lits[n.Left], lits[n.Right]);
        break;
      case TbmRETree::NodeKind::kClosure:
        break;  // may match nothing: no requirement
    }
  }
  Lit& top = lits[root];
  TbmRERequiredLiterals out;
  out.strings = Required(top);
  out.exact = top.exact;
  out.head = top.head;
  out.tail = top.tail;
  if (!top.exact && !out.strings.empty()) out.also = std::move(top.also);
  return out;
}

}  // namespace parlevo
