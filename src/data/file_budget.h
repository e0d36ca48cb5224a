// The size budgets of the files a personality is made of (base file, knowledge
// data files, the RESULT file), each and together: far above any real
// personality, low enough that a stranger's files cannot exhaust memory.
#ifndef PARLEVO_DATA_FILE_BUDGET_H_
#define PARLEVO_DATA_FILE_BUDGET_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/textfile.h"

namespace parlevo {

// A larger file is a file error ("cannot read file ...: File too large"), which
// refuses the character at load like any unreadable data file.
inline constexpr size_t kMaxPersonalityFileBytes = size_t{64} << 20;

// The base file and every knowledge data file it lists, together (a file
// listed twice counts twice): loading holds about ten times its files in
// memory, so a base file listing one large file a hundred times must not
// multiply it. Beyond it the data file that crosses it is a file error
// naming this budget, which refuses the character.
inline constexpr size_t kMaxPersonalityBytes = size_t{64} << 20;

// The lines of a personality's knowledge data files together (a file listed
// twice counts twice): every line is an entry, or could be one, and each
// entry holds memory of its own, so 64 MiB of short lines must not take
// gigabytes. Ten times the entries of the largest real personalities.
// Counted before a file is split into lines; the data file that crosses it
// is a file error naming this budget (EntriesBudgetError), which refuses
// the character.
inline constexpr size_t kMaxPersonalityEntries = 1'000'000;

// The lines SplitLines would give for `bytes`, counted without making them.
size_t CountLines(std::string_view bytes);
// The file error for the data file `path` that crosses kMaxPersonalityEntries.
platform::EFileError EntriesBudgetError(std::string path);

// Reads a file a tool is given beside a personality (a test script, a
// pattern list) within kMaxPersonalityFileBytes, so no file, pipe or device
// can take more memory than that. Throws platform::EFileError; for a larger
// one "cannot read file "…": File too large (over the 64 MiB budget of a file)".
std::string ReadFileWithinBudget(std::string_view path);

}  // namespace parlevo

#endif  // PARLEVO_DATA_FILE_BUDGET_H_
