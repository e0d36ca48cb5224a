// The log file "Parlevo.log": every transcript line of every run, oldest
// first, in the process code page with CR LF; read at start, written at exit.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_

#include <QString>
#include <string>
#include <vector>

namespace parlevo::gui {

class TranscriptLog {
 public:
  static constexpr const char* kFileName = "Parlevo.log";

  // The folder of the log: `requested` when not empty; otherwise the
  // program's folder, or the user's data folder when the program's folder
  // cannot be written (an installed program), so the transcript is kept.
  static QString ChooseFolder(const QString& requested);
  // The user's data folder for Parlevo, created when missing.
  static QString UserDataFolder();

  explicit TranscriptLog(const QString& folder);

  // Creates an empty log when there is none, then reads it into Lines().
  // Returns "" or a message saying what failed.
  QString Load();
  // Writes Lines() whole, replacing the file atomically. When the file
  // cannot be written, the lines go to the user's data folder instead and
  // Path() names that file. Returns "" or a message saying what failed.
  QString Save();

  QString Path() const { return path_; }
  std::vector<std::string>& Lines() { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  QString path_;
  std::vector<std::string> lines_;
  // A log that exists but could not be read is never overwritten.
  bool keep_file_ = false;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
