// Reading and writing the window's settings; values of the wrong type read
// as "not remembered", so a damaged settings file never stops the window.
#include "app/gui/window_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <optional>

namespace parlevo::gui {
namespace {

// A pair is kept under "first" and "second", as it always was; a group's
// third and later files under "more". A group without two files is none.
std::optional<CharacterGroup> ReadGroup(const QSettings& settings) {
  CharacterGroup group;
  group.files << settings.value(QStringLiteral("first")).toString()
              << settings.value(QStringLiteral("second")).toString()
              << settings.value(QStringLiteral("more")).toStringList();
  group.names = settings.value(QStringLiteral("names")).toStringList();
  if (group.files.size() > 8 || group.files.contains(QString())) return std::nullopt;
  if (group.names.size() != group.files.size()) group.names.clear();
  return group;
}

void WriteGroup(QSettings& settings, const CharacterGroup& group) {
  settings.setValue(QStringLiteral("first"), group.files.value(0));
  settings.setValue(QStringLiteral("second"), group.files.value(1));
  if (group.files.size() > 2) {
    settings.setValue(QStringLiteral("more"), group.files.mid(2));
  } else {
    settings.remove(QStringLiteral("more"));
  }
  settings.setValue(QStringLiteral("names"), group.names);
}

}  // namespace

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
  for (int i = 0; i < count && i < WindowSettings::kMaxRecentGroups; ++i) {
    settings.setArrayIndex(i);
    if (std::optional<CharacterGroup> group = ReadGroup(settings)) values.recent << *group;
  }
  settings.endArray();
  values.watcher = settings.value(QStringLiteral("join/name")).toString();
  if (values.watcher.isEmpty()) values.watcher = LoginName();
  values.newest_at_bottom =
      settings.value(QStringLiteral("transcript/newest_at_bottom"), false).toBool();
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
    WriteGroup(settings, values.recent[i]);
  }
  settings.endArray();
  settings.setValue(QStringLiteral("transcript/newest_at_bottom"), values.newest_at_bottom);
  settings.setValue(QStringLiteral("join/name"), values.watcher);
  settings.sync();
}

void RememberGroup(QList<CharacterGroup>& recent, const CharacterGroup& group) {
  recent.removeAll(group);
  recent.prepend(group);
  while (recent.size() > WindowSettings::kMaxRecentGroups) recent.removeLast();
}

bool MoveOldSettings(QSettings& settings, const QString& old_file) {
  if (!settings.allKeys().isEmpty() || !QFileInfo::exists(old_file)) return false;
  QSettings old(old_file, QSettings::NativeFormat);
  const QStringList keys = old.allKeys();
  if (keys.isEmpty()) return false;
  for (const QString& key : keys) settings.setValue(key, old.value(key));
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace parlevo::gui
