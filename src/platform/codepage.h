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
// an unmapped single byte, a lone lead byte at the end, or a lead byte whose
// trail byte forms no character each give '?'; in the
// last case a trail byte that is itself a character (ASCII) is read again.
std::u16string AnsiToWide(std::string_view ansi, int code_page);
std::u16string AnsiToWide(std::string_view ansi);  // process code page

// UTF-16 to ANSI. A character the code page cannot represent, and an unpaired
// surrogate, become '?'.
std::string WideToAnsi(std::u16string_view wide, int code_page);
std::string WideToAnsi(std::u16string_view wide);  // process code page

// UTF-8 (terminal, file system) to and from ANSI, through UTF-16. Invalid
// UTF-8 sequences become U+FFFD first (then '?').
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);
std::u16string Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

// The system's ANSI lower/upper-case conversion: letters of single-byte
// characters only, never a byte of a double-byte character (932: A-Z; 1252:
// also the accented capitals/small letters of the Latin-1 range).
std::string AnsiLower(std::string_view ansi);
std::string AnsiUpper(std::string_view ansi);

}  // namespace parlevo::platform

#endif  // PARLEVO_PLATFORM_CODEPAGE_H_
