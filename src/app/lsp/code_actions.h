// Quick fixes for a range of a document, from the diagnostics published for it.
#ifndef PARLEVO_APP_LSP_CODE_ACTIONS_H_
#define PARLEVO_APP_LSP_CODE_ACTIONS_H_

#include <string>

#include "app/lsp/protocol.h"

namespace parlevo::lsp {

// textDocument/codeAction: an edit for every published diagnostic of `uri`
// on the lines of `range` that carries a fix. The server's own record is
// used, not what the client sends back, so a fix is never one it invented.
Json CodeActions(const std::string& uri, const Json& published, const Json& range);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_CODE_ACTIONS_H_
