// Text helpers shared by the loaders, the talk cycle and the tag language:
// width/case folding, the "#" digit wildcard, comma text and truth texts.
#include "data/text_helpers.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <optional>
#include <utility>

#include "platform/codepage.h"
#include "platform/numbers.h"

namespace parlevo {

namespace {

// The folding table as a lookup over U+FF00..U+FF5F (0: keep). The few
// signs outside that block are handled in FoldChar.
constexpr std::array<char16_t, 0x60> MakeFullWidthTable() {
  std::array<char16_t, 0x60> table{};
  for (int i = 0; i < 10; ++i) table[0x10 + i] = static_cast<char16_t>(u'0' + i);
  for (int i = 0; i < 26; ++i) {
    table[0x21 + i] = static_cast<char16_t>(u'A' + i);  // capitals
    table[0x41 + i] = static_cast<char16_t>(u'A' + i);  // small letters
  }
  // Full-width signs, each to the ASCII sign of the same code below 0x80.
  // U+FF02, U+FF07 and U+FF3C are not folded: code page 932 spells the quote,
  // apostrophe and yen differently (U+201D, U+2019, U+FFE5).
  constexpr char16_t kSigns[] = {0x01, 0x03, 0x04, 0x05, 0x06, 0x08, 0x09, 0x0A, 0x0B, 0x0C,
                                 0x0D, 0x0E, 0x0F, 0x1A, 0x1B, 0x1C, 0x1D, 0x1E, 0x1F, 0x20,
                                 0x3B, 0x3D, 0x3E, 0x3F, 0x40, 0x5B, 0x5C, 0x5D};
  for (char16_t s : kSigns) table[s] = static_cast<char16_t>(s + 0x20);
  return table;
}

constexpr std::array<char16_t, 0x60> kFullWidth = MakeFullWidthTable();

char16_t FoldChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c >= 0xFF00 && c < 0xFF60) return kFullWidth[c - 0xFF00] ? kFullWidth[c - 0xFF00] : c;
  switch (c) {
    case 0x3000:
      return u' ';
    case 0x201D:
      return u'"';
    case 0x2019:
      return u'\'';
    case 0xFFE5:
      return u'\\';
    case 0xFFE3:
      return u'~';
    default:
      return c;
  }
}

// Replaces every `from` that starts a character of its own by `to`.
std::string ReplaceWholeChars(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
      continue;
    }
    size_t n = platform::CharLengthAt(text, i);
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}

// Which characters of a code page come back as the same bytes from
// AnsiToWide, NormalizeText and WideToAnsi: a text made of them only needs
// no trip through UTF-16 to be folded. Built once per code page on first
// use and only read afterwards (the static's initialisation is thread-safe).
class TFoldsToItself {
 public:
  explicit TFoldsToItself(int code_page) : code_page_(code_page) {
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      lead_[static_cast<size_t>(b)] =
          platform::IsLeadByte(static_cast<unsigned char>(b), code_page);
      if (!lead_[static_cast<size_t>(b)]) {
        single_[static_cast<size_t>(b)] = Unchanged(std::string_view(&c, 1));
        continue;
      }
      for (int t = 0; t < 256; ++t) {
        const char pair[] = {c, static_cast<char>(t)};
        double_[static_cast<size_t>(b << 8 | t)] = Unchanged(std::string_view(pair, 2));
      }
    }
  }

  // False also for what is not a whole character (a lead byte at the end,
  // a lead and a byte that cannot trail): those take the long way.
  bool All(std::string_view text) const {
    for (size_t i = 0; i < text.size();) {
      const auto b = static_cast<unsigned char>(text[i]);
      if (!lead_[b]) {
        if (!single_[b]) return false;
        ++i;
        continue;
      }
      if (i + 1 == text.size()) return false;
      if (!double_[static_cast<size_t>(b << 8 | static_cast<unsigned char>(text[i + 1]))]) {
        return false;
      }
      i += 2;
    }
    return true;
  }

 private:
  bool Unchanged(std::string_view ansi) const {
    return platform::WideToAnsi(NormalizeText(platform::AnsiToWide(ansi, code_page_)),
                                code_page_) == ansi;
  }

  int code_page_;
  std::bitset<256> lead_;  // the code page's, looked up for every byte of every field
  std::bitset<256> single_;
  std::bitset<65536> double_;
};

// True when FoldEntryField's folding leaves `ansi` as it is.
bool FoldsToItself(std::string_view ansi) {
  if (platform::ProcessCodePage() == platform::kCodePage932) {
    static const TFoldsToItself k932(platform::kCodePage932);
    return k932.All(ansi);
  }
  static const TFoldsToItself k1252(platform::kCodePage1252);
  return k1252.All(ansi);
}

bool IsBlank(char c) {
  auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 32;
}

}  // namespace

std::u16string NormalizeText(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = FoldChar(c);
  return out;
}

std::string ExpandDigitWildcard(std::string_view ansi) {
  // Neither pass can change a text without these bytes anywhere.
  if (ansi.find('#') == std::string_view::npos && ansi.find("\\[0-9]") == std::string_view::npos) {
    return std::string(ansi);
  }
  // Two passes, as the rule reads: "#" -> "[0-9]", then "\[0-9]" -> "#".
  return ReplaceWholeChars(ReplaceWholeChars(ansi, "#", "[0-9]"), "\\[0-9]", "#");
}

std::string FoldEntryField(std::string_view ansi) {
  if (FoldsToItself(ansi)) return ExpandDigitWildcard(ansi);
  return ExpandDigitWildcard(platform::WideToAnsi(NormalizeText(platform::AnsiToWide(ansi))));
}

namespace {

// Bytes below 0x80 are never lead bytes: no code page lookup for them.
size_t CharLength(std::string_view text, size_t i) {
  return static_cast<unsigned char>(text[i]) < 0x80 ? 1 : platform::CharLengthAt(text, i);
}

// Calls `field(begin, end, text)` for each field of comma text, in order;
// `field` may take `text` over (it is cleared before the next field).
template <typename OnField>
void ForEachCommaField(std::string_view ansi, OnField field) {
  // A NUL ends the text, as it ends the text of a file.
  ansi = ansi.substr(0, ansi.find('\0'));
  size_t i = 0;
  auto skip_blanks = [&] {
    while (i < ansi.size() && IsBlank(ansi[i])) ++i;
  };
  std::string text;
  skip_blanks();
  while (i < ansi.size()) {
    const size_t begin = i;
    text.clear();
    if (ansi[i] == '"') {
      ++i;
      size_t run = i;  // the bytes since the last quote, appended at once
      while (i < ansi.size()) {
        if (ansi[i] == '"') {
          text.append(ansi.substr(run, i - run));
          const bool doubled = i + 1 < ansi.size() && ansi[i + 1] == '"';
          if (doubled) text += '"';
          i += doubled ? 2 : 1;
          run = i;
          if (!doubled) break;  // the closing quote
          continue;
        }
        i = std::min(i + CharLength(ansi, i), ansi.size());
      }
      if (run < i) text.append(ansi.substr(run, i - run));  // no closing quote
    } else {
      while (i < ansi.size() && !IsBlank(ansi[i]) && ansi[i] != ',') i += CharLength(ansi, i);
      text.assign(ansi.substr(begin, i - begin));
    }
    field(begin, i, text);
    skip_blanks();
    if (i < ansi.size() && ansi[i] == ',') {
      ++i;
      skip_blanks();
    }
  }
}

}  // namespace

std::vector<TCommaField> SplitCommaFields(std::string_view ansi) {
  std::vector<TCommaField> fields;
  ForEachCommaField(ansi, [&](size_t begin, size_t end, const std::string& text) {
    fields.push_back({begin, end, text});
  });
  return fields;
}

std::vector<std::string> SplitCommaText(std::string_view ansi) {
  std::vector<std::string> texts;
  // The field's text is handed over: the next field starts a fresh one.
  ForEachCommaField(ansi,
                    [&](size_t, size_t, std::string& text) { texts.push_back(std::move(text)); });
  return texts;
}

const char* BoolToText(bool value) { return value ? "True" : "False"; }

std::u16string BoolToWide(bool value) { return value ? u"True" : u"False"; }

bool TextToBool(std::string_view ansi) {
  if (NormalizeText(platform::AnsiToWide(ansi)) == u"TRUE") return true;
  std::optional<int32_t> number = platform::TextToInt(ansi);
  return number.has_value() && *number != 0;
}

}  // namespace parlevo
