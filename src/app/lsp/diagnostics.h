// Diagnostics of a document: every finding of check for the characters it
// belongs to that is about this file, and the refusal of such a character.
#ifndef PARLEVO_APP_LSP_DIAGNOSTICS_H_
#define PARLEVO_APP_LSP_DIAGNOSTICS_H_

#include <map>
#include <string>

#include "app/check.h"
#include "app/lsp/features.h"

namespace parlevo::lsp {

// The checks of one round of diagnostics: each character is checked once,
// however many of its files are open. Loading reads the files as the text
// overlay installed by the caller has them.
class TCheckRound {
 public:
  const TCheckReport& Report(const std::string& base_file);

 private:
  std::map<std::string, TCheckReport> reports_;
};

// The diagnostics to publish for the document (an array). A finding's fix
// rides along as the diagnostic's data, for code actions.
Json Diagnostics(const TDocumentRequest& request, TCheckRound& round);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_DIAGNOSTICS_H_
