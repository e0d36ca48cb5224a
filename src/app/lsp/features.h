// The requests about one document, each served from the library (the tag
// table, check's findings, the explanation): what a handler needs to know.
#ifndef PARLEVO_APP_LSP_FEATURES_H_
#define PARLEVO_APP_LSP_FEATURES_H_

#include "app/lsp/belonging.h"
#include "app/lsp/documents.h"
#include "app/lsp/positions.h"
#include "app/lsp/protocol.h"

namespace parlevo::lsp {

class TMemorySlots;

// The document a request is about, what it belongs to, and the units its
// positions are counted in.
struct TDocumentRequest {
  const TDocument& Document;
  const TBelonging& Belonging;
  TPositionEncoding Encoding;
};

// textDocument/hover at `position`: a tag's summary and arguments, a memory
// slot's value in the state file. Null where there is nothing to say.
Json Hover(const TDocumentRequest& request, const Json& position, TMemorySlots& slots);

// textDocument/completion at `position`: tag names after "{", slot numbers
// after a memory tag, base file keys, and data file names in a data list.
Json Completion(const TDocumentRequest& request, const Json& position);

// textDocument/definition: from a data file name in a base file to the file.
Json Definition(const TDocumentRequest& request, const Json& position);

// textDocument/documentSymbol: a data file's tiers and end marker, a base
// file's keys.
Json DocumentSymbols(const TDocumentRequest& request);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_FEATURES_H_
