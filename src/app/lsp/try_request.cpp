// parlevo.try: the character loaded read-only (its state file read, nothing
// written), explained through the same report as the try command.
#include "app/lsp/try_request.h"

#include <optional>

#include "app/lsp/belonging.h"
#include "app/try_report.h"
#include "data/text_overlay.h"
#include "engine/character.h"
#include "platform/textfile.h"

namespace parlevo::lsp {
namespace {

struct TTryArguments {
  std::string Uri;
  std::string Input;
  std::optional<std::string> Context;
};

TTryArguments ReadArguments(const Json& arguments) {
  TTryArguments read;
  if (arguments.is_array() && arguments.size() == 1 && arguments[0].is_object()) {
    const Json& object = arguments[0];
    read.Uri = Param<std::string>(object, "uri");
    read.Input = Param<std::string>(object, "input");
    if (object.contains("context")) read.Context = Param<std::string>(object, "context");
    return read;
  }
  if (!arguments.is_array() || arguments.size() < 2 || arguments.size() > 3 ||
      !arguments[0].is_string() || !arguments[1].is_string() ||
      (arguments.size() == 3 && !arguments[2].is_string())) {
    throw ERequestError(kInvalidParams, "parlevo.try takes [URI, INPUT] or [URI, INPUT, CONTEXT]");
  }
  read.Uri = arguments[0].get<std::string>();
  read.Input = arguments[1].get<std::string>();
  if (arguments.size() == 3) read.Context = arguments[2].get<std::string>();
  return read;
}

Json MatchJson(const TTryMatch& match) {
  return {{"key", match.Key},           {"file", match.File}, {"uri", PathToUri(match.Path)},
          {"line", match.Line},         {"tier", match.Tier}, {"written", match.Written},
          {"text", TryMatchLine(match)}};
}

}  // namespace

Json TryRequest(const TDocuments& documents, const Json& arguments) {
  const TTryArguments read = ReadArguments(arguments);
  const std::optional<std::string> path = UriToPath(read.Uri);
  if (!path) throw ERequestError(kInvalidParams, "not a file URI: " + read.Uri);
  const TTextOverlay overlay(documents.FileTexts());
  const TBelonging belonging = FindBelonging(RealPath(*path));
  if (belonging.BaseFiles.empty()) {
    throw ERequestError(kRequestFailed,
                        "not a personality file: no base file in its folder or the folder above "
                        "lists it");
  }
  try {
    TCharacter character(belonging.BaseFiles.front(), TCharacterOptions(TStateUse::kReadOnly));
    const TTryReport report = TryInput(character, read.Input, read.Context);
    Json result = {{"baseFile", belonging.BaseFiles.front()},
                   {"matches", Json::array()},
                   {"answer", report.Answerer},
                   {"lines", Json::array()}};
    for (const TTryMatch& match : report.Matches) {
      result["matches"].push_back(MatchJson(match));
      result["lines"].push_back(TryMatchLine(match));
    }
    result["lines"].push_back("answer: " + report.Answerer);
    return result;
  } catch (const ELumoError& e) {
    throw ERequestError(kRequestFailed, belonging.BaseFiles.front() + ": " + e.what());
  } catch (const platform::EFileError& e) {
    throw ERequestError(kRequestFailed, e.what());
  }
}

}  // namespace parlevo::lsp
