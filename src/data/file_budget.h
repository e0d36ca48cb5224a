// The size budget of the files a personality is made of (base file, knowledge
// data files, the RESULT file): far above any real personality, low enough that
// a stranger's file cannot exhaust memory.
#ifndef PARLEVO_DATA_FILE_BUDGET_H_
#define PARLEVO_DATA_FILE_BUDGET_H_

#include <cstddef>

namespace parlevo {

// A larger file is a file error ("cannot read file ...: File too large"), which
// refuses the character at load like any unreadable data file.
inline constexpr size_t kMaxPersonalityFileBytes = size_t{64} << 20;

}  // namespace parlevo

#endif  // PARLEVO_DATA_FILE_BUDGET_H_
