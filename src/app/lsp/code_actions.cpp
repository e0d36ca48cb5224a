// Code actions: the fixes check offers (an answer whose fields run over,
// quoted; an unknown tag or key replaced by the nearest known one), taken
// from the diagnostics the server last published for the document.
#include "app/lsp/code_actions.h"

namespace parlevo::lsp {
namespace {

int64_t LineOf(const Json& position) { return position.value("line", int64_t{-1}); }

// Whether the diagnostic's lines meet the requested range's.
bool Meets(const Json& diagnostic, const Json& range) {
  const Json& at = diagnostic.at("range");
  return LineOf(at.at("start")) <= LineOf(range.at("end")) &&
         LineOf(range.at("start")) <= LineOf(at.at("end"));
}

std::string Title(const Json& diagnostic, const std::string& fix) {
  if (diagnostic.value("code", "") == "too-many-fields") return "Quote the answer: " + fix;
  return "Replace with " + fix;
}

}  // namespace

Json CodeActions(const std::string& uri, const Json& published, const Json& range) {
  Json actions = Json::array();
  if (!published.is_array()) return actions;
  for (const Json& diagnostic : published) {
    if (!diagnostic.contains("data") || !Meets(diagnostic, range)) continue;
    const std::string fix = diagnostic.at("data").value("fix", "");
    const Json edit = {{"range", diagnostic.at("range")}, {"newText", fix}};
    actions.push_back({{"title", Title(diagnostic, fix)},
                       {"kind", "quickfix"},
                       {"diagnostics", Json::array({diagnostic})},
                       {"isPreferred", true},
                       {"edit", {{"changes", {{uri, Json::array({edit})}}}}}});
  }
  return actions;
}

}  // namespace parlevo::lsp
