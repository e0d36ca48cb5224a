// Items of a separated ANSI text ("a|b|c"), as CHOICE, MID and ISSAME use
// them. A separator byte is only ever a character of its own: the second byte
// of a double-byte character (such as the 0x7C of "ポ") never splits.
#ifndef PARLEVO_DATA_ITEMS_H_
#define PARLEVO_DATA_ITEMS_H_

#include <string>
#include <string_view>

namespace parlevo {

// 0 for an empty text, otherwise 1 + the number of separators.
int ItemCount(std::string_view s, char sep);
// Returns `s` up to the first separator (all of it when there is none) and
// removes that part and the separator from `s`.
std::string CutItem(std::string& s, char sep);
// The item with 0-based index n; empty when there are fewer items or n < 0.
std::string ItemAt(std::string_view s, char sep, int n);

}  // namespace parlevo

#endif  // PARLEVO_DATA_ITEMS_H_
