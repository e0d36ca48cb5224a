// The reference matcher, written from the pattern language's description and
// sharing nothing with the engine's tree or automaton.
//
// The pattern is decoded into characters, read into tokens in one pass (so a
// reading error anywhere wins over a grammar error), parsed by recursive
// descent into a syntax tree, and compiled into a small program of character
// tests, splits and anchor checks. A search tries each start in turn and
// walks the program depth first, remembering each (step, position) pair it has
// visited, so every end reachable from the start is found once: the longest
// is the match. Anchors: '^' counts as one where nothing can come before it
// in a match of the whole pattern, and then holds only at the match's start
// when that start is a line head; '$' counts as one where nothing but the
// pattern's end can follow it, and holds before LF, before CR and at the
// text's end. Elsewhere each is the plain character.
#include "common/reference_matcher.h"

#include <algorithm>
#include <memory>

namespace parlevo::reference {

namespace {

constexpr int32_t kLF = 10;
constexpr int32_t kCR = 13;
constexpr int kMaxDepth = 1000;  // deeper nesting is not followed (the engine refuses it too)
constexpr size_t kMaxVisited = size_t{1} << 22;  // (step, position) pairs a search may mark

bool IsLead(TbmCharCode code, uint8_t b) {
  if (code == bmccShiftJIS) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  if (code == bmccEUC) return b == 0x8E || (b >= 0xA1 && b <= 0xFE);
  return false;
}

int DigitValue(int32_t c, int base) {
  int v = c >= '0' && c <= '9'   ? c - '0'
          : c >= 'a' && c <= 'f' ? c - 'a' + 10
          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                 : 99;
  return v < base ? v : -1;
}

struct Token {
  enum Kind {
    kChar,
    kClass,
    kUnion,
    kLPar,
    kRPar,
    kStar,
    kPlus,
    kQuestion,
    kDot,
    kHead,
    kTail,
    kEnd
  };
  Kind kind;
  int32_t value = 0;  // kChar: the character; kClass: the set's index
};

struct Node {
  enum Kind { kEmpty, kSet, kHead, kTail, kCat, kAlt, kStar, kPlus, kQuest } kind;
  int32_t set = -1;
  std::vector<int32_t> kids;
  bool nullable = false;
  bool has_first = false;  // some character or anchor can come first
};

struct Failure {
  SyntaxError error;
};
struct TooDeep {};

}  // namespace

int32_t DecodeAt(TbmCharCode code, std::string_view text, size_t pos, int32_t& bytes) {
  const auto b = static_cast<uint8_t>(text[pos]);
  const bool more = pos + 1 < text.size();
  const int32_t next = more ? static_cast<uint8_t>(text[pos + 1]) : 0;
  if (code == bmccUniCode) {
    bytes = 2;
    return b | next << 8;
  }
  if (!IsLead(code, b)) {
    bytes = 1;
    return b;
  }
  bytes = more ? 2 : 1;  // a lead byte at the very end stands alone
  return b * 256 + next;
}

bool Matcher::CharSet::Contains(int32_t c) const {
  bool in = std::any_of(ranges.begin(), ranges.end(),
                        [c](const auto& r) { return r.first <= c && c <= r.second; });
  if (!negated) return in;
  return !in && c >= 0 && c <= 0xFFFF && c != kLF && c != kCR;
}

// Reads, parses and compiles one pattern into a Matcher.
class Compiler {
 public:
  Compiler(Matcher& m, std::string_view pattern) : m_(m) {
    for (size_t p = 0; p < pattern.size();) {
      int32_t bytes;
      chars_.push_back(DecodeAt(m.code_, pattern, p, bytes));
      p += static_cast<size_t>(bytes);
    }
  }

  void Run() {
    try {
      Lex();
      CheckNegatedClasses();
      const int32_t root = ParseUnion();
      if (tokens_[at_].kind != Token::kEnd) throw Failure{SyntaxError::kInvalidChar};
      Resolve(root, true, false, true);
      m_.prog_.push_back({Matcher::Inst::kMatch});
      m_.start_ = Compile(root, 0);
    } catch (const Failure& f) {
      m_.error_ = f.error;
    } catch (const TooDeep&) {
      m_.too_deep_ = true;
    }
  }

 private:
  // --- Reading: characters, escapes, bracket expressions.
  int32_t Get() { return read_ < chars_.size() ? chars_[read_++] : (++read_, -1); }
  void Unget() { --read_; }

  int32_t Digits(int base, int max_digits, int32_t max_value) {
    int32_t v = 0;
    int taken = 0;
    for (;;) {
      const int32_t c = Get();
      const int d = DigitValue(c, base);
      if (d < 0 || taken == max_digits || v * base + d > max_value) {
        Unget();
        return taken == 0 ? -1 : v;
      }
      v = v * base + d;
      ++taken;
    }
  }

  // The character an escape stands for, after its '\'.
  int32_t Escape() {
    const bool one_byte = m_.code_ == bmccWestern;
    const int32_t c = Get();
    const char* const letters = "abtnvfr";
    for (int i = 0; letters[i] != 0; ++i) {
      if (c == letters[i]) return 7 + i;
    }
    int32_t v = c;
    if (c == 'x') {
      v = Digits(16, one_byte ? 2 : 4, one_byte ? 0xFF : 0xFFFF);
    } else if (c >= '0' && c <= '7') {
      Unget();
      v = Digits(8, one_byte ? 3 : 6, one_byte ? 0xFF : 0xFFFF);
    }
    if (v < 0) throw Failure{SyntaxError::kInvalidEscape};
    return v;
  }

  int32_t Member(int32_t c) { return c == '\\' ? Escape() : c; }

  void LexClass() {
    Matcher::CharSet set;
    if (Get() == '^') {
      set.negated = true;
    } else {
      Unget();
    }
    for (bool first = true;; first = false) {
      int32_t c = Get();
      if (c == -1) throw Failure{SyntaxError::kNeedRBracket};
      if (c == ']' && !first) break;
      c = Member(c);
      if (Get() == '-') {
        const int32_t e = Get();
        if (e != ']' && e != -1) {
          const int32_t hi = Member(e);
          if (hi < c) throw Failure{SyntaxError::kInvalidCharClass};
          set.ranges.push_back({c, hi});
          continue;
        }
        Unget();  // "-]": the '-' is a member of its own
      }
      Unget();
      set.ranges.push_back({c, c});
    }
    tokens_.push_back({Token::kClass, static_cast<int32_t>(m_.sets_.size())});
    m_.sets_.push_back(std::move(set));
  }

  void Lex() {
    static constexpr std::string_view kOperators = "|()*+?.^$";
    static constexpr Token::Kind kKinds[] = {Token::kUnion, Token::kLPar, Token::kRPar,
                                             Token::kStar,  Token::kPlus, Token::kQuestion,
                                             Token::kDot,   Token::kHead, Token::kTail};
    for (;;) {
      const int32_t c = Get();
      if (c == -1) {
        tokens_.push_back({Token::kEnd});
        return;
      }
      if (c == '\\') {
        tokens_.push_back({Token::kChar, Escape()});
      } else if (c == '[') {
        LexClass();
      } else {
        const size_t op = c < 128 ? kOperators.find(static_cast<char>(c)) : std::string_view::npos;
        tokens_.push_back({op == std::string_view::npos ? Token::kChar : kKinds[op], c});
      }
    }
  }

  // "[^...]" whose members leave no character at all is refused.
  void CheckNegatedClasses() {
    for (const Token& t : tokens_) {
      if (t.kind != Token::kClass || !m_.sets_[t.value].negated) continue;
      auto ranges = m_.sets_[t.value].ranges;
      ranges.push_back({kLF, kLF});
      ranges.push_back({kCR, kCR});
      std::sort(ranges.begin(), ranges.end());
      int64_t covered = -1;  // 0..covered are all members
      for (const auto& r : ranges) {
        if (r.first > covered + 1) break;
        covered = std::max<int64_t>(covered, r.second);
      }
      if (covered >= 0xFFFF) throw Failure{SyntaxError::kInvalidCharClass};
    }
  }

  // --- Parsing: union < concatenation < postfix < atom.
  int32_t Add(Node node) {
    nodes_.push_back(std::move(node));
    return static_cast<int32_t>(nodes_.size()) - 1;
  }
  int32_t AddSet(int32_t c) {
    m_.sets_.push_back({{{c, c}}, false});
    return Add({Node::kSet, static_cast<int32_t>(m_.sets_.size()) - 1, {}, false, true});
  }
  Token::Kind Current() const { return tokens_[at_].kind; }

  int32_t ParseUnion() {
    std::vector<int32_t> alternatives = {ParseCat()};
    while (Current() == Token::kUnion) {
      ++at_;
      alternatives.push_back(ParseCat());
    }
    if (alternatives.size() == 1) return alternatives[0];
    Node alt{Node::kAlt, -1, alternatives};
    for (int32_t k : alternatives) {
      alt.nullable |= nodes_[k].nullable;
      alt.has_first |= nodes_[k].has_first;
    }
    return Add(std::move(alt));
  }

  int32_t ParseCat() {
    Node cat{Node::kCat, -1, {}, true, false};
    while (Current() != Token::kUnion && Current() != Token::kRPar && Current() != Token::kEnd) {
      const int32_t k = ParsePostfix();
      cat.has_first |= cat.nullable && nodes_[k].has_first;
      cat.nullable &= nodes_[k].nullable;
      cat.kids.push_back(k);
    }
    if (cat.kids.empty()) return Add({Node::kEmpty, -1, {}, true, false});
    return cat.kids.size() == 1 ? cat.kids[0] : Add(std::move(cat));
  }

  int32_t ParsePostfix() {
    const int32_t k = ParseAtom();
    Node::Kind kind;
    switch (Current()) {
      case Token::kStar:
        kind = Node::kStar;
        break;
      case Token::kPlus:
        kind = Node::kPlus;
        break;
      case Token::kQuestion:
        kind = Node::kQuest;
        break;
      default:
        return k;
    }
    ++at_;
    const bool nullable = kind != Node::kPlus || nodes_[k].nullable;
    return Add({kind, -1, {k}, nullable, nodes_[k].has_first});
  }

  int32_t ParseAtom() {
    const Token t = tokens_[at_];
    switch (t.kind) {
      case Token::kChar:
        ++at_;
        return AddSet(t.value);
      case Token::kClass:
        ++at_;
        return Add({Node::kSet, t.value, {}, false, true});
      case Token::kDot:
        ++at_;
        m_.sets_.push_back({{}, true});
        return Add({Node::kSet, static_cast<int32_t>(m_.sets_.size()) - 1, {}, false, true});
      case Token::kHead:
      case Token::kTail:
        ++at_;
        return Add({t.kind == Token::kHead ? Node::kHead : Node::kTail, -1, {}, false, true});
      case Token::kLPar: {
        if (++depth_ > kMaxDepth) throw TooDeep{};
        ++at_;
        const int32_t k = ParseUnion();
        --depth_;
        if (Current() != Token::kRPar) throw Failure{SyntaxError::kNeedRPar};
        ++at_;
        return k;
      }
      default:
        throw Failure{SyntaxError::kNeedAtom};
    }
  }

  // --- Anchors: `first` when nothing need come before the node in a match;
  // `other`/`end` when a character or anchor / the pattern's end may follow it.
  void Resolve(int32_t k, bool first, bool other, bool end) {
    Node& n = nodes_[k];
    switch (n.kind) {
      case Node::kHead:
        if (!first) Plain(k, '^');
        return;
      case Node::kTail:
        if (other || !end) Plain(k, '$');
        return;
      case Node::kCat:
        for (size_t i = 0; i < n.kids.size(); ++i) {
          bool after_other = false, after_end = true;
          for (size_t j = i + 1; j < n.kids.size() && after_end; ++j) {
            after_other |= nodes_[n.kids[j]].has_first;
            after_end = nodes_[n.kids[j]].nullable;
          }
          if (after_end) after_other |= other;
          Resolve(n.kids[i], first, after_other, after_end && end);
          first &= nodes_[n.kids[i]].nullable;
        }
        return;
      case Node::kAlt:
        for (int32_t kid : n.kids) Resolve(kid, first, other, end);
        return;
      case Node::kStar:
      case Node::kPlus:  // an iteration may follow the last one
        Resolve(n.kids[0], first, other || nodes_[n.kids[0]].has_first, end);
        return;
      case Node::kQuest:
        Resolve(n.kids[0], first, other, end);
        return;
      default:
        return;
    }
  }

  void Plain(int32_t k, int32_t c) {
    m_.sets_.push_back({{{c, c}}, false});
    nodes_[k].kind = Node::kSet;
    nodes_[k].set = static_cast<int32_t>(m_.sets_.size()) - 1;
  }

  // --- Compiling, back to front: the entry of node `k` followed by `next`.
  int32_t Emit(Matcher::Inst inst) {
    m_.prog_.push_back(inst);
    return static_cast<int32_t>(m_.prog_.size()) - 1;
  }

  int32_t Compile(int32_t k, int32_t next) {
    const Node& n = nodes_[k];
    using I = Matcher::Inst;
    switch (n.kind) {
      case Node::kEmpty:
        return next;
      case Node::kSet:
        return Emit({I::kChar, next, -1, n.set});
      case Node::kHead:
        return Emit({I::kHead, next});
      case Node::kTail:
        return Emit({I::kTail, next});
      case Node::kCat:
        for (size_t i = n.kids.size(); i-- > 0;) next = Compile(n.kids[i], next);
        return next;
      case Node::kAlt: {
        int32_t entry = Compile(n.kids.back(), next);
        for (size_t i = n.kids.size() - 1; i-- > 0;) {
          entry = Emit({I::kSplit, Compile(n.kids[i], next), entry});
        }
        return entry;
      }
      case Node::kQuest:
        return Emit({I::kSplit, Compile(n.kids[0], next), next});
      case Node::kStar:
      case Node::kPlus: {
        const int32_t loop = Emit({I::kSplit, -1, next});
        const int32_t body = Compile(n.kids[0], loop);
        m_.prog_[loop].next = body;
        return n.kind == Node::kStar ? loop : body;
      }
    }
    return next;
  }

  Matcher& m_;
  std::vector<int32_t> chars_;
  size_t read_ = 0;
  std::vector<Token> tokens_;
  size_t at_ = 0;
  int depth_ = 0;
  std::vector<Node> nodes_;
};

Matcher::Matcher(TbmCharCode code, std::string_view pattern) : code_(code) {
  Compiler(*this, pattern).Run();
}

namespace {

// Whether a line begins at byte `pos`, the previous character being `c`: after
// LF, and after a CR that no LF follows.
bool LineHeadAfter(TbmCharCode code, std::string_view text, size_t pos, int32_t c) {
  if (c == kLF) return true;
  if (c != kCR) return false;
  int32_t bytes;
  return pos >= text.size() || DecodeAt(code, text, pos, bytes) != kLF;
}

// The character whose bytes include byte `pos`, reading from the text's start.
int32_t CharAround(TbmCharCode code, std::string_view text, size_t pos) {
  for (size_t p = 0;;) {
    int32_t bytes;
    const int32_t c = DecodeAt(code, text, p, bytes);
    if (p + static_cast<size_t>(bytes) > pos) return c;
    p += static_cast<size_t>(bytes);
  }
}

}  // namespace

Outcome Matcher::Search(std::string_view text, int32_t from, int64_t budget) const {
  Outcome out;
  if (error_ != SyntaxError::kNone) {
    out.status = Outcome::kSyntaxError;
    out.error = error_;
    return out;
  }
  const auto n = static_cast<int32_t>(text.size());
  const auto width = static_cast<size_t>(n) + 1;
  if (too_deep_ || (code_ == bmccUniCode && n % 2 != 0) || prog_.size() * width > kMaxVisited) {
    out.status = Outcome::kSkipped;
    return out;
  }
  if (from < 0 || from > n) return out;
  bool head = from == 0 || LineHeadAfter(code_, text, static_cast<size_t>(from),
                                         CharAround(code_, text, static_cast<size_t>(from - 1)));
  // Per (step, position): the last start that visited it; never cleared.
  std::vector<int32_t> visited(prog_.size() * width, -1);
  std::vector<std::pair<int32_t, int32_t>> stack;  // (step, position)
  for (int32_t start = from;;) {
    int32_t longest = -1;
    stack.assign(1, {start_, start});
    while (!stack.empty()) {
      const auto [pc, pos] = stack.back();
      stack.pop_back();
      int32_t& seen = visited[static_cast<size_t>(pc) * width + static_cast<size_t>(pos)];
      if (seen == start) continue;
      seen = start;
      if (--budget < 0) {
        out.status = Outcome::kSkipped;
        return out;
      }
      const Inst& inst = prog_[static_cast<size_t>(pc)];
      int32_t bytes = 0;
      const int32_t c = pos < n ? DecodeAt(code_, text, static_cast<size_t>(pos), bytes) : -1;
      switch (inst.op) {
        case Inst::kChar:
          if (c >= 0 && sets_[static_cast<size_t>(inst.set)].Contains(c)) {
            stack.push_back({inst.next, pos + bytes});
          }
          break;
        case Inst::kSplit:
          stack.push_back({inst.alt, pos});
          [[fallthrough]];
        case Inst::kJump:
          stack.push_back({inst.next, pos});
          break;
        case Inst::kHead:
          if (pos == start && head) stack.push_back({inst.next, pos});
          break;
        case Inst::kTail:
          if (c == -1 || c == kLF || c == kCR) stack.push_back({inst.next, pos});
          break;
        case Inst::kMatch:
          longest = std::max(longest, pos);
          break;
      }
    }
    if (longest >= 0) {
      out.status = Outcome::kMatch;
      out.pos = start;
      out.len = longest - start;
      return out;
    }
    if (start >= n) return out;
    int32_t bytes;
    const int32_t c = DecodeAt(code_, text, static_cast<size_t>(start), bytes);
    start += bytes;
    head = LineHeadAfter(code_, text, static_cast<size_t>(start), c);
  }
}

}  // namespace parlevo::reference
