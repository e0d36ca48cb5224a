// Fuzzes the search under a memory budget: the input is a budget size byte,
// patterns one per line, a NUL, then a text. Each pattern searched under the
// one small shared budget (states dropped and rebuilt, searches finished by
// simulation) must answer as it does with its whole automaton, alone and as a
// set (its candidates' combined automaton under the same budget, asked twice);
// a malformed pattern must be refused both ways.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "regex/match_budget.h"
#include "regex/rexp.h"
#include "regex/rexp_set.h"

namespace {

// 1: found, 0: not found, -1: refused.
int Ask(parlevo::TbmRExp& matcher, std::string_view text) {
  try {
    return matcher.Found(text) ? 1 : 0;
  } catch (const parlevo::EbmREToken&) {
    return -1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kMaxPatterns = 32;
  if (size == 0) return 0;
  auto budget = std::make_shared<parlevo::TbmREMatchBudget>(64 + size_t{data[0]} * 64);
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t cut = input.find('\0');
  std::string_view patterns = input.substr(0, cut);
  const std::string text(cut == std::string_view::npos ? std::string_view()
                                                       : input.substr(cut + 1));
  std::vector<std::unique_ptr<parlevo::TbmRExp>> budgeted, whole;
  parlevo::TbmRExpSet set(parlevo::bmccShiftJIS);
  while (budgeted.size() < kMaxPatterns) {
    const size_t end = patterns.find('\n');
    for (auto* list : {&budgeted, &whole}) {
      list->push_back(std::make_unique<parlevo::TbmRExp>(parlevo::bmccShiftJIS));
      list->back()->SetPattern(patterns.substr(0, end));
    }
    budgeted.back()->SetBudget(budget);
    set.Add(budgeted.back().get());
    if (end == std::string_view::npos) break;
    patterns.remove_prefix(end + 1);
  }
  set.SetBudget(budget);
  std::vector<int32_t> expected;
  for (size_t i = 0; i < whole.size(); ++i) {
    const int want = Ask(*whole[i], text);
    if (Ask(*budgeted[i], text) != want) abort();
    if (want == 1) expected.push_back(static_cast<int32_t>(i));
  }
  std::vector<int32_t> found;
  set.Find(text, found);
  if (found != expected) abort();
  set.Find(text, found);  // again, over the states the first search built
  if (found != expected) abort();
  if (budget->Used() > budget->Limit()) abort();
  return 0;
}
