// The compiled-in code page tables (generated into codepage_tables.cpp by
// tools/gen_codepage_tables.py); only codepage.cpp reads them.
#ifndef PARLEVO_PLATFORM_CODEPAGE_TABLES_H_
#define PARLEVO_PLATFORM_CODEPAGE_TABLES_H_

#include <cstdint>

namespace parlevo::platform::tables {

// 0xFFFF in a decoding table: the byte (pair) is no character.
constexpr uint16_t kNoChar = 0xFFFF;

// Single bytes of 932 (lead bytes read kNoChar) and their rows of trail bytes.
extern const uint16_t kDecode932Single[256];
extern const int16_t kDecode932Lead[256];  // row of a lead byte, -1 if none
extern const uint16_t kDecode932Rows[][256];

// Encoding: kEncodeXPage[high byte of the UTF-16 unit] is the page index, or
// -1; the page entry is the code (lead * 256 + trail for a double-byte
// character), 0 when the character has none. ASCII maps to itself and is not
// in the pages.
extern const int16_t kEncode932Page[256];
extern const uint16_t kEncode932Pages[][256];

extern const uint16_t kDecode1252Single[256];
extern const int16_t kEncode1252Page[256];
extern const uint16_t kEncode1252Pages[][256];

}  // namespace parlevo::platform::tables

#endif  // PARLEVO_PLATFORM_CODEPAGE_TABLES_H_
