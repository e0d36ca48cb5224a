// A base file as the editor holds it: lines in pairs (key, value), the data
// lists among them and the names in a list, for completion, definition and
// symbols.
#ifndef PARLEVO_APP_LSP_BASE_FILE_TEXT_H_
#define PARLEVO_APP_LSP_BASE_FILE_TEXT_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parlevo::lsp {

struct TDocument;

// `text` with ASCII letters in lower case: keys, extensions and header
// names are compared without letter case.
std::string LowerAscii(std::string_view text);

// The keys a base file knows, in the order a new one is written.
std::vector<std::string_view> BaseFileKeys();

// True for line `line` (0-based) that holds a key; the next one holds its value.
inline bool IsKeyLine(size_t line) { return line % 2 == 0; }

// The key (lower case, UTF-8) whose value is line `line`; nothing on a key line.
std::optional<std::string> KeyOfValueLine(const std::vector<std::string>& lines, size_t line);
// True for the keys of data lists ("data01" ... "datac2").
bool IsDataKey(std::string_view key);

// The data folder the document's "folder" value names (native, ending in a
// delimiter), as loading resolves it.
std::string DataFolderOf(const TDocument& document);

// The name of a data list around UTF-16 index `index` of a value line: the
// characters between blanks or commas, quotes left out. [Begin, End).
struct TNameSpan {
  size_t Begin = 0, End = 0;
  std::u16string Name;
};
TNameSpan NameAround(std::u16string_view line, size_t index);

}  // namespace parlevo::lsp

#endif  // PARLEVO_APP_LSP_BASE_FILE_TEXT_H_
