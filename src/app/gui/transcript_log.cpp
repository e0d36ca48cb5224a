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
  loaded_count_ = 0;
  const std::string path = PathToAnsi(path_);
  try {
    if (!QFileInfo::exists(path_)) platform::WriteTextLinesAtomic(path, {});
    lines_ = platform::ReadTextLines(path);
    loaded_count_ = lines_.size();
    return {};
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
}

void TranscriptLog::AppendRunTo(const QString& path) const {
  const std::string ansi_path = PathToAnsi(path);
  // What the file holds now: normally the lines read at start, but another
  // Parlevo may have added its own since. Throws when it cannot be read, so
  // a log that exists is never replaced by less than it held.
  std::vector<std::string> lines;
  if (QFileInfo::exists(path)) lines = platform::ReadTextLines(ansi_path);
  lines.insert(lines.end(), lines_.begin() + std::ptrdiff_t(loaded_count_), lines_.end());
  platform::WriteTextLinesAtomic(ansi_path, lines);
}

QString TranscriptLog::Save() {
  try {
    AppendRunTo(path_);
    return {};
  } catch (const std::exception&) {
    // Fall through to the user's data folder.
  }
  const QString fallback = QDir(UserDataFolder()).filePath(QString::fromLatin1(kFileName));
  if (fallback == path_) return QStringLiteral("cannot write ") + path_;
  try {
    AppendRunTo(fallback);
    path_ = fallback;
    return {};
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  }
}

}  // namespace parlevo::gui
