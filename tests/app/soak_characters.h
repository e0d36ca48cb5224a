// Generated characters for the soak test: hundreds of entries of every kind,
// tags of every family, and memory in slots 50-99 that stays bounded however
// long they talk.
#ifndef PARLEVO_TESTS_APP_SOAK_CHARACTERS_H_
#define PARLEVO_TESTS_APP_SOAK_CHARACTERS_H_

#include <string>
#include <vector>

#include "platform/codepage.h"
#include "test_support.h"

namespace parlevo::test {

// Words the answers say and the patterns listen for, so the characters keep
// finding kind A and B answers in each other's lines.
inline const std::vector<std::string> kSoakWords = {
    "天気", "猫", "電車", "宇宙", "音楽", "数字", "夢",   "海",   "山",   "本",   "料理", "ロボ",
    "雨",   "花", "星",   "時計", "駅",   "学校", "映画", "旅行", "電池", "公園", "お茶", "手紙"};

// Builds the entries of one character; `variant` shifts its words and slots
// so no two characters are alike.
class SoakRecipe {
 public:
  explicit SoakRecipe(int variant) : variant_(variant) {}

  // One answer with tags of a family picked by `n`. No ASCII blank or comma,
  // so it stands as one field in kinds 0, A and B. Stored counts only ever
  // hold whole numbers, which the state file keeps exactly.
  std::string Answer(int n) const {
    const std::string a = Word(n), b = Word(n + 5), c = Word(n + 11);
    const std::string memo = Slot(50, n), count = Slot(60, n), flag = Slot(70, n);
    switch (n % 14) {
      case 0:
        return a + "の話だね。{MEMO" + memo + ":" + a + "}前は{MEMO" + Slot(50, n + 3) + "}の話。";
      case 1:
        return a + "が{RANDOMV:100}個！{COUNT" + count + "++}合計{COUNT" + count + "}。";
      case 2:
        return "{IF{FLAG" + flag + "}" + a + "は好き|" + b + "は苦手}{FLAG" + flag + "!}";
      case 3:
        return "{HOUR}時{MINUTE}分{SECOND}秒、{YOUBI}の{DATE}。" + a +
               "日和。{DATEDIFFD2026/01/01|{DATE}}日目";
      case 4:
        return a + "{BR}" + b + "と" + c;
      case 5:
        return "{+{COUNT" + count + "}|{SQRT:16}}と{/1|3}と{ROUND:2.5}と{^2|10}で" + a + "の計算。";
      case 6:
        return "{MEMO" + memo + ":{LEFT24|{PREV}}}「{MEMO" + memo + "}」と{NICKNAME}。" + a;
      case 7:
        return "{MEMO" + memo + ":{LEFT30|{MEMO" + memo + "}" + a + "}}{LENGTH:{MEMO" + memo +
               "}}文字の" + b;
      case 8:
        return "{CHOICE" + a + "|" + b + "|" + c + "}はどう？{AND{FLAG" + flag +
               "}|{ORfalse|true}}{XORtrue|false}{NOT:TRUE}";
      case 9:
        return "{RESULT}{ALLOWEXECUTE}{ENTRUSTx|y}{ENDENTRUST}" + a + "{SHELL:z}";
      case 10:
        return "{TURN}回目、{FULLNAME}と" + a + "。{MID2|3|{PREVANSWER}}{WORK}{SEX}{BIRTHDAY}";
      case 11:
        return "{POS" + a + "|{PREV}}{EQ" + a + "|" + b + "}{ISSAMED2026/12/24|{DATE}}" + c +
               "{LIKE{PREV}|#}";
      case 12:
        return "{MEMO" + Slot(0, n) + ":" + a + "}{MEMO" + Slot(0, n) + "}と{COUNT" + Slot(10, n) +
               "++}{COUNT" + Slot(10, n) + "}" + b;
      default:
        return "{COUNT" + Slot(80, n) + ":{RANDOMV:1000}}{FLAG" + Slot(90, n) + ":{RANDOMB:50}}" +
               "{SCRIPTIZE:{IF{RANDOMB:50}[COUNT" + count + "--]" + a + "|[MEMO" + Slot(90, n) +
               "C]" + b + "}}";
    }
  }

  // A pattern of a shape picked by `n`, listening for the words of answers.
  std::string Pattern(int n) const {
    const std::string a = Word(n), b = Word(n + 7);
    switch (n % 8) {
      case 0:
        return a;
      case 1:
        return "(" + a + "|" + b + ")";
      case 2:
        return a + ".*" + b;
      case 3:
        return "#+個";
      case 4:
        return "^" + a;
      case 5:
        return a + "$";
      case 6:
        return "[あ-ん]" + a;
      default:
        return "(" + a + ")+[^x]";
    }
  }

  std::vector<std::string> Conditions(int first, int count) const {
    std::vector<std::string> lines = {"{EQ{OPERATEMESSAGE}|LCCALLED},{SCRIPTIZE:{IF{FLAG" +
                                      Slot(70, 0) + "}[COUNT50++]また会えたね|[FLAG" + Slot(70, 0) +
                                      ":TRUE]はじめまして}}{NICKNAME}。{COUNT50}回目。"};
    for (int n = first; n < first + count; ++n) {
      switch (n % 4) {
        case 0:
          lines.push_back("{=={%{TURN}|" + std::to_string(17 + n) + "}|0}," + Answer(n));
          break;
        case 1:
          lines.push_back("{AND{FLAG" + Slot(70, n) + "}|{RANDOMB:5}}," + Answer(n));
          break;
        case 2:
          lines.push_back("{>{COUNT" + Slot(60, n) + "}|500}," + "{COUNT" + Slot(60, n) + ":0}" +
                          Word(n));
          break;
        default:
          lines.push_back("{AND{LIKE{PREV}|" + Word(n) + "}|{RANDOMB:3}}," + Answer(n));
          break;
      }
    }
    return lines;
  }

  std::vector<std::string> KindA(int first, int count) const {
    std::vector<std::string> lines;
    for (int n = first; n < first + count; ++n)
      lines.push_back(Word(n) + "," + Pattern(n + 1) + "," + Answer(n + 2));
    return lines;
  }

  // Kind B, with a tier divider half way and answers to silence and repetition.
  std::vector<std::string> KindB(int first, int count) const {
    std::vector<std::string> lines = {"NOTHINGSAID,…{NICKNAME}？",
                                      "{REPEATED},同じだね。" + Answer(first)};
    for (int n = first; n < first + count; ++n) {
      if (n == first + count / 2) lines.push_back("{PRIOR},-");
      lines.push_back(Pattern(n) + "," + Answer(n + 3));
    }
    return lines;
  }

  // Kind C, lines as they stand; an end marker hides the last ones.
  std::vector<std::string> KindC(int first, int count) const {
    std::vector<std::string> lines;
    for (int n = first; n < first + count; ++n)
      lines.push_back("ねえ、" + Answer(n) + " そうそう, " + Word(n + 2));
    lines.push_back("{ENDOFDATA}");
    lines.push_back("この行は読まれない");
    return lines;
  }

 private:
  std::string Word(int n) const { return kSoakWords[(n + 3 * variant_) % kSoakWords.size()]; }
  // One of the ten slots from `base` on, as two digits.
  std::string Slot(int base, int n) const {
    const int slot = base + (n + variant_) % 10;
    return (slot < 10 ? "0" : "") + std::to_string(slot);
  }

  int variant_;
};

// Writes the character `name` (UTF-8) in the folder `folder` (ASCII) of
// `dir` and returns its base file.
inline std::string WriteSoakCharacter(const ScratchDir& dir, const std::string& folder,
                                      const std::string& name, int variant) {
  const SoakRecipe recipe(variant);
  const DataFiles files = {
      {"data01", recipe.Conditions(0, 20)}, {"data02", recipe.Conditions(20, 20)},
      {"dataa1", recipe.KindA(0, 150)},     {"dataa2", recipe.KindA(150, 150)},
      {"datab1", recipe.KindB(0, 200)},     {"datab2", recipe.KindB(200, 200)},
      {"datac1", recipe.KindC(0, 150)},     {"datac2", recipe.KindC(150, 150)}};
  std::vector<std::string> base = {"name", platform::Utf8ToAnsi(name), "version", "210", "folder",
                                   folder};
  for (const auto& [key, lines] : files) {
    std::vector<std::string> ansi;
    for (const std::string& line : lines) ansi.push_back(platform::Utf8ToAnsi(line));
    dir.Write(folder + "/" + key + ".txt", ansi);
    base.push_back(key);
    base.push_back(key + ".txt");
  }
  return dir.Write(folder + ".ltc", base);
}

}  // namespace parlevo::test

#endif  // PARLEVO_TESTS_APP_SOAK_CHARACTERS_H_
