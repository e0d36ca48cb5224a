// Re-encoding personality files between the code page and UTF-8 with the
// byte order mark, refusing a file any line of which would not come back the same.
#ifndef PARLEVO_DATA_REENCODE_H_
#define PARLEVO_DATA_REENCODE_H_

#include <string>
#include <string_view>
#include <vector>

namespace parlevo {

enum class TTargetEncoding {
  kUtf8,      // UTF-8 with the byte order mark
  kCodePage,  // the process code page
};

// "UTF-8 with the byte order mark", "code page 932".
std::string EncodingName(TTargetEncoding to);

// Something about a line worth telling whoever converts the file.
struct TReencodeNote {
  int Line = 0;         // 1-based
  std::string Message;  // UTF-8
};

struct TReencoding {
  std::string Bytes;     // the new content; the old one when it needs no change
  bool Refused = false;  // the file is left as it was, because of:
  int Line = 0;          // the 1-based line, or 0 for the whole file
  std::string Reason;    // UTF-8
  // Characters the code page spells twice (code page 932's duplicate codes):
  // converted, and the spelling they will have on the way back noted.
  std::vector<TReencodeNote> Notes;
};

// The content `bytes` of a personality file in `to`. An enciphered file
// stays in the code page (refused towards UTF-8); a UTF-8 file without the
// mark only gains it; a file in the code page already is left as it is; a
// result over the file budget is refused.
TReencoding Reencode(std::string_view bytes, TTargetEncoding to);

enum class TReencodeOutcome { kAlready, kConverted, kRefused };

struct TFileReencoding {
  TReencodeOutcome Outcome = TReencodeOutcome::kAlready;
  TReencoding Result;  // why it was refused, the notes
  std::string Backup;  // kConverted: where the original is kept (native)
};

// Re-encodes the file `path` (native, as given) in place. A symbolic link is
// followed: its target is converted and the link kept. The original is kept
// as TARGET.bak, then the target is replaced atomically; both keep the
// original's permissions, and its owner where the process may set it. A
// refused file is left alone and nothing is written. Throws
// platform::EFileError when it cannot be read or written.
TFileReencoding ReencodeFile(std::string_view path, TTargetEncoding to);

}  // namespace parlevo

#endif  // PARLEVO_DATA_REENCODE_H_
