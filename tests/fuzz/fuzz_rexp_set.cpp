// Fuzzes the set matcher against the per-pattern loop: the input is patterns
// one per line, a NUL, then a text; the set must find exactly the patterns
// that asking each one finds, in the text and in a long text holding it late
// (verified together, from where the hits let matches start), with ample
// memory and with a budget so small that states are dropped mid-search.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/match_budget.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kMaxPatterns = 64;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find('\0');
  std::string_view patterns = input.substr(0, cut);
  const std::string text(cut == std::string_view::npos ? std::string_view()
                                                       : input.substr(cut + 1));

  std::vector<std::unique_ptr<parlevo::TbmRExp>> matchers;
  parlevo::TbmRExpSet set(parlevo::bmccShiftJIS), tiny(parlevo::bmccShiftJIS);
  tiny.SetBudget(std::make_shared<parlevo::TbmREMatchBudget>(1500));
  tiny.SetReleaseDecided(size % 2 == 0);  // decided patterns asked alone compile again
  while (matchers.size() < kMaxPatterns) {
    const size_t end = patterns.find('\n');
    matchers.push_back(std::make_unique<parlevo::TbmRExp>(parlevo::bmccShiftJIS));
    matchers.back()->SetPattern(patterns.substr(0, end));
    set.Add(matchers.back().get());
    tiny.Add(matchers.back().get());
    if (end == std::string_view::npos) break;
    patterns.remove_prefix(end + 1);
  }
  set.Build();
  tiny.Build();
  std::string late;
  for (int i = 0; i < 12; ++i) late += "ab\x82x12 \x95\x5C";  // letters, a lone lead, a kanji
  late += "\n" + text + text;
  std::vector<int32_t> found, expected, first;
  for (const std::string& t : {text, late}) {
    tiny.Find(t, first);  // before the loop compiles every pattern again
    set.FindEach(t, expected);
    set.Find(t, found);
    if (found != expected || first != expected) abort();
  }
  return 0;
}
