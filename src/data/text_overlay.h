// An editor's unsaved text standing in for files on disk: while an overlay
// lives, reading a personality file that it holds gives its text instead.
#ifndef PARLEVO_DATA_TEXT_OVERLAY_H_
#define PARLEVO_DATA_TEXT_OVERLAY_H_

#include <map>
#include <string>
#include <string_view>

namespace parlevo {

// Installed on the thread that builds it, for as long as it lives (nested
// overlays hide the outer one). Files are keyed by their real path (links
// and "." / ".." resolved); the text is the bytes as the file would hold
// them. Only ReadPersonalityText and ReadPersonalityLines consult it: whether
// a file exists is still asked of the disk.
//
// Thread-safety: the installed overlay is per thread, so another thread
// loading a character at the same time reads the disk.
class TTextOverlay {
 public:
  explicit TTextOverlay(std::map<std::string, std::string, std::less<>> files);
  ~TTextOverlay();
  TTextOverlay(const TTextOverlay&) = delete;
  TTextOverlay& operator=(const TTextOverlay&) = delete;

  // The text standing in for `native_path` on this thread, or nullptr.
  static const std::string* Find(std::string_view native_path);

 private:
  std::map<std::string, std::string, std::less<>> files_;
  const TTextOverlay* outer_;
};

// `native_path` with links, "." and ".." resolved as far as it exists, for
// comparing two spellings of one file.
std::string RealPath(std::string_view native_path);

}  // namespace parlevo

#endif  // PARLEVO_DATA_TEXT_OVERLAY_H_
