// Generated characters for the benchmarks: a personality of any size, written
// to a temporary folder in Shift JIS, with inputs like those it answers.
#ifndef PARLEVO_BENCH_GENERATED_CHARACTER_H_
#define PARLEVO_BENCH_GENERATED_CHARACTER_H_

#include <filesystem>
#include <string>
#include <vector>

namespace parlevo::bench {

// Which kind of knowledge data holds the entries.
enum class EntryKind { kB, kA, k0 };

// What the entries answer: "答えNです。", which no generated pattern matches,
// or text like the inputs (two of the words and a number), which the
// patterns of another generated character match, as real characters do
// (free talk then says such lines too, not only "なるほど。").
enum class Answers { kPlain, kTalk };

// A character in a folder of its own: one once-only opening line, `entries`
// entries of `kind` in four files (patterns of five shapes in turn: literal
// words with numbers, alternations, classes, ".*" with "##", anchored
// optional characters; kind 0: flag conditions), and one free-talk line so
// every turn has an answer. The same arguments always give the same files.
class GeneratedCharacter {
 public:
  GeneratedCharacter(int entries, EntryKind kind, const std::string& name = "ベンチ",
                     unsigned seed = 2026, Answers answers = Answers::kPlain);
  ~GeneratedCharacter();
  GeneratedCharacter(const GeneratedCharacter&) = delete;
  GeneratedCharacter& operator=(const GeneratedCharacter&) = delete;

  // ANSI path of the base file.
  std::string BaseFile() const;
  // 100 inputs (UTF-8) of two of the words the patterns use and a number.
  const std::vector<std::string>& Inputs() const { return inputs_; }

 private:
  void Write(const std::string& name, const std::vector<std::string>& utf8_lines) const;

  std::filesystem::path dir_;
  std::vector<std::string> inputs_;
};

}  // namespace parlevo::bench

#endif  // PARLEVO_BENCH_GENERATED_CHARACTER_H_
