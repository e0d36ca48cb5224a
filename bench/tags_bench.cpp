// Speed of the tag language: expanding answers as a personality writes them,
// from plain text to a tag-heavy answer with nesting, memory and arithmetic.
#include <benchmark/benchmark.h>

#include <string>

#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/datetime.h"

namespace parlevo {
namespace {

// A frozen clock keeps date and random tags reproducible between runs.
class FrozenClock {
 public:
  FrozenClock() { platform::FreezeClock(platform::EncodeDateTime({2004, 3, 7, 9, 5, 1, 0})); }
  ~FrozenClock() { platform::UnfreezeClock(); }
};

void Expand(benchmark::State& state, const char* utf8) {
  FrozenClock clock;
  TCharacter character;
  character.SetPartner(platform::Utf8ToAnsi("はなちゃん"));
  character.SetCount(1, 4);
  const std::u16string text = platform::Utf8ToWide(utf8);
  size_t chars = 0;
  for (auto _ : state) {
    std::u16string result = character.ExpandTags(text);
    chars += text.size();
    benchmark::DoNotOptimize(result);
  }
  state.SetItemsProcessed(int64_t(state.iterations()));
  state.SetBytesProcessed(int64_t(chars * sizeof(char16_t)));
}

void BM_PlainAnswer(benchmark::State& state) {
  Expand(state, "こんにちは。今日はいい天気ですね。散歩にでも行きませんか？");
}
BENCHMARK(BM_PlainAnswer);

void BM_SimpleTags(benchmark::State& state) {
  Expand(state, "{NICKNAME}さん、今は{HOUR}時{MINUTE}分、{YOUBI}日です。");
}
BENCHMARK(BM_SimpleTags);

// Conditions, memory, arithmetic, a random choice and a scriptized branch.
void BM_TagHeavyAnswer(benchmark::State& state) {
  Expand(state,
         "{COUNT01++}{MEMO02:{DATE}}{IF{>{COUNT01}|3}よく話すね|はじめまして}、"
         "{NICKNAME}さん。{CHOICE今日は|本日は|きょうは}{MONTH}月{DAY}日、"
         "あと{-31|{DAY}}日で月末。{SCRIPTIZE:{IF{AND{FLAG01}|{<{COUNT01}|10}}"
         "[MEMO03:on]|[FLAG01!]}}{LEFT3|{MEMO02}}年、{ROUND:{/{COUNT01}|3}}回目の"
         "{MID2|3|おしゃべり}。{LENGTH:{PREV}}文字{BR}");
}
BENCHMARK(BM_TagHeavyAnswer);

// Deep nesting: every level is rescanned by the level around it.
void BM_NestedArithmetic(benchmark::State& state) {
  std::string text = "1";
  for (int i = 0; i < 32; ++i) text = "{+" + text + "|1}";
  Expand(state, text.c_str());
}
BENCHMARK(BM_NestedArithmetic);

// The worst texts the budgets stop: a memo that reproduces itself, growing
// by one character a round (0), or consuming a long text each round (1).
void BM_RunawayWithinBudgets(benchmark::State& state) {
  FrozenClock clock;
  TCharacter character;
  character.SetMemo(1, state.range(0) == 0 ? std::string("a{MEMO01}")
                                           : "{LENGTH:" + std::string(60000, 'x') + "}{MEMO01}");
  const std::u16string text = u"{MEMO01}";
  for (auto _ : state) benchmark::DoNotOptimize(character.ExpandTags(text));
}
BENCHMARK(BM_RunawayWithinBudgets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace parlevo

BENCHMARK_MAIN();
