// Conversions between the ANSI code page and UTF-16 / UTF-8 by table lookup,
// and the double-byte aware helpers built on the lead-byte rule.
//
// Decoding walks the bytes once: a single byte looks up its table entry; a
// lead byte followed by a byte in the trail range (0x40-0x7E, 0x80-0xFC)
// takes both bytes and looks up its row. Anything that is no character gives
// '?', and a byte that cannot be a trail byte is read again on its own, so
// broken input never swallows a line break or the rest of the text.
// Encoding looks each UTF-16 unit up in a two-level page table.

#include "platform/codepage.h"

#include <stdexcept>

#include "platform/codepage_tables.h"

namespace parlevo::platform {

namespace {

// Chosen once at start before threads run, read-only afterwards.
int g_process_code_page = kCodePage932;

constexpr char16_t kReplacementChar = 0xFFFD;

bool IsTrailByte932(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

// The code of `unit` in the code page, or 0 when it has none.
uint16_t EncodeUnit(char16_t unit, int code_page) {
  if (unit < 0x80) return unit;
  const int16_t* index =
      code_page == kCodePage932 ? tables::kEncode932Page : tables::kEncode1252Page;
  const uint16_t(*pages)[256] =
      code_page == kCodePage932 ? tables::kEncode932Pages : tables::kEncode1252Pages;
  int page = index[unit >> 8];
  return page < 0 ? 0 : pages[page][unit & 0xFF];
}

void CheckCodePage(int code_page) {
  if (code_page != kCodePage932 && code_page != kCodePage1252) {
    throw std::invalid_argument("unsupported code page " + std::to_string(code_page));
  }
}

// Appends `cp` (at most U+10FFFF, no surrogate) as UTF-16.
void AppendCodePoint(std::u16string& out, char32_t cp) {
  if (cp < 0x10000) {
    out += static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
}

// 1252 letters of the Latin-1 range and the three pairs in 0x8A-0x9F.
unsigned char Lower1252(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 0x10;
  if (c == 0x9F) return 0xFF;
  return c;
}

unsigned char Upper1252(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 0x20;
  if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 0x10;
  if (c == 0xFF) return 0x9F;
  return c;
}

}  // namespace

void SetProcessCodePage(int code_page) {
  CheckCodePage(code_page);
  g_process_code_page = code_page;
}

int ProcessCodePage() { return g_process_code_page; }

bool IsLeadByte(unsigned char byte, int code_page) {
  return code_page == kCodePage932 &&
         ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC));
}

bool IsLeadByte(unsigned char byte) { return IsLeadByte(byte, g_process_code_page); }

size_t CharLengthAt(std::string_view text, size_t i, int code_page) {
  if (i + 1 < text.size() && IsLeadByte(static_cast<unsigned char>(text[i]), code_page)) return 2;
  return 1;
}

size_t CharLengthAt(std::string_view text, size_t i) {
  return CharLengthAt(text, i, g_process_code_page);
}

std::u16string AnsiToWide(std::string_view ansi, int code_page) {
  CheckCodePage(code_page);
  std::u16string out;
  out.reserve(ansi.size());
  if (code_page == kCodePage1252) {
    for (unsigned char c : ansi) {
      uint16_t u = tables::kDecode1252Single[c];
      out += u == tables::kNoChar ? u'?' : static_cast<char16_t>(u);
    }
    return out;
  }
  size_t i = 0;
  while (i < ansi.size()) {
    auto c = static_cast<unsigned char>(ansi[i]);
    int row = tables::kDecode932Lead[c];
    if (row < 0) {
      uint16_t u = tables::kDecode932Single[c];
      out += u == tables::kNoChar ? u'?' : static_cast<char16_t>(u);
      ++i;
      continue;
    }
    if (i + 1 < ansi.size() && IsTrailByte932(static_cast<unsigned char>(ansi[i + 1]))) {
      uint16_t u = tables::kDecode932Rows[row][static_cast<unsigned char>(ansi[i + 1])];
      out += u == tables::kNoChar ? u'?' : static_cast<char16_t>(u);
      i += 2;
    } else {
      out += u'?';  // lone lead byte; the next byte is read on its own
      ++i;
    }
  }
  return out;
}

std::u16string AnsiToWide(std::string_view ansi) { return AnsiToWide(ansi, g_process_code_page); }

std::string WideToAnsi(std::u16string_view wide, int code_page) {
  CheckCodePage(code_page);
  std::string out;
  out.reserve(wide.size() * 2);
  for (size_t i = 0; i < wide.size(); ++i) {
    char16_t unit = wide[i];
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      // A pair (a character beyond the 16-bit range) and a lone surrogate
      // alike have no form in either code page: one '?'.
      if (unit <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
        ++i;
      }
      out += '?';
      continue;
    }
    uint16_t code = EncodeUnit(unit, code_page);
    if (code == 0 && unit != 0) {
      out += '?';
    } else if (code > 0xFF) {
      out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 0xFF);
    } else {
      out += static_cast<char>(code);
    }
  }
  return out;
}

std::string WideToAnsi(std::u16string_view wide) { return WideToAnsi(wide, g_process_code_page); }

std::u16string Utf8ToWide(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char16_t>(c);
      ++i;
      continue;
    }
    size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4, cp = c & 0x07, min = 0x10000;
    }
    size_t taken = 1;
    while (len != 0 && taken < len && i + taken < utf8.size() &&
           (static_cast<unsigned char>(utf8[i + taken]) & 0xC0) == 0x80) {
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + taken]) & 0x3F);
      ++taken;
    }
    if (len == 0 || taken < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // Invalid: one replacement for the lead byte, continue after it (the
      // continuation bytes that follow are each invalid on their own).
      out += kReplacementChar;
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += len;
  }
  return out;
}

std::string WideToUtf8(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size() * 3);
  for (size_t i = 0; i < wide.size(); ++i) {
    char32_t cp = wide[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacementChar;  // unpaired surrogate
    }
    AppendUtf8(out, cp);
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Utf8ToWide(utf8)); }

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    auto c = static_cast<unsigned char>(bytes[i]);
    size_t len = c < 0x80                 ? 1
                 : c >= 0xC2 && c <= 0xDF ? 2
                 : c >= 0xE0 && c <= 0xEF ? 3
                 : c >= 0xF0 && c <= 0xF4 ? 4
                                          : 0;
    if (len == 0 || i + len > bytes.size()) return false;
    char32_t cp = len == 1 ? c : c & (0x7F >> len);
    for (size_t k = 1; k < len; ++k) {
      auto t = static_cast<unsigned char>(bytes[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    const char32_t min = len == 2 ? 0x80 : len == 3 ? 0x800 : len == 4 ? 0x10000 : 0;
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += len;
  }
  return true;
}

std::string AnsiToUtf8(std::string_view ansi) { return WideToUtf8(AnsiToWide(ansi)); }

std::string QuotedUtf8(std::string_view ansi) {
  std::string quoted(1, '"');
  quoted += AnsiToUtf8(ansi);
  quoted += '"';
  return quoted;
}

std::string AnsiLower(std::string_view ansi) {
  std::string out(ansi);
  int cp = g_process_code_page;
  for (size_t i = 0; i < out.size(); i += CharLengthAt(out, i, cp)) {
    auto c = static_cast<unsigned char>(out[i]);
    if (cp == kCodePage1252) {
      out[i] = static_cast<char>(Lower1252(c));
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c + 0x20);
    }
  }
  return out;
}

std::string AnsiUpper(std::string_view ansi) {
  std::string out(ansi);
  int cp = g_process_code_page;
  for (size_t i = 0; i < out.size(); i += CharLengthAt(out, i, cp)) {
    auto c = static_cast<unsigned char>(out[i]);
    if (cp == kCodePage1252) {
      out[i] = static_cast<char>(Upper1252(c));
    } else if (c >= 'a' && c <= 'z') {
      out[i] = static_cast<char>(c - 0x20);
    }
  }
  return out;
}

}  // namespace parlevo::platform
