// Character code readers. A double-byte reader decides character boundaries
// going forward by the lead-byte test; going backward it counts the run of
// lead bytes before the byte in question (an odd run means that byte is a
// trail byte). Reading at or past the end yields -1 and still advances by one
// step, so the scanner and the search can read ahead and push back.
#include "regex/reader.h"

#include <stdexcept>

#include "platform/codepage.h"

namespace parlevo {

const char* bmccCharCodeName(TbmCharCode code) {
  switch (code) {
    case bmccShiftJIS:
      return "Shift JIS";
    case bmccEUC:
      return "Japanese EUC";
    case bmccWestern:
      return "Western (Windows-1252)";
    case bmccUniCode:
      return "UniCode";
    case bmccJIS:
      return "JIS";
  }
  return "";
}

TbmCharCode bmccCodePage2CharCode(int code_page) {
  switch (code_page) {
    case 932:
      return bmccShiftJIS;
    case 1252:
      return bmccWestern;
    case 1200:
      return bmccUniCode;
  }
  throw std::runtime_error("bmccCodePage2CharCode: unknown code page");
}

TbmCharCode bmccDefaultCharCode() { return bmccCodePage2CharCode(platform::ProcessCodePage()); }

bool bmccIsSJISLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool bmccIsEUCLeadByte(uint8_t b) { return b == 0x8E || (b >= 0xA1 && b <= 0xFE); }
bool bmccNoLeadByte(uint8_t) { return false; }

TbmLeadByteFunc bmccGetIsLeadByteFunc(TbmCharCode code) {
  switch (code) {
    case bmccShiftJIS:
      return bmccIsSJISLeadByte;
    case bmccEUC:
      return bmccIsEUCLeadByte;
    case bmccWestern:
      return bmccNoLeadByte;
    default:
      throw std::runtime_error("bmccGetIsLeadByteFunc: invalid argument");
  }
}

const bool* bmccLeadByteTable(TbmCharCode code) {
  struct Tables {
    bool sjis[256], euc[256], none[256];
    Tables() {
      for (int b = 0; b < 256; ++b) {
        sjis[b] = bmccIsSJISLeadByte(static_cast<uint8_t>(b));
        euc[b] = bmccIsEUCLeadByte(static_cast<uint8_t>(b));
        none[b] = false;
      }
    }
  };
  static const Tables tables;  // built once, never written again
  return code == bmccShiftJIS ? tables.sjis : code == bmccEUC ? tables.euc : tables.none;
}

bool bmccIsTrailByte(const uint8_t* start, const uint8_t* end, const uint8_t* p,
                     TbmLeadByteFunc is_lead) {
  int leads = 0;
  for (const uint8_t* q = p; q > start; --q) {
    const uint8_t* prev = q - 1;
    if (prev >= end || !is_lead(*prev)) break;  // bytes past the end are no lead bytes
    ++leads;
  }
  return (leads & 1) != 0;
}

// ---------------------------------------------------------------------------
// Escape bodies (shared)

namespace {

int DigitValue(int32_t c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9')
    v = c - '0';
  else if (c >= 'A' && c <= 'F')
    v = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f')
    v = c - 'a' + 10;
  return v < base ? v : -1;
}

}  // namespace

int32_t TbmWchReader::ReadDigits(int base, int max_digits, int32_t max_value) {
  int32_t v = 0;
  int taken = 0;
  while (true) {
    int32_t c = GetChar();
    int d = DigitValue(c, base);
    if (d < 0 || taken == max_digits || v * base + d > max_value) {
      UngetChar();  // the first character not taken stays unread
      break;
    }
    v = v * base + d;
    ++taken;
  }
  return taken == 0 ? -1 : v;
}

int32_t TbmWchReader::ReadHexChar() { return ReadDigits(16, 4, 0xFFFF); }
int32_t TbmWchReader::ReadOctChar() { return ReadDigits(8, 6, 0xFFFF); }

int32_t TbmWchReader::ReadEscapeChar() {
  int32_t c = GetChar();
  switch (c) {
    case 'a':
      return 7;
    case 'b':
      return 8;
    case 't':
      return 9;
    case 'n':
      return 10;
    case 'v':
      return 11;
    case 'f':
      return 12;
    case 'r':
      return 13;
    case 'x':
      return ReadHexChar();
    case -1:
      return -1;
  }
  if (c >= '0' && c <= '7') {
    UngetChar();
    return ReadOctChar();
  }
  return c;
}

// ---------------------------------------------------------------------------
// Double-byte reader

TbmMBCSReader::TbmMBCSReader(TbmCharCode code)
    : TbmWchReader(code), lead_byte_func_(bmccGetIsLeadByteFunc(code)) {
  SetText("");
}

void TbmMBCSReader::SetText(std::string_view text) {
  text_.assign(text);
  SetTextBuff(text_.data(), static_cast<int32_t>(text_.size()));
}

void TbmMBCSReader::SetTextBuff(const char* bytes, int32_t byte_length) {
  data_ = reinterpret_cast<const uint8_t*>(bytes);
  SetIndex(0);
  len_ = byte_length > 0 ? byte_length : 0;
}

void TbmMBCSReader::RememberStart(int32_t start) {
  if (starts_ == kStartHistory) {
    for (int i = 1; i < kStartHistory; ++i) start_history_[i - 1] = start_history_[i];
    --starts_;
  }
  start_history_[starts_++] = start;
}

int32_t TbmMBCSReader::GetChar() {
  RememberStart(pos_);
  if (pos_ < 0 || pos_ >= len_) {
    ++pos_;
    return -1;
  }
  uint8_t b = data_[pos_++];
  if (!lead_byte_func_(b)) return b;
  if (pos_ >= len_) return b * 256;  // a lone lead byte: no trail byte is invented
  return b * 256 + data_[pos_++];
}

bool TbmMBCSReader::UngetChar() {
  if (pos_ <= 0) return false;
  if (starts_ > 0) {
    pos_ = start_history_[--starts_];
    return true;
  }
  if (pos_ > len_) {  // after reading past the end: back to the end exactly
    --pos_;
    return true;
  }
  pos_ -= bmccIsTrailByte(data_, data_ + len_, data_ + pos_ - 1, lead_byte_func_) ? 2 : 1;
  if (pos_ < 0) pos_ = 0;
  return true;
}

int32_t TbmMBCSReader::GetCharIndex() const {
  int32_t count = 0;
  for (int32_t p = 0; p < pos_ && p < len_; ++count) {
    if (data_[p] == 0) return -1;
    p += (lead_byte_func_(data_[p]) && p + 1 < len_) ? 2 : 1;
  }
  return count;
}

// ---------------------------------------------------------------------------
// Single-byte reader

int32_t TbmSBCSReader::GetChar() {
  if (pos_ < 0 || pos_ >= len_) {
    ++pos_;
    return -1;
  }
  return data_[pos_++];
}

bool TbmSBCSReader::UngetChar() {
  if (pos_ <= 0) return false;
  --pos_;
  return true;
}

// ---------------------------------------------------------------------------
// UTF-16 reader

void TbmUniCodeReader::SetText(std::string_view text) {
  if (text.size() % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  text_.assign(text);
  SetTextBuff(text_.data(), static_cast<int32_t>(text_.size()));
}

void TbmUniCodeReader::SetTextBuff(const char* bytes, int32_t byte_length) {
  if (byte_length % 2 != 0) {
    throw std::runtime_error("TbmUniCodeReader.SetTextBuff: ByteLength must be even.");
  }
  data_ = reinterpret_cast<const uint8_t*>(bytes);
  pos_ = 0;
  len_ = byte_length > 0 ? byte_length : 0;
}

int32_t TbmUniCodeReader::GetChar() {
  if (pos_ < 0 || pos_ + 1 >= len_) {
    pos_ += 2;
    return -1;
  }
  int32_t c = data_[pos_] | (data_[pos_ + 1] << 8);
  pos_ += 2;
  return c;
}

bool TbmUniCodeReader::UngetChar() {
  if (pos_ <= 0) return false;
  pos_ = pos_ >= 2 ? pos_ - 2 : 0;
  return true;
}

std::unique_ptr<TbmWchReader> bmccCreateWchReader(TbmCharCode code) {
  switch (code) {
    case bmccShiftJIS:
    case bmccEUC:
      return std::make_unique<TbmMBCSReader>(code);
    case bmccWestern:
      return std::make_unique<TbmSBCSReader>(code);
    case bmccUniCode:
      return std::make_unique<TbmUniCodeReader>();
    default:
      return nullptr;
  }
}

}  // namespace parlevo
