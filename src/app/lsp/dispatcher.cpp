// The session's rules: requests before initialize are refused, after
// shutdown only exit counts; malformed messages, unknown methods and bad
// parameters are answered with the protocol's errors and the session goes
// on. Changes only mark documents: diagnostics are published once the
// client's burst of messages is over (PublishPending).
#include "app/lsp/dispatcher.h"

#include <new>

#include "app/lsp/code_actions.h"
#include "app/lsp/diagnostics.h"
#include "app/lsp/features.h"
#include "app/lsp/try_request.h"
#include "app/version.h"
#include "data/text_overlay.h"

namespace parlevo::lsp {
namespace {

constexpr int kFullSync = 1;

bool IsId(const Json& id) { return id.is_number_integer() || id.is_string(); }

// Whether the client offers UTF-8 positions (general.positionEncodings).
bool OffersUtf8(const Json& params) {
  const Json* encodings = nullptr;
  if (params.contains("capabilities") && params["capabilities"].contains("general")) {
    const Json& general = params["capabilities"]["general"];
    if (general.contains("positionEncodings")) encodings = &general["positionEncodings"];
  }
  if (encodings == nullptr || !encodings->is_array()) return false;
  for (const Json& offered : *encodings) {
    if (offered == "utf-8") return true;
  }
  return false;
}

std::string UriOf(const Json& params) {
  return Param<std::string>(Member(params, "textDocument"), "uri");
}

}  // namespace

TDispatcher::TDispatcher(std::function<void(const Json&)> send) : send_(std::move(send)) {
  requests_["initialize"] = [this](const Json& params) { return Initialize(params); };
  requests_["shutdown"] = [this](const Json&) {
    shut_down_ = true;
    return Json(nullptr);
  };
  requests_["textDocument/hover"] = [this](const Json& params) {
    return OnDocument(params, [&](const TDocumentRequest& request) {
      return Hover(request, Member(params, "position"), memory_);
    });
  };
  requests_["textDocument/completion"] = [this](const Json& params) {
    return OnDocument(params, [&](const TDocumentRequest& request) {
      return Completion(request, Member(params, "position"));
    });
  };
  requests_["textDocument/definition"] = [this](const Json& params) {
    return OnDocument(params, [&](const TDocumentRequest& request) {
      return Definition(request, Member(params, "position"));
    });
  };
  requests_["textDocument/documentSymbol"] = [this](const Json& params) {
    return OnDocument(params,
                      [](const TDocumentRequest& request) { return DocumentSymbols(request); });
  };
  requests_["textDocument/codeAction"] = [this](const Json& params) {
    return OnDocument(params, [&](const TDocumentRequest& request) {
      const auto found = published_.find(request.Document.Uri);
      return CodeActions(request.Document.Uri, found == published_.end() ? Json() : found->second,
                         Member(params, "range"));
    });
  };
  requests_["workspace/executeCommand"] = [this](const Json& params) {
    const auto command = Param<std::string>(params, "command");
    if (command != kTryCommand) throw ERequestError(kInvalidParams, "unknown command: " + command);
    return TryRequest(documents_, params.value("arguments", Json::array()));
  };
  // Whether a file is a personality file, for clients that choose a file
  // type by asking: {"kind": "base" | "data" | "other", "baseFiles": [...]}.
  requests_["parlevo/fileKind"] = [this](const Json& params) {
    const std::optional<std::string> path = UriToPath(Param<std::string>(params, "uri"));
    if (!path) return Json{{"kind", "other"}, {"baseFiles", Json::array()}};
    const TTextOverlay overlay(documents_.FileTexts());
    const TBelonging belonging = FindBelonging(RealPath(*path));
    static constexpr const char* kKinds[] = {"base", "data", "other"};
    return Json{{"kind", kKinds[static_cast<int>(belonging.Kind)]},
                {"baseFiles", belonging.BaseFiles}};
  };
  notifications_["initialized"] = [](const Json&) {};
  notifications_["textDocument/didOpen"] = [this](const Json& params) { DidOpen(params); };
  notifications_["textDocument/didChange"] = [this](const Json& params) { DidChange(params); };
  notifications_["textDocument/didSave"] = [this](const Json& params) { DidSave(params); };
  notifications_["textDocument/didClose"] = [this](const Json& params) { DidClose(params); };
}

void TDispatcher::Handle(std::string_view body, const std::string& problem) {
  if (!problem.empty()) return AnswerError(nullptr, kParseError, problem);
  Json message;
  try {
    message = Json::parse(body);
  } catch (const Json::exception& e) {
    return AnswerError(nullptr, kParseError, std::string("not JSON: ") + e.what());
  }
  if (!message.is_object()) return AnswerError(nullptr, kInvalidRequest, "not a JSON object");
  const Json id = message.contains("id") ? message["id"] : Json();
  if (!message.contains("method")) {
    // An answer to a request of ours (we send none) is passed over.
    if (message.contains("result") || message.contains("error")) return;
    return AnswerError(IsId(id) ? id : Json(), kInvalidRequest,
                       "neither a request nor a notification");
  }
  if (!message["method"].is_string() || (message.contains("id") && !IsId(id))) {
    return AnswerError(IsId(id) ? id : Json(), kInvalidRequest, "a malformed method or id");
  }
  const std::string method = message["method"];
  const Json params =
      message.contains("params") ? std::move(message["params"]) : Json(Json::object());
  if (message.contains("id")) return Request(id, method, params);
  Notification(method, params);
}

void TDispatcher::Request(const Json& id, const std::string& method, const Json& params) {
  if (!initialized_ && method != "initialize") {
    return AnswerError(id, kServerNotInitialized, "the server is not initialized yet");
  }
  if (shut_down_) return AnswerError(id, kInvalidRequest, "the server is shut down");
  const auto handler = requests_.find(method);
  if (handler == requests_.end()) {
    return AnswerError(id, kMethodNotFound, "no such method: " + method);
  }
  try {
    Answer(id, handler->second(params));
  } catch (const ERequestError& e) {
    AnswerError(id, e.Code(), e.what());
  } catch (const Json::exception& e) {
    AnswerError(id, kInvalidParams, e.what());
  } catch (const std::bad_alloc&) {
    AnswerError(id, kRequestFailed, "out of memory");
  } catch (const std::exception& e) {
    AnswerError(id, kInternalError, e.what());
  }
}

void TDispatcher::Notification(const std::string& method, const Json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shut_down_) return;  // dropped, as the protocol says
  const auto handler = notifications_.find(method);
  if (handler == notifications_.end()) return;  // unknown notifications are passed over
  try {
    handler->second(params);
  } catch (const std::exception& e) {
    // A notification has no answer: the client hears of it in its log.
    send_({{"jsonrpc", "2.0"},
           {"method", "window/logMessage"},
           {"params", {{"type", 1}, {"message", method + ": " + e.what()}}}});
  }
}

void TDispatcher::Answer(const Json& id, Json result) {
  send_({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
}

void TDispatcher::AnswerError(const Json& id, int code, const std::string& message) {
  send_({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

Json TDispatcher::Initialize(const Json& params) {
  if (initialized_) throw ERequestError(kInvalidRequest, "initialize was already sent");
  if (!params.is_object()) throw ERequestError(kInvalidParams, "initialize takes an object");
  encoding_ = OffersUtf8(params) ? TPositionEncoding::kUtf8 : TPositionEncoding::kUtf16;
  initialized_ = true;
  const Json capabilities = {
      {"positionEncoding", EncodingName(encoding_)},
      {"textDocumentSync",
       {{"openClose", true}, {"change", kFullSync}, {"save", {{"includeText", false}}}}},
      {"hoverProvider", true},
      {"completionProvider", {{"triggerCharacters", {"{", ","}}}},
      {"definitionProvider", true},
      {"documentSymbolProvider", true},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
      {"executeCommandProvider", {{"commands", {kTryCommand}}}}};
  return {{"capabilities", capabilities},
          {"serverInfo", {{"name", "parlevo-cli lsp"}, {"version", std::string(VersionText())}}}};
}

void TDispatcher::DidOpen(const Json& params) {
  const Json& document = Member(params, "textDocument");
  const auto uri = Param<std::string>(document, "uri");
  documents_.Open(uri, Param<std::string>(document, "text"), document.value("version", int64_t{0}));
  // Any open file of the same character may read differently now.
  for (const auto& [open_uri, open] : documents_.All()) pending_.insert(open_uri);
}

void TDispatcher::DidChange(const Json& params) {
  const std::string uri = UriOf(params);
  const Json& changes = Member(params, "contentChanges");
  if (!changes.is_array() || changes.empty()) return;
  // Full sync: the last change holds the whole text.
  const Json& last = changes.back();
  if (last.contains("range")) throw ERequestError(kInvalidParams, "only whole texts are taken");
  const int64_t version = Member(params, "textDocument").value("version", int64_t{0});
  if (!documents_.Change(uri, Param<std::string>(last, "text"), version)) return;
  for (const auto& [open_uri, open] : documents_.All()) pending_.insert(open_uri);
}

void TDispatcher::DidSave(const Json& params) {
  documents_.Saved(UriOf(params));
  for (const auto& [open_uri, open] : documents_.All()) pending_.insert(open_uri);
}

void TDispatcher::DidClose(const Json& params) {
  const std::string uri = UriOf(params);
  documents_.Close(uri);
  belongings_.erase(uri);
  pending_.erase(uri);
  if (published_.erase(uri) > 0) {
    send_({{"jsonrpc", "2.0"},
           {"method", "textDocument/publishDiagnostics"},
           {"params", {{"uri", uri}, {"diagnostics", Json::array()}}}});
  }
  for (const auto& [open_uri, open] : documents_.All()) pending_.insert(open_uri);
}

const TBelonging& TDispatcher::BelongingOf(const TDocument& document) {
  const auto found = belongings_.find(document.Uri);
  if (found != belongings_.end()) return found->second;
  const TTextOverlay overlay(documents_.FileTexts());
  TBelonging belonging = document.Path.empty() ? TBelonging() : FindBelonging(document.Path);
  return belongings_[document.Uri] = std::move(belonging);
}

template <typename Feature>
Json TDispatcher::OnDocument(const Json& params, Feature feature) {
  const std::string uri = UriOf(params);
  const TDocument* document = documents_.Find(uri);
  if (document == nullptr) throw ERequestError(kInvalidParams, "the document is not open: " + uri);
  const TBelonging& belonging = BelongingOf(*document);
  if (belonging.Kind == TDocumentKind::kOther) {
    throw ERequestError(kRequestFailed,
                        "not a personality file: it is no base file, and no base file in its "
                        "folder or the folder above lists it");
  }
  return feature(TDocumentRequest{*document, belonging, encoding_});
}

void TDispatcher::PublishPending() {
  if (pending_.empty()) return;
  const TTextOverlay overlay(documents_.FileTexts());
  TCheckRound round;
  for (const std::string& uri : pending_) {
    const TDocument* document = documents_.Find(uri);
    if (document == nullptr) continue;
    try {
      TBelonging& belonging = belongings_[uri] =
          document->Path.empty() ? TBelonging() : FindBelonging(document->Path);
      Json diagnostics = Diagnostics(TDocumentRequest{*document, belonging, encoding_}, round);
      send_({{"jsonrpc", "2.0"},
             {"method", "textDocument/publishDiagnostics"},
             {"params",
              {{"uri", uri}, {"version", document->Version}, {"diagnostics", diagnostics}}}});
      published_[uri] = std::move(diagnostics);
    } catch (const std::exception& e) {
      send_({{"jsonrpc", "2.0"},
             {"method", "window/logMessage"},
             {"params", {{"type", 1}, {"message", uri + ": not checked: " + e.what()}}}});
    }
  }
  pending_.clear();
}

}  // namespace parlevo::lsp
