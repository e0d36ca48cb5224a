// The recent pairs and groups of characters: remembered as each conversation
// starts, listed in the 会話 menu by name (花子 × ロボ), newest first, and
// started again from there.
#include <QAction>
#include <QMenu>

#include "app/gui/ansi_text.h"
#include "app/gui/character_choice.h"
#include "app/gui/form_parlevo.h"

namespace parlevo::gui {

void TFormParlevo::RememberStartedGroup(const std::vector<std::string>& files) {
  CharacterGroup group;
  const std::vector<std::string>& names = conversation_->Names();
  for (size_t i = 0; i < files.size(); ++i) {
    group.files << NativeToPath(files[i]);
    group.names << (i < names.size() ? AnsiToQString(names[i]) : QString());
  }
  RememberGroup(remembered_.recent, group);
  RebuildRecentMenu();
  StoreSettings();
}

void TFormParlevo::StartRecentGroup(const CharacterGroup& group) {
  if (HasConversation()) return;
  std::vector<std::string> files;
  for (const QString& file : group.files) files.push_back(PathToNative(file));
  StartConversation(files);
}

void TFormParlevo::RebuildRecentMenu() {
  MenuRecent->clear();
  int number = 1;
  for (const CharacterGroup& group : remembered_.recent) {
    QAction* item = MenuRecent->addAction(
        QStringLiteral("&%1 %2").arg(number++).arg(GroupCaption(group).replace('&', "&&")));
    item->setToolTip(GroupFolders(group));
    connect(item, &QAction::triggered, this, [this, group] { StartRecentGroup(group); });
  }
  MenuRecent->setEnabled(!remembered_.recent.isEmpty());
  MenuRecent->setToolTipsVisible(true);
}

}  // namespace parlevo::gui
