// Locating, reading and writing "Parlevo.log", with a fallback to the user's
// data folder whenever the program's folder cannot take it.
#include "app/gui/transcript_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "app/gui/ansi_text.h"
#include "platform/textfile.h"

namespace parlevo::gui {
namespace {

// True when a file can be created in `folder` (a write bit alone does not
// tell, for instance on a read-only mount).
bool FolderWritable(const QString& folder) {
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".parlevo-probe-XXXXXX")));
  return probe.open();
}

}  // namespace

QString TranscriptLog::ChooseFolder(const QString& requested) {
  if (!requested.isEmpty()) return requested;
  const QString program_folder = QCoreApplication::applicationDirPath();
  if (FolderWritable(program_folder)) return program_folder;
  return UserDataFolder();
}

QString TranscriptLog::UserDataFolder() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  QDir().mkpath(folder);
  return folder;
}

TranscriptLog::TranscriptLog(const QString& folder)
    : path_(QDir(folder).filePath(QString::fromLatin1(kFileName))) {}

QString TranscriptLog::Load() {
  lines_.clear();
  const std::string path = PathToAnsi(path_);
  try {
    if (!QFileInfo::exists(path_)) platform::WriteTextLinesAtomic(path, {});
    lines_ = platform::ReadTextLines(path);
    return {};
  } catch (const std::exception& error) {
    keep_file_ = QFileInfo::exists(path_);
    return QString::fromUtf8(error.what());
  }
}

QString TranscriptLog::Save() {
  if (!keep_file_) {
    try {
      platform::WriteTextLinesAtomic(PathToAnsi(path_), lines_);
      return {};
    } catch (const std::exception&) {
      // Fall through to the user's data folder.
    }
  }
  const QString fallback = QDir(UserDataFolder()).filePath(QString::fromLatin1(kFileName));
  if (fallback == path_) return QStringLiteral("cannot write ") + path_;
  try {
    std::vector<std::string> lines;
    if (keep_file_ && QFileInfo::exists(fallback)) {
      // The log read at start is missing from lines_: keep what an earlier
      // run left in the fallback and add this run's lines after it.
      lines = platform::ReadTextLines(PathToAnsi(fallback));
    }
    lines.insert(lines.end(), lines_.begin(), lines_.end());
    platform::WriteTextLinesAtomic(PathToAnsi(fallback), lines);
    path_ = fallback;
    return {};
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
}

}  // namespace parlevo::gui
