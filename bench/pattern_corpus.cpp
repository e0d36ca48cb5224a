// Corpus generator: words drawn from small ASCII and Japanese vocabularies,
// combined into the four pattern kinds and into input sentences.
#include "pattern_corpus.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "platform/codepage.h"

namespace parlevo::bench {
namespace {

const std::vector<std::string>& AsciiWords() {
  static const std::vector<std::string> words = {
      "hello", "good",   "morning", "night", "name",     "weather", "rain",   "sunny",
      "cat",   "dog",    "music",   "game",  "book",     "movie",   "coffee", "tea",
      "lunch", "dinner", "sleep",   "work",  "school",   "friend",  "love",   "happy",
      "sad",   "tired",  "busy",    "today", "tomorrow", "yes",     "no",     "thanks",
      "sorry", "please", "help",    "what",  "why",      "where",   "when",   "how"};
  return words;
}

std::vector<std::string> ToSjis(const std::vector<const char*>& utf8) {
  std::vector<std::string> out;
  for (const char* w : utf8) {
    out.push_back(platform::WideToAnsi(platform::Utf8ToWide(w), platform::kCodePage932));
  }
  return out;
}

const std::vector<std::string>& JapaneseWords() {
  static const std::vector<std::string> words = ToSjis(
      {"こんにちは", "こんばんは", "おはよう", "ありがとう", "すみません", "おやすみ", "天気",
       "名前",       "好き",       "嫌い",     "食べ物",     "猫",         "犬",       "音楽",
       "映画",       "学校",       "仕事",     "友達",       "元気",       "疲れた",   "眠い",
       "楽しい",     "悲しい",     "今日",     "明日",       "昨日",       "雨",       "晴れ",
       "ゲーム",     "コーヒー",   "ラーメン", "アニメ",     "テレビ",     "カレー",   "どうして",
       "なに",       "どこ",       "いつ",     "本当",       "すごい"});
  return words;
}

const std::vector<std::string>& JapaneseFiller() {
  static const std::vector<std::string> words = ToSjis(
      {"は", "が", "を",   "に",   "で",   "と",   "の",   "ね",       "よ",       "か",
       "、", "。", "です", "ます", "だよ", "かな", "って", "でしょう", "ちょっと", "とても"});
  return words;
}

const std::vector<std::string>& Suffixes() {
  static const std::vector<std::string> words = ToSjis({"円", "歳", "時", "分", "個", "回", "人"});
  return words;
}

template <typename T>
const T& Pick(std::mt19937& rng, const std::vector<T>& v) {
  return v[rng() % v.size()];
}

std::string AnyWord(std::mt19937& rng) {
  return rng() % 2 ? Pick(rng, AsciiWords()) : Pick(rng, JapaneseWords());
}

std::string ClassPattern(std::mt19937& rng) {
  switch (rng() % 5) {
    case 0:
      return "[0-9]+" + Pick(rng, Suffixes());
    case 1:
      return "[0-9][0-9]" + Pick(rng, Suffixes());
    case 2:
      return Pick(rng, AsciiWords()) + "[0-9]";
    case 3:
      return "[a-z]+" + Pick(rng, AsciiWords());
    default:
      return Pick(rng, JapaneseWords()) + "[0-9]+";
  }
}

std::string AlternationPattern(std::mt19937& rng) {
  int branches = 2 + static_cast<int>(rng() % 3);
  std::string out = "(";
  bool japanese = rng() % 2;
  for (int i = 0; i < branches; ++i) {
    if (i) out += "|";
    out += japanese ? Pick(rng, JapaneseWords()) : Pick(rng, AsciiWords());
  }
  return out + ")";
}

}  // namespace

std::vector<CorpusPattern> MakePatterns(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<CorpusPattern> out;
  for (size_t i = 0; i < count; ++i) {
    PatternKind kind = static_cast<PatternKind>(i % 4);
    std::string p;
    switch (kind) {
      case PatternKind::kAsciiLiteral:
        p = Pick(rng, AsciiWords());
        if (rng() % 3 == 0) p += " " + Pick(rng, AsciiWords());
        break;
      case PatternKind::kJapaneseLiteral:
        p = Pick(rng, JapaneseWords());
        if (rng() % 3 == 0) p += Pick(rng, JapaneseFiller());
        break;
      case PatternKind::kAlternation:
        p = AlternationPattern(rng);
        break;
      case PatternKind::kClass:
        p = ClassPattern(rng);
        break;
    }
    uint32_t extra = rng() % 20;
    if (extra < 3)
      p += ".*" + AnyWord(rng);  // ".*" in the middle
    else if (extra == 3)
      p = "^" + p;
    else if (extra == 4)
      p += "$";
    out.push_back({p, kind});
  }
  return out;
}

namespace {

std::string Sentence(std::mt19937& rng, size_t target) {
  std::string s;
  while (s.size() < target) {
    switch (rng() % 6) {
      case 0:
        s += Pick(rng, AsciiWords()) + " ";
        break;
      case 1:
        s += std::to_string(rng() % 100) + Pick(rng, Suffixes());
        break;
      case 2:
      case 3:
        s += Pick(rng, JapaneseWords());
        break;
      default:
        s += Pick(rng, JapaneseFiller());
    }
  }
  // Cut at a character boundary at or below the target size.
  size_t cut = 0;
  for (size_t i = 0; i < s.size();) {
    size_t len = platform::CharLengthAt(s, i, platform::kCodePage932);
    if (i + len > target) break;
    i += len;
    cut = i;
  }
  s.resize(cut);
  return s;
}

}  // namespace

std::vector<std::string> MakeInputs(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> out;
  for (size_t i = 0; i < count; ++i) out.push_back(Sentence(rng, 10 + rng() % 191));
  return out;
}

std::string MakeInput(size_t bytes, uint32_t seed) {
  std::mt19937 rng(seed);
  return Sentence(rng, bytes);
}

std::string ForByteEngines(const std::string& pattern) {
  std::string out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    auto b = static_cast<uint8_t>(pattern[i]);
    bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    out += pattern[i];
    if (lead && i + 1 < pattern.size()) {
      char t = pattern[++i];
      if (std::strchr("\\^$.|?*+()[]{}", t) && t != 0) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<uint8_t>(t));
        out += hex;
      } else {
        out += t;
      }
    } else if (pattern[i] == '\\' && i + 1 < pattern.size()) {
      out += pattern[++i];
    }
  }
  return out;
}

std::vector<std::string> MakeHostilePatterns(uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::string> out;
  auto fill = [](std::string unit, size_t bytes) {
    std::string s;
    while (s.size() + unit.size() <= bytes) s += unit;
    return s;
  };
  out.push_back("(a|b)*a" + fill("(a|b)", 993));
  out.push_back("(a|b)*a" + fill("(a|b)", 100) + "c");
  out.push_back(std::string(499, '(') + "a" + std::string(499, ')'));
  out.push_back(fill(".*", 1000));
  out.push_back(fill(".*a", 1000));
  out.push_back(fill("[0-9]*", 1000));
  out.push_back(fill("x*", 1000));
  std::string group = "(";
  group += fill("(.|x)*", 998);
  group += ')';
  out.push_back(group);
  out.push_back(fill("[^a]", 1000));
  out.push_back(fill("[a-z]+[0-9]", 1000));
  out.push_back(fill("(a?)", 1000));
  out.push_back(fill("a?", 500) + fill("a", 500));
  // A wide alternation of distinct words, and one of distinct characters.
  std::string words;
  while (words.size() < 980) {
    if (!words.empty()) words += '|';
    words += AnyWord(rng);
  }
  out.push_back(words);
  std::string chars;
  for (int c = 0x21; chars.size() < 990; c = c % 0x7E + 1) {
    if (std::string("()[]|*+?.^$\\").find(static_cast<char>(c)) != std::string::npos || c < 0x21) {
      continue;
    }
    if (!chars.empty()) chars += ".*";
    chars += static_cast<char>(c);
  }
  out.push_back(chars);
  // Random soup of every construct.
  for (int k = 0; k < 16; ++k) {
    static const std::vector<std::string> parts = {
        "a", "b", ".", "*", "+", "?", "|", "(", ")", "[a-z]", "[^0-9]", "^", "$", "x*", "(a|b)"};
    std::string p;
    int depth = 0;
    while (p.size() < 990) {
      std::string part = Pick(rng, parts);
      if (part == ")" && depth == 0) continue;
      if ((part == "*" || part == "+" || part == "?") &&
          (p.empty() || std::string("*+?(|").find(p.back()) != std::string::npos)) {
        continue;
      }
      if (part == "(") ++depth;
      if (part == ")") --depth;
      p += part;
    }
    while (depth-- > 0) p += ")";
    out.push_back(p);
  }
  return out;
}

}  // namespace parlevo::bench
