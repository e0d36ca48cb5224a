// Fuzzes the code page conversions: any bytes, both code pages, both ways.
// Conversions must never crash and must round-trip what they produce.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/codepage.h"

using namespace parlevo::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  for (int code_page : {kCodePage932, kCodePage1252}) {
    std::u16string wide = AnsiToWide(bytes, code_page);
    std::string back = WideToAnsi(wide, code_page);
    // What came back is valid text of the code page: it converts to itself.
    if (AnsiToWide(back, code_page) != wide &&
        WideToAnsi(AnsiToWide(back, code_page), code_page) != back)
      abort();
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
      units[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);
    WideToAnsi(units, code_page);
    AnsiLower(bytes);
    AnsiUpper(bytes);
  }
  Utf8ToAnsi(bytes);
  AnsiToUtf8(bytes);
  return 0;
}
