// The coverage report's text: one line per data file, then the first entries
// never chosen, as FILE:LINE lines an editor can jump to.
#include "app/cli/coverage_report.h"

#include <algorithm>

#include "app/line_writer.h"
#include "platform/codepage.h"

namespace parlevo::cli {

void PrintCoverage(const TCoverage& coverage, int list) {
  const TLineWriter& out = StandardOutput();
  out.Line("# " + platform::AnsiToUtf8(coverage.Name()));
  for (const TCoverage::TFileCount& file : coverage.Files()) {
    const int percent = file.Total == 0 ? 100 : file.Chosen * 100 / file.Total;
    out.Line(file.File + ": " + std::to_string(file.Chosen) + "/" + std::to_string(file.Total) +
             " entries (" + std::to_string(percent) + "%)");
  }
  const std::vector<TCoverage::TNeverChosen> never = coverage.NeverChosen();
  const size_t shown = std::min(never.size(), static_cast<size_t>(std::max(list, 0)));
  for (size_t i = 0; i < shown; ++i) {
    const TCoverage::TNeverChosen& entry = never[i];
    std::string line = entry.File + ":" + std::to_string(entry.Line) + ": never chosen";
    if (!entry.Why.empty()) line += " (" + entry.Why + ")";  // names native paths
    out.Line(line);
  }
  if (shown < never.size()) out.Line("… and " + std::to_string(never.size() - shown) + " more");
}

}  // namespace parlevo::cli
