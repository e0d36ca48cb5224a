// The window's menus: each action is made, given its keys, wired to its
// command and added to its menu in one place, in the order the menus show.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "app/gui/find_bar.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/transcript_memo.h"

namespace parlevo::gui {
namespace {

// Menus are windows of their own and do not inherit the window's font.
template <typename Parent>
QMenu* AddMenu(Parent* parent, const char* name, const QString& caption, const QFont& font) {
  QMenu* menu = parent->addMenu(caption);
  menu->setObjectName(QString::fromLatin1(name));
  menu->setFont(font);
  return menu;
}

// Actions belong to the window and are found by their object name. A menu
// shows one shortcut beside an item; one with several lists them all.
QAction* AddAction(QWidget* window, QMenu* menu, const char* name, const QString& caption,
                   const QList<QKeySequence>& keys = {}) {
  auto* action = new QAction(caption, window);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(keys);
  if (keys.size() > 1) {
    QStringList texts;
    for (const QKeySequence& key : keys) texts << key.toString(QKeySequence::NativeText);
    action->setText(caption + '\t' + texts.join(QStringLiteral(", ")));
  }
  menu->addAction(action);
  return action;
}

QList<QKeySequence> Keys(std::initializer_list<QKeyCombination> keys) {
  QList<QKeySequence> sequences;
  for (QKeyCombination key : keys) sequences << QKeySequence(key);
  return sequences;
}

}  // namespace

void TFormParlevo::createMenus() {
  createConversationMenu();
  createSpeedMenu();
  createHelpMenu();
  createViewMenu();
}

void TFormParlevo::createConversationMenu() {
  QMenu* menu = AddMenu(menuBar(), "MenuConv", QStringLiteral("会話(&C)"), font());
  MenuConvNew = AddAction(this, menu, "MenuConvNew", QStringLiteral("新規会話(&N)..."),
                          Keys({Qt::CTRL | Qt::Key_N}));
  connect(MenuConvNew, &QAction::triggered, this, &TFormParlevo::MenuConvNewClick);
  MenuConvEnd = AddAction(this, menu, "MenuConvEnd", QStringLiteral("会話終了(&E)"),
                          Keys({Qt::CTRL | Qt::Key_E}));
  connect(MenuConvEnd, &QAction::triggered, this, &TFormParlevo::MenuConvEndClick);
  menu->addSeparator();

  // Only one of the two is enabled at a time, so the keys toggle. Space is
  // taken by the pattern field while it has the focus.
  const QList<QKeySequence> pause_keys = Keys({Qt::CTRL | Qt::Key_P, Qt::Key_Space});
  MenuConvBegin = AddAction(this, menu, "MenuConvBegin", QStringLiteral("再開(&B)"), pause_keys);
  connect(MenuConvBegin, &QAction::triggered, this, &TFormParlevo::MenuConvBeginClick);
  MenuConvStop = AddAction(this, menu, "MenuConvStop", QStringLiteral("一時停止(&S)"), pause_keys);
  connect(MenuConvStop, &QAction::triggered, this, &TFormParlevo::MenuConvStopClick);
  menu->addSeparator();

  QAction* exit = AddAction(this, menu, "MenuConvExit", QStringLiteral("Parlevo を終了(&X)"),
                            Keys({Qt::CTRL | Qt::Key_Q}));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  menu->addSeparator();

  // Beyond the described items.
  MenuRecent = AddMenu(menu, "MenuRecent", tr("最近の組み合わせ(&R)"), font());
  MenuReload = AddAction(this, menu, "MenuReload", tr("データファイルを読み込み直す(&D)"),
                         Keys({Qt::Key_F5}));
  connect(MenuReload, &QAction::triggered, this, [this] { conversation_->Reload(); });
  QAction* save =
      AddAction(this, menu, "MenuSaveAs", tr("会話を保存(&A)..."), Keys({Qt::CTRL | Qt::Key_S}));
  connect(save, &QAction::triggered, this, &TFormParlevo::SaveTranscriptAs);
  QAction* log_folder = AddAction(this, menu, "MenuOpenLogFolder", tr("ログのフォルダを開く(&L)"));
  connect(log_folder, &QAction::triggered, this, &TFormParlevo::OpenLogFolder);
  menu->addSeparator();
  MenuJoin = AddAction(this, menu, "MenuJoin", tr("会話に参加(&J)"), Keys({Qt::CTRL | Qt::Key_J}));
  MenuJoin->setCheckable(true);
  connect(MenuJoin, &QAction::toggled, this, &TFormParlevo::ShowJoinBar);
  menu->addSeparator();
  // The character dialog: 2 to 8 characters chosen in one place.
  MenuChoose = AddAction(this, menu, "MenuChoose", tr("人格を選んで会話(&G)..."),
                         Keys({Qt::CTRL | Qt::SHIFT | Qt::Key_N}));
  connect(MenuChoose, &QAction::triggered, this, &TFormParlevo::ChooseCharactersClick);
}

void TFormParlevo::createSpeedMenu() {
  QMenu* menu = AddMenu(menuBar(), "MenuSpeed", QStringLiteral("速度(&S)"), font());
  // Exclusive: one item is checked, and clicking it again keeps it so.
  MenuSpeedItems = new QActionGroup(this);
  // The fixed items carry their interval; 任意 has none and asks for one.
  const struct {
    const char* name;
    QString caption;
    int interval;
  } speeds[] = {
      {"MenuSpeedSlow", QStringLiteral("遅い(&S)"), 4000},
      {"MenuSpeedNormal", QStringLiteral("普通(&N)"), 2000},
      {"MenuSpeedFast", QStringLiteral("速い(&F)"), 1000},
      {"MenuSpeedMostFast", QStringLiteral("最速(&M)"), 0},
      {"MenuSpeedOption", QStringLiteral("任意(&O)..."), -1},
  };
  for (const auto& speed : speeds) {
    if (speed.interval < 0) menu->addSeparator();
    QAction* item = AddAction(this, menu, speed.name, speed.caption);
    item->setCheckable(true);
    if (speed.interval >= 0) item->setData(speed.interval);
    MenuSpeedItems->addAction(item);
    if (speed.interval == kStartInterval) checked_speed_ = item;
  }
  checked_speed_->setChecked(true);
  connect(MenuSpeedItems, &QActionGroup::triggered, this, &TFormParlevo::MenuSpeedClick);
}

void TFormParlevo::createHelpMenu() {
  QMenu* menu = AddMenu(menuBar(), "MenuHelp", QStringLiteral("ヘルプ(&H)"), font());
  QMenu* web = AddMenu(menu, "MenuHelpWeb", QStringLiteral("関連 Web (&W)"), font());
  QAction* guide = AddAction(this, web, "MenuHelpWebGuide", QStringLiteral("Parlevo 作者ガイド"));
  connect(guide, &QAction::triggered, this, &TFormParlevo::MenuHelpGuideClick);
  menu->addSeparator();
  QAction* about = AddAction(this, menu, "MenuHelpAbout", QStringLiteral("バージョン情報(&A)..."));
  connect(about, &QAction::triggered, this, &TFormParlevo::MenuHelpAboutClick);
  // The guide is a local document: directly under ヘルプ as well.
  menu->addSeparator();
  QAction* local_guide =
      AddAction(this, menu, "MenuHelpGuide", tr("作者ガイド(&G)"), Keys({Qt::Key_F1}));
  connect(local_guide, &QAction::triggered, this, &TFormParlevo::MenuHelpGuideClick);
}

void TFormParlevo::createViewMenu() {
  QMenu* menu = AddMenu(menuBar(), "MenuView", tr("表示(&V)"), font());
  QAction* find =
      AddAction(this, menu, "MenuFind", tr("検索(&F)..."), Keys({Qt::CTRL | Qt::Key_F}));
  connect(find, &QAction::triggered, this, [this] { Find->Open(); });
  QAction* next = AddAction(this, menu, "MenuFindNext", tr("次を検索(&N)"),
                            Keys({Qt::Key_F3, Qt::CTRL | Qt::Key_G}));
  connect(next, &QAction::triggered, this, [this] { Find->FindNext(); });
  QAction* previous = AddAction(this, menu, "MenuFindPrevious", tr("前を検索(&P)"),
                                Keys({Qt::SHIFT | Qt::Key_F3, Qt::CTRL | Qt::SHIFT | Qt::Key_G}));
  connect(previous, &QAction::triggered, this, [this] { Find->FindPrevious(); });
  menu->addSeparator();

  QAction* bigger = AddAction(this, menu, "MenuZoomIn", tr("文字を大きく(&I)"),
                              Keys({Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}));
  connect(bigger, &QAction::triggered, this, [this] { Memo->SetZoom(Memo->Zoom() + 1); });
  QAction* smaller = AddAction(this, menu, "MenuZoomOut", tr("文字を小さく(&O)"),
                               Keys({Qt::CTRL | Qt::Key_Minus}));
  connect(smaller, &QAction::triggered, this, [this] { Memo->SetZoom(Memo->Zoom() - 1); });
  QAction* normal =
      AddAction(this, menu, "MenuZoomReset", tr("標準の大きさ(&R)"), Keys({Qt::CTRL | Qt::Key_0}));
  connect(normal, &QAction::triggered, this, [this] { Memo->SetZoom(0); });
  menu->addSeparator();
  MenuNewestAtBottom = AddAction(this, menu, "MenuNewestAtBottom", tr("新しい行を下に(&B)"));
  MenuNewestAtBottom->setCheckable(true);
  connect(MenuNewestAtBottom, &QAction::toggled, this, &TFormParlevo::SetNewestAtBottom);
}

}  // namespace parlevo::gui
