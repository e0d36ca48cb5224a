// Saving the transcript the window shows to a file of the user's choice, as
// UTF-8 or Shift JIS text, oldest line first, lines ending in CR LF.
#ifndef PARLEVO_APP_GUI_TRANSCRIPT_FILE_H_
#define PARLEVO_APP_GUI_TRANSCRIPT_FILE_H_

#include <QString>
#include <QStringList>

namespace parlevo::gui {

enum class TranscriptEncoding { kUtf8, kCodePage };

// Writes `lines` (oldest first) to `path`, replacing it atomically. Returns
// "" or what failed, in Japanese.
QString SaveTranscriptFile(const QString& path, const QStringList& lines,
                           TranscriptEncoding encoding);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_TRANSCRIPT_FILE_H_
