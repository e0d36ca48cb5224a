// Conversions between the ANSI code page (932 Shift JIS or 1252) and UTF-16,
// through compiled-in tables that reproduce the Windows mappings exactly.
#ifndef PARLEVO_PLATFORM_CODEPAGE_H_
#define PARLEVO_PLATFORM_CODEPAGE_H_

#include <string>
#include <string_view>

namespace parlevo::platform {

// The code page numbers Parlevo supports for ANSI text.
constexpr int kCodePage932 = 932;    // Japanese Shift JIS, Windows flavour
constexpr int kCodePage1252 = 1252;  // Western European

// The process code page is chosen once at program start, before any thread
// runs, and only read afterwards (so it needs no lock). Default 932.
// Throws std::invalid_argument for any code page but 932 and 1252.
void SetProcessCodePage(int code_page);
int ProcessCodePage();

// True when `byte` starts a double-byte character in `code_page`
// (932: 0x81-0x9F and 0xE0-0xFC; 1252: never).
bool IsLeadByte(unsigned char byte, int code_page);
bool IsLeadByte(unsigned char byte);  // process code page

// Length in bytes (1 or 2) of the character starting at text[i]. A lead byte
// at the very end counts as one byte, so a scan never steps past the end.
size_t CharLengthAt(std::string_view text, size_t i, int code_page);
size_t CharLengthAt(std::string_view text, size_t i);  // process code page

// ANSI bytes to UTF-16. Never fails and never drops the rest of the text:
// an unmapped single byte, a lone lead byte at the end, and a lead and trail
// byte (0x40-0x7E, 0x80-0xFC) that form no character each give one '?'. A
// lead byte followed by a byte that cannot trail (below 0x40, 0x7F, 0xFD-0xFF)
// gives '?' and that byte is read again on its own, so "\x82\r\n" keeps its
// line break. Windows' single bytes 0x80, 0xA0, 0xFD-0xFF of 932 read as
// U+0080, U+F8F0, U+F8F1-U+F8F3; 0x81, 0x8D, 0x8F, 0x90, 0x9D of 1252 as
// U+0081 and so on.
std::u16string AnsiToWide(std::string_view ansi, int code_page);
std::u16string AnsiToWide(std::string_view ansi);  // process code page

// UTF-16 to ANSI. A character the code page cannot represent, a surrogate
// pair (one '?' for the pair) and an unpaired surrogate become '?'. A
// character with several 932 forms takes the one Windows writes: JIS X 0208
// before NEC row 13 before the IBM extensions (0xFA-0xFC) before their
// NEC-selected copies (0xED-0xEE). Windows' one-way best-fit forms for
// U+00A2, U+00A3, U+00A5, U+00AC, U+2016, U+203E, U+2212 and U+301C are
// written; other best-fit substitutions are not (they give '?').
std::string WideToAnsi(std::u16string_view wide, int code_page);
std::string WideToAnsi(std::u16string_view wide);  // process code page

// UTF-8 (terminal, file system) to and from ANSI, through UTF-16, in the
// process code page. Each byte of an invalid UTF-8 sequence (stray, cut
// short, overlong, a surrogate) becomes U+FFFD first (then '?'); an unpaired
// surrogate is written to UTF-8 as U+FFFD.
std::string Utf8ToAnsi(std::string_view utf8);
// True when every byte belongs to a well-formed UTF-8 sequence (no overlong
// forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);
std::string AnsiToUtf8(std::string_view ansi);
// `ansi` as UTF-8 between double quotes: how messages quote a personality's text.
std::string QuotedUtf8(std::string_view ansi);
std::u16string Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);
// Appends the UTF-8 form of the code point `cp` (at most U+10FFFF) to `out`.
void AppendUtf8(std::string& out, char32_t cp);

// The system's ANSI lower/upper-case conversion: letters of single-byte
// characters only, never a byte of a double-byte character (932: A-Z; 1252:
// also the accented letters of the Latin-1 range and Š/š, Œ/œ, Ž/ž, Ÿ/ÿ).
// Both use the process code page.
std::string AnsiLower(std::string_view ansi);
std::string AnsiUpper(std::string_view ansi);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_CODEPAGE_H_
