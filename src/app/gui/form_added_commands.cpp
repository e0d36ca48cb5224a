// The window's commands beyond the described menus: shortcuts, recent pairs,
// find, zoom, saving the transcript, the log's folder, remembered settings,
// the conversation status and title, and failed state saves.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStandardPaths>

#include "app/gui/ansi_text.h"
#include "app/gui/find_bar.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/transcript_file.h"
#include "app/gui/transcript_memo.h"

namespace parlevo::gui {
namespace {

QAction* NewAction(QObject* parent, const char* name, const QString& caption,
                   const QList<QKeySequence>& keys = {}) {
  auto* action = new QAction(caption, parent);
  action->setObjectName(QString::fromLatin1(name));
  action->setShortcuts(keys);
  return action;
}

}  // namespace

// ---------------------------------------------------------------------------
// Actions and menus
// ---------------------------------------------------------------------------

void TFormParlevo::createAddedActions() {
  // Shortcuts of the described items; their captions and access keys stay.
  MenuConvNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  MenuConvEnd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  // Only one of the two is enabled at a time, so the keys toggle. Space is
  // taken by the pattern field while it has the focus.
  const QList<QKeySequence> pause_keys = {QKeySequence(Qt::CTRL | Qt::Key_P),
                                          QKeySequence(Qt::Key_Space)};
  MenuConvStop->setShortcuts(pause_keys);
  MenuConvBegin->setShortcuts(pause_keys);
  MenuConvExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  MenuHelpWebGuide->setShortcut(QKeySequence(Qt::Key_F1));

  MenuReload = NewAction(this, "MenuReload", tr("データファイルを読み込み直す(&D)"),
                         {QKeySequence(Qt::Key_F5)});
  MenuReload->setEnabled(false);
  connect(MenuReload, &QAction::triggered, this, [this] { conversation_->Reload(); });
  connect(conversation_, &ConversationController::reloaded, this, &TFormParlevo::OnReloaded);
  MenuSaveAs =
      NewAction(this, "MenuSaveAs", tr("会話を保存(&A)..."), {QKeySequence(Qt::CTRL | Qt::Key_S)});
  connect(MenuSaveAs, &QAction::triggered, this, &TFormParlevo::SaveTranscriptAs);
  MenuOpenLogFolder = NewAction(this, "MenuOpenLogFolder", tr("ログのフォルダを開く(&L)"));
  connect(MenuOpenLogFolder, &QAction::triggered, this, &TFormParlevo::OpenLogFolder);

  MenuFind = NewAction(this, "MenuFind", tr("検索(&F)..."), {QKeySequence(Qt::CTRL | Qt::Key_F)});
  connect(MenuFind, &QAction::triggered, this, [this] { Find->Open(); });
  MenuFindNext = NewAction(this, "MenuFindNext", tr("次を検索(&N)"),
                           {QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_G)});
  connect(MenuFindNext, &QAction::triggered, this, [this] { Find->FindNext(); });
  MenuFindPrevious = NewAction(
      this, "MenuFindPrevious", tr("前を検索(&P)"),
      {QKeySequence(Qt::SHIFT | Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G)});
  connect(MenuFindPrevious, &QAction::triggered, this, [this] { Find->FindPrevious(); });

  MenuZoomIn =
      NewAction(this, "MenuZoomIn", tr("文字を大きく(&I)"),
                {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  connect(MenuZoomIn, &QAction::triggered, this, [this] { Memo->SetZoom(Memo->Zoom() + 1); });
  MenuZoomOut = NewAction(this, "MenuZoomOut", tr("文字を小さく(&O)"),
                          {QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  connect(MenuZoomOut, &QAction::triggered, this, [this] { Memo->SetZoom(Memo->Zoom() - 1); });
  MenuZoomReset = NewAction(this, "MenuZoomReset", tr("標準の大きさ(&R)"),
                            {QKeySequence(Qt::CTRL | Qt::Key_0)});
  connect(MenuZoomReset, &QAction::triggered, this, [this] { Memo->SetZoom(0); });
}

void TFormParlevo::createAddedMenus() {
  MenuConv->addSeparator();
  MenuRecent = MenuConv->addMenu(tr("最近の組み合わせ(&R)"));
  MenuRecent->setObjectName(QStringLiteral("MenuRecent"));
  MenuConv->addAction(MenuReload);
  MenuConv->addAction(MenuSaveAs);
  MenuConv->addAction(MenuOpenLogFolder);

  MenuView = menuBar()->addMenu(tr("表示(&V)"));
  MenuView->setObjectName(QStringLiteral("MenuView"));
  MenuView->addAction(MenuFind);
  MenuView->addAction(MenuFindNext);
  MenuView->addAction(MenuFindPrevious);
  MenuView->addSeparator();
  MenuView->addAction(MenuZoomIn);
  MenuView->addAction(MenuZoomOut);
  MenuView->addAction(MenuZoomReset);
  for (QMenu* menu : {MenuRecent, MenuView}) menu->setFont(font());
}

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

void TFormParlevo::SaveTranscriptAs() {
  const QString utf8 = tr("UTF-8 テキスト (*.txt)");
  const QString sjis = tr("Shift JIS テキスト (*.txt)");
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const std::optional<SaveChoice> choice =
      saves_->SaveFile(this, tr("会話を保存"), utf8 + QStringLiteral(";;") + sjis,
                       QDir(folder).filePath(tr("会話.txt")));
  if (!choice) return;
  QStringList lines = Memo->Lines();
  std::reverse(lines.begin(), lines.end());  // oldest first, as in the log
  const QString error = SaveTranscriptFile(
      choice->path, lines,
      choice->filter == sjis ? TranscriptEncoding::kCodePage : TranscriptEncoding::kUtf8);
  if (!error.isEmpty()) {
    ShowMessage(error);
    return;
  }
  SetStatus(tr("保存しました: %1").arg(QDir::toNativeSeparators(choice->path)));
}

void TFormParlevo::OpenLogFolder() {
  const QString folder = QFileInfo(log_.Path()).absolutePath();
  if (!open_url_(QUrl::fromLocalFile(folder))) {
    ShowMessage(tr("フォルダを開けません: %1").arg(QDir::toNativeSeparators(folder)));
  }
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

void TFormParlevo::OnSaveFailed(const QString& state_file, const QString& reason) {
  QString name = conversation_->NameOfStateFile(state_file);
  if (name.isEmpty()) name = tr("(不明)");
  ShowMessage(tr("人格の状態を保存できませんでした。次回は前の状態から始まります。\n\n"
                 "人格: %1\nファイル: %2\n理由: %3")
                  .arg(name, QDir::toNativeSeparators(state_file), reason));
}

void TFormParlevo::OnReloaded(const QString& errors) {
  if (errors.isEmpty()) {
    SetStatus(tr("データファイルを読み込み直しました"));
    return;
  }
  ShowMessage(
      tr("データファイルを読み込み直せませんでした (前のデータのまま続けます)\n\n%1").arg(errors));
}

void TFormParlevo::ShowSource(const LineProvenance* source) {
  if (source != nullptr) SetStatus(ProvenanceText(*source));
}

void TFormParlevo::OpenDataFile(const QString& path) {
  if (!open_url_(QUrl::fromLocalFile(path))) {
    ShowMessage(tr("ファイルを開けません: %1").arg(QDir::toNativeSeparators(path)));
  }
}

// ---------------------------------------------------------------------------
// Settings
// ---------------------------------------------------------------------------

void TFormParlevo::RestoreSettings() {
  remembered_ = ReadWindowSettings(*settings_);
  if (!remembered_.geometry.isEmpty()) restoreGeometry(remembered_.geometry);
  if (remembered_.interval >= 0) {
    const QList<QAction*> speeds = {MenuSpeedSlow, MenuSpeedNormal, MenuSpeedFast,
                                    MenuSpeedMostFast, MenuSpeedOption};
    auto* item = findChild<QAction*>(remembered_.speed_item);
    if (speeds.contains(item)) checked_speed_ = item;
    for (QAction* speed : speeds) speed->setChecked(speed == checked_speed_);
    SetInterval(remembered_.interval);
  }
  if (!remembered_.format.isEmpty()) EditFormat->setText(remembered_.format);
  Memo->SetZoom(remembered_.zoom);
  RebuildRecentMenu();
}

void TFormParlevo::StoreSettings() {
  remembered_.geometry = saveGeometry();
  remembered_.interval = interval_;
  remembered_.speed_item = checked_speed_ ? checked_speed_->objectName() : QString();
  remembered_.format = EditFormat->text();
  remembered_.zoom = Memo->Zoom();
  WriteWindowSettings(*settings_, remembered_);
}

// ---------------------------------------------------------------------------
// Status and title
// ---------------------------------------------------------------------------

void TFormParlevo::UpdateConversationStatus() {
  const std::array<std::string, 2>& names = conversation_->Names();
  if (HasConversation()) {
    shown_names_ = AnsiToQString(names[0]) + QStringLiteral(" / ") + AnsiToQString(names[1]);
  }
  setWindowTitle(shown_names_.isEmpty() ? QStringLiteral("Parlevo")
                                        : QStringLiteral("Parlevo - ") + shown_names_);
  const QString unseen = Memo->NewLinesUnseen() ? tr("新しい行があります (Ctrl+Home)") : QString();
  if (!HasConversation() && !ended_) {
    ConversationPanel->setText(unseen);
    return;
  }
  QString state;
  if (!HasConversation()) {
    state = tr("終了");
  } else if (conversation_->Paused()) {
    state = tr("一時停止中");
  } else if (stuck_) {
    state = tr("行き詰まり (同じ発言の繰り返し)");
  } else {
    state = tr("会話中");
  }
  const QString text = tr("%1  %2 行  %3").arg(shown_names_).arg(line_count_).arg(state);
  ConversationPanel->setText(unseen.isEmpty() ? text : unseen + QStringLiteral("  ") + text);
}

}  // namespace parlevo::gui
