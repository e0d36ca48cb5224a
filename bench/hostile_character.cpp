// Writes a hostile personality for measuring a character's matching memory:
// one kind B file whose every line is ".*" + two kanji + nine "." + "|" + a
// class of 150 kanji, each pattern's automaton large, and inputs that make
// every pattern a candidate. bench/hostile_run.sh measures it.
//   hostile_character DIR [LINES]   (default 20,000 lines, about 6.6 MB)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/codepage.h"

namespace {

// The n-th two-byte kanji of Shift JIS (level 1 and 2, from 0x889F on).
std::string Kanji(int n) {
  static const std::vector<std::string> all = [] {
    std::vector<std::string> out;
    for (int lead = 0x88; lead <= 0x9F; ++lead) {
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F || (lead == 0x88 && trail < 0x9F)) continue;
        out.push_back(std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
    return out;
  }();
  return all[static_cast<size_t>(n) % all.size()];
}

void WriteLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
  std::ofstream out(file, std::ios::binary);
  for (const std::string& line : lines) out << line << "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: hostile_character DIR [LINES]\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const int lines = argc > 2 ? std::atoi(argv[2]) : 20000;
  std::filesystem::create_directories(dir);
  std::vector<std::string> data;
  for (int i = 0; i < lines; ++i) {
    std::string line = ".*" + Kanji(i % 997) + Kanji(1000 + (i / 997) % 997) + ".........|[";
    for (int k = 0; k < 150; ++k) line += Kanji(2000 + (i % 8) * 150 + k);
    data.push_back(line + "],ans" + std::to_string(i));
  }
  WriteLines(dir / "hostile.txt", data);
  WriteLines(dir / "free.txt", {parlevo::platform::Utf8ToAnsi("なるほど。")});
  WriteLines(dir / "hostile.ltc", {"version", "210", "name", "hostile", "folder", "", "datab2",
                                   "hostile.txt", "datac2", "free.txt"});
  // Inputs (UTF-8): one of every class's kanji (all patterns are candidates,
  // all match), a pair of the patterns' kanji with nine characters after it,
  // and a text none of the kanji are in.
  std::string every;
  for (int c = 0; c < 8; ++c) every += Kanji(2000 + c * 150 + 7);
  std::vector<std::string> inputs = {
      parlevo::platform::AnsiToUtf8("x" + every + "y"),
      parlevo::platform::AnsiToUtf8(Kanji(5) + Kanji(1000) + "abcdefghijk"), "nothing of the kind"};
  std::ofstream out(dir / "inputs.txt", std::ios::binary);
  for (const std::string& input : inputs) out << input << "\n";
  std::printf("%s\n", (dir / "hostile.ltc").string().c_str());
  return 0;
}
