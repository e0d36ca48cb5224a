// A memo as the state file keeps it: one line, each line break written as the
// tag "{BR}". The memo cap is measured on this form, so a memo within the cap
// is saved and read back within it.
#ifndef PARLEVO_ENGINE_MEMO_LINE_H_
#define PARLEVO_ENGINE_MEMO_LINE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace parlevo {

// The longest memo, in bytes as saved. "{MEMO01+x}" in every turn of a
// conversation that runs for days cannot grow a slot, and the state file
// holding it, without end.
inline constexpr size_t kMaxMemoBytes = 65536;

// The memo as one state file line: CR LF, CR or LF becomes "{BR}" (which
// gives the break back wherever the memo is shown) and any other control
// character a blank, so every memo stays one line.
std::string MemoLine(std::string_view memo);

// The length of MemoLine(memo), without building it.
size_t MemoLineLength(std::string_view memo);

// A memo line read back, cut to the cap at a character boundary when longer.
std::string CapMemoLine(std::string_view line);

}  // namespace parlevo

#endif  // PARLEVO_ENGINE_MEMO_LINE_H_
