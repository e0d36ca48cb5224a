// The transcript written out as text: converted line by line, then replaced
// in one step so an old file is never left half overwritten.
#include "app/gui/transcript_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include "app/gui/ansi_text.h"

namespace parlevo::gui {

QString SaveTranscriptFile(const QString& path, const QStringList& lines,
                           TranscriptEncoding encoding) {
  QByteArray bytes;
  for (const QString& line : lines) {
    if (encoding == TranscriptEncoding::kUtf8) {
      bytes += line.toUtf8();
    } else {
      const std::string ansi = QStringToAnsi(line);
      bytes.append(ansi.data(), qsizetype(ansi.size()));
    }
    bytes += "\r\n";
  }
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) {
    return {};
  }
  return QCoreApplication::translate("TranscriptFile", "%1 に保存できません: %2")
      .arg(QDir::toNativeSeparators(path), file.errorString());
}

}  // namespace parlevo::gui
