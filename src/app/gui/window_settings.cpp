// Reading and writing the window's settings; values of the wrong type read
// as "not remembered", so a damaged settings file never stops the window.
#include "app/gui/window_settings.h"

#include <QDir>
#include <QSettings>

namespace parlevo::gui {

QString LoginName() {
  for (const char* variable : {"LOGNAME", "USER", "USERNAME"}) {
    const QString name = qEnvironmentVariable(variable);
    if (!name.isEmpty()) return name;
  }
  return QDir::home().dirName();
}

WindowSettings ReadWindowSettings(QSettings& settings) {
  WindowSettings values;
  values.geometry = settings.value(QStringLiteral("window/geometry")).toByteArray();
  bool ok = false;
  const int interval = settings.value(QStringLiteral("speed/interval")).toInt(&ok);
  if (ok && interval >= 0) values.interval = interval;
  values.speed_item = settings.value(QStringLiteral("speed/item")).toString();
  values.format = settings.value(QStringLiteral("transcript/format")).toString();
  values.zoom = settings.value(QStringLiteral("transcript/zoom"), 0).toInt();
  const int count = settings.beginReadArray(QStringLiteral("recent"));
  for (int i = 0; i < count && i < WindowSettings::kMaxRecentPairs; ++i) {
    settings.setArrayIndex(i);
    const CharacterPair pair{settings.value(QStringLiteral("first")).toString(),
                             settings.value(QStringLiteral("second")).toString()};
    if (!pair.first.isEmpty() && !pair.second.isEmpty()) values.recent << pair;
  }
  settings.endArray();
  values.watcher = settings.value(QStringLiteral("join/name")).toString();
  if (values.watcher.isEmpty()) values.watcher = LoginName();
  return values;
}

void WriteWindowSettings(QSettings& settings, const WindowSettings& values) {
  settings.setValue(QStringLiteral("window/geometry"), values.geometry);
  settings.setValue(QStringLiteral("speed/interval"), values.interval);
  settings.setValue(QStringLiteral("speed/item"), values.speed_item);
  settings.setValue(QStringLiteral("transcript/format"), values.format);
  settings.setValue(QStringLiteral("transcript/zoom"), values.zoom);
  settings.beginWriteArray(QStringLiteral("recent"), int(values.recent.size()));
  for (int i = 0; i < values.recent.size(); ++i) {
    settings.setArrayIndex(i);
    settings.setValue(QStringLiteral("first"), values.recent[i].first);
    settings.setValue(QStringLiteral("second"), values.recent[i].second);
  }
  settings.endArray();
  settings.setValue(QStringLiteral("join/name"), values.watcher);
  settings.sync();
}

void RememberPair(QList<CharacterPair>& recent, const CharacterPair& pair) {
  recent.removeAll(pair);
  recent.prepend(pair);
  while (recent.size() > WindowSettings::kMaxRecentPairs) recent.removeLast();
}

}  // namespace parlevo::gui
