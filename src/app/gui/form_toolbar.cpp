// The toolbar: start (the character dialog), pause or resume, end, and the
// speed, with the interval in use shown beside it. Its buttons are the menu
// commands themselves, so both are enabled and disabled together.
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QStyle>
#include <QToolBar>

#include "app/gui/form_parlevo.h"

namespace parlevo::gui {
namespace {

// A caption without its access key ("遅い(&S)" → "遅い").
QString WithoutAccessKey(QString caption) {
  const qsizetype key = caption.indexOf(QStringLiteral("(&"));
  if (key >= 0) caption.truncate(key);
  return caption.remove('&').remove(QStringLiteral("...")).trimmed();
}

}  // namespace

void TFormParlevo::createToolBar() {
  QToolBar* bar = addToolBar(tr("ツールバー"));
  bar->setObjectName(QStringLiteral("ToolBar"));
  bar->setMovable(false);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

  // The menus keep their described look: icons on the toolbar only.
  MenuChoose->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  MenuChoose->setIconVisibleInMenu(false);
  MenuChoose->setIconText(tr("開始"));
  bar->addAction(MenuChoose);
  ToolPause = new QAction(this);
  ToolPause->setObjectName(QStringLiteral("ToolPause"));
  ToolPause->setToolTip(tr("一時停止 / 再開 (Space, Ctrl+P)"));
  connect(ToolPause, &QAction::triggered, this, &TFormParlevo::TogglePause);
  bar->addAction(ToolPause);
  MenuConvEnd->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  MenuConvEnd->setIconVisibleInMenu(false);
  MenuConvEnd->setIconText(tr("終了"));
  bar->addAction(MenuConvEnd);
  bar->addSeparator();

  auto* caption = new QLabel(tr("速度:"), bar);
  caption->setContentsMargins(6, 0, 4, 0);
  bar->addWidget(caption);
  SpeedBox = new QComboBox(bar);
  SpeedBox->setObjectName(QStringLiteral("SpeedBox"));
  SpeedBox->setFocusPolicy(Qt::StrongFocus);
  for (QAction* item : MenuSpeedItems->actions()) SpeedBox->addItem(WithoutAccessKey(item->text()));
  caption->setBuddy(SpeedBox);
  // A choice in the box is the menu item's: the custom speed asks the same.
  connect(SpeedBox, &QComboBox::activated, this,
          [this](int index) { MenuSpeedItems->actions().value(index)->trigger(); });
  bar->addWidget(SpeedBox);
  SpeedLabel = new QLabel(bar);
  SpeedLabel->setObjectName(QStringLiteral("SpeedLabel"));
  SpeedLabel->setContentsMargins(6, 0, 6, 0);
  bar->addWidget(SpeedLabel);
}

void TFormParlevo::ShowSpeed() {
  if (SpeedBox == nullptr) return;  // the toolbar is made after the menus
  SpeedBox->setCurrentIndex(int(MenuSpeedItems->actions().indexOf(checked_speed_)));
  SpeedLabel->setText(tr("間隔 %1 秒").arg(interval_ / 1000.0, 0, 'f', interval_ % 100 ? 3 : 1));
}

void TFormParlevo::TogglePause() {
  if (MenuConvStop->isEnabled()) {
    MenuConvStopClick();
  } else if (MenuConvBegin->isEnabled()) {
    MenuConvBeginClick();
  }
}

}  // namespace parlevo::gui
