// The parse tree of a standardised token list, built by recursive descent
// together with the position sets of the follow-set construction: each node
// knows whether it matches the empty string and its first and last leaves,
// and each leaf knows the leaves that may follow it.
#ifndef PARLEVO_REGEX_TREE_H_
#define PARLEVO_REGEX_TREE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace parlevo {

class TbmRETokens;
class TbmREWchRanges;

// A set of leaves: leaf indices, ascending, no duplicates.
using TbmRELeafNodeSet = std::vector<int32_t>;

// Pseudo-characters carried by leaves; no text character is negative.
inline constexpr int32_t kEndMarker = -1;
inline constexpr int32_t kLineHead = -2;
inline constexpr int32_t kLineTail = -3;

// Budgets that keep hostile patterns from exhausting the stack, time or memory.
// A pattern beyond them is refused like a malformed one. Everything the tree
// grows is charged before it is built: leaf-set elements merged or copied
// count as work (time: a fixed allowance plus some per token, so long word
// lists compile), and nodes, leaves and stored set elements as memory.
inline constexpr int kMaxNesting = 200;                      // groups inside groups
inline constexpr int64_t kMaxTreeWork = 1'000'000;           // leaf-set elements, any pattern
inline constexpr int64_t kTreeWorkPerToken = 256;            // more for each token
inline constexpr int64_t kMaxTreeBytes = int64_t{32} << 20;  // nodes, leaves and their sets

struct TbmRELeafNode {
  int32_t Lo;
  int32_t Hi;
  TbmRELeafNodeSet FollowPos;
};

// Not thread-safe: one tree serves one compile at a time.
class TbmRETree {
 public:
  TbmRETree() = default;
  TbmRETree(const TbmRETree&) = delete;
  TbmRETree& operator=(const TbmRETree&) = delete;

  // Parses `tokens` (after Standardize) and resolves the anchors; throws
  // EbmREToken on a syntax error or a pattern beyond the budgets.
  void Build(TbmRETokens& tokens, const TbmREWchRanges& ranges);
  void ClearTree();

  bool HasLineHead = false;
  bool HasLineTail = false;

  const std::vector<TbmRELeafNode>& Leaves() const { return leaves_; }
  const TbmRELeafNodeSet& RootFirstPos() const { return nodes_[root_].FirstPos; }
  int32_t EndMarkerLeaf() const { return end_leaf_; }

  // Node access for the literal analysis (prefilter): a small read-only view.
  enum class NodeKind : uint8_t { kLeaf, kEpsilon, kCat, kUnion, kClosure };
  struct Node {
    NodeKind Kind;
    bool Nullable;
    int32_t Left = -1;  // child nodes (cat, union, closure) or the leaf index
    int32_t Right = -1;
    TbmRELeafNodeSet FirstPos;
    TbmRELeafNodeSet LastPos;
  };
  const std::vector<Node>& Nodes() const { return nodes_; }
  // The pattern's own root (before the end marker is appended).
  int32_t PatternRoot() const { return pattern_root_; }

 private:
  int32_t ParseUnion();
  int32_t ParseCat();
  int32_t ParsePostfix();
  int32_t ParseAtom();
  int32_t ParseBracket();

  int32_t NewChar(int32_t lo, int32_t hi);
  int32_t NewEpsilon();
  int32_t NewCat(int32_t left, int32_t right);
  int32_t NewUnion(int32_t a, int32_t b);
  int32_t NewClosure(int32_t a);
  int32_t NewAnyButNewline();
  int32_t NewUnionOf(std::vector<int32_t>& nodes);
  void ResolveAnchors();

  void NextToken();
  [[noreturn]] void Fail(uint8_t kind, const std::string& budget = {});
  void Charge(int64_t work);
  void ChargeMemory(int64_t bytes);
  void ChargeSets(int64_t elements);
  void Merge(TbmRELeafNodeSet& into, const TbmRELeafNodeSet& from);
  // Sets of a cleared tree keep their storage for the next one's.
  void Keep(TbmRELeafNodeSet& set);
  TbmRELeafNodeSet TakeSet();
  TbmRELeafNodeSet CopySet(const TbmRELeafNodeSet& from);

  std::vector<Node> nodes_;
  std::vector<TbmRELeafNode> leaves_;
  int32_t root_ = -1;
  int32_t pattern_root_ = -1;
  int32_t end_leaf_ = -1;
  TbmRETokens* tokens_ = nullptr;
  size_t current_ = 0;
  int depth_ = 0;
  int64_t work_ = 0;
  int64_t work_budget_ = kMaxTreeWork;
  int64_t bytes_ = 0;
  TbmRELeafNodeSet scratch_;
  std::vector<TbmRELeafNodeSet> spare_;  // emptied, with their storage
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_TREE_H_
