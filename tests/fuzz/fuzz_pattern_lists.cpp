// Fuzzes pattern compiling at the sizes word lists reach: the input's lines
// are items, repeated into a large alternation (bare, or in a group after "^"
// or before "$"), a large class, or both inside a closure, so every compile
// stage meets thousands of members. A pattern compiles or is refused by a
// budget; it never exhausts memory or time (the run's limits), and what
// compiles agrees with its own automaton.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "regex/automaton.h"
#include "regex/rexp.h"
#include "regex/search.h"

namespace {

constexpr size_t kMaxPatternBytes = 16 * 1024;

std::vector<std::string> Items(const std::string& input) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= input.size()) {
    size_t end = input.find('\n', start);
    if (end == std::string::npos) end = input.size();
    items.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int shape = data[0] % 6;                     // 4: "^(...)", 5: "(...)$"
  const size_t copies = 1 + (size_t{data[1]} << 4);  // up to 4096 copies of the items
  const std::string input(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::vector<std::string> items = Items(input);
  std::string pattern;
  if (shape == 1 || shape == 3) pattern += shape == 3 ? "(" : "[";
  if (shape == 4 || shape == 5) pattern += shape == 4 ? "^(" : "(";
  // Thousands of members fit in 16 KB; longer patterns may rightly take
  // longer to compile than one fuzz input is given.
  for (size_t c = 0; c < copies && pattern.size() < kMaxPatternBytes; ++c) {
    for (const std::string& item : items) {
      if (shape != 1 && !pattern.empty() && pattern.back() != '(') pattern += '|';
      pattern += item;
      if (shape != 1 && c > 0) pattern += std::to_string(c % 97);  // words that differ
    }
  }
  if (shape == 1) pattern += "]";
  if (shape == 3) pattern += ")*x";
  if (shape == 4 || shape == 5) pattern += shape == 4 ? ")" : ")$";
  const std::string text = input.substr(0, 64);
  parlevo::TbmRExp rexp;
  rexp.SetPattern(pattern);
  try {
    int32_t pos = 0, len = 0;
    const int32_t found = rexp.Match(text, 1, pos, len);
    if (rexp.Found(text) != (found != 0)) abort();
    int32_t raw_pos = 0, raw_len = 0;
    const bool raw =
        parlevo::bmreSearch(rexp.GetDFATable(), rexp.GetCharCode(), text, 0, raw_pos, raw_len);
    if (raw != (found != 0) || (raw && (raw_pos + 1 != pos || raw_len != len))) abort();
  } catch (const parlevo::EbmREToken&) {
  }
  return 0;
}
