// Re-encoding personality files between the code page and UTF-8 with the
// byte order mark, refusing a file any line of which would not come back the same.
#ifndef PARLEVO_DATA_REENCODE_H_
#define PARLEVO_DATA_REENCODE_H_

#include <string>
#include <string_view>

namespace parlevo {

enum class TTargetEncoding {
  kUtf8,      // UTF-8 with the byte order mark
  kCodePage,  // the process code page
};

// "UTF-8 with the byte order mark", "code page 932".
std::string EncodingName(TTargetEncoding to);

struct TReencoding {
  std::string Bytes;    // the new content; the old one when it needs no change
  int RefusedLine = 0;  // > 0: the file is refused, because of this 1-based line
  std::string Reason;   // UTF-8: why it is refused
};

// The content `bytes` of a personality file in `to`. An enciphered file
// stays in the code page (refused towards UTF-8); a UTF-8 file without the
// mark only gains it; a file in the code page already is left as it is.
TReencoding Reencode(std::string_view bytes, TTargetEncoding to);

enum class TReencodeOutcome { kAlready, kConverted, kRefused };

struct TFileReencoding {
  TReencodeOutcome Outcome = TReencodeOutcome::kAlready;
  int RefusedLine = 0;  // kRefused: as TReencoding says
  std::string Reason;
  std::string Backup;  // kConverted: where the original is kept (native)
};

// Re-encodes the file `path` (native, as given) in place: the original is
// kept as PATH.bak, then the file is replaced atomically. A refused file is
// left alone. Throws platform::EFileError when it cannot be read or written.
TFileReencoding ReencodeFile(std::string_view path, TTargetEncoding to);

}  // namespace parlevo

#endif  // PARLEVO_DATA_REENCODE_H_
