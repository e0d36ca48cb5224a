// What loading a personality passes over, or reads in a way its author should
// know about: a note against a file and line, with a stable code.
#ifndef PARLEVO_DATA_LOAD_NOTE_H_
#define PARLEVO_DATA_LOAD_NOTE_H_

#include <string>
#include <string_view>

namespace parlevo {

// How much a load note matters to the author.
enum class TLoadNoteLevel {
  kWarning,  // something was passed over or read other than written
  kNote,     // worth knowing, nothing wrong (how a file was read)
};

struct TLoadNote {
  std::string File;     // native path as loading reached it
  int Line = 0;         // 1-based line in the file (an enciphered file's key
                        // line is line 1); 0 for the whole file
  std::string Message;  // code page text; the paths in it are native
  // A stable short name of the kind of note ("too-few-fields"), set where
  // the note is made, for programs that act on it.
  std::string_view Code;
  TLoadNoteLevel Level = TLoadNoteLevel::kWarning;
};

}  // namespace parlevo

#endif  // PARLEVO_DATA_LOAD_NOTE_H_
