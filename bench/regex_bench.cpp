// The pattern engine measured against its peers on one generated corpus:
//   BM_Found60      2,000 patterns asked "found anywhere?" in one 60-byte input
//   BM_FoundMixed   the same patterns over 64 inputs of 10-200 bytes
//   BM_Compile      compiling (and freeing) the 2,000 patterns
// After the benchmarks it prints, per engine, the median and worst compile
// time of a single pattern, our worst compile time and peak memory over
// patterns of up to 1,000 bytes built to be expensive, and how our answers
// compare with PCRE2's.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <regex>
#include <string>
#include <vector>

#include "pattern_corpus.h"
#include "regex/rexp.h"

#ifdef PARLEVO_HAVE_RE2
#include <re2/re2.h>
#endif
#ifdef PARLEVO_HAVE_PCRE2
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>
#endif
#ifdef PARLEVO_HAVE_HS
#include <hs/hs.h>
#endif

// ---------------------------------------------------------------------------
// Allocation accounting, switched on only while measuring peak memory.

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int64_t> g_live{0};
std::atomic<int64_t> g_peak{0};
}  // namespace

void* operator new(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  if (g_counting.load(std::memory_order_relaxed)) {
    int64_t live = g_live.fetch_add(static_cast<int64_t>(malloc_usable_size(p))) +
                   static_cast<int64_t>(malloc_usable_size(p));
    int64_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (p && g_counting.load(std::memory_order_relaxed)) {
    g_live.fetch_sub(static_cast<int64_t>(malloc_usable_size(p)));
  }
  std::free(p);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace parlevo::bench {
namespace {

constexpr size_t kPatterns = 2000;

// ---------------------------------------------------------------------------
// Engines: compile a list of patterns, then answer "found anywhere?".

class Engine {
 public:
  virtual ~Engine() = default;
  virtual const char* Name() const = 0;
  // Peers work on bytes and get the patterns with metacharacter trail bytes escaped.
  virtual bool ByteOriented() const { return true; }
  // Compiles and keeps pattern i; false when the engine refuses it.
  virtual bool Add(const std::string& pattern) = 0;
  virtual bool Found(size_t i, const std::string& text) = 0;
  // Compiles one pattern and frees it again (compile timing).
  virtual bool CompileOnce(const std::string& pattern) = 0;
};

class Ours : public Engine {
 public:
  const char* Name() const override { return "parlevo"; }
  bool ByteOriented() const override { return false; }
  bool Add(const std::string& pattern) override {
    matchers_.emplace_back(bmccShiftJIS);
    matchers_.back().SetPattern(pattern);
    return CompileMatcher(matchers_.back());
  }
  bool Found(size_t i, const std::string& text) override {
    try {
      return matchers_[i].Found(text);
    } catch (const EbmREToken&) {
      return false;
    }
  }
  bool CompileOnce(const std::string& pattern) override {
    TbmRExp m(bmccShiftJIS);
    m.SetPattern(pattern);
    return CompileMatcher(m);
  }

 private:
  // As the knowledge data compiles its patterns after loading: by matching
  // the empty text once.
  static bool CompileMatcher(TbmRExp& m) {
    try {
      int32_t pos, len;
      m.Match("", 1, pos, len);
      return true;
    } catch (const EbmREToken&) {
      return false;
    }
  }
  std::vector<TbmRExp> matchers_;
};

class StdRegex : public Engine {
 public:
  const char* Name() const override { return "std::regex"; }
  bool Add(const std::string& pattern) override {
    try {
      res_.push_back(std::make_unique<std::regex>(pattern));
      return true;
    } catch (const std::regex_error&) {
      res_.push_back(nullptr);
      return false;
    }
  }
  bool Found(size_t i, const std::string& text) override {
    return res_[i] && std::regex_search(text, *res_[i]);
  }
  bool CompileOnce(const std::string& pattern) override {
    try {
      std::regex re(pattern);
      benchmark::DoNotOptimize(re);
      return true;
    } catch (const std::regex_error&) {
      return false;
    }
  }

 private:
  std::vector<std::unique_ptr<std::regex>> res_;
};

#ifdef PARLEVO_HAVE_RE2
class Re2 : public Engine {
 public:
  const char* Name() const override { return "RE2"; }
  bool Add(const std::string& pattern) override {
    res_.push_back(std::make_unique<RE2>(pattern, Options()));
    return res_.back()->ok();
  }
  bool Found(size_t i, const std::string& text) override {
    return res_[i]->ok() && RE2::PartialMatch(text, *res_[i]);
  }
  bool CompileOnce(const std::string& pattern) override {
    RE2 re(pattern, Options());
    return re.ok();
  }

 private:
  static RE2::Options Options() {
    RE2::Options o;
    o.set_encoding(RE2::Options::EncodingLatin1);
    o.set_log_errors(false);
    return o;
  }
  std::vector<std::unique_ptr<RE2>> res_;
};
#endif

#ifdef PARLEVO_HAVE_PCRE2
class Pcre2 : public Engine {
 public:
  explicit Pcre2(bool jit) : jit_(jit), data_(pcre2_match_data_create(1, nullptr)) {}
  ~Pcre2() override {
    for (auto* c : codes_) pcre2_code_free(c);
    pcre2_match_data_free(data_);
  }
  const char* Name() const override { return jit_ ? "PCRE2-JIT" : "PCRE2"; }
  bool Add(const std::string& pattern) override {
    codes_.push_back(Compile(pattern));
    return codes_.back() != nullptr;
  }
  bool Found(size_t i, const std::string& text) override { return MatchStart(i, text) >= 0; }
  // Start of the leftmost match, -1 when none.
  long MatchStart(size_t i, const std::string& text) {
    if (!codes_[i]) return -1;
    int rc = pcre2_match(codes_[i], reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0,
                         data_, nullptr);
    return rc >= 0 ? static_cast<long>(pcre2_get_ovector_pointer(data_)[0]) : -1;
  }
  bool CompileOnce(const std::string& pattern) override {
    pcre2_code* c = Compile(pattern);
    pcre2_code_free(c);
    return c != nullptr;
  }

 private:
  pcre2_code* Compile(const std::string& pattern) {
    int error;
    PCRE2_SIZE offset;
    pcre2_code* c = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), 0,
                                  &error, &offset, nullptr);
    if (c && jit_) pcre2_jit_compile(c, PCRE2_JIT_COMPLETE);
    return c;
  }
  bool jit_;
  pcre2_match_data* data_;
  std::vector<pcre2_code*> codes_;
};
#endif

#ifdef PARLEVO_HAVE_HS
// One Hyperscan database per pattern, as a matcher per pattern is used.
class Hyperscan : public Engine {
 public:
  ~Hyperscan() override {
    for (auto* db : dbs_) hs_free_database(db);
    hs_free_scratch(scratch_);
  }
  const char* Name() const override { return "Hyperscan"; }
  bool Add(const std::string& pattern) override {
    hs_database_t* db = Compile(pattern);
    dbs_.push_back(db);
    if (db) hs_alloc_scratch(db, &scratch_);
    return db != nullptr;
  }
  bool Found(size_t i, const std::string& text) override {
    if (!dbs_[i]) return false;
    return hs_scan(
               dbs_[i], text.data(), static_cast<unsigned>(text.size()), 0, scratch_,
               [](unsigned, unsigned long long, unsigned long long, unsigned, void*) {
                 return 1;  // the first match answers the question
               },
               nullptr) == HS_SCAN_TERMINATED;
  }
  bool CompileOnce(const std::string& pattern) override {
    hs_database_t* db = Compile(pattern);
    hs_free_database(db);
    return db != nullptr;
  }

 private:
  static hs_database_t* Compile(const std::string& pattern) {
    hs_database_t* db = nullptr;
    hs_compile_error_t* err = nullptr;
    if (hs_compile(pattern.c_str(), HS_FLAG_SINGLEMATCH | HS_FLAG_ALLOWEMPTY, HS_MODE_BLOCK,
                   nullptr, &db, &err) != HS_SUCCESS) {
      hs_free_compile_error(err);
      return nullptr;
    }
    return db;
  }
  std::vector<hs_database_t*> dbs_;
  hs_scratch_t* scratch_ = nullptr;
};
#endif

std::vector<std::function<std::unique_ptr<Engine>()>> EngineFactories() {
  std::vector<std::function<std::unique_ptr<Engine>()>> f;
  f.push_back([] { return std::make_unique<Ours>(); });
#ifdef PARLEVO_HAVE_RE2
  f.push_back([] { return std::make_unique<Re2>(); });
#endif
#ifdef PARLEVO_HAVE_PCRE2
  f.push_back([] { return std::make_unique<Pcre2>(false); });
  f.push_back([] { return std::make_unique<Pcre2>(true); });
#endif
#ifdef PARLEVO_HAVE_HS
  f.push_back([] { return std::make_unique<Hyperscan>(); });
#endif
  f.push_back([] { return std::make_unique<StdRegex>(); });
  return f;
}

const std::vector<std::string>& Patterns() {
  static const std::vector<std::string> patterns = [] {
    std::vector<std::string> out;
    for (auto& p : MakePatterns(kPatterns)) out.push_back(p.text);
    return out;
  }();
  return patterns;
}

const std::vector<std::string>& PatternsFor(const Engine& e) {
  static const std::vector<std::string> escaped = [] {
    std::vector<std::string> out;
    for (auto& p : Patterns()) out.push_back(ForByteEngines(p));
    return out;
  }();
  return e.ByteOriented() ? escaped : Patterns();
}

// ---------------------------------------------------------------------------
// Benchmarks

void FoundOver(benchmark::State& state, Engine& engine, const std::vector<std::string>& inputs) {
  const auto& patterns = PatternsFor(engine);
  for (const auto& p : patterns) engine.Add(p);
  int64_t found = 0;
  for (auto _ : state) {
    for (const auto& input : inputs) {
      for (size_t i = 0; i < patterns.size(); ++i) found += engine.Found(i, input);
    }
  }
  benchmark::DoNotOptimize(found);
  state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
  state.SetItemsProcessed(state.iterations() *
                          static_cast<int64_t>(patterns.size() * inputs.size()));
}

void BM_Found60(benchmark::State& state, size_t engine) {
  auto e = EngineFactories()[engine]();
  FoundOver(state, *e, {MakeInput(60)});
}

void BM_FoundMixed(benchmark::State& state, size_t engine) {
  auto e = EngineFactories()[engine]();
  FoundOver(state, *e, MakeInputs(64));
}

void BM_Compile(benchmark::State& state, size_t engine) {
  auto e = EngineFactories()[engine]();
  const auto& patterns = PatternsFor(*e);
  for (auto _ : state) {
    for (const auto& p : patterns) benchmark::DoNotOptimize(e->CompileOnce(p));
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(patterns.size()));
}

void RegisterAll() {
  auto factories = EngineFactories();
  for (size_t i = 0; i < factories.size(); ++i) {
    std::string name = factories[i]()->Name();
    benchmark::RegisterBenchmark(("BM_Found60/" + name).c_str(), BM_Found60, i)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_FoundMixed/" + name).c_str(), BM_FoundMixed, i)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("BM_Compile/" + name).c_str(), BM_Compile, i)
        ->Unit(benchmark::kMicrosecond);
  }
}

// ---------------------------------------------------------------------------
// Reports printed after the benchmarks

double Micros(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// The fastest of a few compiles of one pattern, in microseconds.
double CompileMicros(Engine& e, const std::string& pattern, int repeats) {
  double best = 1e18;
  for (int r = 0; r < repeats; ++r) {
    auto t0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(e.CompileOnce(pattern));
    best = std::min(best, Micros(std::chrono::steady_clock::now() - t0));
  }
  return best;
}

void ReportCompileProfile() {
  std::printf("\nCompile time of one pattern (fastest of 5 runs), over %zu patterns:\n",
              Patterns().size());
  std::printf("%-12s %10s %10s %10s %9s\n", "engine", "median us", "p99 us", "max us", "refused");
  for (auto& factory : EngineFactories()) {
    auto e = factory();
    std::vector<double> t;
    int refused = 0;
    for (const auto& p : PatternsFor(*e)) {
      t.push_back(CompileMicros(*e, p, 5));
      refused += !e->CompileOnce(p);
    }
    std::sort(t.begin(), t.end());
    std::printf("%-12s %10.2f %10.2f %10.2f %9d\n", e->Name(), t[t.size() / 2],
                t[t.size() * 99 / 100], t.back(), refused);
  }
}

void ReportHostile() {
  std::printf(
      "\nOur compile of patterns up to 1,000 bytes built to be expensive (fastest of 3):\n");
  std::printf("%-5s %6s %10s %12s %8s\n", "#", "bytes", "ms", "peak KiB", "result");
  Ours ours;
  auto patterns = MakeHostilePatterns();
  double worst_ms = 0;
  int64_t worst_peak = 0;
  for (size_t i = 0; i < patterns.size(); ++i) {
    // Memory of one compile; time as the fastest of three (the machine is shared).
    g_live = 0;
    g_peak = 0;
    g_counting = true;
    bool ok = ours.CompileOnce(patterns[i]);
    g_counting = false;
    double ms = CompileMicros(ours, patterns[i], 3) / 1000;
    worst_ms = std::max(worst_ms, ms);
    worst_peak = std::max(worst_peak, g_peak.load());
    std::printf("%-5zu %6zu %10.3f %12lld %8s\n", i, patterns[i].size(), ms,
                static_cast<long long>(g_peak.load() / 1024), ok ? "ok" : "refused");
  }
  std::printf("worst: %.3f ms, %lld KiB\n", worst_ms, static_cast<long long>(worst_peak / 1024));
}

// Word lists and classes as personalities hold them, and the sizes that once
// took gigabytes: each compiles or is refused within its budgets.
void ReportLargePatterns() {
  auto repeat = [](int n, const std::string& first, const std::string& rest) {
    std::string s = first;
    for (int i = 1; i < n; ++i) s += rest;
    return s;
  };
  auto words = [](int n, const std::string& stem) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? "|" : "") + stem + std::to_string(i);
    return s;
  };
  std::string exploding = "(a|b)*a";
  for (int i = 0; i < 20; ++i) exploding += "(a|b)";
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"[a...] 30,000 members", "[" + std::string(30000, 'a') + "]"},
      {"[a...] 60,000 members", "[" + std::string(60000, 'a') + "]"},
      {"a|a|... 24,000", repeat(24000, "a", "|a")},
      {"w0|w1|... 24,000 words", words(24000, "w")},
      {"w0|w1|... 48,000 words", words(48000, "w")},
      {"^(w0|...) 24,000 words", "^(" + words(24000, "w") + ")"},
      {"120,000 words (~1 MiB)", words(120000, "ab")},
      {"(w0|...|w999)*x", "(" + words(1000, "w") + ")*x"},
      {"one 50 MB line", std::string(50'000'000, 'a')},
      {"(a|b)*a(a|b){20}", exploding},
  };
  std::printf("\nLarge patterns (time: fastest of 3; peak: heap during one compile):\n");
  std::printf("%-26s %10s %10s %12s %8s\n", "pattern", "bytes", "ms", "peak KiB", "result");
  Ours ours;
  for (const auto& [what, pattern] : cases) {
    g_live = 0;
    g_peak = 0;
    g_counting = true;
    const bool ok = ours.CompileOnce(pattern);
    g_counting = false;
    const double ms = CompileMicros(ours, pattern, 3) / 1000;
    std::printf("%-26s %10zu %10.1f %12lld %8s\n", what, pattern.size(), ms,
                static_cast<long long>(g_peak.load() / 1024), ok ? "ok" : "refused");
  }
}

// True when [start, end) of `text` does not split a Shift JIS character.
bool OnBoundaries(const std::string& text, long start) {
  size_t i = 0;
  while (static_cast<long>(i) < start) {
    auto b = static_cast<uint8_t>(text[i]);
    i += ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < text.size() ? 2 : 1;
  }
  return static_cast<long>(i) == start;
}

void ReportAnswers() {
#ifdef PARLEVO_HAVE_PCRE2
  Ours ours;
  Pcre2 pcre(false);
  for (size_t i = 0; i < Patterns().size(); ++i) {
    ours.Add(Patterns()[i]);
    pcre.Add(PatternsFor(pcre)[i]);
  }
  auto inputs = MakeInputs(64);
  inputs.push_back(MakeInput(60));
  long pairs = 0, agree = 0, inside_char = 0, other = 0, found = 0;
  for (const auto& text : inputs) {
    for (size_t i = 0; i < Patterns().size(); ++i) {
      ++pairs;
      bool a = ours.Found(i, text);
      long start = pcre.MatchStart(i, text);
      found += a;
      if (a == (start >= 0)) {
        ++agree;
      } else if (!a && !OnBoundaries(text, start)) {
        ++inside_char;  // PCRE2 works on bytes: its match starts inside a character
      } else {
        ++other;
        if (other <= 5)
          std::printf("  differs: pattern «%s» text «%s»\n", Patterns()[i].c_str(), text.c_str());
      }
    }
  }
  std::printf(
      "\nAnswers against PCRE2 over %ld (pattern, input) pairs: %ld found, %ld agree, "
      "%ld PCRE2-only matches starting inside a double-byte character, %ld other "
      "differences\n",
      pairs, found, agree, inside_char, other);
#endif
}

}  // namespace
}  // namespace parlevo::bench

int main(int argc, char** argv) {
  // --no_reports: only the benchmarks (for profiling one of them).
  bool reports = true;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--no_reports") {
      reports = false;
      for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
      --argc;
      break;
    }
  }
  parlevo::bench::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (!reports) return 0;
  parlevo::bench::ReportCompileProfile();
  parlevo::bench::ReportHostile();
  parlevo::bench::ReportLargePatterns();
  parlevo::bench::ReportAnswers();
  return 0;
}
