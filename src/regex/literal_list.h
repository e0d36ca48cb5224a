// A pattern that is only an alternation of literal strings ("hello",
// "(abc|xyz)", "^(w0|w1|...)$"), recognised as the scanner reads it.
#ifndef PARLEVO_REGEX_LITERAL_LIST_H_
#define PARLEVO_REGEX_LITERAL_LIST_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regex/reader.h"

namespace parlevo {

class TbmREScanner;

// Budgets of a list, duplicates included: a longer list is left to the
// general compile, whose own budgets refuse it. They bound the memory of
// the literal set's search to under 64 MiB; the largest word lists of real
// personalities (48,000 words of a few characters) are well inside them.
inline constexpr size_t kMaxListLiterals = 131'072;       // alternatives
inline constexpr size_t kMaxListBytes = size_t{1} << 20;  // bytes of all of them

// The literals back to back in one string, so that a word list costs
// little more than its text.
struct TbmRELiteralList {
  std::string bytes;
  std::vector<uint32_t> ends;  // literal i is bytes[ends[i - 1], ends[i])
  // Each literal stands right after a line head ("^" before the list) /
  // right before a line tail ("$" after it).
  bool head = false, tail = false;

  size_t size() const { return ends.size(); }
  std::string_view operator[](size_t i) const {
    const uint32_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(bytes).substr(begin, ends[i] - begin);
  }
};

// Reads the scanner's pattern to its end and fills `out` when the pattern is
// one or more non-empty literals joined by "|", optionally inside one group,
// optionally with "^" before and "$" after the whole (around a group, or a
// single literal), the literals sorted and each once. False for anything else, for a syntax error
// (the general compile reports it) and beyond the budgets. UTF-16 patterns are never lists.
bool ReadLiteralList(TbmREScanner& scanner, TbmRELiteralList& out);

// False when `pattern` (in `code`) is certainly no literal list, told from
// its bytes alone: a character of its own (not a trail byte) before any
// escape is one of * + ? . [, or a "(" not at the start, or a ")" not at the
// end. True means only that ReadLiteralList must decide.
bool MayBeLiteralList(std::string_view pattern, TbmCharCode code);

// True when `pattern` (in `code`) is one literal string as it stands: no
// metacharacter outside a double-byte character, every character its own
// bytes (no lead byte left alone at the end), not empty and within the
// budget. ReadLiteralList would read it as that single literal.
bool IsPlainLiteral(std::string_view pattern, TbmCharCode code);

// The bytes of character c as they appear in a text, or false when c never
// appears as itself (a lead byte alone, an impossible double-byte value, or
// one whose trail byte is 0, which a lone lead byte at the end also reads as).
bool EncodeLiteralChar(int32_t c, TbmCharCode code, std::string& out);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_LITERAL_LIST_H_
