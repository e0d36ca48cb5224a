// The protocol's shared pieces: JSON through nlohmann-json, the error codes
// of answers, and the error a request handler throws to answer with one.
#ifndef PARLEVO_APP_LSP_PROTOCOL_H_
#define PARLEVO_APP_LSP_PROTOCOL_H_

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

namespace parlevo::lsp {

using Json = nlohmann::json;

// Error codes of JSON-RPC and the Language Server Protocol.
enum TErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
  kRequestFailed = -32803,
};

// Thrown by a handler: the request is answered with this error, and the
// server goes on.
class ERequestError : public std::runtime_error {
 public:
  ERequestError(TErrorCode code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  TErrorCode Code() const { return code_; }

 private:
  TErrorCode code_;
};

// The parameter `name` of `params` where it stands (no copy: a document's
// text may be tens of MiB), or an InvalidParams error.
inline const Json& Member(const Json& params, const char* name) {
  if (!params.is_object() || !params.contains(name)) {
    throw ERequestError(kInvalidParams, std::string("missing parameter \"") + name + "\"");
  }
  return params.at(name);
}

// The parameter `name` of `params` as a T, or an InvalidParams error.
template <typename T>
T Param(const Json& params, const char* name) {
  const Json& member = Member(params, name);
  try {
    return member.get<T>();
  } catch (const Json::exception&) {
    throw ERequestError(kInvalidParams, std::string("parameter \"") + name + "\" has a wrong type");
  }
}

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_PROTOCOL_H_
