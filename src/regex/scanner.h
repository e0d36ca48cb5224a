// The scanner turns a pattern text into tokens, reading it character by
// character through a reader of the pattern's character code; TbmRETokens is
// the token list that the rest of the compile pipeline rewrites and parses.
#ifndef PARLEVO_REGEX_SCANNER_H_
#define PARLEVO_REGEX_SCANNER_H_

#include <memory>
#include <string_view>
#include <vector>

#include "regex/reader.h"
#include "regex/token.h"

namespace parlevo {

class TbmREWchRanges;
struct TbmREWchRange;

// The most tokens a pattern may have (about its characters): every later
// stage grows with them, so a longer pattern is refused before any is built.
// Far above any word list a personality holds in one line.
inline constexpr size_t kMaxPatternTokens = size_t{1} << 18;

// Not thread-safe: one scanner serves one compile at a time.
class TbmREScanner {
 public:
  explicit TbmREScanner(TbmCharCode code = bmccShiftJIS);
  TbmREScanner(const TbmREScanner&) = delete;
  TbmREScanner& operator=(const TbmREScanner&) = delete;

  TbmCharCode CharCode() const { return char_code_; }
  // Switches readers; throws std::runtime_error when the code has no reader.
  void SetCharCode(TbmCharCode code);
  void SetText(std::string_view pattern);
  // The same without a copy: `pattern` must outlive the scan (a matcher's
  // own pattern text, so that a long pattern is not held twice).
  void SetTextInPlace(std::string_view pattern);
  void Reset();
  // Fills `token` with the next token; throws EbmREToken on a syntax error.
  void GetToken(TbmREToken& token);

 private:
  void ReadBracketMember(TbmREToken& token, int32_t c);
  int32_t ReadEscape(TbmREToken& token);

  TbmCharCode char_code_;
  std::unique_ptr<TbmWchReader> reader_;
  int32_t class_items_ = 0;  // 0 outside brackets, else 1 + members read
};

// The token list; after Tokenize the last token is always tkEnd.
class TbmRETokens {
 public:
  TbmRETokens() = default;
  TbmRETokens(const TbmRETokens&) = delete;
  TbmRETokens& operator=(const TbmRETokens&) = delete;

  // Clears the list, then appends tokens until tkEnd. On a syntax error the
  // tokens read so far stay until the next clearing. A pattern of more than
  // kMaxPatternTokens tokens is refused (EbmREToken naming the budget).
  void Tokenize(TbmREScanner& scanner);
  void ClearTokens() { tokens_.clear(); }

  // Rewrites every negated bracket expression as an ordinary one listing the
  // complement, and fills `partition` so that every character set the
  // pattern mentions is a union of consecutive records.
  void Standardize(TbmREWchRanges& partition) { StandardizeTokens(&partition); }
  // The same, with the partition left unbuilt when null: a parse that builds
  // no automaton needs only the rewritten tokens.
  void StandardizeTokens(TbmREWchRanges* partition);

  size_t size() const { return tokens_.size(); }
  bool empty() const { return tokens_.empty(); }
  const TbmREToken& operator[](size_t i) const { return tokens_[i]; }
  TbmREToken& operator[](size_t i) { return tokens_[i]; }
  void Add(const TbmREToken& token) { tokens_.push_back(token); }

 private:
  void SpellOutNegated(const std::vector<TbmREToken>& in, size_t& i,
                       std::vector<TbmREWchRange>& ranges);

  std::vector<TbmREToken> tokens_;
};

}  // namespace parlevo

#endif  // PARLEVO_REGEX_SCANNER_H_
