// The matcher. Compiling runs the pipeline scanner -> tokens -> standardised
// tokens and partition -> parse tree -> automaton, with working objects that
// belong to the calling thread, and clears them afterwards. A pattern that
// is a list of literal strings is known from one pass of the scanner (and
// one of a few literals after the tree, too): it is searched as strings, and
// its automaton is built only if asked for. A failed compile
// leaves the matcher uncompiled, so the error comes back on every call.
#include "regex/rexp.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include "regex/automaton.h"
#include "regex/combined_positions.h"
#include "regex/fast_find.h"
#include "regex/lazy_find.h"
#include "regex/literal_list.h"
#include "regex/position_nfa.h"
#include "regex/ranges.h"
#include "regex/scanner.h"
#include "regex/search.h"
#include "regex/set_shapes.h"
#include "regex/tree.h"

namespace parlevo {

namespace {

// The compile pipeline's working objects. Per thread, so that a pattern can
// be compiled on one thread while another compiles or matches (design note:
// the GUI thread loads characters while an ended conversation still talks).
struct Pipeline {
  TbmREScanner scanner{bmccShiftJIS};
  TbmRETokens tokens;
  TbmREWchRanges ranges;
  TbmRETree tree;

  void Clear() {
    tokens.ClearTokens();
    ranges.ClearRanges();
    tree.ClearTree();
  }
};

Pipeline& ThreadPipeline() {
  thread_local Pipeline pipeline;
  return pipeline;
}

// Reads `pattern` into the thread's parse tree, through scanner and tokens;
// the partition of character values only for an automaton (`partition`).
void ParseInto(Pipeline& p, TbmCharCode code, std::string_view pattern, bool partition) {
  p.scanner.SetCharCode(code);
  p.scanner.SetTextInPlace(pattern);
  p.tokens.Tokenize(p.scanner);
  p.tokens.StandardizeTokens(partition ? &p.ranges : nullptr);
  p.tree.Build(p.tokens, p.ranges);
}

// UTF-16 text comes in whole 16-bit units; checked before any shortcut answers.
void CheckText(TbmCharCode code, std::string_view text) {
  if (code == bmccUniCode && text.size() % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
}

// The set shape of a parsed pattern whose literals alone do not decide it
// (see TbmRExp::SetShape); null for none. Recognised here, on the tree the
// quick answers came from, so that the set needs no parse of its own.
std::unique_ptr<TbmRESetShape> ShapeOf(const TbmRETree& tree, TbmCharCode code,
                                       std::string_view pattern, const TbmREFastFind& fast) {
  if (fast.LiteralOnly() || fast.ExactAnchored() || !MayHaveSetShape(pattern)) return nullptr;
  TbmRESetShape shape = RecognizeSetShape(tree, code);
  if (shape.kind == TbmRESetShape::Kind::kNone) return nullptr;
  return std::make_unique<TbmRESetShape>(std::move(shape));
}

}  // namespace

static_assert(sizeof(void*) != 8 || sizeof(TbmRExp) <= 48, "a matcher per entry: keep it narrow");

TbmRExp::TbmRExp() : TbmRExp(bmccDefaultCharCode()) {}

TbmRExp::TbmRExp(TbmCharCode code) : char_code_(code) {}

TbmRExp::~TbmRExp() { HoldText(nullptr, 0, false); }
TbmRExp::CompiledState::CompiledState(TbmCharCode code) : fast(code) {}
TbmRExp::CompiledState::~CompiledState() = default;

TbmRExp::TbmRExp(TbmRExp&& other) noexcept
    : text_(std::exchange(other.text_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      char_code_(other.char_code_),
      owns_text_(std::exchange(other.owns_text_, false)),
      budget_(std::move(other.budget_)),
      compiled_(std::move(other.compiled_)) {}

TbmRExp& TbmRExp::operator=(TbmRExp&& other) noexcept {
  if (this == &other) return *this;
  HoldText(nullptr, 0, false);
  text_ = std::exchange(other.text_, nullptr);
  size_ = std::exchange(other.size_, 0);
  char_code_ = other.char_code_;
  owns_text_ = std::exchange(other.owns_text_, false);
  budget_ = std::move(other.budget_);
  compiled_ = std::move(other.compiled_);
  return *this;
}

void TbmRExp::HoldText(const char* text, size_t size, bool owned) {
  if (size > UINT32_MAX) throw std::length_error("TbmRExp: pattern too long");
  const char* copy = text;
  if (owned && size > 0) {
    char* bytes = new char[size];
    std::memcpy(bytes, text, size);
    copy = bytes;
  }
  if (owns_text_) delete[] text_;
  text_ = size > 0 ? copy : nullptr;
  size_ = static_cast<uint32_t>(size);
  owns_text_ = owned && size > 0;
}

void TbmRExp::SetPattern(std::string_view pattern) {
  const bool same = pattern == Pattern();
  if (same && (owns_text_ || pattern.empty())) return;
  HoldText(pattern.data(), pattern.size(), true);  // copied before the old text goes
  if (!same) compiled_.reset();
}

void TbmRExp::SetPatternInPlace(std::string_view pattern) {
  const bool same = pattern == Pattern();
  HoldText(pattern.data(), pattern.size(), false);
  if (!same) compiled_.reset();
}

void TbmRExp::SetBudget(std::shared_ptr<TbmREMatchBudget> budget) {
  budget_ = std::move(budget);
  if (compiled_) compiled_->lazy.reset();
}

// Compiles the pattern as far as `want`. A pattern that is only literal
// strings needs no automaton to be searched; its automaton is built when
// first asked for. kParsed stops after the parse tree: the literals are
// known, the automaton waits for the first search.
void TbmRExp::Compile(Stage want) {
  std::unique_ptr<CompiledState> fresh;
  if (!compiled_) {
    fresh = std::make_unique<CompiledState>(char_code_);
    if (want != Stage::kAutomaton && CompileLiteralList(fresh->fast)) compiled_ = std::move(fresh);
  }
  if (compiled_ && want != Stage::kAutomaton && compiled_->fast.LiteralOnly()) {
    if (want == Stage::kSearchable) compiled_->fast.PrepareSearch();
    return;
  }
  Pipeline& p = ThreadPipeline();
  struct ClearOnExit {
    Pipeline& p;
    ~ClearOnExit() { p.Clear(); }
  } clear_on_exit{p};
  ParseInto(p, char_code_, Pattern(), want != Stage::kParsed);
  if (!compiled_) {
    fresh->fast = TbmREFastFind(p.tree, char_code_);
    fresh->shape = ShapeOf(p.tree, char_code_, Pattern(), fresh->fast);
    compiled_ = std::move(fresh);
    if (want == Stage::kParsed || (want == Stage::kSearchable && compiled_->fast.LiteralOnly())) {
      return;
    }
  }
  CompiledState& c = *compiled_;
  // An automaton over its budgets leaves none: asked for, it raises again;
  // a search simulates over the positions instead.
  auto dfa = std::make_unique<TbmREDFATable>();
  try {
    dfa->Build(p.tree, p.ranges);
  } catch (const EbmREToken&) {
    if (want == Stage::kAutomaton) throw;
    c.nfa = std::make_unique<TbmREPositionNFA>(p.tree);
    return;
  }
  if (!c.fast.LiteralOnly()) c.fast.BuildAutomaton(*dfa);
  c.dfa = std::move(dfa);
  c.nfa.reset();
}

std::unique_ptr<TbmREPositionNFA> TbmRExp::BuildPositions() {
  std::unique_ptr<TbmREPositionNFA> nfa;
  VisitTree([&nfa](const TbmRETree& tree) { nfa = std::make_unique<TbmREPositionNFA>(tree); });
  return nfa;
}

void TbmRExp::VisitTree(const std::function<void(const TbmRETree&)>& visit) const {
  Pipeline& p = ThreadPipeline();
  struct ClearOnExit {
    Pipeline& p;
    ~ClearOnExit() { p.Clear(); }
  } clear_on_exit{p};
  ParseInto(p, char_code_, Pattern(), false);
  visit(p.tree);
}

TbmRESetShape TbmRExp::TakeSetShape() {
  Parse();
  CompiledState& c = *compiled_;
  std::unique_ptr<TbmRESetShape> shape = std::move(c.shape);
  if (c.shape_taken) {
    VisitTree([&](const TbmRETree& tree) { shape = ShapeOf(tree, char_code_, Pattern(), c.fast); });
  }
  c.shape_taken = true;
  return shape ? std::move(*shape) : TbmRESetShape();
}

bool TbmRExp::BudgetFound(std::string_view text, uint32_t first_end) {
  std::unique_ptr<TbmRELazyFind>& lazy = compiled_->lazy;
  if (!lazy) lazy = std::make_unique<TbmRELazyFind>(budget_);
  if (!lazy->HasPositions()) {
    auto positions = std::make_unique<TbmRECombinedPositions>();
    positions->Add(BuildPositions(), 0);
    positions->Finish();
    lazy->SetPositions(std::move(positions));
  }
  return lazy->Found(char_code_, text, first_end);
}

bool TbmRExp::FullSearch(std::string_view text, int32_t from, int32_t& pos, int32_t& len) {
  if (compiled_->dfa) return bmreSearch(*compiled_->dfa, char_code_, text, from, pos, len);
  return compiled_->nfa->Search(char_code_, text, from, pos, len);
}

bool TbmRExp::CompileLiteralList(TbmREFastFind& fast) {
  TbmRELiteralList list;
  if (IsPlainLiteral(Pattern(), char_code_)) {  // the list of itself alone, known from its bytes
    list.bytes = Pattern();
    list.ends.push_back(static_cast<uint32_t>(Pattern().size()));
  } else {
    if (!MayBeLiteralList(Pattern(), char_code_)) return false;
    Pipeline& p = ThreadPipeline();
    p.scanner.SetCharCode(char_code_);
    p.scanner.SetTextInPlace(Pattern());
    if (!ReadLiteralList(p.scanner, list)) return false;
  }
  return TbmREFastFind::FromLiteralList(std::move(list), char_code_, fast);
}

const TbmREDFATable& TbmRExp::GetDFATable() {
  if (!compiled_ || !compiled_->dfa) Compile(Stage::kAutomaton);
  return *compiled_->dfa;
}

void TbmRExp::Parse() {
  if (!compiled_) Compile(Stage::kParsed);
}

const TbmREFastFind& TbmRExp::QuickAnswers() {
  Parse();
  return compiled_->fast;
}

int32_t TbmRExp::Match(std::string_view text, int32_t from_pos, int32_t& match_pos,
                       int32_t& match_len) {
  if (!Searchable()) Compile(Stage::kSearchable);
  match_pos = 0;
  match_len = 0;
  if (from_pos < 1 || static_cast<int64_t>(from_pos) > static_cast<int64_t>(text.size()) + 1) {
    return 0;  // no search at all
  }
  CheckText(char_code_, text);
  const TbmREFastFind& fast = compiled_->fast;
  int32_t pos, len;
  bool found;
  if (fast.LiteralOnly()) {
    found = fast.LiteralSearch(text, from_pos - 1, pos, len);
  } else {
    // From the start, the one-pass "found anywhere?" rules out most texts
    // before the search tries start after start.
    bool may = from_pos == 1 ? fast.Found(text) != 0
                             : fast.MayMatch(text.substr(static_cast<size_t>(from_pos - 1)));
    found = may && FullSearch(text, from_pos - 1, pos, len);
  }
  if (found) {
    match_pos = pos + 1;
    match_len = len;
  }
  return match_pos;
}

bool TbmRExp::Found(std::string_view text) {
  if (budget_) {
    Parse();
    if (!compiled_->fast.LiteralOnly()) {
      CheckText(char_code_, text);
      return compiled_->fast.MayMatch(text) && BudgetFound(text);
    }
  }
  if (!Searchable()) Compile(Stage::kSearchable);
  CheckText(char_code_, text);
  int result = compiled_->fast.Found(text);
  if (result >= 0) return result != 0;
  int32_t pos, len;  // no one-pass automaton (over its budget): the full search
  return FullSearch(text, 0, pos, len);
}

bool TbmRExp::FoundPrefiltered(std::string_view text, uint32_t first_end) {
  if (budget_) {
    Parse();
    if (!compiled_->fast.LiteralOnly()) {
      CheckText(char_code_, text);
      return BudgetFound(text, first_end);
    }
  }
  if (!Searchable()) Compile(Stage::kSearchable);
  CheckText(char_code_, text);
  int result = compiled_->fast.FoundPrefiltered(text);
  if (result >= 0) return result != 0;
  int32_t pos, len;
  return FullSearch(text, 0, pos, len);
}

}  // namespace parlevo
