// One client's session: the lifecycle (initialize, shutdown, exit), the
// methods and their handlers, and the protocol's error answers for whatever
// a client sends wrong.
#ifndef PARLEVO_APP_LSP_DISPATCHER_H_
#define PARLEVO_APP_LSP_DISPATCHER_H_

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "app/lsp/belonging.h"
#include "app/lsp/documents.h"
#include "app/lsp/memory_slots.h"
#include "app/lsp/positions.h"
#include "app/lsp/protocol.h"

namespace parlevo::lsp {

class TDispatcher {
 public:
  // `send` writes one message body.
  explicit TDispatcher(std::function<void(const Json&)> send);

  // Handles one message body as read (or a transport problem, `problem` not
  // empty). Never throws.
  void Handle(std::string_view body, const std::string& problem = {});
  // Publishes the diagnostics of documents that changed since the last time.
  void PublishPending();
  bool Exited() const { return exited_; }
  int ExitStatus() const { return shut_down_ ? 0 : 1; }

 private:
  using THandler = std::function<Json(const Json& params)>;

  void Request(const Json& id, const std::string& method, const Json& params);
  void Notification(const std::string& method, const Json& params);
  void Answer(const Json& id, Json result);
  void AnswerError(const Json& id, int code, const std::string& message);

  Json Initialize(const Json& params);
  void DidOpen(const Json& params);
  void DidChange(const Json& params);
  void DidSave(const Json& params);
  void DidClose(const Json& params);
  // The open document a request names, with what it belongs to; a request
  // about a document that is no personality file is RequestFailed.
  template <typename Feature>
  Json OnDocument(const Json& params, Feature feature);
  const TBelonging& BelongingOf(const TDocument& document);

  std::function<void(const Json&)> send_;
  std::map<std::string, THandler> requests_;
  std::map<std::string, std::function<void(const Json&)>> notifications_;
  TDocuments documents_;
  std::map<std::string, TBelonging> belongings_;  // by URI, found at the last publishing
  std::map<std::string, Json> published_;         // by URI, the diagnostics last sent
  std::set<std::string> pending_;                 // URIs whose diagnostics are due
  TMemorySlots memory_;
  TPositionEncoding encoding_ = TPositionEncoding::kUtf16;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
};

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_DISPATCHER_H_
