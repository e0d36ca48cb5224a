// Items of a separated ANSI text ("a|b|c"). The scan steps over double-byte
// characters whole, so a trail byte equal to the separator never splits.
#include "data/items.h"

#include <utility>

#include "platform/codepage.h"

namespace parlevo {

namespace {

// Byte offset of the first separator that is a character of its own, or npos.
size_t FindSeparator(std::string_view s, char sep) {
  for (size_t i = 0; i < s.size(); i += platform::CharLengthAt(s, i)) {
    if (s[i] == sep) return i;
  }
  return std::string_view::npos;
}

}  // namespace

int ItemCount(std::string_view s, char sep) {
  if (s.empty()) return 0;
  int count = 1;
  for (size_t i = 0; i < s.size(); i += platform::CharLengthAt(s, i)) {
    if (s[i] == sep) ++count;
  }
  return count;
}

std::string CutItem(std::string& s, char sep) {
  size_t at = FindSeparator(s, sep);
  if (at == std::string_view::npos) return std::exchange(s, std::string());
  std::string item = s.substr(0, at);
  s.erase(0, at + 1);
  return item;
}

std::string ItemAt(std::string_view s, char sep, int n) {
  if (n < 0) return std::string();
  // Walks the items without copying the rest each time.
  size_t start = 0;
  for (int i = 0; i < n; ++i) {
    size_t at = FindSeparator(s.substr(start), sep);
    if (at == std::string_view::npos) return std::string();
    start += at + 1;
  }
  std::string_view rest = s.substr(start);
  return std::string(rest.substr(0, FindSeparator(rest, sep)));
}

}  // namespace parlevo
