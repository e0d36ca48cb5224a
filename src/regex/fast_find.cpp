// Quick answers.
//
// Prefilter: from the parse tree, bottom-up, each node gets either the exact
// set of byte strings it matches (while small) or a set of strings one of
// which every match must contain. Concatenation keeps the better of its two
// sides, alternation the union of both sides' sets. If the text contains none
// of the pattern's strings there is no match, whatever the start. When the
// root's set is exact (and the pattern has no anchors), a match is simply one
// of those strings starting on a character boundary: a byte is a boundary
// when an even run of lead bytes stands right before it, since the byte
// before such a run always ends a character.
//
// Many patterns are asked about one text in a row (every entry of a
// personality about what was just said), so each thread keeps a summary of
// the last text it saw twice, of any length: which bytes and byte pairs
// occur. A literal with a byte pair the text lacks is absent without a scan.
// A caller that declares the text (TbmRESameText) spares every pattern the
// comparison with the last text; while a declaration stands, other texts get
// no summary, so the declared one keeps it.
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
#include <array>
#include <cstring>
#include <string_view>

#include "regex/automaton.h"
#include "regex/literal_list.h"
#include "regex/literal_set.h"
#include "regex/scanner.h"
#include "regex/set_interner.h"
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

void Dedupe(std::vector<std::string>& set) {
  std::sort(set.begin(), set.end());
  set.erase(std::unique(set.begin(), set.end()), set.end());
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
  Dedupe(out);
  return out;
}

// a and b together, or unknown when either is or there are too many.
std::vector<std::string> Either(const std::vector<std::string>& a,
                                const std::vector<std::string>& b) {
  if (a.empty() || b.empty() || a.size() + b.size() > kMaxLiterals) return {};
  std::vector<std::string> out = a;
  out.insert(out.end(), b.begin(), b.end());
  Dedupe(out);
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
    Dedupe(lit.set);
    bool too_long = std::any_of(lit.set.begin(), lit.set.end(),
                                [](const std::string& s) { return s.size() > kMaxLiteralBytes; });
    if (!too_long) return lit;
    // Keep a prefix of each as the requirement, and as the beginnings.
    lit.exact = false;
    for (auto& s : lit.set) s.resize(std::min(s.size(), kMaxLiteralBytes));
    Dedupe(lit.set);
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
    Dedupe(lit.set);
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

// How common a byte is in Japanese and English chat text (higher: more common).
constexpr int CommonnessOf(uint8_t b) {
  if (b == 0x81 || b == 0x82 || b == 0x83 || b == ' ') return 100;
  if ((b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) return 60;
  for (char c : std::string_view("etaoinsrhl")) {
    if (b == static_cast<uint8_t>(c)) return 50;
  }
  if (b >= 'a' && b <= 'z') return 30;
  return 10;
}

// Looked up for every byte of every literal at load: a table.
constexpr std::array<uint8_t, 256> kCommonness = [] {
  std::array<uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b)
    table[b] = static_cast<uint8_t>(CommonnessOf(static_cast<uint8_t>(b)));
  return table;
}();

int Commonness(uint8_t b) { return kCommonness[b]; }

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
// Summary of the last text

struct TextSummary {
  std::string text;  // the last text seen
  bool built = false;
  uint64_t bytes[4] = {};
  std::vector<uint64_t> pairs = std::vector<uint64_t>(1024);  // 65536 bits
  std::vector<uint16_t> set_pairs;                            // to clear them again

  bool HasByte(uint8_t b) const { return (bytes[b >> 6] >> (b & 63)) & 1; }
  bool HasPair(uint8_t a, uint8_t b) const {
    return HasPairIndex(static_cast<uint16_t>(a << 8 | b));
  }
  bool HasPairIndex(uint16_t k) const { return (pairs[k >> 6] >> (k & 63)) & 1; }
  // False when `needle` cannot occur in the text.
  bool MayContain(const std::string& needle) const {
    const auto* s = reinterpret_cast<const uint8_t*>(needle.data());
    if (!HasByte(s[0])) return false;
    for (size_t i = 1; i < needle.size(); ++i) {
      if (!HasPair(s[i - 1], s[i])) return false;
    }
    return true;
  }
  void Build() {
    for (uint16_t k : set_pairs) pairs[k >> 6] = 0;
    set_pairs.clear();
    std::fill(std::begin(bytes), std::end(bytes), 0);
    const auto* t = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t i = 0; i < text.size(); ++i) {
      bytes[t[i] >> 6] |= uint64_t{1} << (t[i] & 63);
      if (i + 1 < text.size()) {
        uint16_t k = static_cast<uint16_t>(t[i] << 8 | t[i + 1]);
        pairs[k >> 6] |= uint64_t{1} << (k & 63);
        set_pairs.push_back(k);
      }
    }
    built = true;
  }
};

// This thread's summary, and the text a TbmRESameText declared, if any.
struct ThreadSummary {
  TextSummary summary;
  const char* same_data = nullptr;  // the declared text: no comparison needed
  size_t same_size = 0;
};

ThreadSummary& ThisThread() {
  thread_local ThreadSummary state;  // per thread: no locks, no sharing
  return state;
}

// The summary of `text` when it was declared the same text, or when this
// thread saw the same text last time; else null (and `text` is remembered).
const TextSummary* Summarize(std::string_view text) {
  if (text.empty()) return nullptr;
  ThreadSummary& state = ThisThread();
  TextSummary& summary = state.summary;
  if (state.same_data) {  // the summary belongs to the declared text
    return text.data() == state.same_data && text.size() == state.same_size ? &summary : nullptr;
  }
  if (summary.text.size() == text.size() &&
      std::memcmp(summary.text.data(), text.data(), text.size()) == 0) {
    if (!summary.built) summary.Build();
    return &summary;
  }
  summary.text.assign(text);
  summary.built = false;
  return nullptr;
}

}  // namespace

TbmRESameText::TbmRESameText(std::string_view text) {
  ThreadSummary& state = ThisThread();
  previous_data_ = state.same_data;
  previous_size_ = state.same_size;
  if (text.empty()) {  // nothing to summarise: no declaration either
    state.same_data = nullptr;
    state.same_size = 0;
    return;
  }
  if (state.summary.text != text || !state.summary.built) {
    state.summary.text.assign(text);
    state.summary.Build();
  }
  state.same_data = text.data();
  state.same_size = text.size();
}

TbmRESameText::~TbmRESameText() {
  ThreadSummary& state = ThisThread();
  state.same_data = previous_data_;
  state.same_size = previous_size_;
  if (previous_data_) {  // an outer declaration: its text gets the summary back
    std::string_view outer(previous_data_, previous_size_);
    if (state.summary.text != outer || !state.summary.built) {
      state.summary.text.assign(outer);
      state.summary.Build();
    }
  }
}

// The unanchored automaton's tables, apart from the hot fields.
struct TbmREFastFind::Automaton {
  const TbmREDFATable* dfa;
  int32_t width = 0;
  std::vector<int32_t> next;    // row offsets (state * width); -1 is "found"
  std::vector<uint8_t> at_end;  // per state: found when the text ends here
  uint8_t byte_class[256];      // kLeadByte: a lead byte, decoded with the next byte
  uint8_t lead_class[256];      // class of every lead*256+trail, kMixed if they differ
  uint8_t page_of[256];         // for a mixed lead byte: its page in `pages`
  std::vector<uint8_t> pages;   // per mixed lead byte, the class of each trail byte
  int32_t restart_row = -1;     // the state {initial} that dead characters lead back to
  bool starts[256];             // bytes that may leave the restart state

  static constexpr uint8_t kLeadByte = 255;
  static constexpr uint8_t kMixed = 255;
  int32_t WideClass(int32_t c) const {
    uint8_t cls = lead_class[c >> 8];
    return cls != kMixed ? cls : pages[page_of[c >> 8] * 256 + (c & 0xFF)];
  }
};

TbmREFastFind::TbmREFastFind(TbmCharCode code) : code_(code), is_lead_(bmccLeadByteTable(code)) {}
TbmREFastFind::~TbmREFastFind() = default;
TbmREFastFind::TbmREFastFind(TbmREFastFind&&) noexcept = default;
TbmREFastFind& TbmREFastFind::operator=(TbmREFastFind&&) noexcept = default;

TbmREFastFind::TbmREFastFind(const TbmRETree& tree, TbmCharCode code) : TbmREFastFind(code) {
  const auto& nodes = tree.Nodes();
  const int32_t root = tree.PatternRoot();
  // The analysis keeps literals for every node at once: a tree as large as a
  // long word list would cost more memory than its compile budget, so such
  // a pattern goes without a prefilter (still correct, the automaton answers).
  if (root < 0 || root >= kMaxLiteralAnalysisNodes) return;
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
  std::vector<std::string> literals = Required(lits[root]);
  if (!lits[root].exact && !literals.empty()) also_ = lits[root].also;
  const Lit& top = lits[root];
  if (top.exact && !literals.empty() && code != bmccUniCode) {
    exact_head_ = top.head;
    exact_tail_ = top.tail;
    exact_anchored_ = top.head || top.tail;
  }
  literal_only_ = lits[root].exact && !literals.empty() && !tree.HasLineHead && !tree.HasLineTail &&
                  code != bmccUniCode;
  SetLiterals(std::move(literals));
}

bool TbmREFastFind::FromLiteralList(TbmRELiteralList list, TbmCharCode code, TbmREFastFind& out) {
  if (code == bmccUniCode || list.size() == 0) return false;
  if (list.size() > kMaxLiterals) {  // a word list: one multi-literal pass
    out = TbmREFastFind(code);
    out.literal_only_ = true;
    out.exact_head_ = list.head;
    out.exact_tail_ = list.tail;
    out.exact_anchored_ = list.head || list.tail;
    out.set_ = std::make_unique<TbmRELiteralSet>(std::move(list), code);
    return true;
  }
  // A few literals with anchors are left to the automaton, as are long ones.
  if (list.head || list.tail) return false;
  std::vector<std::string> literals;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].size() > kMaxLiteralBytes) return false;
    literals.emplace_back(list[i]);
  }
  out = TbmREFastFind(code);
  out.literal_only_ = true;
  out.SetLiterals(std::move(literals));
  return true;
}

void TbmREFastFind::PrepareSearch() {
  if (set_) set_->Prepare();
}

void TbmREFastFind::SetLiterals(std::vector<std::string> literals) {
  const bool probes = !literals.empty() && literals.size() <= kMaxProbes &&
                      std::all_of(literals.begin(), literals.end(),
                                  [](const std::string& s) { return s.size() >= 2; });
  for (auto& s : literals) {
    if (probes) {  // the two rarest byte pairs (the same one twice for two bytes)
      auto pair_at = [&s](size_t i) {
        return static_cast<uint16_t>(static_cast<uint8_t>(s[i - 1]) << 8 |
                                     static_cast<uint8_t>(s[i]));
      };
      auto cost = [&s](size_t i) {
        return Commonness(static_cast<uint8_t>(s[i - 1])) + Commonness(static_cast<uint8_t>(s[i]));
      };
      size_t best = 1, second = 1;
      for (size_t i = 2; i < s.size(); ++i) {
        if (cost(i) < cost(best)) {
          second = best;
          best = i;
        } else if (second == best || cost(i) < cost(second)) {
          second = i;
        }
      }
      probes_[num_probes_][0] = pair_at(best);
      probes_[num_probes_][1] = pair_at(second);
      ++num_probes_;
    }
    uint32_t rare = 0;
    for (uint32_t j = 1; j < s.size(); ++j) {
      if (Commonness(static_cast<uint8_t>(s[j])) < Commonness(static_cast<uint8_t>(s[rare]))) {
        rare = j;
      }
    }
    needles_.push_back({std::move(s), rare});
  }
}

std::vector<std::string> TbmREFastFind::Literals() const {
  if (set_) return set_->Literals();
  std::vector<std::string> out;
  for (const auto& n : needles_) out.push_back(n.bytes);
  return out;
}

template <typename Summary>
bool TbmREFastFind::ProbesRuleOut(const Summary& summary) const {
  if (num_probes_ == 0) return false;
  for (int i = 0; i < num_probes_; ++i) {
    if (summary.HasPairIndex(probes_[i][0]) && summary.HasPairIndex(probes_[i][1])) return false;
  }
  return true;
}

bool TbmREFastFind::MayMatch(std::string_view text) const {
  if (set_) return set_->Occurs(text);
  if (needles_.empty()) return true;
  const TextSummary* summary = Summarize(text);
  if (summary && ProbesRuleOut(*summary)) return false;
  for (const auto& needle : needles_) {
    if (summary && !summary->MayContain(needle.bytes)) continue;
    if (Contains(text, needle.bytes, needle.rare)) return true;
  }
  return false;
}

bool TbmREFastFind::Aligned(const uint8_t* t, int32_t from, int32_t p) const {
  int32_t q = p;
  while (q > from && is_lead_[t[q - 1]]) --q;
  return ((p - q) & 1) == 0;
}

// The first occurrence of `needle` at or after `from` that starts on a
// character boundary, or -1.
int32_t TbmREFastFind::FindAligned(std::string_view text, int32_t from,
                                   const Needle& needle) const {
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  std::string_view rest = text.substr(static_cast<size_t>(from));
  for (size_t at = 0;;) {
    size_t hit = rest.find(needle.bytes, at);
    if (hit == std::string_view::npos) return -1;
    int32_t p = from + static_cast<int32_t>(hit);
    if (Aligned(t, from, p)) return p;
    at = hit + 1;
  }
}

bool TbmREFastFind::LiteralSearch(std::string_view text, int32_t from, int32_t& pos,
                                  int32_t& len) const {
  if (set_) return set_->Search(text, from, pos, len);
  pos = -1;
  len = 0;
  const TextSummary* summary = from == 0 ? Summarize(text) : nullptr;
  if (summary && ProbesRuleOut(*summary)) return false;
  for (const auto& needle : needles_) {
    if (summary && !summary->MayContain(needle.bytes)) continue;
    int32_t p = FindAligned(text, from, needle);
    if (p < 0) continue;
    int32_t l = static_cast<int32_t>(needle.bytes.size());
    if (pos < 0 || p < pos || (p == pos && l > len)) {
      pos = p;
      len = l;
    }
  }
  return pos >= 0;
}

void TbmREFastFind::BuildAutomaton(const TbmREDFATable& dfa) {
  // The full search serves the rare UTF-16 matcher, and patterns with more
  // classes than a byte can name.
  if (code_ == bmccUniCode || dfa.NumClasses() >= Automaton::kMixed) return;
  auto a = std::make_unique<Automaton>();
  a->dfa = &dfa;
  const int32_t width = a->width = dfa.NumClasses();
  auto& next = a->next;
  const int32_t head = dfa.HeadState();
  const int32_t lf = dfa.ClassOf(10), cr = dfa.ClassOf(13);
  auto accepting = [&](std::span<const int32_t> set, bool with_head) {
    for (int32_t s : set) {
      if (dfa.Accepting(s)) return true;
    }
    return with_head && dfa.Accepting(head);
  };
  auto tail = [&](std::span<const int32_t> set, bool with_head) {
    for (int32_t s : set) {
      if (dfa.TailAccepting(s)) return true;
    }
    return with_head && dfa.TailAccepting(head);
  };

  // A state is a set of automaton states, with -1 at the front when a CR was
  // just read (the line-head state joins unless LF comes next).
  thread_local TbmRESetInterner states;  // scratch of this thread's builds
  states.Clear();
  std::vector<int32_t> set, target;
  int32_t restart = -1;  // the state after a character no running copy can take
  auto intern = [&](const std::vector<int32_t>& key) -> int32_t {
    bool added;
    int32_t id = states.Intern(key, added);
    if (added && (id >= kMaxFindStates || static_cast<int64_t>(id + 1) * width > kMaxFindCells)) {
      return -2;
    }
    return id;
  };

  set.assign(1, 0);
  if (head != kNoState && head != 0) set.push_back(head);
  std::sort(set.begin(), set.end());
  if (accepting(set, false)) {
    always_ = true;
    return;
  }
  intern(set);
  if (set.size() == 1) restart = 0;  // no line head: the start state is {initial}
  for (int32_t s = 0; s < states.size(); ++s) {
    auto stored = states.Get(s);
    set.assign(stored.begin(), stored.end());
    const bool after_cr = !set.empty() && set.front() == -1;
    if (after_cr) set.erase(set.begin());
    a->at_end.push_back(tail(set, after_cr));
    next.resize(static_cast<size_t>(s + 1) * width, -1);
    for (int32_t k = 0; k < width; ++k) {
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
        const bool line_break = (k == lf || k == cr) && head != kNoState;
        if (target.size() == 1 && !line_break && restart >= 0) {
          next[static_cast<size_t>(s) * width + k] = restart * width;
          continue;
        }
        if (k == lf && head != kNoState) target.push_back(head);
        std::sort(target.begin(), target.end());
        target.erase(std::unique(target.begin(), target.end()), target.end());
        const bool cr_next = k == cr && head != kNoState;
        if (accepting(target, cr_next)) {
          to = -1;
        } else {
          if (cr_next) target.insert(target.begin(), -1);
          to = intern(target);
          if (to == -2) return;  // over budget: no automaton, the full search answers
          if (target.size() == 1 && target[0] == 0) restart = to;
          to *= width;
        }
      }
      next[static_cast<size_t>(s) * width + k] = to;
    }
  }
  for (int32_t b = 0; b < 256; ++b) {
    a->byte_class[b] = is_lead_[b] ? Automaton::kLeadByte : static_cast<uint8_t>(dfa.ClassOf(b));
  }
  // A lead byte whose 256 characters all share one class (or none) needs no
  // class search per character: one sweep over the classes finds them.
  std::fill(std::begin(a->lead_class), std::end(a->lead_class), Automaton::kMixed);
  int32_t k = 0;
  const int32_t records = dfa.OtherClass();
  for (int32_t b = 0; b < 256; ++b) {
    if (!is_lead_[b]) continue;
    const int32_t lo = b << 8, hi = lo | 0xFF;
    while (k < records && dfa.ClassRange(k).Hi < lo) ++k;
    if (k == records || dfa.ClassRange(k).Lo > hi) {
      a->lead_class[b] = static_cast<uint8_t>(dfa.OtherClass());
    } else if (dfa.ClassRange(k).Lo <= lo && dfa.ClassRange(k).Hi >= hi) {
      a->lead_class[b] = static_cast<uint8_t>(k);
    } else {  // classes change inside this page: a table of its trail bytes
      a->page_of[b] = static_cast<uint8_t>(a->pages.size() / 256);
      for (int32_t v = lo, j = k; v <= hi; ++v) {
        while (j < records && dfa.ClassRange(j).Hi < v) ++j;
        bool inside = j < records && dfa.ClassRange(j).Lo <= v;
        a->pages.push_back(static_cast<uint8_t>(inside ? j : dfa.OtherClass()));
      }
    }
  }
  // While in the restart state, bytes that cannot start anything are skipped
  // in a tight loop; a lead byte whose page is mixed counts as a start.
  if (restart >= 0) {
    a->restart_row = restart * width;
    const int32_t* row = &next[static_cast<size_t>(a->restart_row)];
    for (int32_t b = 0; b < 256; ++b) {
      uint8_t cls = is_lead_[b] ? a->lead_class[b] : a->byte_class[b];
      a->starts[b] = cls == Automaton::kMixed || row[cls] != a->restart_row;
    }
  }
  automaton_ = std::move(a);
}

int TbmREFastFind::Found(std::string_view text) const {
  if (!always_ && !literal_only_ && !MayMatch(text)) return 0;
  return FoundPrefiltered(text);
}

int TbmREFastFind::FoundPrefiltered(std::string_view text) const {
  if (always_) return 1;
  if (literal_only_) {
    int32_t pos, len;
    return LiteralSearch(text, 0, pos, len) ? 1 : 0;
  }
  const Automaton* a = automaton_.get();
  if (!a) return -1;
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  const size_t n = text.size();
  const int32_t* next = a->next.data();
  int32_t row = 0;
  // The last character start known, at or before i (or just after it). It
  // only moves forward, so finding where characters start costs the text's
  // length in all: walking back over a run of lead bytes at every start
  // byte would cost its square.
  size_t boundary = 0;
  for (size_t i = 0; i < n;) {
    if (row == a->restart_row) {
      while (i < n && !a->starts[t[i]]) ++i;
      if (i == n) break;
      while (boundary < i) boundary += is_lead_[t[boundary]] && boundary + 1 < n ? 2 : 1;
      // A trail byte: its character began with a lead byte that starts
      // nothing, so the state stays the same after it.
      if (boundary != i) {
        ++i;
        continue;
      }
    }
    int32_t cls = a->byte_class[t[i]];
    if (cls != Automaton::kLeadByte) {
      ++i;
    } else if (i + 1 < n) {
      cls = a->WideClass(t[i] << 8 | t[i + 1]);
      i += 2;
    } else {
      cls = a->WideClass(t[i] << 8);  // a lone lead byte at the end
      ++i;
    }
    boundary = i;
    row = next[row + cls];
    if (row < 0) return 1;
  }
  return a->at_end[row / a->width];
}

}  // namespace parlevo
