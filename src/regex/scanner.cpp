// Scanner: one character of lookahead decides each token. Outside brackets the
// metacharacters are | ( ) * + ? [ . ^ $ and '\' escapes; inside brackets
// only ']' (not as first member), '-' between two members and '\' are special.
#include "regex/scanner.h"

#include <stdexcept>
#include <string>

namespace parlevo {

namespace {

constexpr const char* kTokenNames[kTokenKindCount] = {
    "character",
    "character class",
    "union",
    "left parenthesis",
    "right parenthesis",
    "asterisk",
    "plus",
    "question mark",
    "left bracket",
    "negate left bracket",
    "right bracket",
    "dot",
    "line head",
    "line tail",
    "end",
    "logical or",
    "logical and",
    "logical not",
    "logical left parenthis",
    "logical right parenthis",
    "need right bracket \"]\" ",
    "invalid character class",
    "invalid escape sequence",
    "invalid character",
    "need right parenthesis",
    "need normal char or left parenthesis",
};

[[noreturn]] void Raise(TbmREToken& token, TbmRETokenKind kind) {
  token.Kind = kind;
  throw EbmREToken(token);
}

}  // namespace

const char* bmreTokenKindName(TbmRETokenKind kind) {
  return kind < kTokenKindCount ? kTokenNames[kind] : "";
}

TbmREScanner::TbmREScanner(TbmCharCode code)
    : char_code_(code), reader_(bmccCreateWchReader(code)) {
  if (!reader_) throw std::runtime_error("TbmREScanner.SetCharCode: can't create reader");
}

void TbmREScanner::SetCharCode(TbmCharCode code) {
  if (code == char_code_) return;
  auto reader = bmccCreateWchReader(code);
  if (!reader) throw std::runtime_error("TbmREScanner.SetCharCode: can't create reader");
  char_code_ = code;
  reader_ = std::move(reader);
  Reset();
}

void TbmREScanner::SetText(std::string_view pattern) {
  reader_->SetText(pattern);
  class_items_ = 0;
}

void TbmREScanner::SetTextInPlace(std::string_view pattern) {
  reader_->SetTextBuff(pattern.data(), static_cast<int32_t>(pattern.size()));
  class_items_ = 0;
}

void TbmREScanner::Reset() {
  reader_->Reset();
  class_items_ = 0;
}

// Decodes the escape body after a '\'; a missing body is a syntax error.
int32_t TbmREScanner::ReadEscape(TbmREToken& token) {
  int32_t v = reader_->ReadEscapeChar();
  if (v < 0) {
    token.EndPos = reader_->GetIndex();
    Raise(token, tkErrInvalidEscape);
  }
  return v;
}

void TbmREScanner::GetToken(TbmREToken& token) {
  token.StartPos = reader_->GetIndex();
  int32_t c = reader_->GetChar();
  token.Lo = token.Hi = c;
  token.EndPos = reader_->GetIndex();
  token.Kind = tkChar;
  if (class_items_ >= 1) {
    ReadBracketMember(token, c);
    return;
  }
  switch (c) {
    case -1:
      token.Kind = tkEnd;
      return;
    case '\\':
      token.Lo = token.Hi = ReadEscape(token);
      token.EndPos = reader_->GetIndex();
      return;
    case '|':
      token.Kind = tkUnion;
      return;
    case '(':
      token.Kind = tkLPar;
      return;
    case ')':
      token.Kind = tkRPar;
      return;
    case '*':
      token.Kind = tkStar;
      return;
    case '+':
      token.Kind = tkPlus;
      return;
    case '?':
      token.Kind = tkQuestion;
      return;
    case '.':
      token.Kind = tkDot;
      return;
    case '^':
      token.Kind = tkLineHead;
      return;
    case '$':
      token.Kind = tkLineTail;
      return;
    case '[':
      class_items_ = 1;
      if (reader_->GetChar() == '^') {
        token.Kind = tkNegLBracket;
        token.EndPos = reader_->GetIndex();
      } else {
        token.Kind = tkLBracket;
        reader_->UngetChar();
      }
      return;
    default:
      return;
  }
}

// One member of a bracket expression: a character, a range c1-c2, or the
// closing ']' (which is a member when it comes first).
void TbmREScanner::ReadBracketMember(TbmREToken& token, int32_t c) {
  ++class_items_;
  if (c == -1) Raise(token, tkErrNeedRBracket);
  if (c == ']' && class_items_ > 2) {
    token.Kind = tkRBracket;
    class_items_ = 0;
    return;
  }
  if (c == '\\') c = ReadEscape(token);
  int32_t d = reader_->GetChar();
  if (d == '-') {
    int32_t e = reader_->GetChar();
    if (e != ']' && e != -1) {
      if (e == '\\') e = ReadEscape(token);
      token.Kind = tkCharClass;
      token.EndPos = reader_->GetIndex();
      token.Lo = c;
      token.Hi = e;
      if (e < c) Raise(token, tkErrInvalidCharClass);
      return;
    }
    reader_->UngetChar();  // e: the '-' is an ordinary member after all
  }
  reader_->UngetChar();
  token.Kind = tkChar;
  token.Lo = token.Hi = c;
  token.EndPos = reader_->GetIndex();
}

void TbmRETokens::Tokenize(TbmREScanner& scanner) {
  ClearTokens();
  while (true) {
    if (tokens_.size() == kMaxPatternTokens) {
      TbmREToken& last = tokens_.back();
      last.Kind = tkErrInvalidChar;
      throw EbmREToken(last,
                       "pattern longer than " + std::to_string(kMaxPatternTokens) + " characters");
    }
    tokens_.emplace_back();
    scanner.GetToken(tokens_.back());
    if (tokens_.back().Kind == tkEnd) return;
  }
}

}  // namespace parlevo
