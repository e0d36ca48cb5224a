// The window's speed (the 速度 items and the interval they set) and the
// settings it keeps between runs: size and place, speed, pattern, text size,
// the watcher's name.
#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QSettings>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/join_bar.h"
#include "app/gui/transcript_memo.h"
#include "platform/numbers.h"

namespace parlevo::gui {

void TFormParlevo::SetInterval(int32_t value) {
  interval_ = value;
  conversation_->SetInterval(value);
  ShowSpeed();
}

void TFormParlevo::MenuSpeedClick(QAction* item) {
  std::optional<int32_t> value;
  if (item->data().isValid()) {
    value = item->data().toInt();
  } else if (const std::optional<QString> text = input_->AskText(
                 this, QStringLiteral("会話の速度(任意)"),
                 QStringLiteral("発言の間隔を半角数字で入力してください(1/1000秒単位)"),
                 QString::number(interval_))) {
    const std::optional<int32_t> number = platform::TextToInt(QStringToAnsi(*text));
    if (number && *number >= 0) {
      value = number;
    } else {
      ShowMessage(QStringLiteral("不正な値です"));
    }
  }
  // The click has checked the item already; only a found value keeps it so.
  if (value) {
    checked_speed_ = item;
    SetInterval(*value);
    StoreSettings();
  }
  checked_speed_->setChecked(true);
  ShowSpeed();
}

void TFormParlevo::RestoreSettings() {
  restoring_ = true;
  remembered_ = ReadWindowSettings(*settings_);
  if (!remembered_.geometry.isEmpty()) restoreGeometry(remembered_.geometry);
  if (remembered_.interval >= 0) {
    auto* item = findChild<QAction*>(remembered_.speed_item);
    if (item != nullptr && item->actionGroup() == MenuSpeedItems) checked_speed_ = item;
    checked_speed_->setChecked(true);
    SetInterval(remembered_.interval);
  }
  if (!remembered_.format.isEmpty()) EditFormat->setText(remembered_.format);
  Memo->SetZoom(remembered_.zoom);
  Join->SetWatcher(remembered_.watcher);
  MenuNewestAtBottom->setChecked(remembered_.newest_at_bottom);
  RebuildRecentMenu();
  restoring_ = false;
}

void TFormParlevo::StoreSettings() {
  if (restoring_) return;
  remembered_.geometry = saveGeometry();
  remembered_.interval = interval_;
  remembered_.speed_item = checked_speed_->objectName();
  remembered_.format = EditFormat->text();
  remembered_.zoom = Memo->Zoom();
  WriteWindowSettings(*settings_, remembered_);
}

}  // namespace parlevo::gui
