// "Found anywhere?" in two steps.
//
// Prefilter: from the parse tree, bottom-up, each node gets either the exact
// set of byte strings it matches (while small) or a set of strings one of
// which every match must contain. Concatenation keeps the better of its two
// sides, alternation the union of both sides' sets. If the text contains none
// of the pattern's strings there is no match, whatever the start.
//
// Unanchored automaton: the search's automaton run from every character
// boundary at once, i.e. the subset construction over sets of its states with
// the initial state re-entered after every character (the automaton of
// "(any)*pattern"). After LF, and after a CR that no LF follows, the line-head
// state is re-entered too; "after CR" is part of the state because it depends
// on the next character. Characters are decoded as the search decodes them,
// so an ASCII pattern never matches inside a double-byte character. The walk
// stops at the first accepting point.
#include "regex/fast_find.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "regex/automaton.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

// ---------------------------------------------------------------------------
// Literal analysis

constexpr size_t kMaxLiteralBytes = 64;  // longer literals are cut (a prefix is still required)
constexpr int32_t kMaxRangeLiterals = 16;

struct Lit {
  bool exact = false;            // `set` is every string the node matches
  std::vector<std::string> set;  // otherwise: one of these is in every match (empty: unknown)
};

bool HasEmpty(const std::vector<std::string>& set) {
  return std::any_of(set.begin(), set.end(), [](const std::string& s) { return s.empty(); });
}

// The strings one of which a match of `lit` must contain; empty when unknown.
std::vector<std::string> Required(const Lit& lit) {
  if (lit.set.empty() || HasEmpty(lit.set)) return {};
  return lit.set;
}

// Higher is better: the shortest string counts, then how few strings there are.
int64_t Score(const std::vector<std::string>& set) {
  if (set.empty()) return -1;
  size_t shortest = SIZE_MAX;
  for (const auto& s : set) shortest = std::min(shortest, s.size());
  return static_cast<int64_t>(std::min(shortest, size_t{8})) * 64 -
         static_cast<int64_t>(set.size());
}

void Dedupe(std::vector<std::string>& set) {
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
}

// The bytes of character c as they appear in a text, or false when c never
// appears as itself (a lead byte alone, an impossible double-byte value, or
// one whose trail byte is 0, which a lone lead byte at the end also reads as).
bool Encode(int32_t c, TbmCharCode code, std::string& out) {
  if (code == bmccUniCode) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
    return true;
  }
  TbmLeadByteFunc lead = bmccGetIsLeadByteFunc(code);
  if (c < 256) {
    if (lead(static_cast<uint8_t>(c))) return false;
    out.push_back(static_cast<char>(c));
    return true;
  }
  if (!lead(static_cast<uint8_t>(c >> 8)) || (c & 0xFF) == 0) return false;
  out.push_back(static_cast<char>(c >> 8));
  out.push_back(static_cast<char>(c & 0xFF));
  return true;
}

Lit LeafLit(const TbmRELeafNode& leaf, TbmCharCode code) {
  Lit lit;
  if (leaf.Lo < 0) return {true, {""}};  // anchors and the end marker are zero-width
  if (leaf.Hi - leaf.Lo + 1 > kMaxRangeLiterals) return lit;
  for (int32_t c = leaf.Lo; c <= leaf.Hi; ++c) {
    std::string s;
    if (!Encode(c, code, s)) return Lit{};
    lit.set.push_back(std::move(s));
  }
  lit.exact = true;
  return lit;
}

Lit CatLit(const Lit& l, const Lit& r) {
  if (l.exact && r.exact && l.set.size() * r.set.size() <= kMaxLiterals) {
    Lit lit{true, {}};
    for (const auto& a : l.set) {
      for (const auto& b : r.set) lit.set.push_back(a + b);
    }
    Dedupe(lit.set);
    bool too_long = std::any_of(lit.set.begin(), lit.set.end(),
                                [](const std::string& s) { return s.size() > kMaxLiteralBytes; });
    if (too_long) {  // keep a prefix of each as the requirement
      lit.exact = false;
      for (auto& s : lit.set) s.resize(std::min(s.size(), kMaxLiteralBytes));
      Dedupe(lit.set);
    }
    return lit;
  }
  auto rl = Required(l), rr = Required(r);
  return Lit{false, Score(rl) >= Score(rr) ? rl : rr};
}

Lit UnionLit(const Lit& a, const Lit& b) {
  if (a.exact && b.exact && a.set.size() + b.set.size() <= kMaxLiterals) {
    Lit lit{true, a.set};
    lit.set.insert(lit.set.end(), b.set.begin(), b.set.end());
    Dedupe(lit.set);
    return lit;
  }
  auto ra = Required(a), rb = Required(b);
  if (ra.empty() || rb.empty() || ra.size() + rb.size() > kMaxLiterals) return Lit{};
  ra.insert(ra.end(), rb.begin(), rb.end());
  Dedupe(ra);
  return Lit{false, ra};
}

// How common a byte is in Japanese and English chat text (higher: more common).
int Commonness(uint8_t b) {
  if (b == 0x81 || b == 0x82 || b == 0x83 || b == ' ') return 100;
  if ((b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) return 60;
  if (std::strchr("etaoinsrhl", b) && b != 0) return 50;
  if (b >= 'a' && b <= 'z') return 30;
  return 10;
}

bool Contains(std::string_view text, const std::string& needle, size_t rare) {
  const size_t n = text.size(), m = needle.size();
  if (m > n) return false;
  const char* t = text.data();
  const char rb = needle[rare];
  for (size_t i = rare; i + (m - rare) <= n;) {
    const void* hit = std::memchr(t + i, rb, n - (m - rare) - i + 1);
    if (!hit) return false;
    size_t j = static_cast<size_t>(static_cast<const char*>(hit) - t);
    if (std::memcmp(t + j - rare, needle.data(), m) == 0) return true;
    i = j + 1;
  }
  return false;
}

// ---------------------------------------------------------------------------
// Unanchored automaton construction

struct KeyHash {
  size_t operator()(const std::vector<int32_t>& s) const {
    uint64_t h = 0x9E3779B97F4A7C15ull ^ s.size();
    for (int32_t v : s) h = (h ^ static_cast<uint32_t>(v)) * 0x100000001B3ull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

}  // namespace

TbmREFastFind::TbmREFastFind(const TbmRETree& tree, const TbmREDFATable& dfa, TbmCharCode code)
    : dfa_(&dfa) {
  BuildLiterals(tree, code);
  BuildAutomaton(dfa, code);
}

void TbmREFastFind::BuildLiterals(const TbmRETree& tree, TbmCharCode code) {
  const auto& nodes = tree.Nodes();
  const int32_t root = tree.PatternRoot();
  if (root < 0) return;
  // Children are made before their parents, so index order is bottom-up.
  std::vector<Lit> lits(static_cast<size_t>(root) + 1);
  for (int32_t i = 0; i <= root; ++i) {
    const auto& n = nodes[i];
    switch (n.Kind) {
      case TbmRETree::NodeKind::kLeaf:
        lits[i] = LeafLit(tree.Leaves()[n.Left], code);
        break;
      case TbmRETree::NodeKind::kEpsilon:
        lits[i] = Lit{true, {""}};
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
  literals_ = Required(lits[root]);
  for (const auto& s : literals_) {
    size_t rare = 0;
    for (size_t j = 1; j < s.size(); ++j) {
      if (Commonness(static_cast<uint8_t>(s[j])) < Commonness(static_cast<uint8_t>(s[rare]))) {
        rare = j;
      }
    }
    needles_.push_back({s, rare});
  }
}

bool TbmREFastFind::MayMatch(std::string_view text) const {
  if (needles_.empty()) return true;
  for (const auto& needle : needles_) {
    if (Contains(text, needle.bytes, needle.rare)) return true;
  }
  return false;
}

int32_t TbmREFastFind::WideClass(int32_t c) const {
  int32_t cls = lead_class_[c >> 8];
  return cls >= 0 ? cls : dfa_->WideClassOf(c);
}

void TbmREFastFind::BuildAutomaton(const TbmREDFATable& dfa, TbmCharCode code) {
  if (code == bmccUniCode) return;  // the full search serves the rare UTF-16 matcher
  width_ = dfa.NumClasses();
  const int32_t head = dfa.HeadState();
  const int32_t lf = dfa.ClassOf(10), cr = dfa.ClassOf(13);
  auto accepting = [&](const std::vector<int32_t>& set, bool after_cr) {
    for (int32_t s : set) {
      if (dfa.Accepting(s)) return true;
    }
    return after_cr && dfa.Accepting(head);
  };
  auto tail = [&](const std::vector<int32_t>& set, bool with_head) {
    for (int32_t s : set) {
      if (dfa.TailAccepting(s)) return true;
    }
    return with_head && dfa.TailAccepting(head);
  };

  // A state is its set of automaton states, with -1 appended when a CR was
  // just read (the line-head state joins unless LF comes next).
  std::vector<std::vector<int32_t>> states;
  std::unordered_map<std::vector<int32_t>, int32_t, KeyHash> index;
  auto intern = [&](std::vector<int32_t> key) -> int32_t {
    auto it = index.find(key);
    if (it != index.end()) return it->second;
    int32_t id = static_cast<int32_t>(states.size());
    if (id >= kMaxFindStates || static_cast<int64_t>(id + 1) * width_ > kMaxFindCells) return -2;
    index.emplace(key, id);
    states.push_back(std::move(key));
    return id;
  };

  std::vector<int32_t> start{0};
  if (head != kNoState && head != 0) start.push_back(head);
  std::sort(start.begin(), start.end());
  if (accepting(start, false)) {
    always_ = true;
    return;
  }
  intern(start);
  std::vector<int32_t> set, target;
  for (size_t s = 0; s < states.size(); ++s) {
    set = states[s];
    const bool after_cr = !set.empty() && set.back() == -1;
    if (after_cr) set.pop_back();
    at_end_.push_back(tail(set, after_cr));
    next_.resize((s + 1) * width_, -1);
    for (int32_t k = 0; k < width_; ++k) {
      const bool with_head = after_cr && k != lf;  // a line began right after the CR
      int32_t to;
      if ((k == lf || k == cr) && tail(set, with_head)) {
        to = -1;  // '$' ends a match before this line break
      } else {
        target.assign(1, 0);  // a match may start after this character
        for (int32_t q : set) {
          int32_t t = dfa.Next(q, k);
          if (t != kNoState) target.push_back(t);
        }
        if (with_head) {
          int32_t t = dfa.Next(head, k);
          if (t != kNoState) target.push_back(t);
        }
        if (k == lf && head != kNoState) target.push_back(head);
        std::sort(target.begin(), target.end());
        target.erase(std::unique(target.begin(), target.end()), target.end());
        const bool cr_next = k == cr && head != kNoState;
        if (accepting(target, cr_next)) {
          to = -1;
        } else {
          if (cr_next) target.push_back(-1);
          to = intern(target);
          if (to == -2) return;  // over budget: no automaton, the full search answers
          to *= width_;
        }
      }
      next_[s * width_ + k] = to;
    }
  }
  start_ = 0;
  TbmLeadByteFunc lead = bmccGetIsLeadByteFunc(code);
  for (int32_t b = 0; b < 256; ++b) {
    byte_class_[b] = lead(static_cast<uint8_t>(b)) ? -1 : dfa.ClassOf(b);
    // Every lead*256+trail in one class (or in none) needs no search per character.
    lead_class_[b] = byte_class_[b] < 0 ? dfa.UniformClass(b << 8, b << 8 | 0xFF) : -1;
  }
  automaton_ok_ = true;
}

int TbmREFastFind::Found(std::string_view text) const {
  if (always_) return 1;
  if (!MayMatch(text)) return 0;
  if (!automaton_ok_) return -1;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  const int32_t* next = next_.data();
  int32_t row = start_;
  for (size_t i = 0; i < n;) {
    int32_t cls = byte_class_[t[i]];
    if (cls >= 0) {
      ++i;
    } else if (i + 1 < n) {
      cls = WideClass(t[i] << 8 | t[i + 1]);
      i += 2;
    } else {
      cls = WideClass(t[i] << 8);  // a lone lead byte at the end
      ++i;
    }
    row = next[row + cls];
    if (row < 0) return 1;
  }
  return at_end_[row / width_];
}

}  // namespace parlevo
