// Shape recognition. The pattern's top concatenation is read as a row of
// items: literal sets (every string a subtree matches, while they are few and
// short), "X*" where X takes every character but the breaks, "[0-9]*",
// "[0-9]+", and the anchors; neighbouring literal sets are joined into one.
// A few rows are shapes; any other row, or a subtree that is none of these
// items, is no shape and the pattern is asked as before.
#include "regex/set_shapes.h"

#include <algorithm>

#include "regex/literal_list.h"
#include "regex/ranges.h"
#include "regex/tree.h"

namespace parlevo {
namespace {

constexpr size_t kMaxShapeStrings = 16;  // alternatives of one literal item
constexpr size_t kMaxShapeBytes = 64;    // bytes of one alternative

using Strings = std::vector<std::string>;
using Kind = TbmRESetShape::Kind;

enum class Item : uint8_t { kLiterals, kHead, kTail, kAnyStar, kDigitStar, kDigitPlus };

bool IsDigits(const std::vector<TbmREWchRange>& r) {
  return r.size() == 1 && r[0].Lo == '0' && r[0].Hi == '9';
}

// Every character but LF and CR (text characters go up to 0xFFFF).
bool IsAnyButBreak(const std::vector<TbmREWchRange>& r) {
  return r.size() == 3 && r[0] == TbmREWchRange{0, 9} && r[1] == TbmREWchRange{11, 12} &&
         r[2].Lo == 14 && r[2].Hi >= 0xFFFF;
}

// Every a + b; false when there are too many or one is too long.
bool Join(const Strings& a, const Strings& b, Strings& out) {
  if (a.size() * b.size() > kMaxShapeStrings) return false;
  out.clear();
  for (const auto& x : a) {
    for (const auto& y : b) {
      if (x.size() + y.size() > kMaxShapeBytes) return false;
      out.push_back(x + y);
    }
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return true;
}

class RowReader {
 public:
  RowReader(const TbmRETree& tree, TbmCharCode code)
      : nodes_(tree.Nodes()), leaves_(tree.Leaves()), code_(code) {}

  // The items of the concatenation at `root`; false when one is no item.
  bool Read(int32_t root, std::vector<Item>& items, std::vector<Strings>& literals) const {
    std::vector<int32_t> operands;
    Operands(root, operands);
    for (size_t k = 0; k < operands.size(); ++k) {
      const TbmRETree::Node& n = nodes_[static_cast<size_t>(operands[k])];
      std::vector<TbmREWchRange> ranges;
      if (n.Kind == TbmRETree::NodeKind::kLeaf && leaves_[static_cast<size_t>(n.Left)].Lo < 0) {
        const int32_t anchor = leaves_[static_cast<size_t>(n.Left)].Lo;
        if (anchor != kLineHead && anchor != kLineTail) return false;
        items.push_back(anchor == kLineHead ? Item::kHead : Item::kTail);
      } else if (n.Kind == TbmRETree::NodeKind::kClosure) {
        if (!RangesOf(n.Left, ranges)) return false;
        if (IsAnyButBreak(ranges)) {
          items.push_back(Item::kAnyStar);
        } else if (IsDigits(ranges)) {
          // "[0-9]+" is the class and then its closure.
          const bool plus = !items.empty() && items.back() == Item::kLiterals && k > 0 &&
                            operands[k - 1] == n.Left;
          if (plus) {
            literals.pop_back();
            items.back() = Item::kDigitPlus;
          } else {
            items.push_back(Item::kDigitStar);
          }
        } else {
          return false;
        }
      } else {
        Strings s;
        if (!StringsOf(operands[k], s)) return false;
        if (!items.empty() && items.back() == Item::kLiterals &&
            operands[k] != Closed(operands, k)) {
          Strings joined;
          if (!Join(literals.back(), s, joined)) return false;
          literals.back() = std::move(joined);
        } else {
          items.push_back(Item::kLiterals);
          literals.push_back(std::move(s));
        }
      }
    }
    return true;
  }

 private:
  // The node that operand k + 1 closes over, when it is a closure (so that
  // the class of "[0-9]+" stays an item of its own), else -1.
  int32_t Closed(const std::vector<int32_t>& operands, size_t k) const {
    if (k + 1 >= operands.size()) return -1;
    const TbmRETree::Node& next = nodes_[static_cast<size_t>(operands[k + 1])];
    return next.Kind == TbmRETree::NodeKind::kClosure ? next.Left : -1;
  }

  // The operands of the concatenations under `node`, left to right.
  void Operands(int32_t node, std::vector<int32_t>& out) const {
    std::vector<int32_t> stack = {node};
    while (!stack.empty()) {
      const int32_t at = stack.back();
      stack.pop_back();
      const TbmRETree::Node& n = nodes_[static_cast<size_t>(at)];
      if (n.Kind == TbmRETree::NodeKind::kCat) {
        stack.push_back(n.Right);
        stack.push_back(n.Left);
      } else {
        out.push_back(at);
      }
    }
  }

  // The characters a union of plain leaves takes, united; false for any
  // other node.
  bool RangesOf(int32_t node, std::vector<TbmREWchRange>& out) const {
    std::vector<int32_t> stack = {node};
    while (!stack.empty()) {
      const TbmRETree::Node& n = nodes_[static_cast<size_t>(stack.back())];
      stack.pop_back();
      if (n.Kind == TbmRETree::NodeKind::kUnion) {
        stack.push_back(n.Left);
        stack.push_back(n.Right);
      } else if (n.Kind == TbmRETree::NodeKind::kLeaf &&
                 leaves_[static_cast<size_t>(n.Left)].Lo >= 0) {
        const TbmRELeafNode& leaf = leaves_[static_cast<size_t>(n.Left)];
        out.push_back({leaf.Lo, leaf.Hi});
      } else {
        return false;
      }
    }
    out = UniteRanges(std::move(out));
    return true;
  }

  // Every string `node` matches, as text bytes; false when they are too
  // many or too long, or the node holds a closure or an anchor. Unions nest
  // only as deep as the groups and balanced alternatives do.
  bool StringsOf(int32_t node, Strings& out) const {
    const TbmRETree::Node& n = nodes_[static_cast<size_t>(node)];
    switch (n.Kind) {
      case TbmRETree::NodeKind::kLeaf: {
        const TbmRELeafNode& leaf = leaves_[static_cast<size_t>(n.Left)];
        if (leaf.Lo < 0 || leaf.Hi - leaf.Lo >= static_cast<int32_t>(kMaxShapeStrings)) {
          return false;
        }
        for (int32_t c = leaf.Lo; c <= leaf.Hi; ++c) {
          std::string s;
          if (!EncodeLiteralChar(c, code_, s)) return false;
          out.push_back(std::move(s));
        }
        return true;
      }
      case TbmRETree::NodeKind::kEpsilon:
        out = {std::string()};
        return true;
      case TbmRETree::NodeKind::kUnion: {
        Strings right;
        if (!StringsOf(n.Left, out) || !StringsOf(n.Right, right)) return false;
        out.insert(out.end(), right.begin(), right.end());
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out.size() <= kMaxShapeStrings;
      }
      case TbmRETree::NodeKind::kCat: {
        std::vector<int32_t> operands;
        Operands(node, operands);
        out = {std::string()};
        for (int32_t operand : operands) {
          Strings part, joined;
          if (!StringsOf(operand, part) || !Join(out, part, joined)) return false;
          out = std::move(joined);
        }
        return true;
      }
      case TbmRETree::NodeKind::kClosure:
        break;
    }
    return false;
  }

  const std::vector<TbmRETree::Node>& nodes_;
  const std::vector<TbmRELeafNode>& leaves_;
  TbmCharCode code_;
};

bool AllNonEmpty(const Strings& strings) {
  return !strings.empty() &&
         std::none_of(strings.begin(), strings.end(), [](const auto& s) { return s.empty(); });
}

bool IsStar(Item item) { return item == Item::kAnyStar || item == Item::kDigitStar; }

// The shape of a row with its anchors taken off. A star may match nothing,
// so one at an end with no anchor beyond it changes nothing that is found.
TbmRESetShape ShapeOf(std::vector<Item> items, std::vector<Strings>& literals, bool head,
                      bool tail) {
  TbmRESetShape shape;
  for (const Strings& s : literals) {
    if (!AllNonEmpty(s)) return shape;
  }
  if (!tail) {
    while (!items.empty() && IsStar(items.back())) items.pop_back();
  }
  if (!head) {
    while (!items.empty() && IsStar(items.front())) items.erase(items.begin());
  }
  auto is = [&items](std::initializer_list<Item> row) {
    return std::equal(items.begin(), items.end(), row.begin(), row.end());
  };
  if (is({Item::kLiterals})) {
    shape.kind = Kind::kLiteral;
  } else if (is({Item::kLiterals, Item::kAnyStar, Item::kLiterals}) ||
             is({Item::kLiterals, Item::kDigitPlus, Item::kLiterals}) ||
             is({Item::kLiterals, Item::kDigitStar, Item::kLiterals})) {
    shape.kind = items[1] == Item::kAnyStar     ? Kind::kPair
                 : items[1] == Item::kDigitPlus ? Kind::kDigitsPair
                                                : Kind::kDigitsOrNonePair;
    shape.second = std::move(literals[1]);
  } else if (is({Item::kLiterals, Item::kDigitPlus}) && !tail) {
    shape.kind = Kind::kDigitAfter;
  } else if (is({Item::kDigitPlus, Item::kLiterals}) && !head) {
    shape.kind = Kind::kDigitBefore;
  } else {
    return shape;
  }
  shape.first = std::move(literals[0]);
  shape.head = head;
  shape.tail = tail;
  return shape;
}

}  // namespace

bool MayHaveSetShape(std::string_view pattern) {
  return pattern.find(".*") != std::string_view::npos ||
         pattern.find("0-9]") != std::string_view::npos;
}

TbmRESetShape RecognizeSetShape(const TbmRETree& tree, TbmCharCode code) {
  const int32_t root = tree.PatternRoot();
  if (code == bmccUniCode || root < 0) return {};
  std::vector<Item> items;
  std::vector<Strings> literals;
  if (!RowReader(tree, code).Read(root, items, literals)) return {};
  const bool head = !items.empty() && items.front() == Item::kHead;
  if (head) items.erase(items.begin());
  const bool tail = !items.empty() && items.back() == Item::kTail;
  if (tail) items.pop_back();
  if (std::find(items.begin(), items.end(), Item::kHead) != items.end() ||
      std::find(items.begin(), items.end(), Item::kTail) != items.end()) {
    return {};
  }
  return ShapeOf(items, literals, head, tail);
}

}  // namespace parlevo
