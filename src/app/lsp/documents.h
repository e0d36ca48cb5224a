// The documents a client has open: their text as the editor holds it (UTF-8),
// the file each stands for, and that text as the file would hold it, for
// loading a character from what the author sees rather than what was saved.
#ifndef PARLEVO_APP_LSP_DOCUMENTS_H_
#define PARLEVO_APP_LSP_DOCUMENTS_H_

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::lsp {

// How the file on disk spells its text, so the editor's UTF-8 is turned
// back into the same form.
enum class TFileForm {
  kCodePage,    // code page bytes (Shift JIS, Windows-1252)
  kUtf8Marked,  // UTF-8 behind the byte order mark
  kUtf8Plain,   // UTF-8 without it (well-formed, not all ASCII), read as UTF-8
  kEnciphered,  // the editor cannot show it: the file on disk is used
};

struct TDocument {
  std::string Uri;
  std::string Path;  // native, real (links resolved); empty when the URI is no file
  std::string Text;  // UTF-8
  int64_t Version = 0;
  TFileForm Form = TFileForm::kCodePage;
  std::vector<std::string> Lines;  // Text split as the protocol counts lines
};

class TDocuments {
 public:
  TDocument& Open(const std::string& uri, std::string text, int64_t version);
  // Replaces the whole text; false when the document is not open.
  bool Change(const std::string& uri, std::string text, int64_t version);
  // Looks at the file on disk again (it was saved).
  void Saved(const std::string& uri);
  void Close(const std::string& uri);
  const TDocument* Find(std::string_view uri) const;
  const std::map<std::string, TDocument, std::less<>>& All() const { return documents_; }

  // Each open document's text as its file would hold it, keyed by real path
  // (for TTextOverlay). Enciphered files and documents over the file budget
  // are left to the disk.
  std::map<std::string, std::string, std::less<>> FileTexts() const;

 private:
  std::map<std::string, TDocument, std::less<>> documents_;
};

// The native path of a "file:" URI (percent escapes decoded); nothing for
// any other URI.
std::optional<std::string> UriToPath(std::string_view uri);
// The "file:" URI of a native path.
std::string PathToUri(std::string_view path);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_DOCUMENTS_H_
