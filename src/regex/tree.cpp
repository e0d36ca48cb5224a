// Recursive descent over four levels (union, concatenation, postfix, atom),
// building the follow-set construction's sets bottom-up as each node is made:
//   cat(l, r):   follow(last(l)) += first(r)
//   closure(a):  follow(last(a)) += first(a)
// Then the end marker is appended and the anchors resolved: '^' anchors only
// where it can be the first leaf of a whole match, '$' only where nothing but
// the end of the pattern can follow it; elsewhere each is a literal character.
//
// Alternatives and class members are joined as a balanced tree of unions, so
// a leaf stands in O(log n) first/last sets rather than in O(n) along a
// chain: a word list or a large class costs n log n, not n squared. A class
// is first reduced to the disjoint ranges its members cover, one leaf each.
#include "regex/tree.h"

#include <algorithm>
#include <iterator>

#include "regex/ranges.h"
#include "regex/scanner.h"

namespace parlevo {

// Sets small enough to be worth keeping for the next tree, and how many: a
// thread parses pattern after pattern, and most of their sets are tiny.
constexpr size_t kSpareSetCapacity = 32;
constexpr size_t kMaxSpareSets = 2048;

void TbmRETree::Keep(TbmRELeafNodeSet& set) {
  if (set.capacity() == 0 || set.capacity() > kSpareSetCapacity || spare_.size() >= kMaxSpareSets) {
    return;
  }
  set.clear();
  spare_.push_back(std::move(set));
}

TbmRELeafNodeSet TbmRETree::TakeSet() {
  if (spare_.empty()) return {};
  TbmRELeafNodeSet set = std::move(spare_.back());
  spare_.pop_back();
  return set;
}

TbmRELeafNodeSet TbmRETree::CopySet(const TbmRELeafNodeSet& from) {
  TbmRELeafNodeSet set = TakeSet();
  set.assign(from.begin(), from.end());
  return set;
}

void TbmRETree::ClearTree() {
  for (Node& n : nodes_) {
    Keep(n.FirstPos);
    Keep(n.LastPos);
  }
  for (TbmRELeafNode& leaf : leaves_) Keep(leaf.FollowPos);
  nodes_.clear();
  leaves_.clear();
  root_ = pattern_root_ = end_leaf_ = -1;
  HasLineHead = HasLineTail = false;
  tokens_ = nullptr;
  current_ = 0;
  depth_ = 0;
  work_ = 0;
  work_budget_ = kMaxTreeWork;
  bytes_ = 0;
}

void TbmRETree::Build(TbmRETokens& tokens, const TbmREWchRanges& /*ranges*/) {
  ClearTree();
  tokens_ = &tokens;
  work_budget_ = kMaxTreeWork + kTreeWorkPerToken * static_cast<int64_t>(tokens.size());
  if (tokens.empty() || tokens[tokens.size() - 1].Kind != tkEnd) {
    tokens.Add({tkEnd, -1, -1, 0, 0});  // never read past the list
  }
  int32_t n = ParseUnion();
  if ((*tokens_)[current_].Kind != tkEnd) Fail(tkErrInvalidChar);  // e.g. an unmatched ')'
  pattern_root_ = n;
  end_leaf_ = static_cast<int32_t>(leaves_.size());
  root_ = NewCat(n, NewChar(kEndMarker, kEndMarker));
  ResolveAnchors();
}

void TbmRETree::NextToken() {
  if (current_ + 1 < tokens_->size()) ++current_;  // stays on tkEnd
}

void TbmRETree::Fail(uint8_t kind, const std::string& budget) {
  TbmREToken& t = (*tokens_)[current_];
  t.Kind = static_cast<TbmRETokenKind>(kind);
  throw EbmREToken(t, budget);
}

void TbmRETree::Charge(int64_t work) {
  work_ += work;
  if (work_ > work_budget_) Fail(tkErrInvalidChar, "pattern too complex to compile");
}

// A node as memory holds it: the record itself (twice, for the growth of
// the vector that holds them all) and the heap blocks of its two sets.
constexpr int64_t kNodeBytes = 2 * static_cast<int64_t>(sizeof(TbmRETree::Node)) + 2 * 32;
constexpr int64_t kLeafBytes = 2 * static_cast<int64_t>(sizeof(TbmRELeafNode)) + 32;

void TbmRETree::ChargeMemory(int64_t bytes) {
  bytes_ += bytes;
  if (bytes_ > kMaxTreeBytes) Fail(tkErrInvalidChar, "pattern too large to compile");
}

// Set elements about to be stored: work to make them, memory to keep them.
void TbmRETree::ChargeSets(int64_t elements) {
  Charge(elements);
  ChargeMemory(elements * static_cast<int64_t>(sizeof(int32_t)));
}

void TbmRETree::Merge(TbmRELeafNodeSet& into, const TbmRELeafNodeSet& from) {
  if (from.empty()) return;
  ChargeSets(static_cast<int64_t>(from.size()));     // what `into` may grow by
  if (into.empty() || into.back() < from.front()) {  // appending costs only what is added
    into.insert(into.end(), from.begin(), from.end());
    return;
  }
  Charge(static_cast<int64_t>(into.size()));
  scratch_.clear();
  std::set_union(into.begin(), into.end(), from.begin(), from.end(), std::back_inserter(scratch_));
  into.swap(scratch_);
}

// ---------------------------------------------------------------------------
// Node factories

int32_t TbmRETree::NewChar(int32_t lo, int32_t hi) {
  ChargeMemory(kNodeBytes + kLeafBytes);
  ChargeSets(2);
  int32_t leaf = static_cast<int32_t>(leaves_.size());
  leaves_.push_back({lo, hi, TakeSet()});
  Node n{NodeKind::kLeaf, false, leaf, -1, TakeSet(), TakeSet()};
  n.FirstPos.push_back(leaf);
  n.LastPos.push_back(leaf);
  nodes_.push_back(std::move(n));
  return static_cast<int32_t>(nodes_.size() - 1);
}

int32_t TbmRETree::NewEpsilon() {
  ChargeMemory(kNodeBytes);
  nodes_.push_back({NodeKind::kEpsilon, true, -1, -1, {}, {}});
  return static_cast<int32_t>(nodes_.size() - 1);
}

int32_t TbmRETree::NewCat(int32_t left, int32_t right) {
  ChargeMemory(kNodeBytes);
  Node n{NodeKind::kCat, nodes_[left].Nullable && nodes_[right].Nullable, left, right, {}, {}};
  ChargeSets(static_cast<int64_t>(nodes_[left].FirstPos.size() + nodes_[right].LastPos.size()));
  n.FirstPos = CopySet(nodes_[left].FirstPos);
  if (nodes_[left].Nullable) Merge(n.FirstPos, nodes_[right].FirstPos);
  n.LastPos = CopySet(nodes_[right].LastPos);
  if (nodes_[right].Nullable) Merge(n.LastPos, nodes_[left].LastPos);
  for (int32_t leaf : nodes_[left].LastPos) Merge(leaves_[leaf].FollowPos, nodes_[right].FirstPos);
  nodes_.push_back(std::move(n));
  return static_cast<int32_t>(nodes_.size() - 1);
}

int32_t TbmRETree::NewUnion(int32_t a, int32_t b) {
  ChargeMemory(kNodeBytes);
  Node n{NodeKind::kUnion, nodes_[a].Nullable || nodes_[b].Nullable, a, b, {}, {}};
  ChargeSets(static_cast<int64_t>(nodes_[a].FirstPos.size() + nodes_[a].LastPos.size()));
  n.FirstPos = CopySet(nodes_[a].FirstPos);
  Merge(n.FirstPos, nodes_[b].FirstPos);
  n.LastPos = CopySet(nodes_[a].LastPos);
  Merge(n.LastPos, nodes_[b].LastPos);
  nodes_.push_back(std::move(n));
  return static_cast<int32_t>(nodes_.size() - 1);
}

int32_t TbmRETree::NewClosure(int32_t a) {
  ChargeMemory(kNodeBytes);
  ChargeSets(static_cast<int64_t>(nodes_[a].FirstPos.size() + nodes_[a].LastPos.size()));
  Node n{NodeKind::kClosure, true, a, -1, CopySet(nodes_[a].FirstPos), CopySet(nodes_[a].LastPos)};
  for (int32_t leaf : n.LastPos) Merge(leaves_[leaf].FollowPos, n.FirstPos);
  nodes_.push_back(std::move(n));
  return static_cast<int32_t>(nodes_.size() - 1);
}

int32_t TbmRETree::NewAnyButNewline() {
  return NewUnion(NewUnion(NewChar(0, 9), NewChar(11, 12)), NewChar(14, 0xFFFF));
}

// Joins `nodes` (in parse order) pairwise, level by level: a balanced tree
// of unions, each leaf in O(log n) of their sets.
int32_t TbmRETree::NewUnionOf(std::vector<int32_t>& nodes) {
  while (nodes.size() > 1) {
    size_t joined = 0;
    for (size_t i = 0; i + 1 < nodes.size(); i += 2)
      nodes[joined++] = NewUnion(nodes[i], nodes[i + 1]);
    if (nodes.size() % 2 != 0) nodes[joined++] = nodes.back();
    nodes.resize(joined);
  }
  return nodes.front();
}

// ---------------------------------------------------------------------------
// Parser

int32_t TbmRETree::ParseUnion() {
  std::vector<int32_t> alternatives = {ParseCat()};
  while ((*tokens_)[current_].Kind == tkUnion) {
    NextToken();
    ChargeMemory(static_cast<int64_t>(sizeof(int32_t)));
    alternatives.push_back(ParseCat());
  }
  return NewUnionOf(alternatives);
}

int32_t TbmRETree::ParseCat() {
  auto ends_cat = [this] {
    auto k = (*tokens_)[current_].Kind;
    return k == tkUnion || k == tkRPar || k == tkEnd;
  };
  if (ends_cat()) return NewEpsilon();
  int32_t n = ParsePostfix();
  while (!ends_cat()) n = NewCat(n, ParsePostfix());
  return n;
}

int32_t TbmRETree::ParsePostfix() {
  int32_t n = ParseAtom();
  switch ((*tokens_)[current_].Kind) {
    case tkStar:
      n = NewClosure(n);
      break;
    case tkPlus:
      n = NewCat(n, NewClosure(n));
      break;
    case tkQuestion:
      n = NewUnion(n, NewEpsilon());
      break;
    default:
      return n;
  }
  NextToken();
  return n;
}

int32_t TbmRETree::ParseAtom() {
  const TbmREToken& t = (*tokens_)[current_];
  int32_t n;
  switch (t.Kind) {
    case tkChar:
    case tkCharClass:  // a member outside brackets never comes from the scanner
      n = NewChar(t.Lo, t.Hi);
      NextToken();
      return n;
    case tkLPar:
      if (++depth_ > kMaxNesting) {  // refuse, don't overflow the stack
        Fail(tkErrInvalidChar, "groups nested deeper than " + std::to_string(kMaxNesting));
      }
      NextToken();
      n = ParseUnion();
      --depth_;
      if ((*tokens_)[current_].Kind != tkRPar) Fail(tkErrNeedRPar);
      NextToken();
      return n;
    case tkLBracket:
      n = ParseBracket();
      if ((*tokens_)[current_].Kind != tkRBracket) Fail(tkErrNeedRBracket);
      NextToken();
      return n;
    case tkDot:
      NextToken();
      return NewAnyButNewline();
    case tkLineHead:
      NextToken();
      return NewChar(kLineHead, kLineHead);
    case tkLineTail:
      NextToken();
      return NewChar(kLineTail, kLineTail);
    default:
      Fail(tkErrNeedAtom);
  }
}

// The members of a bracket expression: the disjoint ranges they cover, one
// leaf each (every such range is a union of consecutive partition records,
// as each member is), joined by a balanced union.
int32_t TbmRETree::ParseBracket() {
  NextToken();  // past '['
  auto is_member = [this] {
    auto k = (*tokens_)[current_].Kind;
    return k == tkChar || k == tkCharClass;
  };
  if (!is_member()) Fail(tkErrInvalidCharClass);  // no member: never read past the list
  std::vector<TbmREWchRange> members;
  for (; is_member(); NextToken()) {
    ChargeMemory(static_cast<int64_t>(sizeof(TbmREWchRange)));
    members.push_back({(*tokens_)[current_].Lo, (*tokens_)[current_].Hi});
  }
  std::vector<int32_t> leaves;
  for (const TbmREWchRange& r : UniteRanges(std::move(members))) {
    ChargeMemory(static_cast<int64_t>(sizeof(int32_t)));
    leaves.push_back(NewChar(r.Lo, r.Hi));
  }
  return NewUnionOf(leaves);
}

void TbmRETree::ResolveAnchors() {
  const TbmRELeafNodeSet& first = nodes_[root_].FirstPos;
  for (int32_t i = 0; i < static_cast<int32_t>(leaves_.size()); ++i) {
    TbmRELeafNode& leaf = leaves_[i];
    if (leaf.Lo == kLineHead) {
      if (std::binary_search(first.begin(), first.end(), i)) {
        HasLineHead = true;
      } else {
        leaf.Lo = leaf.Hi = '^';
      }
    } else if (leaf.Lo == kLineTail) {
      if (leaf.FollowPos.size() == 1 && leaf.FollowPos[0] == end_leaf_) {
        HasLineTail = true;
      } else {
        leaf.Lo = leaf.Hi = '$';
      }
    }
  }
}

}  // namespace parlevo
