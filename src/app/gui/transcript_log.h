// The log file "Parlevo.log": every transcript line of every run, oldest
// first, in the process code page with CR LF; appended as lines come.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_

#include <QString>
#include <string>
#include <vector>

namespace parlevo::gui {

// Lines are queued with Add and appended to the file by Flush, never by
// replacing it: two windows writing the same log at once keep each other's
// lines, and a crash loses only what was queued since the last Flush.
class TranscriptLog {
 public:
  static constexpr const char* kFileName = "Parlevo.log";

  // The folder of the log: `requested` when not empty; otherwise the
  // program's folder, or the user's data folder when the program is
  // installed or its folder cannot be written, so the transcript is kept.
  static QString ChooseFolder(const QString& requested);
  // The user's data folder for Parlevo, created when missing.
  static QString UserDataFolder();

  explicit TranscriptLog(const QString& folder);

  // Creates an empty log when there is none, falling back to the user's data
  // folder when it cannot be made. Returns "" or what failed (in Japanese).
  QString Open();
  // Queues `line` (ANSI) for the next Flush.
  void Add(std::string line);
  // Appends the queued lines to the log and asks the system to put them on
  // disk. When the log cannot take them, the log in the user's data folder
  // is used from then on; when neither can, the lines stay queued (tried
  // again by the next Flush) and the message says what failed.
  QString Flush();
  // The log continues in `path` from now on (the user chose where to keep a
  // transcript the log could not take); the queued lines go there first.
  QString MoveTo(const QString& path);

  QString Path() const { return path_; }
  // Lines no file has taken yet, oldest first.
  const std::vector<std::string>& Pending() const { return pending_; }

 private:
  QString path_;
  std::vector<std::string> pending_;
};

// Appends `lines`, each followed by CR LF, to the file at `path` (created
// when missing), on a line of their own even when the file does not end in
// a line break, and flushes them to disk. Returns "" or what failed.
QString AppendLines(const QString& path, const std::vector<std::string>& lines);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
