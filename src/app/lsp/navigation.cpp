// Finding one's way in personality files: from a data file's name in a base
// file to the file, and the outline of a file (tiers and the end marker of a
// data file, the keys of a base file).
#include <algorithm>

#include "app/lsp/base_file_text.h"
#include "app/lsp/features.h"
#include "data/text_helpers.h"
#include "platform/codepage.h"
#include "platform/native_path.h"
#include "platform/textfile.h"

namespace parlevo::lsp {
namespace {

// The kinds of symbols the protocol numbers.
constexpr int kNamespaceSymbol = 3;
constexpr int kPropertySymbol = 7;
constexpr int kConstantSymbol = 14;

Json Symbol(std::string name, std::string detail, int kind, const Json& range,
            const Json& selection) {
  Json symbol = {
      {"name", std::move(name)}, {"kind", kind}, {"range", range}, {"selectionRange", selection}};
  if (!detail.empty()) symbol["detail"] = std::move(detail);
  return symbol;
}

Json Span(const TDocumentRequest& request, size_t first, size_t last) {
  const std::vector<std::string>& lines = request.Document.Lines;
  const size_t end = last < lines.size() ? platform::Utf8ToWide(lines[last]).size() : 0;
  return {{"start", PositionJson(lines, first, 0, request.Encoding)},
          {"end", PositionJson(lines, last, end, request.Encoding)}};
}

enum class TMarker { kNone, kPrior, kEndOfData };

// A line that divides tiers or ends the file, in every kind: its first field
// (a kind C line is one field) folded.
TMarker MarkerOf(const std::string& utf8_line) {
  const std::vector<std::string> fields = SplitCommaText(platform::Utf8ToAnsi(utf8_line));
  if (fields.empty()) return TMarker::kNone;
  const std::u16string folded = NormalizeText(platform::AnsiToWide(fields.front()));
  if (folded == u"{PRIOR}") return TMarker::kPrior;
  if (folded == u"{ENDOFDATA}") return TMarker::kEndOfData;
  return TMarker::kNone;
}

Json DataFileSymbols(const TDocumentRequest& request) {
  Json symbols = Json::array();
  const std::vector<std::string>& lines = request.Document.Lines;
  if (lines.empty() || request.Document.Form == TFileForm::kEnciphered) return symbols;
  int tier = 1;
  size_t tier_start = 0;
  auto close_tier = [&](size_t last) {
    const std::string name = "tier " + std::to_string(tier);
    symbols.push_back(Symbol(name, "", kNamespaceSymbol, Span(request, tier_start, last),
                             Span(request, tier_start, tier_start)));
  };
  for (size_t line = 0; line < lines.size(); ++line) {
    const TMarker marker = MarkerOf(lines[line]);
    if (marker == TMarker::kPrior) {
      if (line > tier_start) close_tier(line - 1);
      ++tier;
      tier_start = line;
    } else if (marker == TMarker::kEndOfData) {
      if (line > tier_start) close_tier(line - 1);
      symbols.push_back(Symbol("{ENDOFDATA}", "what follows is never read", kConstantSymbol,
                               Span(request, line, lines.size() - 1), Span(request, line, line)));
      return symbols;
    }
  }
  close_tier(lines.size() - 1);
  return symbols;
}

Json BaseFileSymbols(const TDocumentRequest& request) {
  Json symbols = Json::array();
  const std::vector<std::string>& lines = request.Document.Lines;
  for (size_t line = 0; line < lines.size(); line += 2) {
    if (lines[line].empty()) continue;
    const size_t last = std::min(line + 1, lines.size() - 1);
    symbols.push_back(Symbol(lines[line], last > line ? lines[last] : "", kPropertySymbol,
                             Span(request, line, last), Span(request, line, line)));
  }
  return symbols;
}

}  // namespace

Json Definition(const TDocumentRequest& request, const Json& position) {
  if (request.Belonging.Kind != TDocumentKind::kBaseFile) return nullptr;
  const TLineAt at = LineAt(request.Document.Lines, position, request.Encoding);
  const std::optional<std::string> key = KeyOfValueLine(request.Document.Lines, at.Line);
  if (!key || !IsDataKey(*key)) return nullptr;
  const TNameSpan name = NameAround(at.Text, at.Index);
  if (name.Name.empty()) return nullptr;
  const std::string path =
      platform::JoinAnsiPath(DataFolderOf(request.Document), platform::WideToAnsi(name.Name));
  if (!platform::FileExists(path)) return nullptr;
  const Json start = {{"line", 0}, {"character", 0}};
  return {{"uri", PathToUri(path)}, {"range", {{"start", start}, {"end", start}}}};
}

Json DocumentSymbols(const TDocumentRequest& request) {
  switch (request.Belonging.Kind) {
    case TDocumentKind::kBaseFile:
      return BaseFileSymbols(request);
    case TDocumentKind::kDataFile:
      return DataFileSymbols(request);
    default:
      return Json::array();
  }
}

}  // namespace parlevo::lsp
