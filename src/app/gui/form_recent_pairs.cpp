// The recent pairs of characters: remembered as each conversation starts,
// listed in the 会話 menu, newest first, and started again from there.
#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"

namespace parlevo::gui {

void TFormParlevo::RememberStartedPair(const std::string& first_file,
                                       const std::string& second_file) {
  RememberPair(remembered_.recent,
               CharacterPair{NativeToPath(first_file), NativeToPath(second_file)});
  RebuildRecentMenu();
  StoreSettings();
}

void TFormParlevo::StartRecentPair(const CharacterPair& pair) {
  if (HasConversation()) return;
  StartConversation(PathToNative(pair.first), PathToNative(pair.second));
}

void TFormParlevo::RebuildRecentMenu() {
  MenuRecent->clear();
  int number = 1;
  for (const CharacterPair& pair : remembered_.recent) {
    const QString caption =
        QStringLiteral("&%1 %2 / %3")
            .arg(number++)
            .arg(QFileInfo(pair.first).fileName(), QFileInfo(pair.second).fileName());
    QAction* item = MenuRecent->addAction(caption);
    item->setToolTip(pair.first + '\n' + pair.second);
    connect(item, &QAction::triggered, this, [this, pair] { StartRecentPair(pair); });
  }
  MenuRecent->setEnabled(!remembered_.recent.isEmpty());
}

}  // namespace parlevo::gui
