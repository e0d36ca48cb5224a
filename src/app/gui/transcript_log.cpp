// Locating "Parlevo.log" and appending to it, with a fallback to the user's
// data folder whenever the chosen folder cannot take it.
#include "app/gui/transcript_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "platform/folder_access.h"
#include "platform/shipped_files.h"

namespace parlevo::gui {
namespace {

QString CannotWrite(const QString& path, const QString& reason) {
  return QCoreApplication::translate("TranscriptLog", "ログファイル %1 に書き込めません: %2")
      .arg(QDir::toNativeSeparators(path), reason);
}

// True when the file's last byte ends a line (or the file is empty).
bool EndsWithLineBreak(QFile& file) {
  const qint64 size = file.size();
  if (size == 0) return true;
  char last = 0;
  if (!file.seek(size - 1) || file.read(&last, 1) != 1) return true;
  return last == '\n' || last == '\r';
}

}  // namespace

QString TranscriptLog::ChooseFolder(const QString& requested) {
  if (!requested.isEmpty()) return requested;
  const QString program_folder = QCoreApplication::applicationDirPath();
  if (!platform::IsInstalledProgram() &&
      platform::FolderWritable(std::filesystem::path(program_folder.toStdU16String()))) {
    return program_folder;
  }
  return UserDataFolder();
}

QString TranscriptLog::UserDataFolder() {
  // Not AppDataLocation: that adds the organisation's name, and the log and
  // the samples' copy stay where earlier versions put them.
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                         QStringLiteral("/Parlevo");
  QDir().mkpath(folder);
  return folder;
}

QString AppendLines(const QString& path, const std::vector<std::string>& lines) {
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
    return CannotWrite(path, file.errorString());
  }
  if (lines.empty()) return {};
  QByteArray bytes;
  if (!EndsWithLineBreak(file)) bytes += "\r\n";
  for (const std::string& line : lines) {
    bytes.append(line.data(), qsizetype(line.size()));
    bytes += "\r\n";
  }
  // One write in append mode: a second window's lines land before or after
  // these, never inside them.
  if (file.write(bytes) != bytes.size() || !file.flush()) {
    return CannotWrite(path, file.errorString());
  }
#ifdef Q_OS_UNIX
  ::fdatasync(file.handle());  // a power cut then loses at most the last second
#endif
  return {};
}

TranscriptLog::TranscriptLog(const QString& folder)
    : path_(QDir(folder).filePath(QString::fromLatin1(kFileName))) {}

QString TranscriptLog::Open() {
  const QString error = AppendLines(path_, {});
  if (error.isEmpty()) return {};
  const QString fallback = QDir(UserDataFolder()).filePath(QString::fromLatin1(kFileName));
  if (fallback == path_ || !AppendLines(fallback, {}).isEmpty()) return error;
  path_ = fallback;
  return {};
}

void TranscriptLog::Add(std::string line) { pending_.push_back(std::move(line)); }

QString TranscriptLog::Flush() {
  if (pending_.empty()) return {};
  QString error = AppendLines(path_, pending_);
  if (!error.isEmpty()) {
    const QString fallback = QDir(UserDataFolder()).filePath(QString::fromLatin1(kFileName));
    if (fallback == path_ || !AppendLines(fallback, pending_).isEmpty()) return error;
    path_ = fallback;
  }
  pending_.clear();
  return {};
}

QString TranscriptLog::MoveTo(const QString& path) {
  const QString error = AppendLines(path, pending_);
  if (!error.isEmpty()) return error;
  path_ = path;
  pending_.clear();
  return {};
}

}  // namespace parlevo::gui
