// The coverage report of parlevo-cli (coverage, test --coverage): per data
// file "FILE: chosen/total entries (P%)", then entries never chosen.
#ifndef PARLEVO_APP_CLI_COVERAGE_REPORT_H_
#define PARLEVO_APP_CLI_COVERAGE_REPORT_H_

#include "app/coverage.h"

namespace parlevo::cli {

// How many "never chosen" lines a report lists unless told otherwise.
inline constexpr int kDefaultNeverChosenLines = 20;

// Prints "# NAME", the per-file counts, and up to `list` lines
// "FILE:LINE: never chosen" (with why, when it can never be).
void PrintCoverage(const TCoverage& coverage, int list);

}  // namespace parlevo::cli

#endif  // PARLEVO_APP_CLI_COVERAGE_REPORT_H_
