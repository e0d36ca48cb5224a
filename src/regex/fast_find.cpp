// Quick answers: the three stages of a compiled pattern's fast paths joined.
//
// The literal analysis (literal_analysis) gives the prefilter's strings; a
// text that holds none of them has no match, and when they are everything
// the pattern matches, a match is one of them starting on a character
// boundary: a byte is a boundary when an even run of lead bytes stands right
// before it, since the byte before such a run always ends a character. Each
// literal is searched for by its rarest byte; up to four of them are also
// kept as two byte pairs each, which the thread's summary of the text
// (text_summary) checks without a scan. The unanchored automaton
// (unanchored) answers the rest in one pass.
#include "regex/fast_find.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include "regex/automaton.h"
#include "regex/literal_analysis.h"
#include "regex/literal_list.h"
#include "regex/literal_set.h"
#include "regex/text_summary.h"
#include "regex/tree.h"
#include "regex/unanchored.h"

namespace parlevo {

namespace {

// How common a byte is in Japanese and English chat text (higher: more common).
constexpr int CommonnessOf(uint8_t b) {
  if (b == 0x81 || b == 0x82 || b == 0x83 || b == ' ') return 100;
  if ((b >= 0x88 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEA)) return 60;
  for (char c : std::string_view("etaoinsrhl")) {
    if (b == static_cast<uint8_t>(c)) return 50;
  }
  if (b >= 'a' && b <= 'z') return 30;
  return 10;
}

// Looked up for every byte of every literal at load: a table.
constexpr std::array<uint8_t, 256> kCommonness = [] {
  std::array<uint8_t, 256> table{};
  for (int b = 0; b < 256; ++b)
    table[b] = static_cast<uint8_t>(CommonnessOf(static_cast<uint8_t>(b)));
  return table;
}();

int Commonness(uint8_t b) { return kCommonness[b]; }

bool Contains(std::string_view text, std::string_view needle, size_t rare) {
  const size_t n = text.size(), m = needle.size();
  if (m > n) return false;
  const char* t = text.data();
  const char rb = needle[rare];
  for (size_t i = rare; i + (m - rare) <= n;) {
    const void* hit = std::memchr(t + i, rb, n - (m - rare) - i + 1);
    if (!hit) return false;
    size_t j = static_cast<size_t>(static_cast<const char*>(hit) - t);
    if (std::memcmp(t + j - rare, needle.data(), m) == 0) return true;
    i = j + 1;
  }
  return false;
}

}  // namespace

TbmREFastFind::TbmREFastFind(TbmCharCode code) : code_(code), is_lead_(bmccLeadByteTable(code)) {}
TbmREFastFind::~TbmREFastFind() = default;
TbmREFastFind::TbmREFastFind(TbmREFastFind&&) noexcept = default;
TbmREFastFind& TbmREFastFind::operator=(TbmREFastFind&&) noexcept = default;

TbmREFastFind::TbmREFastFind(const TbmRETree& tree, TbmCharCode code) : TbmREFastFind(code) {
  TbmRERequiredLiterals found = AnalyzeLiterals(tree, code);
  also_ = TbmREPackedStrings(found.also);
  const bool exact = found.exact && !found.strings.empty() && code != bmccUniCode;
  if (exact) {
    exact_head_ = found.head;
    exact_tail_ = found.tail;
    exact_anchored_ = found.head || found.tail;
  }
  literal_only_ = exact && !tree.HasLineHead && !tree.HasLineTail;
  SetLiterals(std::move(found.strings));
}

bool TbmREFastFind::FromLiteralList(TbmRELiteralList list, TbmCharCode code, TbmREFastFind& out) {
  if (code == bmccUniCode || list.size() == 0) return false;
  if (list.size() > kMaxLiterals) {  // a word list: one multi-literal pass
    out = TbmREFastFind(code);
    out.literal_only_ = true;
    out.exact_head_ = list.head;
    out.exact_tail_ = list.tail;
    out.exact_anchored_ = list.head || list.tail;
    out.set_ = std::make_unique<TbmRELiteralSet>(std::move(list), code);
    return true;
  }
  // A few literals with anchors are left to the automaton, as are long ones.
  if (list.head || list.tail) return false;
  std::vector<std::string> literals;
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].size() > kMaxLiteralBytes) return false;
    literals.emplace_back(list[i]);
  }
  out = TbmREFastFind(code);
  out.literal_only_ = true;
  out.SetLiterals(std::move(literals));
  return true;
}

void TbmREFastFind::PrepareSearch() {
  if (set_) set_->Prepare();
}

void TbmREFastFind::SetLiterals(const std::vector<std::string>& literals) {
  const bool probes = !literals.empty() && literals.size() <= kMaxProbes &&
                      std::all_of(literals.begin(), literals.end(),
                                  [](const std::string& s) { return s.size() >= 2; });
  std::vector<uint32_t> rare_bytes;
  rare_bytes.reserve(literals.size());
  for (const std::string& s : literals) {
    if (probes) {  // the two rarest byte pairs (the same one twice for two bytes)
      auto pair_at = [&s](size_t i) {
        return static_cast<uint16_t>(static_cast<uint8_t>(s[i - 1]) << 8 |
                                     static_cast<uint8_t>(s[i]));
      };
      auto cost = [&s](size_t i) {
        return Commonness(static_cast<uint8_t>(s[i - 1])) + Commonness(static_cast<uint8_t>(s[i]));
      };
      size_t best = 1, second = 1;
      for (size_t i = 2; i < s.size(); ++i) {
        if (cost(i) < cost(best)) {
          second = best;
          best = i;
        } else if (second == best || cost(i) < cost(second)) {
          second = i;
        }
      }
      probes_[num_probes_][0] = pair_at(best);
      probes_[num_probes_][1] = pair_at(second);
      ++num_probes_;
    }
    uint32_t rare = 0;
    for (uint32_t j = 1; j < s.size(); ++j) {
      if (Commonness(static_cast<uint8_t>(s[j])) < Commonness(static_cast<uint8_t>(s[rare]))) {
        rare = j;
      }
    }
    rare_bytes.push_back(rare);
  }
  needles_ = TbmREPackedStrings(literals, rare_bytes);
}

std::vector<std::string> TbmREFastFind::Literals() const {
  if (set_) return set_->Literals();
  return needles_.ToVector();
}

bool TbmREFastFind::ProbesRuleOut(const TbmRETextSummary& summary) const {
  if (num_probes_ == 0) return false;
  for (int i = 0; i < num_probes_; ++i) {
    if (summary.HasPairIndex(probes_[i][0]) && summary.HasPairIndex(probes_[i][1])) return false;
  }
  return true;
}

bool TbmREFastFind::MayMatch(std::string_view text) const {
  if (set_) return set_->Occurs(text);
  if (needles_.empty()) return true;
  const TbmRETextSummary* summary = SummarizeText(text);
  if (summary && ProbesRuleOut(*summary)) return false;
  for (size_t i = 0; i < needles_.size(); ++i) {
    const std::string_view needle = needles_[i];
    if (summary && !summary->MayContain(needle)) continue;
    if (Contains(text, needle, needles_.Tag(i))) return true;
  }
  return false;
}

bool TbmREFastFind::Aligned(const uint8_t* t, int32_t from, int32_t p) const {
  int32_t q = p;
  while (q > from && is_lead_[t[q - 1]]) --q;
  return ((p - q) & 1) == 0;
}

// The first occurrence of `needle` at or after `from` that starts on a
// character boundary, or -1.
int32_t TbmREFastFind::FindAligned(std::string_view text, int32_t from,
                                   std::string_view needle) const {
  const auto* t = reinterpret_cast<const uint8_t*>(text.data());
  std::string_view rest = text.substr(static_cast<size_t>(from));
  for (size_t at = 0;;) {
    size_t hit = rest.find(needle, at);
    if (hit == std::string_view::npos) return -1;
    int32_t p = from + static_cast<int32_t>(hit);
    if (Aligned(t, from, p)) return p;
    at = hit + 1;
  }
}

bool TbmREFastFind::LiteralSearch(std::string_view text, int32_t from, int32_t& pos,
                                  int32_t& len) const {
  if (set_) return set_->Search(text, from, pos, len);
  pos = -1;
  len = 0;
  const TbmRETextSummary* summary = from == 0 ? SummarizeText(text) : nullptr;
  if (summary && ProbesRuleOut(*summary)) return false;
  for (size_t i = 0; i < needles_.size(); ++i) {
    const std::string_view needle = needles_[i];
    if (summary && !summary->MayContain(needle)) continue;
    int32_t p = FindAligned(text, from, needle);
    if (p < 0) continue;
    int32_t l = static_cast<int32_t>(needle.size());
    if (pos < 0 || p < pos || (p == pos && l > len)) {
      pos = p;
      len = l;
    }
  }
  return pos >= 0;
}
void TbmREFastFind::BuildAutomaton(const TbmREDFATable& dfa) {
  bool always = false;
  automaton_ = TbmREUnanchoredDFA::Build(dfa, code_, always);
  if (always) always_ = true;
}

int TbmREFastFind::Found(std::string_view text) const {
  if (!always_ && !literal_only_ && !MayMatch(text)) return 0;
  return FoundPrefiltered(text);
}

int TbmREFastFind::FoundPrefiltered(std::string_view text) const {
  if (always_) return 1;
  if (literal_only_) {
    int32_t pos, len;
    return LiteralSearch(text, 0, pos, len) ? 1 : 0;
  }
  if (!automaton_) return -1;
  return automaton_->Found(text) ? 1 : 0;
}

}  // namespace parlevo
