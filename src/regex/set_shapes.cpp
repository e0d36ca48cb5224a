// Shape recognition. The pattern's top concatenation is read as a row of
// items: literal sets (every string a subtree matches, while they are few and
// short), "X*" where X takes every character but the breaks, "[0-9]*",
// "[0-9]+", classes of single bytes once or as a run ("[A-Z]", "[a-z]+"), and
// the anchors; neighbouring literal sets are joined into one.
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

enum class Item : uint8_t {
  kLiterals,
  kDigit,
  kHead,
  kTail,
  kAnyStar,
  kDigitStar,
  kDigitPlus,
  kRunPlus,    // "[a-z]+": one or more of a class of single bytes
  kClassOnce,  // "[A-Z]": a class of single bytes too large for a literal set
};

// One operand of the pattern's top concatenation, neighbouring literal sets
// joined.
struct Piece {
  Item kind;
  Strings strings = {};  // kLiterals: every string it matches
  // kRunPlus, kClassOnce: the bytes of the class; kLiterals: those of the
  // one class of single bytes it was made of, if it was.
  std::string run = {};
};

// The bytes of a class of single-byte characters that holds no break (so
// no lead byte either); false for any other class.
bool RunBytes(const std::vector<TbmREWchRange>& ranges, std::string& out) {
  out.clear();
  for (const TbmREWchRange& r : ranges) {
    if (r.Hi >= 0x80) return false;
    for (int32_t c = r.Lo; c <= r.Hi; ++c) {
      if (c == '\n' || c == '\r') return false;
      out.push_back(static_cast<char>(c));
    }
  }
  return !out.empty();
}

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

// a = every a + b, as Join makes it; in place when b is one string (a row
// of plain characters joins one at a time).
bool JoinInto(Strings& a, const Strings& b) {
  if (b.size() != 1) {
    Strings joined;
    if (!Join(a, b, joined)) return false;
    a = std::move(joined);
    return true;
  }
  if (a.size() > kMaxShapeStrings) return false;
  for (const auto& x : a) {
    if (x.size() + b[0].size() > kMaxShapeBytes) return false;
  }
  for (auto& x : a) x += b[0];
  std::sort(a.begin(), a.end());
  a.erase(std::unique(a.begin(), a.end()), a.end());
  return true;
}

class RowReader {
 public:
  RowReader(const TbmRETree& tree, TbmCharCode code)
      : nodes_(tree.Nodes()), leaves_(tree.Leaves()), code_(code) {}

  // The pieces of the concatenation at `root`; false when one is none.
  bool Read(int32_t root, std::vector<Piece>& row) const {
    std::vector<int32_t> operands;
    Operands(root, operands);
    for (size_t k = 0; k < operands.size(); ++k) {
      const TbmRETree::Node& n = nodes_[static_cast<size_t>(operands[k])];
      std::vector<TbmREWchRange> ranges;
      if (n.Kind == TbmRETree::NodeKind::kLeaf && leaves_[static_cast<size_t>(n.Left)].Lo < 0) {
        const int32_t anchor = leaves_[static_cast<size_t>(n.Left)].Lo;
        if (anchor != kLineHead && anchor != kLineTail) return false;
        row.push_back({anchor == kLineHead ? Item::kHead : Item::kTail});
      } else if (n.Kind == TbmRETree::NodeKind::kClosure) {
        if (!RangesOf(n.Left, ranges)) return false;
        if (IsAnyButBreak(ranges)) {
          row.push_back({Item::kAnyStar});
        } else if (!IsDigits(ranges)) {
          return false;
        } else if (!row.empty() && row.back().kind == Item::kDigit && operands[k - 1] == n.Left) {
          row.back().kind = Item::kDigitPlus;  // "[0-9]+": the class, then its closure
        } else {
          row.push_back({Item::kDigitStar});
        }
      } else if (RangesOf(operands[k], ranges) && IsDigits(ranges)) {
        row.push_back({Item::kDigit});
      } else if (std::string run;
                 !ranges.empty() && ClosedNext(operands, k) && RunBytes(ranges, run)) {
        ClassApart(row);
        row.push_back({Item::kRunPlus, {}, std::move(run)});
        ++k;  // "[a-z]+": the class, then its closure
      } else if (!AddLiterals(operands[k], ranges, row)) {
        return false;
      }
    }
    return true;
  }

 private:
  // Adds the strings `node` matches to the row, joined to a literal set
  // before it; a class of single bytes (`ranges`) too large for that is a
  // class item. False when it is neither.
  bool AddLiterals(int32_t node, const std::vector<TbmREWchRange>& ranges,
                   std::vector<Piece>& row) const {
    Strings s;
    std::string bytes;
    const bool byte_class = !ranges.empty() && RunBytes(ranges, bytes);
    const bool listed = StringsOf(node, s);
    Piece* last = !row.empty() && row.back().kind == Item::kLiterals ? &row.back() : nullptr;
    if (listed && last && JoinInto(last->strings, s)) {
      last->run.clear();  // joined: no longer one class
    } else if (listed && !last) {
      row.push_back({Item::kLiterals, std::move(s), byte_class ? bytes : std::string()});
    } else if (byte_class) {
      ClassApart(row);
      row.push_back({Item::kClassOnce, {}, std::move(bytes)});
    } else {
      return false;
    }
    return true;
  }

  // A literal set at the row's end that is one class of single bytes
  // ("[0-9a-f]") becomes a class item, for a class item that follows it.
  static void ClassApart(std::vector<Piece>& row) {
    if (!row.empty() && row.back().kind == Item::kLiterals && !row.back().run.empty()) {
      row.back().kind = Item::kClassOnce;
    }
  }

  // Operand k + 1 is the closure of operand k ("X+").
  bool ClosedNext(const std::vector<int32_t>& operands, size_t k) const {
    if (k + 1 >= operands.size()) return false;
    const TbmRETree::Node& next = nodes_[static_cast<size_t>(operands[k + 1])];
    return next.Kind == TbmRETree::NodeKind::kClosure && next.Left == operands[k];
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
    const TbmRETree::Node& top = nodes_[static_cast<size_t>(node)];
    if (out.empty() && top.Kind == TbmRETree::NodeKind::kLeaf &&
        leaves_[static_cast<size_t>(top.Left)].Lo >= 0) {  // one leaf: its range as it is
      out.push_back(
          {leaves_[static_cast<size_t>(top.Left)].Lo, leaves_[static_cast<size_t>(top.Left)].Hi});
      return true;
    }
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
        out.clear();
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

bool IsStar(Item item) { return item == Item::kAnyStar || item == Item::kDigitStar; }

// A row of a few classes before one literal set ("[A-Z][a-z]+A",
// "[0-9][0-9]A"): its classes, left to right, in `before`.
bool ClassesBefore(const std::vector<Piece>& row, std::vector<TbmREClassItem>& before) {
  if (row.size() < 2 || row.size() - 1 > kMaxClassItems || row.back().kind != Item::kLiterals) {
    return false;
  }
  before.clear();
  for (size_t k = 0; k + 1 < row.size(); ++k) {
    switch (row[k].kind) {
      case Item::kDigit:
      case Item::kDigitPlus:
        before.push_back({"0123456789", row[k].kind == Item::kDigitPlus});
        break;
      case Item::kClassOnce:
      case Item::kRunPlus:
        before.push_back({row[k].run, row[k].kind == Item::kRunPlus});
        break;
      default:
        return false;
    }
  }
  return true;
}

// Takes off the row's end what follows its last literal set: digits and
// single strings ("猫[0-9][0-9]3"), as bytes. False when that end is none
// of these.
bool TakeFollow(std::vector<Piece>& row, std::vector<int16_t>& follow) {
  size_t first = row.size();
  while (first > 0 &&
         (row[first - 1].kind == Item::kLiterals || row[first - 1].kind == Item::kDigit)) {
    --first;
  }
  if (first == row.size()) return true;
  // Digits before the literal set are not its follow ("[0-9][0-9]A").
  while (first < row.size() && row[first].kind == Item::kDigit) ++first;
  if (first == row.size()) return false;
  for (size_t k = first + 1; k < row.size(); ++k) {
    if (row[k].kind == Item::kDigit) {
      follow.push_back(kFollowDigit);
    } else if (row[k].strings.size() == 1) {
      for (char c : row[k].strings[0]) follow.push_back(static_cast<uint8_t>(c));
    } else {
      return false;
    }
  }
  row.resize(first + 1);
  return follow.size() <= kMaxShapeBytes;
}

// The shape of a row with its anchors taken off. A star may match nothing,
// so one at an end with no anchor beyond it changes nothing that is found.
TbmRESetShape ShapeOf(std::vector<Piece> row, bool head, bool tail) {
  TbmRESetShape shape;
  for (const Piece& piece : row) {
    if (piece.kind == Item::kLiterals &&
        std::any_of(piece.strings.begin(), piece.strings.end(),
                    [](const std::string& s) { return s.empty(); })) {
      return shape;
    }
  }
  if (!tail) {
    while (!row.empty() && IsStar(row.back().kind)) row.pop_back();
  }
  if (!head) {
    while (!row.empty() && IsStar(row.front().kind)) row.erase(row.begin());
  }
  std::vector<int16_t> follow;
  if (row.empty() || !TakeFollow(row, follow)) return shape;
  auto is = [&row](std::initializer_list<Item> kinds) {
    return std::equal(row.begin(), row.end(), kinds.begin(), kinds.end(),
                      [](const Piece& p, Item kind) { return p.kind == kind; });
  };
  if (is({Item::kLiterals})) {
    shape.kind = Kind::kLiteral;
  } else if (is({Item::kLiterals, Item::kAnyStar, Item::kLiterals}) ||
             is({Item::kLiterals, Item::kDigitPlus, Item::kLiterals}) ||
             is({Item::kLiterals, Item::kDigitStar, Item::kLiterals})) {
    shape.kind = row[1].kind == Item::kAnyStar     ? Kind::kPair
                 : row[1].kind == Item::kDigitPlus ? Kind::kDigitsPair
                                                   : Kind::kDigitsOrNonePair;
    shape.second = std::move(row[2].strings);
  } else if (is({Item::kLiterals, Item::kDigitPlus})) {
    shape.kind = Kind::kDigitAfter;
  } else if (ClassesBefore(row, shape.before)) {
    shape.kind = Kind::kRunBefore;
  } else {
    return shape;
  }
  shape.first = std::move(row[shape.kind == Kind::kRunBefore ? row.size() - 1 : 0].strings);
  shape.head = head;
  shape.tail = tail;
  shape.follow = std::move(follow);
  return shape;
}

}  // namespace

bool MayHaveSetShape(std::string_view pattern) {
  // Every shape but "A.*B" holds a class ("[0-9]+", "[A-Z]", "[^\n]*").
  return pattern.find(".*") != std::string_view::npos ||
         pattern.find(']') != std::string_view::npos;
}

TbmRESetShape RecognizeSetShape(const TbmRETree& tree, TbmCharCode code) {
  const int32_t root = tree.PatternRoot();
  if (code == bmccUniCode || root < 0) return {};
  std::vector<Piece> row;
  if (!RowReader(tree, code).Read(root, row)) return {};
  const bool head = !row.empty() && row.front().kind == Item::kHead;
  if (head) row.erase(row.begin());
  const bool tail = !row.empty() && row.back().kind == Item::kTail;
  if (tail) row.pop_back();
  for (const Piece& piece : row) {
    if (piece.kind == Item::kHead || piece.kind == Item::kTail) return {};
  }
  return ShapeOf(std::move(row), head, tail);
}

}  // namespace parlevo
