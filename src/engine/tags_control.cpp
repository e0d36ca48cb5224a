// Control tags (IFTRUE/IFFALSE, SCRIPTIZE:) and the tags that reach outside
// the character: RESULT reads a result file; the execution tags say "False".
#include "data/file_budget.h"
#include "engine/character.h"
#include "engine/tag_functions.h"
#include "platform/textfile.h"

namespace parlevo::tags {

std::u16string IfTrue(TTagContext& tag) {
  return std::u16string(Slice(tag.Content, 7, tag.Bar - 1));
}

std::u16string IfFalse(TTagContext& tag) {
  return std::u16string(SliceFrom(tag.Content, tag.Bar + 1));
}

// SCRIPTIZE:S turns the brackets of S into braces, character by character
// (never the second byte of a double-byte character), so they act as tags
// when the result is scanned again.
std::u16string Scriptize(TTagContext& tag) {
  std::u16string text = ToWide(ToAnsi(SliceFrom(tag.Content, 11)));
  for (char16_t& c : text) {
    if (c == u'[') c = u'{';
    if (c == u']') c = u'}';
  }
  return text;
}

// This system never starts programs or opens documents, so the tags that
// would do so answer "False" and do nothing.
std::u16string AllowExecute(TTagContext& tag) { return TruthText(tag.Character.AllowExecute()); }
std::u16string Entrust(TTagContext&) { return TruthText(false); }
std::u16string EndEntrust(TTagContext&) { return TruthText(false); }
std::u16string Shell(TTagContext&) { return TruthText(false); }

// RESULT: the first line of "Result.txt" in the data folder, which is then
// deleted. No file: empty. A file that can't be read, or can't be deleted
// (so the next RESULT would answer the same again), gives an empty result
// and is left alone. A character without a data folder has no result file.
// A character that writes nothing (the authoring tools, the language
// server) reads the line and leaves the file for the conversation it is
// meant for.
std::u16string Result(TTagContext& tag) {
  tag.Effect = true;  // the file is read once, then deleted
  const std::string& folder = tag.Character.Folder();
  if (folder.empty()) return {};
  std::string path = platform::JoinAnsiPath(folder, "Result.txt");
  if (!platform::FileExists(path)) return {};
  std::vector<std::string> lines = platform::ReadTextLines(path, kMaxPersonalityFileBytes);
  if (tag.Character.WritesState() && !platform::DeleteFile(path)) {
    throw ETagError("result file can't be deleted");
  }
  return lines.empty() ? std::u16string() : ToWide(lines.front());
}

}  // namespace parlevo::tags
