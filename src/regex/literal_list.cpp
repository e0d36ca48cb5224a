// Literal list recognition. The tokens are read one at a time and never
// stored, so a word list of any length costs its literals only: the general
// compile's token list, tree and automaton are never built for it.
//
// Shape: ["^"] ["("] literal ("|" literal)* [")"] ["$"], where an anchor
// needs the group or a single literal ("^a|b" anchors "a" alone and is left
// to the general compile).
#include "regex/literal_list.h"

#include <algorithm>

#include "regex/scanner.h"

namespace parlevo {

bool EncodeLiteralChar(int32_t c, TbmCharCode code, std::string& out) {
  if (c < 0 || c > 0xFFFF) return false;
  if (code == bmccUniCode) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
    return true;
  }
  const bool* lead = bmccLeadByteTable(code);
  if (c < 256) {
    if (lead[c]) return false;
    out.push_back(static_cast<char>(c));
    return true;
  }
  if (!lead[c >> 8] || (c & 0xFF) == 0) return false;
  out.push_back(static_cast<char>(c >> 8));
  out.push_back(static_cast<char>(c & 0xFF));
  return true;
}

bool MayBeLiteralList(std::string_view pattern, TbmCharCode code) {
  if (code == bmccUniCode) return false;
  const bool* lead = bmccLeadByteTable(code);
  const size_t n = pattern.size();
  for (size_t i = 0; i < n; ++i) {
    const auto b = static_cast<uint8_t>(pattern[i]);
    switch (b) {
      case '\\':
        return true;  // what an escape reads is the scanner's to say
      case '*':
      case '+':
      case '?':
      case '.':
      case '[':
        return false;
      case '(':
        if (i != 0 && !(i == 1 && pattern[0] == '^')) return false;
        break;
      case ')':
        if (pattern.substr(i + 1) != "" && pattern.substr(i + 1) != "$") return false;
        break;
      default:
        if (lead[b]) ++i;  // its trail byte, whatever it is, belongs to it
        break;
    }
  }
  return true;
}

bool IsPlainLiteral(std::string_view pattern, TbmCharCode code) {
  if (code == bmccUniCode || pattern.empty() || pattern.size() > kMaxListBytes) return false;
  const bool* lead = bmccLeadByteTable(code);
  const size_t n = pattern.size();
  for (size_t i = 0; i < n; ++i) {
    const auto b = static_cast<uint8_t>(pattern[i]);
    if (lead[b]) {
      if (i + 1 == n || pattern[i + 1] == '\0') return false;  // read as no character of the text
      ++i;
      continue;
    }
    switch (b) {
      case '\\':
      case '|':
      case '(':
      case ')':
      case '*':
      case '+':
      case '?':
      case '[':
      case '.':
      case '^':
      case '$':
        return false;
      default:
        break;
    }
  }
  return true;
}

namespace {

// The tokens up to the end, checked against the shape as they come.
bool ReadTokens(TbmREScanner& scanner, TbmRELiteralList& out) {
  const TbmCharCode code = scanner.CharCode();
  TbmREToken t;
  scanner.GetToken(t);
  if (t.Kind == tkLineHead) {
    out.head = true;
    scanner.GetToken(t);
  }
  bool group = false;
  if (t.Kind == tkLPar) {
    group = true;
    scanner.GetToken(t);
  }
  for (size_t begin = 0;; scanner.GetToken(t)) {
    if (t.Kind == tkChar) {
      if (!EncodeLiteralChar(t.Lo, code, out.bytes) || out.bytes.size() > kMaxListBytes) {
        return false;
      }
      continue;
    }
    if (out.bytes.size() == begin) return false;  // an empty alternative, or nothing at all
    if (out.ends.size() == kMaxListLiterals) return false;
    begin = out.bytes.size();
    out.ends.push_back(static_cast<uint32_t>(begin));
    if (t.Kind != tkUnion) break;
  }
  if (group) {
    if (t.Kind != tkRPar) return false;
    scanner.GetToken(t);
  }
  if (t.Kind == tkLineTail) {
    out.tail = true;
    scanner.GetToken(t);
  }
  if (t.Kind != tkEnd) return false;
  return group || out.size() == 1 || (!out.head && !out.tail);
}

// Sorts the literals and keeps each once.
void SortDistinct(TbmRELiteralList& list) {
  std::vector<uint32_t> order(list.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&list](uint32_t a, uint32_t b) { return list[a] < list[b]; });
  TbmRELiteralList sorted;
  sorted.head = list.head;
  sorted.tail = list.tail;
  sorted.bytes.reserve(list.bytes.size());
  for (size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && list[order[k]] == list[order[k - 1]]) continue;
    sorted.bytes += list[order[k]];
    sorted.ends.push_back(static_cast<uint32_t>(sorted.bytes.size()));
  }
  sorted.bytes.shrink_to_fit();
  sorted.ends.shrink_to_fit();
  list = std::move(sorted);
}

}  // namespace

bool ReadLiteralList(TbmREScanner& scanner, TbmRELiteralList& out) {
  out = TbmRELiteralList{};
  if (scanner.CharCode() == bmccUniCode) return false;
  bool list;
  try {
    list = ReadTokens(scanner, out);
  } catch (const EbmREToken&) {
    list = false;  // the general compile raises it again, with its position
  }
  if (!list) {
    out = TbmRELiteralList{};
    return false;
  }
  SortDistinct(out);
  return true;
}

}  // namespace parlevo
