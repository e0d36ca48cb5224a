// Failed saves of a character's state file, handed from whichever thread
// released the character to the GUI thread, where the window shows them.
#ifndef PARLEVO_APP_GUI_STATE_SAVE_REPORTS_H_
#define PARLEVO_APP_GUI_STATE_SAVE_REPORTS_H_

#include <QObject>
#include <QString>

#include "engine/character.h"

namespace parlevo::gui {

class StateSaveReports final : public QObject {
  Q_OBJECT

 public:
  // Makes the reports object on the calling (GUI) thread. Call once at
  // start, after the application object exists and before any conversation
  // thread runs.
  static void Install();
  // How the window's characters report state file problems: to the reports
  // object, from whichever thread releases them.
  static TCharacterOptions CharacterOptions();
  // The object the window listens to; null before Install.
  static StateSaveReports* Instance();

 signals:
  // On the GUI thread: the state file (as the engine names it, ANSI
  // decoded) and the reason.
  void saveFailed(const QString& state_file, const QString& reason);

 private:
  StateSaveReports() = default;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_STATE_SAVE_REPORTS_H_
