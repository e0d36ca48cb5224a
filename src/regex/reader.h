// Character code readers: a cursor that walks a byte string one character at
// a time in Shift JIS, Japanese EUC, Windows-1252 or UTF-16, and decodes the
// escape bodies of the pattern language.
//
// Character values are signed 32-bit: a single byte is its value, a lead byte
// and its trail byte form lead * 256 + trail, a UTF-16 unit is 0..0xFFFF, and
// -1 means "end of text". Positions are byte offsets from the start, 0-based.
//
// Thread safety: a reader has no locks; one reader serves one caller at a time.
#ifndef PARLEVO_REGEX_READER_H_
#define PARLEVO_REGEX_READER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace parlevo {

// The character codes a matcher can work in (one byte, values fixed).
enum TbmCharCode : uint8_t {
  bmccShiftJIS = 0,
  bmccEUC = 1,
  bmccWestern = 2,
  bmccUniCode = 3,
  bmccJIS = 4,  // named but unsupported: there is no reader for it
};

// Display name of a character code ("Shift JIS", "Japanese EUC", ...).
const char* bmccCharCodeName(TbmCharCode code);

// 932 -> Shift JIS, 1252 -> Western, 1200 -> UniCode; any other code page
// throws std::runtime_error("bmccCodePage2CharCode: unknown code page").
TbmCharCode bmccCodePage2CharCode(int code_page);

// The character code that follows the process code page, read at each call
// (the CLI chooses its code page after static initialisation).
TbmCharCode bmccDefaultCharCode();

// Lead-byte tests of the double-byte codes.
using TbmLeadByteFunc = bool (*)(uint8_t);
bool bmccIsSJISLeadByte(uint8_t b);
bool bmccIsEUCLeadByte(uint8_t b);
bool bmccNoLeadByte(uint8_t b);
// Shift JIS, EUC and Western only; others throw
// std::runtime_error("bmccGetIsLeadByteFunc: invalid argument").
TbmLeadByteFunc bmccGetIsLeadByteFunc(TbmCharCode code);

// The lead-byte test of `code` as a 256-entry table (all false for Western
// and UniCode); static and read-only.
const bool* bmccLeadByteTable(TbmCharCode code);

// True when the byte at p is the second byte of a double-byte character:
// an odd run of lead bytes lies right before p (looking back to start, and
// never past end, whose bytes count as no lead byte).
bool bmccIsTrailByte(const uint8_t* start, const uint8_t* end, const uint8_t* p,
                     TbmLeadByteFunc is_lead);

// The abstract reader. All positions are byte offsets.
class TbmWchReader {
 public:
  explicit TbmWchReader(TbmCharCode code) : CharCode(code) {}
  virtual ~TbmWchReader() = default;
  TbmWchReader(const TbmWchReader&) = delete;
  TbmWchReader& operator=(const TbmWchReader&) = delete;

  virtual std::string GetText() const = 0;
  // Keeps its own copy of `text` and reads it from position 0.
  virtual void SetText(std::string_view text) = 0;
  virtual int32_t GetIndex() const = 0;
  virtual void SetIndex(int32_t index) = 0;
  // The character at the position, advancing past it; -1 (still advancing by
  // one step) at or past the end, so a read-ahead can always be pushed back.
  virtual int32_t GetChar() = 0;
  // Steps back one whole character; false (and no move) at the start.
  virtual bool UngetChar() = 0;
  // Number of characters before the position.
  virtual int32_t GetCharIndex() const = 0;
  virtual void Reset() = 0;
  // Escape bodies; -1 when there is none at the position.
  virtual int32_t ReadHexChar();
  virtual int32_t ReadOctChar();
  // Called after a '\' has been read.
  virtual int32_t ReadEscapeChar();
  // Reads `byte_length` bytes at `bytes` (not owned) from position 0.
  virtual void SetTextBuff(const char* bytes, int32_t byte_length) = 0;

  const TbmCharCode CharCode;

 protected:
  // Shared bodies of the hex and octal readers, with the digit limits of the code.
  int32_t ReadDigits(int base, int max_digits, int32_t max_value);
};

// Shift JIS and EUC: a lead byte takes the byte after it. A lead byte that is
// the last byte of the text is still one character (lead * 256) but covers
// only that one byte, so no position ever lies beyond the end of the text.
class TbmMBCSReader : public TbmWchReader {
 public:
  explicit TbmMBCSReader(TbmCharCode code);

  std::string GetText() const override { return std::string(data_, data_ + len_); }
  void SetText(std::string_view text) override;
  int32_t GetIndex() const override { return pos_; }
  void SetIndex(int32_t index) override {
    pos_ = index;
    starts_ = 0;
  }
  int32_t GetChar() override;
  bool UngetChar() override;
  int32_t GetCharIndex() const override;
  void Reset() override { SetIndex(0); }
  void SetTextBuff(const char* bytes, int32_t byte_length) override;

 protected:
  // Remembers where the character just read began, so stepping back costs
  // nothing; without it, a long run of lead bytes is scanned for every step.
  void RememberStart(int32_t start);

  std::string text_;
  const uint8_t* data_ = nullptr;
  int32_t pos_ = 0;  // may run a step or two past len_ after reading ahead
  int32_t len_ = 0;
  TbmLeadByteFunc lead_byte_func_;
  // The starts of the last few characters read, newest last.
  static constexpr int kStartHistory = 4;
  int32_t start_history_[kStartHistory] = {};
  int starts_ = 0;
};

// Windows-1252: every byte is one character; escapes take at most 2 hex or
// 3 octal digits below 256.
class TbmSBCSReader : public TbmMBCSReader {
 public:
  explicit TbmSBCSReader(TbmCharCode code = bmccWestern) : TbmMBCSReader(code) {}

  int32_t GetChar() override;
  bool UngetChar() override;
  int32_t GetCharIndex() const override { return GetIndex(); }
  int32_t ReadHexChar() override { return ReadDigits(16, 2, 0xFF); }
  int32_t ReadOctChar() override { return ReadDigits(8, 3, 0xFF); }
};

// UTF-16 little endian, one 16-bit unit per character, no surrogate pairing.
class TbmUniCodeReader : public TbmWchReader {
 public:
  TbmUniCodeReader() : TbmWchReader(bmccUniCode) {}

  std::string GetText() const override { return std::string(data_, data_ + len_); }
  void SetText(std::string_view text) override;
  int32_t GetIndex() const override { return pos_; }
  void SetIndex(int32_t index) override { pos_ = index; }
  int32_t GetChar() override;
  bool UngetChar() override;
  int32_t GetCharIndex() const override { return GetIndex() / 2; }
  void Reset() override { pos_ = 0; }
  // Odd lengths throw std::runtime_error and change nothing.
  void SetTextBuff(const char* bytes, int32_t byte_length) override;

 private:
  std::string text_;
  const uint8_t* data_ = nullptr;
  int32_t pos_ = 0;  // may run a step or two past len_ after reading ahead
  int32_t len_ = 0;
};

// A new reader for `code`; null for JIS or an unknown code.
std::unique_ptr<TbmWchReader> bmccCreateWchReader(TbmCharCode code);

}  // namespace parlevo

#endif  // PARLEVO_REGEX_READER_H_
