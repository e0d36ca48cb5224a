// The generated characters of the benchmarks.
#include "generated_character.h"

#include <stdlib.h>

#include <cstdint>
#include <fstream>

#include "bench_random.h"
#include "platform/codepage.h"

namespace parlevo::bench {
namespace {

// Words the generated patterns and inputs are made of (UTF-8 here, Shift JIS
// in the files).
const std::vector<std::string> kWords = {"天気", "猫",   "犬",   "お茶", "本", "名前",
                                         "映画", "音楽", "旅行", "料理", "雨", "海",
                                         "山",   "花",   "電車", "仕事"};

// A fixed sequence, so every run measures the same personality.
const std::string& Word(uint32_t& seed) { return kWords[Next(seed) % kWords.size()]; }

// Entry n's pattern, one of five shapes in turn.
std::string Pattern(int n, uint32_t& seed) {
  const std::string& a = Word(seed);
  const std::string& b = Word(seed);
  switch (n % 5) {
    case 0:
      return a + std::to_string(n);
    case 1:
      return "(" + a + "|" + b + ")" + std::to_string(n);
    case 2:
      return a + "[0-9]+" + b + std::to_string(n % 97);
    case 3:
      return a + ".*" + b + "##" + std::to_string(n % 13);
    default:
      return "^" + a + b + "?";
  }
}

// Entry n's answer. Talk takes its words from n, not from the seed, so the
// patterns are those of the plain character of the same seed.
std::string Answer(int n, Answers answers) {
  if (answers == Answers::kPlain) return "答え" + std::to_string(n) + "です。";
  const size_t words = kWords.size();
  return kWords[static_cast<size_t>(n) * 7 % words] + "と" +
         kWords[(static_cast<size_t>(n) * 11 + 3) % words] + std::to_string(n % 5000);
}

// Entry n as a line of a data file of `kind`.
std::string Line(int n, EntryKind kind, Answers answers, uint32_t& seed) {
  const std::string answer = Answer(n, answers);
  switch (kind) {
    case EntryKind::kB:
      return Pattern(n, seed) + "," + answer;
    case EntryKind::kA: {  // the context is the character's own previous answer
      const std::string context = n % 3 == 0 ? "です" : "答え" + std::to_string(n % 50) + "[0-9]*";
      return context + "," + Pattern(n, seed) + "," + answer;
    }
    case EntryKind::k0:
      return "{FLAG" + std::to_string(50 + n % 50) + "}," + answer;
  }
  return answer;
}

}  // namespace

GeneratedCharacter::GeneratedCharacter(int entries, EntryKind kind, const std::string& name,
                                       unsigned seed_value, Answers answers) {
  std::string pattern = (std::filesystem::temp_directory_path() / "parlevo-bench-XXXXXX").string();
  dir_ = mkdtemp(pattern.data());
  uint32_t seed = seed_value;
  std::string names;
  for (int file = 0; file < 4; ++file) {
    std::vector<std::string> lines;
    const int first = file * entries / 4, last = (file + 1) * entries / 4;
    for (int n = first; n < last; ++n) lines.push_back(Line(n, kind, answers, seed));
    const std::string file_name = std::string("d").append(std::to_string(file)).append(".txt");
    Write(file_name, lines);
    if (!names.empty()) names += ' ';
    names += file_name;
  }
  Write("open.txt", {"TRUE,こんにちは。"});
  // Free talk that talks gives the other character words to answer again.
  std::vector<std::string> free_talk = {"なるほど。"};
  for (int i = 0; answers == Answers::kTalk && i < 16; ++i) free_talk.push_back(Answer(i, answers));
  Write("free.txt", free_talk);
  const std::string key = kind == EntryKind::kB   ? "datab2"
                          : kind == EntryKind::kA ? "dataa2"
                                                  : "data02";
  std::vector<std::string> base = {"version", "210",      "name", name,  "folder", "",
                                   "data01",  "open.txt", key,    names, "datac2", "free.txt"};
  Write("bench.ltc", base);
  for (int i = 0; i < 100; ++i) {
    const std::string& a = Word(seed);
    const std::string& b = Word(seed);
    inputs_.push_back(a + "と" + b + std::to_string(Next(seed) % 5000));
  }
}

GeneratedCharacter::~GeneratedCharacter() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::string GeneratedCharacter::BaseFile() const { return (dir_ / "bench.ltc").string(); }

void GeneratedCharacter::Write(const std::string& name,
                               const std::vector<std::string>& utf8_lines) const {
  std::ofstream out(dir_ / name, std::ios::binary);
  for (const std::string& line : utf8_lines) out << platform::Utf8ToAnsi(line) << "\r\n";
}

}  // namespace parlevo::bench
