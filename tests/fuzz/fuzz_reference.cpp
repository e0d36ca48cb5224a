// Fuzzes the engine against the independent reference matcher. The input is
// an options byte (bits 0-1: Shift JIS, EUC, Western or UTF-16; bits 2-7: the
// start character of the search), then patterns one per line, a NUL, and a
// text. For UTF-16 each byte becomes a 16-bit unit.
// The first pattern's Match and Found, and the set of all of them, must give
// the reference's answers.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/reference_compare.h"

namespace {

constexpr size_t kMaxPatterns = 16;

std::string Widen(std::string_view bytes) {
  std::string out;
  for (char b : bytes) {
    out += b;
    out += '\0';
  }
  return out;
}

void Check(const std::string& diff) {
  if (diff.empty()) return;
  std::fprintf(stderr, "%s\n", diff.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace parlevo;
  if (size == 0) return 0;
  static const TbmCharCode kCodes[] = {bmccShiftJIS, bmccEUC, bmccWestern, bmccUniCode};
  const TbmCharCode code = kCodes[data[0] & 3];
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t cut = input.find('\0');
  std::string_view lines = input.substr(0, cut);
  std::string text(cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1));
  std::vector<std::string> patterns;
  while (patterns.size() < kMaxPatterns) {
    const size_t end = lines.find('\n');
    patterns.emplace_back(lines.substr(0, end));
    if (code == bmccUniCode) patterns.back() = Widen(patterns.back());
    if (end == std::string_view::npos) break;
    lines.remove_prefix(end + 1);
  }
  int32_t from = data[0] >> 2;
  if (from > static_cast<int32_t>(text.size())) from = 0;
  if (code == bmccUniCode) {
    text = Widen(text);
    from *= 2;
  }
  Check(reference::CompareMatch(code, patterns[0], text, from));
  Check(reference::CompareSet(code, patterns, {text}));
  return 0;
}
