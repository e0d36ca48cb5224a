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
  size_t bytes = 0;
  out.literals.emplace_back();
  for (;; scanner.GetToken(t)) {
    std::string& literal = out.literals.back();
    if (t.Kind == tkChar) {
      if (!EncodeLiteralChar(t.Lo, code, literal)) return false;
      if (bytes + literal.size() > kMaxListBytes) return false;
      continue;
    }
    if (literal.empty()) return false;  // an empty alternative, or nothing at all
    if (t.Kind != tkUnion) break;
    if (out.literals.size() == kMaxListLiterals) return false;
    bytes += literal.size();
    out.literals.emplace_back();
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
  return group || out.literals.size() == 1 || (!out.head && !out.tail);
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
  std::sort(out.literals.begin(), out.literals.end());
  out.literals.erase(std::unique(out.literals.begin(), out.literals.end()), out.literals.end());
  return true;
}

}  // namespace parlevo
