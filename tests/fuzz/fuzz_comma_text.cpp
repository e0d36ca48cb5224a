// Fuzzes the comma-text splitter and the item functions on arbitrary bytes.
#include <cstdint>
#include <string>

#include "data/items.h"
#include "data/text_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  parlevo::SplitCommaText(text);
  parlevo::ExpandDigitWildcard(text);
  int count = parlevo::ItemCount(text, '|');
  parlevo::ItemAt(text, '|', count > 0 ? count - 1 : 0);
  return 0;
}
