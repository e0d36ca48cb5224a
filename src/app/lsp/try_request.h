// The command parlevo.try (workspace/executeCommand): which entries of the
// character a document belongs to match an input, as `try` reports them.
#ifndef PARLEVO_APP_LSP_TRY_REQUEST_H_
#define PARLEVO_APP_LSP_TRY_REQUEST_H_

#include "app/lsp/documents.h"
#include "app/lsp/protocol.h"

namespace parlevo::lsp {

inline constexpr const char* kTryCommand = "parlevo.try";

// `arguments`: [URI, INPUT] or [URI, INPUT, CONTEXT], or one object with
// "uri", "input" and "context". The URI is a base file or a data file of it;
// the character is loaded read-only from the files as `documents` has them.
// Gives {"matches": [...], "answer": ..., "lines": [... as try prints them]}.
Json TryRequest(const TDocuments& documents, const Json& arguments);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_TRY_REQUEST_H_
