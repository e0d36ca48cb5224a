// "Which of 2,000 patterns are found in this text?" for texts of 20, 60, 300
// and 2,000 bytes:
//   BM_WhichMatch/BYTES/loop        every TbmRExp asked Found in turn
//   BM_WhichMatch/BYTES/set         TbmRExpSet, one pass
//   BM_WhichMatch/BYTES/Hyperscan   one multi-pattern database, '.' built
//                                   with HS_FLAG_DOTALL, repeated matches
//                                   dropped in the callback (HyperscanSet)
//   BM_WhichMatch/BYTES/Hyperscan-SINGLEMATCH-noDOTALL
//                                   as the harness built it before (5x slower
//                                   at 2 KB on the second corpus)
//   BM_WhichMatch/BYTES/RE2::Set    64 MiB and RE2's default 8 MiB
//   BM_WhichMatch/BYTES/PCRE2-JIT   every pattern in turn
//   BM_SecondCorpus/BYTES/ENGINE    the same engines (and the set under a
//                                   character's memory budget, set+budget) on
//                                   the second corpus: 16 texts per size, one
//                                   per iteration in turn
// Every engine is built once per corpus for the whole process, so repetitions
// and random interleaving do not pay Hyperscan's and RE2's compiles again.
// After the benchmarks it prints whether the set and the loop agree on every
// text; for the second corpus whether the set agrees with PCRE2 on matches
// that start on a character boundary; and for both whether Hyperscan agrees
// with PCRE2 on the same byte patterns.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pattern_corpus.h"
#include "regex/match_budget.h"
#include "regex/rexp.h"
#include "second_corpus.h"
#if __has_include("regex/rexp_set.h")
#include "regex/rexp_set.h"
#define PARLEVO_HAVE_SET 1
#endif

#ifdef PARLEVO_HAVE_RE2
#include <re2/set.h>
#endif
#ifdef PARLEVO_HAVE_PCRE2
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#endif
#ifdef PARLEVO_HAVE_HS
#include <hs/hs.h>
#endif

namespace parlevo::bench {
namespace {

constexpr size_t kPatterns = 2000;
const std::vector<size_t> kSizes = {20, 60, 300, 2000};

// Builds on a list of patterns, then counts those found in a text.
class SetEngine {
 public:
  virtual ~SetEngine() = default;
  virtual void Build(const std::vector<std::string>& patterns) = 0;
  // Indexes of the patterns found, in any order.
  virtual void Find(const std::string& text, std::vector<int32_t>& found) = 0;
  // The memory budget the engine searches under, if any.
  virtual const TbmREMatchBudget* Budget() const { return nullptr; }
};

// Counters of the budget over a benchmark's iterations: how often it was
// reset per text, and how much it holds at the end.
class BudgetCounters {
 public:
  explicit BudgetCounters(const SetEngine& engine)
      : budget_(engine.Budget()), resets_(budget_ ? budget_->Resets() : 0) {}
  void Report(benchmark::State& state) const {
    if (!budget_) return;
    state.counters["resets/text"] = static_cast<double>(budget_->Resets() - resets_) /
                                    static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["budget_MiB"] = static_cast<double>(budget_->Used()) / (1 << 20);
  }

 private:
  const TbmREMatchBudget* budget_;
  uint64_t resets_;
};

class Loop : public SetEngine {
 public:
  // With a budget, the patterns search as a character's do.
  explicit Loop(std::shared_ptr<TbmREMatchBudget> budget = nullptr) : budget_(std::move(budget)) {}
  void Build(const std::vector<std::string>& patterns) override {
    for (const auto& p : patterns) {
      matchers_.push_back(std::make_unique<TbmRExp>(bmccShiftJIS));
      matchers_.back()->SetPattern(p);
      if (budget_) matchers_.back()->SetBudget(budget_);
    }
  }
  void Find(const std::string& text, std::vector<int32_t>& found) override {
    found.clear();
    for (size_t i = 0; i < matchers_.size(); ++i) {
      try {
        if (matchers_[i]->Found(text)) found.push_back(static_cast<int32_t>(i));
      } catch (const EbmREToken&) {
      }
    }
  }
  const TbmREMatchBudget* Budget() const override { return budget_.get(); }

 protected:
  std::shared_ptr<TbmREMatchBudget> budget_;
  std::vector<std::unique_ptr<TbmRExp>> matchers_;
};

#ifdef PARLEVO_HAVE_SET
class Set : public Loop {
 public:
  using Loop::Loop;
  void Build(const std::vector<std::string>& patterns) override {
    Loop::Build(patterns);
    for (auto& m : matchers_) set_.Add(m.get());
    set_.Build();
  }
  void Find(const std::string& text, std::vector<int32_t>& found) override {
    set_.Find(text, found);
  }

 private:
  TbmRExpSet set_{bmccShiftJIS};
};
#endif

#ifdef PARLEVO_HAVE_HS
// One block-mode multi-pattern database. As the peer it is built the fastest
// way that keeps the answers: '.' with HS_FLAG_DOTALL (no text of either
// corpus holds a line break, as no conversation line does, so it matches what
// '.' matches here; without it Hyperscan keeps "A.*B" alive in NFAs at every
// A, 5x slower at 2 KB), and every match reported with repeats dropped here
// (HS_FLAG_SINGLEMATCH costs more than that, up to 1.4x on short texts).
// `single_no_dotall` builds it as the harness once did, to show the gap.
class HyperscanSet : public SetEngine {
 public:
  explicit HyperscanSet(bool single_no_dotall = false)
      : flags_(single_no_dotall ? HS_FLAG_SINGLEMATCH | HS_FLAG_ALLOWEMPTY
                                : HS_FLAG_DOTALL | HS_FLAG_ALLOWEMPTY) {}
  ~HyperscanSet() override {
    hs_free_scratch(scratch_);
    hs_free_database(db_);
  }
  void Build(const std::vector<std::string>& patterns) override {
    // A multi-pattern database refuses the whole list for one bad pattern:
    // leave out those it refuses alone.
    std::vector<const char*> exprs;
    std::vector<unsigned> flags, ids;
    for (size_t i = 0; i < patterns.size(); ++i) {
      hs_database_t* db = nullptr;
      hs_compile_error_t* err = nullptr;
      const std::string& p = patterns[i];
      if (hs_compile(p.c_str(), flags_, HS_MODE_BLOCK, nullptr, &db, &err) != HS_SUCCESS) {
        hs_free_compile_error(err);
        continue;
      }
      hs_free_database(db);
      exprs.push_back(p.c_str());
      flags.push_back(flags_);
      ids.push_back(static_cast<unsigned>(i));
    }
    hs_compile_error_t* err = nullptr;
    if (hs_compile_multi(exprs.data(), flags.data(), ids.data(),
                         static_cast<unsigned>(exprs.size()), HS_MODE_BLOCK, nullptr, &db_,
                         &err) != HS_SUCCESS) {
      std::fprintf(stderr, "Hyperscan: %s\n", err->message);
      hs_free_compile_error(err);
      return;
    }
    hs_alloc_scratch(db_, &scratch_);
    seen_.assign(patterns.size(), 0);
  }
  void Find(const std::string& text, std::vector<int32_t>& found) override {
    found.clear();
    if (!db_) return;
    Hits hits{seen_, found};
    hs_scan(
        db_, text.data(), static_cast<unsigned>(text.size()), 0, scratch_,
        [](unsigned id, unsigned long long, unsigned long long, unsigned, void* ctx) {
          Hits& h = *static_cast<Hits*>(ctx);
          if (!h.seen[id]) {
            h.seen[id] = 1;
            h.found.push_back(static_cast<int32_t>(id));
          }
          return 0;
        },
        &hits);
    for (int32_t id : found) seen_[static_cast<size_t>(id)] = 0;
  }

 private:
  struct Hits {
    std::vector<uint8_t>& seen;
    std::vector<int32_t>& found;
  };
  const unsigned flags_;
  hs_database_t* db_ = nullptr;
  hs_scratch_t* scratch_ = nullptr;
  std::vector<uint8_t> seen_;  // per pattern: reported in this scan
};
#endif

#ifdef PARLEVO_HAVE_RE2
class Re2Set : public SetEngine {
 public:
  explicit Re2Set(int64_t max_mem) : set_(Options(max_mem), RE2::UNANCHORED) {}
  void Build(const std::vector<std::string>& patterns) override {
    for (size_t i = 0; i < patterns.size(); ++i) {
      const int index = set_.Add(patterns[i], nullptr);
      if (index >= 0) ids_.push_back(static_cast<int32_t>(i));
    }
    set_.Compile();
  }
  void Find(const std::string& text, std::vector<int32_t>& found) override {
    found.clear();
    set_.Match(text, &hits_);
    for (int h : hits_) found.push_back(ids_[static_cast<size_t>(h)]);
  }

 private:
  static RE2::Options Options(int64_t max_mem) {
    RE2::Options o;
    o.set_encoding(RE2::Options::EncodingLatin1);
    o.set_log_errors(false);
    o.set_max_mem(max_mem);
    return o;
  }
  RE2::Set set_;
  std::vector<int32_t> ids_;  // set index -> pattern index
  std::vector<int> hits_;
};
#endif

#ifdef PARLEVO_HAVE_PCRE2
class Pcre2JitLoop : public SetEngine {
 public:
  Pcre2JitLoop() : data_(pcre2_match_data_create(1, nullptr)) {}
  ~Pcre2JitLoop() override {
    for (auto* c : codes_) pcre2_code_free(c);
    pcre2_match_data_free(data_);
  }
  void Build(const std::vector<std::string>& patterns) override {
    for (const auto& p : patterns) {
      int error;
      PCRE2_SIZE offset;
      pcre2_code* c = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), 0, &error,
                                    &offset, nullptr);
      if (c) pcre2_jit_compile(c, PCRE2_JIT_COMPLETE);
      codes_.push_back(c);
    }
  }
  void Find(const std::string& text, std::vector<int32_t>& found) override {
    found.clear();
    for (size_t i = 0; i < codes_.size(); ++i) {
      if (codes_[i] && Match(i, text, 0) >= 0) found.push_back(static_cast<int32_t>(i));
    }
  }
  // As Find, counting only matches that start on a character boundary of
  // Shift JIS `text`: PCRE2 reads bytes and may start a match at the trail
  // byte of a double-byte character (`[A-Z][a-z]+ke` in "ウsocket", whose
  // ウ ends in 'E'), where ours never starts one. `inside` counts the
  // patterns found only that way.
  void FindOnBoundaries(const std::string& text, std::vector<int32_t>& found, long& inside) {
    std::vector<bool> boundary(text.size() + 1, false);
    for (size_t q = 0; q < text.size(); q += IsLead(text[q]) ? 2 : 1) boundary[q] = true;
    boundary[text.size()] = true;
    found.clear();
    for (size_t i = 0; i < codes_.size(); ++i) {
      if (!codes_[i]) continue;
      // The leftmost start at or after `from`; off a boundary, try again
      // from the next boundary after it.
      PCRE2_SIZE from = 0;
      long start;
      while ((start = Match(i, text, from)) >= 0 && !boundary[static_cast<size_t>(start)]) {
        from = static_cast<PCRE2_SIZE>(start) + 1;
        while (!boundary[from]) ++from;
      }
      if (start >= 0) {
        found.push_back(static_cast<int32_t>(i));
      } else if (from > 0) {
        ++inside;
      }
    }
  }

 private:
  static bool IsLead(char c) {
    const auto b = static_cast<uint8_t>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  }
  // The start of pattern i's leftmost match at or after `from`, or -1.
  long Match(size_t i, const std::string& text, PCRE2_SIZE from) {
    if (pcre2_match(codes_[i], reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), from, 0,
                    data_, nullptr) < 0) {
      return -1;
    }
    return static_cast<long>(pcre2_get_ovector_pointer(data_)[0]);
  }

  pcre2_match_data* data_;
  std::vector<pcre2_code*> codes_;
};
#endif

struct EngineEntry {
  const char* name;
  bool byte_oriented;  // gets the patterns with metacharacter trail bytes escaped
  std::function<std::unique_ptr<SetEngine>()> make;
};

// The budget a character of kPatterns distinct patterns searches under.
std::shared_ptr<TbmREMatchBudget> CharacterBudget() {
  auto budget = std::make_shared<TbmREMatchBudget>(kMinMatchBudgetBytes, kMatchBudgetBytes);
  budget->Allow(kPatterns * kMatchBudgetBytesPerPattern);
  return budget;
}

std::vector<EngineEntry> Engines() {
  std::vector<EngineEntry> e;
  e.push_back({"loop", false, [] { return std::make_unique<Loop>(); }});
#ifdef PARLEVO_HAVE_SET
  e.push_back({"set", false, [] { return std::make_unique<Set>(); }});
  e.push_back({"set+budget", false, [] { return std::make_unique<Set>(CharacterBudget()); }});
#endif
#ifdef PARLEVO_HAVE_HS
  e.push_back({"Hyperscan", true, [] { return std::make_unique<HyperscanSet>(); }});
  e.push_back({"Hyperscan-SINGLEMATCH-noDOTALL", true,
               [] { return std::make_unique<HyperscanSet>(true); }});
#endif
#ifdef PARLEVO_HAVE_RE2
  e.push_back({"RE2::Set-64MiB", true, [] { return std::make_unique<Re2Set>(int64_t{64} << 20); }});
  e.push_back({"RE2::Set-8MiB", true, [] { return std::make_unique<Re2Set>(int64_t{8} << 20); }});
#endif
#ifdef PARLEVO_HAVE_PCRE2
  e.push_back({"PCRE2-JIT", true, [] { return std::make_unique<Pcre2JitLoop>(); }});
#endif
  return e;
}

const std::vector<std::string>& Patterns(bool byte_oriented) {
  static const std::vector<std::string> ours = [] {
    std::vector<std::string> out;
    for (auto& p : MakePatterns(kPatterns)) out.push_back(p.text);
    return out;
  }();
  static const std::vector<std::string> escaped = [] {
    std::vector<std::string> out;
    for (auto& p : ours) out.push_back(ForByteEngines(p));
    return out;
  }();
  return byte_oriented ? escaped : ours;
}

enum class Corpus { kOurs, kSecond };
const std::vector<std::string>& SecondPatterns(bool byte_oriented);

// The engine built on a corpus's patterns, once for the process.
SetEngine& Built(const EngineEntry& engine, Corpus corpus) {
  static std::map<std::pair<std::string, Corpus>, std::unique_ptr<SetEngine>> built;
  std::unique_ptr<SetEngine>& slot = built[{engine.name, corpus}];
  if (!slot) {
    slot = engine.make();
    slot->Build(corpus == Corpus::kOurs ? Patterns(engine.byte_oriented)
                                        : SecondPatterns(engine.byte_oriented));
  }
  return *slot;
}

void BM_WhichMatch(benchmark::State& state, EngineEntry engine, size_t bytes) {
  SetEngine* e = &Built(engine, Corpus::kOurs);
  const std::string text = MakeInput(bytes);
  std::vector<int32_t> found;
  const BudgetCounters budget(*e);
  for (auto _ : state) {
    e->Find(text, found);
    benchmark::DoNotOptimize(found.data());
  }
  budget.Report(state);
  state.counters["found"] = static_cast<double>(found.size());
  state.counters["bytes"] = static_cast<double>(text.size());
}

const std::vector<std::string>& SecondPatterns(bool byte_oriented) {
  static const std::vector<SecondPattern> made = MakeSecondPatterns();
  static const std::vector<std::string> ours = [] {
    std::vector<std::string> out;
    for (const auto& p : made) out.push_back(p.ours);
    return out;
  }();
  static const std::vector<std::string> bytes = [] {
    std::vector<std::string> out;
    for (const auto& p : made) out.push_back(p.bytes);
    return out;
  }();
  return byte_oriented ? bytes : ours;
}

void BM_SecondCorpus(benchmark::State& state, EngineEntry engine, size_t bytes) {
  SetEngine* e = &Built(engine, Corpus::kSecond);
  const std::vector<std::string> texts = CutSecondTexts(bytes);
  std::vector<int32_t> found;
  size_t i = 0, total = 0;
  const BudgetCounters budget(*e);
  for (auto _ : state) {
    e->Find(texts[i++ % texts.size()], found);
    total += found.size();
    benchmark::DoNotOptimize(found.data());
  }
  budget.Report(state);
  state.counters["found/text"] =
      static_cast<double>(total) / static_cast<double>(std::max<size_t>(i, 1));
}

#ifdef PARLEVO_HAVE_SET
// A hostile text: 64 KiB of lead bytes after one ASCII byte, searched for
// anchored literals of lead bytes that are hit at every position and never
// found. Each hit asks whether it starts a character; that answer must not
// walk back over the run (it took 0.7 s a text when it did).
void BM_LeadByteRun(benchmark::State& state) {
  std::vector<TbmRExp> patterns(2);
  patterns[0].SetPattern(
      "^\x81\x81"
      "b");
  patterns[1].SetPattern("^\x81\x81\x81");
  TbmRExpSet set(bmccShiftJIS);
  for (TbmRExp& p : patterns) set.Add(&p);
  std::string text(1 + (size_t{64} << 10), '\x81');
  text[0] = 'a';
  std::vector<int32_t> found;
  for (auto _ : state) {
    set.Find(text, found);
    benchmark::DoNotOptimize(found.data());
  }
}
BENCHMARK(BM_LeadByteRun)->Unit(benchmark::kMicrosecond);
#endif

void RegisterAll() {
  for (size_t bytes : kSizes) {
    for (const EngineEntry& engine : Engines()) {
      const std::string name = "BM_WhichMatch/" + std::to_string(bytes) + "/" + engine.name;
      benchmark::RegisterBenchmark(name.c_str(), BM_WhichMatch, engine, bytes)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (size_t bytes : kSizes) {
    for (const EngineEntry& engine : Engines()) {
      if (std::string(engine.name) == "loop") continue;  // hundreds of times slower
      const std::string name = "BM_SecondCorpus/" + std::to_string(bytes) + "/" + engine.name;
      benchmark::RegisterBenchmark(name.c_str(), BM_SecondCorpus, engine, bytes)
          ->Unit(benchmark::kMicrosecond);
    }
  }
}

// The texts the answers are checked on: for our corpus 64 mixed inputs and
// one of every size, for the second its 16 texts of every size.
std::vector<std::string> CheckedTexts(Corpus corpus) {
  std::vector<std::string> texts;
  if (corpus == Corpus::kOurs) texts = MakeInputs(64);
  for (size_t bytes : kSizes) {
    if (corpus == Corpus::kOurs) {
      texts.push_back(MakeInput(bytes));
    } else {
      for (std::string& text : CutSecondTexts(bytes)) texts.push_back(std::move(text));
    }
  }
  return texts;
}

#if defined(PARLEVO_HAVE_HS) && defined(PARLEVO_HAVE_PCRE2)
// Both Hyperscan builds against PCRE2 on the same byte patterns. HS_FLAG_DOTALL
// answers as '.' without it only while no text holds a line break: count those.
void ReportHyperscanAnswers() {
  for (Corpus corpus : {Corpus::kOurs, Corpus::kSecond}) {
    const std::vector<std::string>& patterns =
        corpus == Corpus::kOurs ? Patterns(true) : SecondPatterns(true);
    HyperscanSet peer, before(true);
    Pcre2JitLoop pcre;
    peer.Build(patterns);
    before.Build(patterns);
    pcre.Build(patterns);
    const std::vector<std::string> texts = CheckedTexts(corpus);
    long findings = 0, differ = 0, breaks = 0;
    std::vector<int32_t> a, b, c;
    for (const std::string& text : texts) {
      peer.Find(text, a);
      before.Find(text, b);
      pcre.Find(text, c);
      std::sort(a.begin(), a.end());
      std::sort(b.begin(), b.end());
      findings += static_cast<long>(c.size());
      differ += (a != c) + (b != c);
      breaks += text.find_first_of("\r\n") != std::string::npos;
    }
    std::printf(
        "%s corpus, Hyperscan and Hyperscan-SINGLEMATCH-noDOTALL against PCRE2 over %zu texts: "
        "%ld findings, %ld texts differ, %ld texts hold a line break\n",
        corpus == Corpus::kOurs ? "Our" : "Second", texts.size(), findings, differ, breaks);
  }
}
#endif

// The set and the loop on every size and on 64 mixed inputs: equal answers.
void ReportAnswers() {
#ifdef PARLEVO_HAVE_SET
  Loop loop;
  Set set;
  loop.Build(Patterns(false));
  set.Build(Patterns(false));
  const std::vector<std::string> texts = CheckedTexts(Corpus::kOurs);
  long differ = 0, found = 0;
  std::vector<int32_t> a, b;
  for (const auto& text : texts) {
    loop.Find(text, a);
    set.Find(text, b);
    found += static_cast<long>(a.size());
    differ += a != b;
  }
  std::printf("\nSet against loop over %zu texts: %ld patterns found, %ld texts differ\n",
              texts.size(), found, differ);
#ifdef PARLEVO_HAVE_PCRE2
  // The second corpus: the set (with and without the budget) against PCRE2.
  Set plain, budgeted(CharacterBudget());
  Pcre2JitLoop pcre;
  plain.Build(SecondPatterns(false));
  budgeted.Build(SecondPatterns(false));
  pcre.Build(SecondPatterns(true));
  long findings = 0, differences = 0, inside = 0;
  std::vector<int32_t> c;
  for (const std::string& text : CheckedTexts(Corpus::kSecond)) {
    plain.Find(text, a);
    budgeted.Find(text, b);
    pcre.FindOnBoundaries(text, c, inside);
    findings += static_cast<long>(c.size());
    differences += (a != c) + (b != c);
  }
  std::printf(
      "Second corpus, set and set+budget against PCRE2 over %zu texts: %ld findings, %ld texts "
      "differ (%ld PCRE2 findings left out: they start only inside a double-byte character)\n",
      kSizes.size() * 16, findings, differences, inside);
#endif
#endif
#if defined(PARLEVO_HAVE_HS) && defined(PARLEVO_HAVE_PCRE2)
  ReportHyperscanAnswers();
#endif
}

}  // namespace
}  // namespace parlevo::bench

int main(int argc, char** argv) {
  parlevo::bench::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  parlevo::bench::ReportAnswers();
  return 0;
}
