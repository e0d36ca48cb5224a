// What the window remembers between runs (size and place, speed, line
// pattern, text size, recent pairs and groups, the watcher's name) and its
// QSettings keys.
#ifndef PARLEVO_APP_GUI_WINDOW_SETTINGS_H_
#define PARLEVO_APP_GUI_WINDOW_SETTINGS_H_

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

namespace parlevo::gui {

// Two to eight base files in talk order, as they were chosen, with the
// names the characters had when they last talked ("" when not known).
struct CharacterGroup {
  QStringList files;
  QStringList names;
  // One group whatever names it was remembered under.
  bool operator==(const CharacterGroup& other) const { return files == other.files; }
};

struct WindowSettings {
  static constexpr int kMaxRecentGroups = 8;

  QByteArray geometry;            // QWidget::saveGeometry; empty: centred at start
  int interval = -1;              // ms; negative: not remembered
  QString speed_item;             // object name of the checked speed item
  QString format;                 // the line pattern; empty: not remembered
  int zoom = 0;                   // text size steps of the transcript
  QList<CharacterGroup> recent;   // newest first; the first is the last group
  QString watcher;                // who joins the conversation; the login name by default
  bool newest_at_bottom = false;  // 表示 → 新しい行を下に
};

// The user's login name, or the home folder's name when the environment has none.
QString LoginName();

WindowSettings ReadWindowSettings(QSettings& settings);
void WriteWindowSettings(QSettings& settings, const WindowSettings& values);

// Puts `group` first, without duplicates, keeping at most kMaxRecentGroups.
void RememberGroup(QList<CharacterGroup>& recent, const CharacterGroup& group);

// The settings of a run before they had an organisation name
// (~/.config/Unknown Organization/Parlevo.conf), copied into `settings`
// when it is still empty; true when copied. Keeps the old file.
bool MoveOldSettings(QSettings& settings, const QString& old_file);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_WINDOW_SETTINGS_H_
