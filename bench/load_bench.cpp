// Loading a whole personality: peak memory and time against the size of its
// files, from 8 MiB to 64 MiB (and on to a size given on the command line).
//
// Each size is a generated personality in a temporary folder: knowledge data
// of every kind in files of 4 MiB (kind 0 conditions, kind A context and
// pattern, kind B patterns of five shapes, a fifth of the bytes as entries
// holding 5,000-word alternations of distinct words, and free talk). A child
// process loads it read-only and answers once; its CPU time of loading and
// its peak resident memory (the kernel's ru_maxrss) when loaded and after
// that first answer (which builds the pattern sets) are reported, beside a
// child that loads a character of one line, whose peak is the fixed
// allowance. "x files" is the peak above that allowance over the files' size.
// Below each size, loading's time split by stage (MeasureStages).
//
//   load_bench [--file-mib N] [--no-word-lists] [--generated K] [MiB ...]
//       default: data files of 4 MiB, with word lists; 8 16 32 64 MiB;
//       --generated K: also engine_bench's generated character of K
//       thousand kind B entries (BM_LoadCharacter/B/K000), split by stage
//   load_bench [--file-mib N] [--no-word-lists] --write DIR MiB
//       writes one into DIR (base file load.ltc), to load with other tools
//       (/usr/bin/time -v)
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench_random.h"
#include "data/character_file.h"
#include "data/file_budget.h"
#include "data/personality_text.h"
#include "data/text_helpers.h"
#include "engine/character.h"
#include "generated_character.h"
#include "platform/codepage.h"
#include "regex/literal_analysis.h"
#include "regex/ranges.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"
#include "regex/scanner.h"
#include "regex/tree.h"

namespace parlevo::bench {
namespace {

namespace fs = std::filesystem;
using bench::EntryKind;
using bench::GeneratedCharacter;

size_t g_file_bytes = size_t{4} << 20;  // each data file (--file-mib)
bool g_word_lists = true;               // --no-word-lists: ordinary entries only
constexpr int kWordsPerList = 5000;

std::string Word(uint32_t& seed) { return Kana(seed, 2 + static_cast<int>(Next(seed) % 3)); }

// A kind B pattern of one of five shapes, or once in a while a word list.
std::string Pattern(int n, uint32_t& seed) {
  const std::string a = Word(seed), b = Word(seed);
  switch (n % 5) {
    case 0:
      return a + std::to_string(n);
    case 1:
      return "(" + a + "|" + b + ")" + std::to_string(n % 1000);
    case 2:
      return a + "[0-9]+" + b;
    case 3:
      return a + ".*" + b + "##";
    default:
      return "^" + a + b + "?";
  }
}

std::string Answer(int n, uint32_t& seed) {
  return Kana(seed, 8) + "{RANDOM:" + Kana(seed, 2) + "|" + Kana(seed, 3) + "}" +
         std::to_string(n) + "\x81\x42";  // 。
}

std::string WordList(uint32_t& seed) {
  std::string s = "(";
  for (int i = 0; i < kWordsPerList; ++i) {
    if (i) s += '|';
    s += Word(seed);
  }
  return s + ")";
}

// One line of a data file of slot `slot` (0/1 kind 0, 2/3 A, 4/5 B, 6/7 C).
std::string Line(int slot, int n, uint32_t& seed) {
  switch (slot / 2) {
    case 0:
      return "{FLAG" + std::to_string(50 + n % 50) + "}," + Answer(n, seed);
    case 1:
      return Word(seed) + "," + Pattern(n, seed) + "," + Answer(n, seed);
    case 2:
      return (g_word_lists && slot == 5 && n % 40 == 0 ? WordList(seed) : Pattern(n, seed)) + "," +
             Answer(n, seed);
    default:
      return Answer(n, seed);
  }
}

// Writes a personality of about `bytes` in `dir`; returns the bytes written.
size_t Generate(const fs::path& dir, size_t bytes) {
  static const char* const kKeys[8] = {"data01", "data02", "dataa1", "dataa2",
                                       "datab1", "datab2", "datac1", "datac2"};
  // Shares of the bytes per slot, in twentieths: B2 holds the word lists.
  static const int kShare[8] = {1, 2, 1, 3, 3, 7, 1, 2};
  uint32_t seed = 2026;
  size_t total = 0;
  std::string base = "version\r\n210\r\nname\r\nload\r\nfolder\r\n\r\n";
  int file_id = 0, n = 0;
  for (int slot = 0; slot < 8; ++slot) {
    const size_t slot_bytes = bytes * kShare[slot] / 20;
    std::string names;
    for (size_t done = 0; done < slot_bytes;) {
      std::string name = "d";  // appended: "d" + ... draws a false -Wrestrict from g++ 12
      name += std::to_string(file_id++);
      name += ".txt";
      std::ofstream out(dir / name, std::ios::binary);
      size_t written = 0;
      while (written < g_file_bytes && done + written < slot_bytes) {
        const std::string line = Line(slot, n++, seed) + "\r\n";
        if (!(out << line)) {  // a full disk: stop rather than go on making files
          std::fprintf(stderr, "cannot write %s\n", (dir / name).c_str());
          std::exit(1);
        }
        written += line.size();
      }
      done += written;
      names += (names.empty() ? "" : ",") + name;
    }
    total += slot_bytes;
    base += std::string(kKeys[slot]) + "\r\n" + names + "\r\n";
  }
  std::ofstream(dir / "load.ltc", std::ios::binary) << base;
  total = 0;
  for (const auto& entry : fs::directory_iterator(dir)) total += fs::file_size(entry.path());
  return total;
}

struct Measure {
  double load_ms = 0;      // CPU time of the load
  long load_peak_kib = 0;  // peak resident memory when loaded
  long turn_peak_kib = 0;  // and after the first turn (the pattern sets are built)
  bool ok = false;
};

double CpuMs(const rusage& u) {
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
         (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Loads the character in a child process, then lets it answer once; the
// child reports its figures when loaded through a pipe.
Measure LoadInChild(const std::string& base_file) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    try {
      TCharacter character(base_file, TStateUse::kReadOnly);
      rusage u{};
      getrusage(RUSAGE_SELF, &u);
      const double loaded[2] = {CpuMs(u), static_cast<double>(u.ru_maxrss)};
      if (write(fds[1], loaded, sizeof loaded) != sizeof loaded) _exit(1);
      character.Talk(u"こんにちは", AllSlots);  // こんにちは
      _exit(0);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "load failed: %s\n", e.what());
      _exit(1);
    }
  }
  close(fds[1]);
  double loaded[2] = {0, 0};
  const bool got = read(fds[0], loaded, sizeof loaded) == sizeof loaded;
  close(fds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Measure m;
  m.load_ms = loaded[0];
  m.load_peak_kib = static_cast<long>(loaded[1]);
  m.turn_peak_kib = usage.ru_maxrss;
  m.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
}

// CPU time of the process so far, in ms.
double ProcessCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Loading's stages, each done on its own over the personality's files (CPU
// ms): reading the files, splitting them into lines and fields (folded as
// loading folds them), parsing the distinct patterns (and of that, their
// literal analysis, measured apart on their trees), and building the
// pattern sets. What a whole load takes beyond their sum is the entry
// tables, the matcher cache and the rest.
struct Stages {
  double read = 0, split = 0, parse = 0, analyse = 0, build = 0;
  size_t set_bytes = 0;  // what the built sets hold (TbmRExpSet::MemoryBytes)
};

Stages MeasureStages(const std::string& base_file) {
  Stages st;
  const TCharacterFile base(base_file);
  const fs::path folder = fs::path(base_file).parent_path();
  std::vector<std::unique_ptr<TbmRExp>> patterns;
  std::vector<std::unique_ptr<TbmRExpSet>> sets;
  std::unordered_set<std::string> seen;
  for (int slot = 0; slot < 8; ++slot) {
    const int fields_of_patterns = slot / 2 == 1 ? 2 : slot / 2 == 2 ? 1 : 0;  // kinds A, B
    sets.push_back(std::make_unique<TbmRExpSet>(bmccDefaultCharCode()));
    for (const std::string& name : SplitCommaText(base.GetValue(TCharacter::DataKey(slot)))) {
      double t = ProcessCpuMs();
      const std::string bytes = ReadFileWithinBudget((folder / name).string());
      st.read += ProcessCpuMs() - t;
      t = ProcessCpuMs();
      const TPersonalityText text = DecodePersonalityText(bytes);
      std::vector<std::string> texts;
      for (const std::string& line : text.Lines) {
        std::vector<std::string> fields = SplitCommaText(line);
        for (int f = 0; f < fields_of_patterns && f < static_cast<int>(fields.size()); ++f) {
          texts.push_back(FoldEntryField(fields[static_cast<size_t>(f)]));
        }
      }
      st.split += ProcessCpuMs() - t;
      t = ProcessCpuMs();
      for (const std::string& pattern : texts) {
        if (!seen.insert(pattern).second) continue;
        auto& matcher = patterns.emplace_back(std::make_unique<TbmRExp>());
        matcher->SetPattern(pattern);
        try {
          matcher->Parse();
          sets.back()->Add(matcher.get());
        } catch (const EbmREToken&) {
        }
      }
      st.parse += ProcessCpuMs() - t;
    }
  }
  // The analysis again on every distinct pattern's tree, timed alone.
  TbmREScanner scanner(bmccDefaultCharCode());
  TbmRETokens tokens;
  TbmREWchRanges ranges;
  TbmRETree tree;
  for (const std::string& pattern : seen) {
    try {
      scanner.SetTextInPlace(pattern);
      tokens.Tokenize(scanner);
      tokens.Standardize(ranges);
      tree.Build(tokens, ranges);
      const double t = ProcessCpuMs();
      AnalyzeLiterals(tree, bmccDefaultCharCode());
      st.analyse += ProcessCpuMs() - t;
    } catch (const EbmREToken&) {
    }
    tokens.ClearTokens();
    ranges.ClearRanges();
    tree.ClearTree();
  }
  const double t = ProcessCpuMs();
  for (auto& set : sets) set->Build();
  st.build = ProcessCpuMs() - t;
  for (const auto& set : sets) st.set_bytes += set->MemoryBytes();
  return st;
}

// Measures the stages in a child process, so that what they hold never
// counts in the peak of a later child (a child starts with its parent's
// resident pages), and prints them beside the whole load. They are timed
// apart from a load, so on a busy machine "the rest" is approximate.
void PrintStages(const std::string& base_file, double load_ms) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    const Stages st = MeasureStages(base_file);
    const double rest = load_ms - st.read - st.split - st.parse - st.build;
    std::printf(
        "  stages (CPU ms): read %.0f, split %.0f, parse %.0f (of which analysis %.0f), "
        "build sets %.0f, the rest %.0f; the sets hold %.1f MiB\n",
        st.read, st.split, st.parse, st.analyse, st.build, rest, st.set_bytes / 1048576.0);
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
}

fs::path TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "parlevo-load-XXXXXX").string();
  return mkdtemp(pattern.data());
}

}  // namespace
}  // namespace parlevo::bench

int main(int argc, char** argv) {
  using namespace parlevo::bench;
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  // Sizes in MiB, 1 to 1024; anything else is a mistake, not a size.
  auto mib_of = [](const char* text) -> size_t {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 1024) {
      std::fprintf(stderr,
                   "usage: load_bench [--file-mib N] [--no-word-lists] [--generated K] [MiB ...]\n"
                   "       load_bench [--file-mib N] [--no-word-lists] --write DIR MiB\n"
                   "(sizes from 1 to 1024 MiB)\n");
      std::exit(2);
    }
    return value;
  };
  std::vector<size_t> sizes;
  std::vector<int> generated;  // thousands of entries (--generated)
  const char* write_dir = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--no-word-lists") {
      g_word_lists = false;
    } else if (arg == "--file-mib" && i + 1 < argc) {
      g_file_bytes = mib_of(argv[++i]) << 20;
    } else if (arg == "--generated" && i + 1 < argc) {
      generated.push_back(static_cast<int>(mib_of(argv[++i]) * 1000));
    } else if (arg == "--write" && i + 2 < argc) {
      write_dir = argv[++i];
      sizes.push_back(mib_of(argv[++i]));
    } else {
      sizes.push_back(mib_of(argv[i]));
    }
  }
  if (write_dir) {
    fs::create_directories(write_dir);
    const size_t bytes = Generate(write_dir, (sizes.back() << 20) - (64 << 10));
    std::printf("%s: %zu bytes\n", (fs::path(write_dir) / "load.ltc").c_str(), bytes);
    return 0;
  }
  if (sizes.empty() && generated.empty()) sizes = {8, 16, 32, 64};

  const fs::path small = TempFolder();
  std::ofstream(small / "d0.txt", std::ios::binary) << "TRUE,hello\r\n";
  std::ofstream(small / "load.ltc", std::ios::binary)
      << "version\r\n210\r\nname\r\nload\r\nfolder\r\n\r\ndata01\r\nd0.txt\r\n";
  const Measure fixed = LoadInChild((small / "load.ltc").string());
  fs::remove_all(small);
  std::printf("fixed allowance (a one-line character): peak %.1f MiB\n",
              fixed.load_peak_kib / 1024.0);
  std::printf("%9s %9s %10s %8s %10s %8s %s\n", "files MiB", "load ms", "load MiB", "x files",
              "turn MiB", "x files", "ok");
  for (size_t mib : sizes) {
    const fs::path dir = TempFolder();
    // A little under the size asked for, so that 64 MiB stays within the
    // budget of a personality's files together (lines are not cut).
    const size_t bytes = Generate(dir, (mib << 20) - (64 << 10));
    const Measure m = LoadInChild((dir / "load.ltc").string());
    const double files = bytes / 1048576.0;
    auto above = [&](long kib) { return (kib - fixed.load_peak_kib) / 1024.0 / files; };
    std::printf("%9.1f %9.0f %10.1f %8.2f %10.1f %8.2f %s\n", files, m.load_ms,
                m.load_peak_kib / 1024.0, above(m.load_peak_kib), m.turn_peak_kib / 1024.0,
                above(m.turn_peak_kib), m.ok ? "yes" : "no");
    PrintStages((dir / "load.ltc").string(), m.load_ms);
    fs::remove_all(dir);
  }
  for (int entries : generated) {
    // The generated characters of engine_bench (BM_LoadCharacter/B/N).
    const GeneratedCharacter character(entries, EntryKind::kB);
    const Measure m = LoadInChild(character.BaseFile());
    std::printf("generated character of %d kind B entries: load %.0f ms, peak %.1f MiB (%s)\n",
                entries, m.load_ms, m.load_peak_kib / 1024.0, m.ok ? "ok" : "failed");
    PrintStages(character.BaseFile(), m.load_ms);
  }
  return 0;
}
