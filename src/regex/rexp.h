// The matcher: one compiled pattern, searched for in byte texts with the
// leftmost start winning and the longest match at that start.
#ifndef PARLEVO_REGEX_REXP_H_
#define PARLEVO_REGEX_REXP_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "regex/fast_find.h"
#include "regex/reader.h"
#include "regex/token.h"  // EbmREToken: what() is the token kind's name string

namespace parlevo {

class TbmREDFATable;
class TbmRELazyFind;
class TbmREMatchBudget;
class TbmREPositionNFA;
class TbmRETree;
struct TbmRESetShape;

// The matcher's abstract face: its character code and its automaton.
class TbmRExpABC {
 public:
  virtual ~TbmRExpABC() = default;
  virtual TbmCharCode GetCharCode() const = 0;
  virtual const TbmREDFATable& GetDFATable() = 0;
};

// One pattern. It compiles lazily, on the first Match/Found/GetDFATable after
// construction or after SetPattern changed the text, and keeps the automaton.
// A bad pattern stays uncompiled, so every call raises EbmREToken again.
// Parse() does the first half only (syntax and literals, no automaton), so
// many patterns can be checked at once and built when first searched.
//
// Thread safety: a matcher is not shared between threads while it compiles
// (the first Match or Found after SetPattern) nor around GetDFATable, which
// may build the automaton of a literal pattern when first asked. Once
// compiled, Match and Found only read it. Different matchers may compile and
// match on different threads at once: the compile pipeline's working objects
// are per thread.
class TbmRExp : public TbmRExpABC {
 public:
  TbmRExp();  // the character code of the process code page
  explicit TbmRExp(TbmCharCode code);
  ~TbmRExp() override;
  TbmRExp(const TbmRExp&) = delete;
  TbmRExp& operator=(const TbmRExp&) = delete;
  TbmRExp(TbmRExp&&) noexcept;
  TbmRExp& operator=(TbmRExp&&) noexcept;

  TbmCharCode GetCharCode() const override { return char_code_; }
  // An unchanged text keeps the automaton. The matcher keeps a copy.
  virtual void SetPattern(std::string_view pattern);
  // The same, reading the caller's bytes in place rather than a copy: the
  // caller keeps them unchanged for as long as the matcher holds them (its
  // life, or until the next SetPattern). For an owner of many matchers that
  // keeps their texts side by side.
  void SetPatternInPlace(std::string_view pattern);
  std::string_view Pattern() const { return {text_, size_}; }
  // Compiles when needed; throws EbmREToken for a bad pattern.
  const TbmREDFATable& GetDFATable() override;

  // Searches `text` from the 1-based byte position `from_pos`. Returns the
  // 1-based position of the leftmost, longest match (also in `match_pos`),
  // or 0; `match_len` is its length in bytes (0 when nothing matched).
  // A from_pos below 1 or beyond length + 1 finds nothing. Throws EbmREToken
  // for a bad pattern (even on an empty text).
  int32_t Match(std::string_view text, int32_t from_pos, int32_t& match_pos, int32_t& match_len);

  // Same answer as Match(text, 1, ...) != 0, as fast as possible.
  bool Found(std::string_view text);

  // Checks the pattern and learns its literals without building an
  // automaton; throws EbmREToken for a malformed pattern. The automaton is
  // built by the first search that needs it (which may still refuse a
  // pattern beyond the automaton budgets).
  void Parse();
  // The quick answers (literals, literal-only); parses first when needed.
  const TbmREFastFind& QuickAnswers();
  // The shape the set matcher decides this pattern by (set_shapes): kind
  // kNone when it has none, or when its literals decide it already. The
  // first call hands over what the parse recognised, keeping no copy; a later
  // one parses again. Parses first when needed; throws EbmREToken for a
  // malformed pattern.
  TbmRESetShape TakeSetShape();
  // Parses the pattern again into the thread's parse tree and shows the tree
  // to `visit` (for an analysis that needs it once); throws EbmREToken for
  // a malformed pattern.
  void VisitTree(const std::function<void(const TbmRETree&)>& visit) const;
  // Found for a text already known to hold one of the pattern's literals:
  // skips the literal prefilter. `first_end`, when above 0, says no match
  // ends before that byte (one of its literals ends there first).
  bool FoundPrefiltered(std::string_view text, uint32_t first_end = 0);

  // Searches Found and FoundPrefiltered under `budget` (shared by the
  // patterns of one character; null: none): no whole automaton is built,
  // only the states texts reach, counted against the budget. Such a matcher
  // and its budget serve one thread at a time.
  void SetBudget(std::shared_ptr<TbmREMatchBudget> budget);
  // A valid pattern whose automaton is over its budgets is searched by
  // simulation over its positions instead (tests).
  bool Simulated() const { return compiled_ && compiled_->nfa != nullptr; }
  // The parse tree's positions, parsed again from the text; throws
  // EbmREToken for a malformed pattern.
  std::unique_ptr<TbmREPositionNFA> BuildPositions();
  // Gives back everything compiling built (literals, automata, search
  // state), keeping the text: the next question compiles again, with the
  // same answers. For a set that decides the pattern from its own literals
  // and asks the pattern alone only now and then.
  void Release() { compiled_.reset(); }

 private:
  enum class Stage { kParsed, kSearchable, kAutomaton };
  void Compile(Stage want);
  // Parsed, and the automaton built if the pattern needs one to be searched.
  bool Searchable() const {
    return compiled_ && (compiled_->dfa || compiled_->nfa || compiled_->fast.SearchReady());
  }
  // Found under the budget, after the prefilter.
  bool BudgetFound(std::string_view text, uint32_t first_end = 0);
  // The full search: the automaton's, or the simulation's without one.
  bool FullSearch(std::string_view text, int32_t from, int32_t& pos, int32_t& len);
  // A pattern that is a list of literals: known from one pass of the
  // scanner, with no token list, tree or automaton.
  bool CompileLiteralList(TbmREFastFind& fast);

  // What compiling learns, held apart so that a matcher given back to its
  // text (Release) keeps only the text and the budget.
  struct CompiledState {
    TbmREFastFind fast;                     // the quick answers: read on every call
    std::unique_ptr<TbmREDFATable> dfa;     // null for a literal pattern until asked for
    std::unique_ptr<TbmREPositionNFA> nfa;  // searched when the automaton is over budget
    std::unique_ptr<TbmRELazyFind> lazy;    // under a budget, once searched
    std::unique_ptr<TbmRESetShape> shape;   // recognised as parsed; null: none
    bool shape_taken = false;               // handed over by TakeSetShape
    explicit CompiledState(TbmCharCode code);
    ~CompiledState();
  };

  // Takes `text` as the pattern (its own copy when `owned`), giving up the
  // one held.
  void HoldText(const char* text, size_t size, bool owned);

  // A personality holds a matcher for nearly every entry: the members are
  // laid out narrow (48 bytes), the text a pointer and a 32-bit size.
  const char* text_ = nullptr;  // the pattern: owned (owns_text_) or the caller's
  uint32_t size_ = 0;
  TbmCharCode char_code_;
  bool owns_text_ = false;
  std::shared_ptr<TbmREMatchBudget> budget_;
  std::unique_ptr<CompiledState> compiled_;  // null: not compiled (or given back)
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_REXP_H_
