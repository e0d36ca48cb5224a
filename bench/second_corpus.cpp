// The second corpus: its own vocabularies (station names, foods, verbs,
// technical words), patterns of seven kinds, and a stream of sentences,
// lists and figures that texts are cut from.
#include "second_corpus.h"

#include <random>

#include "pattern_corpus.h"
#include "platform/codepage.h"

namespace parlevo::bench {
namespace {

std::vector<std::string> Sjis(const std::vector<const char*>& utf8) {
  std::vector<std::string> out;
  for (const char* w : utf8) {
    out.push_back(platform::WideToAnsi(platform::Utf8ToWide(w), platform::kCodePage932));
  }
  return out;
}

const std::vector<std::string>& Ascii() {
  static const std::vector<std::string> w = {
      "kernel", "buffer",  "socket", "server", "thread",  "packet", "router", "widget",
      "cache",  "latency", "vector", "matrix", "compile", "deploy", "commit", "branch",
      "token",  "parser",  "index",  "query",  "backup",  "signal", "cursor", "module"};
  return w;
}

const std::vector<std::string>& Japanese() {
  static const std::vector<std::string> w =
      Sjis({"新宿",   "渋谷", "池袋",   "品川", "上野",   "秋葉原", "蕎麦",   "寿司",
            "天ぷら", "味噌", "醤油",   "抹茶", "走る",   "泳ぐ",   "書いた", "読んだ",
            "届く",   "忘れ", "駅前",   "改札", "乗り換", "特急",   "各駅",   "終電",
            "会議",   "資料", "締め切", "見積", "カメラ", "レンズ", "ピント", "シャッター"});
  return w;
}

const std::vector<std::string>& Kana() {
  static const std::vector<std::string> w = Sjis({"あ", "い", "う", "え", "お", "か", "き", "く",
                                                  "ア", "イ", "ウ", "エ", "オ", "ン", "ー", "ソ"});
  return w;
}

const std::vector<std::string>& Filler() {
  static const std::vector<std::string> w =
      Sjis({"の",     "は",     "を",     "に",     "で",       "から",    "まで", "、",
            "。",     "「",     "」",     "・",     "（",       "）",      "と",   "も",
            "ですが", "でした", "ました", "ません", "、そして", "ところで"});
  return w;
}

template <typename T>
const T& Pick(std::mt19937& rng, const std::vector<T>& v) {
  return v[rng() % v.size()];
}

std::string Word(std::mt19937& rng) {
  return rng() % 2 ? Pick(rng, Ascii()) : Pick(rng, Japanese());
}

// A class of double-byte characters for this engine, and as an alternation.
SecondPattern KanaClass(std::mt19937& rng) {
  SecondPattern p{"[", "(?:"};
  for (int i = 0, n = 2 + static_cast<int>(rng() % 4); i < n; ++i) {
    const std::string& k = Pick(rng, Kana());
    p.ours += k;
    p.bytes += (i ? "|" : "") + ForByteEngines(k);
  }
  p.ours += "]";
  p.bytes += ")";
  return p;
}

SecondPattern Same(const std::string& pattern) { return {pattern, ForByteEngines(pattern)}; }

SecondPattern MakeOne(int kind, std::mt19937& rng) {
  switch (kind) {
    case 0:  // ASCII literal, at times two words
      return Same(rng() % 3 ? Pick(rng, Ascii()) : Pick(rng, Ascii()) + " " + Pick(rng, Ascii()));
    case 1:  // Shift JIS literal
      return Same(Pick(rng, Japanese()) + (rng() % 2 ? Pick(rng, Filler()) : std::string()));
    case 2: {  // alternation of words
      std::string p = "(";
      for (int i = 0, n = 2 + static_cast<int>(rng() % 4); i < n; ++i)
        p += (i ? "|" : "") + Word(rng);
      return Same(p + ")" + (rng() % 2 ? Pick(rng, Filler()) : std::string()));
    }
    case 3: {  // classes
      if (rng() % 2) {
        static const std::vector<std::string> ascii = {
            "[A-Z][a-z]+", "[aeiou][rst]", "[0-9a-f][0-9a-f]x", "[bcd]ata", "[kK]ernel"};
        return Same(Pick(rng, ascii) + Pick(rng, Ascii()).substr(0, 2));
      }
      SecondPattern c = KanaClass(rng);
      const std::string tail = Pick(rng, Japanese());
      return {c.ours + tail, c.bytes + ForByteEngines(tail)};
    }
    case 4:  // two words joined by ".*"
      return Same(Word(rng) + ".*" + Word(rng));
    case 5: {  // digit runs
      static const std::vector<std::string> units = Sjis({"円", "分", "番線", "号車", "件"});
      return Same(rng() % 2 ? Pick(rng, Ascii()) + "[0-9]+" : "[0-9]+" + Pick(rng, units));
    }
    default: {  // anchored
      const std::string w = Word(rng);
      switch (rng() % 3) {
        case 0:
          return Same("^" + w);
        case 1:
          return Same(w + "$");
        default:
          return Same("^(" + w + "|" + Word(rng) + ")");
      }
    }
  }
}

// The stream: sentences, lists and figures in turn, no line breaks.
const std::string& Stream() {
  static const std::string stream = [] {
    std::mt19937 rng(2718);
    std::string s;
    while (s.size() < (size_t{1} << 20)) {
      switch (rng() % 4) {
        case 0:  // a Japanese sentence
          for (int i = 0, n = 3 + static_cast<int>(rng() % 6); i < n; ++i) {
            s += Pick(rng, Japanese()) + Pick(rng, Filler());
          }
          break;
        case 1:  // an English log line
          s += Pick(rng, Ascii()) + " " + Pick(rng, Ascii()) +
               " id=" + std::to_string(rng() % 100000) + " ";
          break;
        case 2:  // a list with figures
          s += Pick(rng, Japanese()) + std::to_string(rng() % 1000) + Pick(rng, Filler()) +
               Pick(rng, Kana()) + Pick(rng, Kana());
          break;
        default:  // mixed
          s += Word(rng) + Pick(rng, Filler()) + Word(rng) + " ";
      }
    }
    return s;
  }();
  return stream;
}

bool IsLead(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

}  // namespace

std::vector<SecondPattern> MakeSecondPatterns(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<SecondPattern> out;
  for (size_t i = 0; i < count; ++i) out.push_back(MakeOne(static_cast<int>(i % 7), rng));
  return out;
}

std::vector<std::string> CutSecondTexts(size_t bytes, size_t count, uint32_t seed) {
  const std::string& s = Stream();
  static const std::vector<uint32_t> starts = [&s] {  // every character boundary
    std::vector<uint32_t> out;
    for (size_t q = 0; q < s.size(); q += IsLead(static_cast<uint8_t>(s[q])) ? 2 : 1) {
      out.push_back(static_cast<uint32_t>(q));
    }
    return out;
  }();
  std::mt19937 rng(seed);
  std::vector<std::string> out;
  while (out.size() < count) {
    const size_t at = starts[rng() % starts.size()];
    if (at + bytes + 2 > s.size()) continue;
    size_t end = at;
    while (end < at + bytes) end += IsLead(static_cast<uint8_t>(s[end])) ? 2 : 1;
    out.push_back(s.substr(at, end - at));
  }
  return out;
}

}  // namespace parlevo::bench
