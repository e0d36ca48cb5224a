// The log file "Parlevo.log": every transcript line of every run, oldest
// first, in the process code page with CR LF; read at start, written at exit.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_

#include <QString>
#include <cstddef>
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
  // Writes the log at exit: the file as it is now (the lines read at start,
  // plus those another Parlevo running at the same time may have added),
  // then the lines this run added to Lines(); the file is replaced
  // atomically. When it cannot be read or written, this run's lines are
  // added to the log in the user's data folder instead, and Path() names
  // that file. Returns "" or a message saying what failed.
  QString Save();

  QString Path() const { return path_; }
  std::vector<std::string>& Lines() { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  void AppendRunTo(const QString& path) const;

  QString path_;
  std::vector<std::string> lines_;
  size_t loaded_count_ = 0;  // the lines read at start come first in lines_
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_LOG_H_
