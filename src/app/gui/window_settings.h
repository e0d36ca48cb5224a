// What the window remembers between runs (size and place, speed, line
// pattern, text size, recent pairs of characters, the watcher's name) and its
// QSettings keys.
#ifndef PARLEVO_APP_GUI_WINDOW_SETTINGS_H_
#define PARLEVO_APP_GUI_WINDOW_SETTINGS_H_

#include <QByteArray>
#include <QList>
#include <QString>

class QSettings;

namespace parlevo::gui {

// Two base files, as the file dialog gave them.
struct CharacterPair {
  QString first;
  QString second;
  bool operator==(const CharacterPair&) const = default;
};

struct WindowSettings {
  static constexpr int kMaxRecentPairs = 8;

  QByteArray geometry;          // QWidget::saveGeometry; empty: centred at start
  int interval = -1;            // ms; negative: not remembered
  QString speed_item;           // object name of the checked speed item
  QString format;               // the line pattern; empty: not remembered
  int zoom = 0;                 // text size steps of the transcript
  QList<CharacterPair> recent;  // newest first; the first is the last pair
  QString watcher;              // who joins the conversation; the login name by default
};

// The user's login name, or the home folder's name when the environment has none.
QString LoginName();

WindowSettings ReadWindowSettings(QSettings& settings);
void WriteWindowSettings(QSettings& settings, const WindowSettings& values);

// Puts `pair` first, without duplicates, keeping at most kMaxRecentPairs.
void RememberPair(QList<CharacterPair>& recent, const CharacterPair& pair);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_WINDOW_SETTINGS_H_
