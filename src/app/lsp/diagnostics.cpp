// Findings turned into diagnostics: lines and columns into the client's
// positions (a finding's columns count the code page's characters, one
// UTF-16 unit each), severities into the protocol's.
#include "app/lsp/diagnostics.h"

#include <set>
#include <tuple>

#include "data/file_budget.h"
#include "data/text_overlay.h"
#include "platform/codepage.h"

namespace parlevo::lsp {
namespace {

int SeverityNumber(TFindingSeverity severity) {
  switch (severity) {
    case TFindingSeverity::kError:
      return 1;
    case TFindingSeverity::kWarning:
      return 2;
    default:
      return 3;  // information
  }
}

Json Diagnostic(const TDocumentRequest& request, const TFinding& finding, std::string message) {
  const std::vector<std::string>& lines = request.Document.Lines;
  const size_t line = finding.Line > 0 ? static_cast<size_t>(finding.Line - 1) : 0;
  size_t begin = 0, end = 0;
  if (finding.Column != 1 || finding.EndColumn != 1) {
    const size_t length = line < lines.size() ? platform::Utf8ToWide(lines[line]).size() : 0;
    end = length;
    if (finding.Column > 0 && finding.EndColumn >= finding.Column) {
      begin = std::min(static_cast<size_t>(finding.Column - 1), length);
      end = std::min(static_cast<size_t>(finding.EndColumn - 1), length);
    }
  }
  Json diagnostic = {{"range", RangeJson(lines, line, begin, end, request.Encoding)},
                     {"severity", SeverityNumber(finding.Severity)},
                     {"code", std::string(finding.Code)},
                     {"source", "parlevo"},
                     {"message", std::move(message)}};
  // A fix replaces the characters the finding points at; one that could not
  // be placed on its line is shown, never applied to the whole line.
  if (finding.Fix && finding.Column > 0) diagnostic["data"] = {{"fix", *finding.Fix}};
  return diagnostic;
}

Json OverBudget(const TDocumentRequest& request) {
  TFinding finding;
  finding.Severity = TFindingSeverity::kError;
  finding.Code = "file-too-large";
  finding.Column = finding.EndColumn = 1;  // its start: the line may be the whole 64 MiB
  return Json::array(
      {Diagnostic(request, finding,
                  "this file is over the " + std::to_string(kMaxPersonalityFileBytes >> 20) +
                      " MiB budget of a personality file: it is not loaded")});
}

}  // namespace

const TCheckReport& TCheckRound::Report(const std::string& base_file) {
  const auto found = reports_.find(base_file);
  if (found != reports_.end()) return found->second;
  return reports_[base_file] = CheckCharacter(base_file);
}

Json Diagnostics(const TDocumentRequest& request, TCheckRound& round) {
  if (request.Document.Text.size() > kMaxPersonalityFileBytes) return OverBudget(request);
  Json diagnostics = Json::array();
  std::map<std::string, std::string> real_paths;
  std::set<std::tuple<int, int, int, std::string, std::string>> seen;
  for (const std::string& base_file : request.Belonging.BaseFiles) {
    for (const TFinding& finding : round.Report(base_file).Findings) {
      auto [real, added] = real_paths.try_emplace(finding.File);
      if (added) real->second = RealPath(finding.File);
      const bool here = real->second == request.Document.Path;
      // A refusal is the whole character's: shown on every file of it.
      if (!here && finding.Severity != TFindingSeverity::kError) continue;
      std::string message = finding.Message;
      TFinding placed = finding;
      if (!here) {
        message = finding.File + ": " + message;
        placed.Line = 0;
        placed.Column = placed.EndColumn = 0;
        placed.Fix.reset();
      }
      if (!seen.emplace(placed.Line, placed.Column, placed.EndColumn, std::string(placed.Code),
                        message)
               .second) {
        continue;
      }
      diagnostics.push_back(Diagnostic(request, placed, std::move(message)));
    }
  }
  return diagnostics;
}

}  // namespace parlevo::lsp
