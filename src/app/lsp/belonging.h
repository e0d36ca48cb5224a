// Which characters a document belongs to: a base file is its own character;
// a data file belongs to every base file that lists it, looked for in the
// data file's folder and the folder above.
#ifndef PARLEVO_APP_LSP_BELONGING_H_
#define PARLEVO_APP_LSP_BELONGING_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo::lsp {

enum class TDocumentKind {
  kBaseFile,
  kDataFile,
  kOther,  // no personality file: no base file lists it, and it is none
};

struct TBelonging {
  TDocumentKind Kind = TDocumentKind::kOther;
  std::vector<std::string> BaseFiles;  // native, real paths; the document itself for a base file
  // Data files only: the base file keys that list it ("data01", ...), one
  // per base file and list, for completion and hover.
  std::vector<std::string> Keys;
};

// At most this many candidate base files are read in each folder, each at
// most kMaxBaseFileBytes: a folder of thousands of text files stays cheap.
inline constexpr size_t kMaxCandidatesPerFolder = 256;
inline constexpr size_t kMaxBaseFileBytes = size_t{1} << 20;

// Looks at the files as the current text overlay has them (an unsaved base
// file's list counts). `path` is native and real.
TBelonging FindBelonging(std::string_view path);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_BELONGING_H_
