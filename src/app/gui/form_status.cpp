// The window's state as the user sees it: which commands are enabled, the
// status bar (messages and the conversation panel) and the title.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/transcript_memo.h"

namespace parlevo::gui {
namespace {

// Running and stuck are one phase: a conversation that starts repeating
// itself keeps the status text the reader is looking at.
bool Talking(ConversationState state) {
  return state == ConversationState::kRunning || state == ConversationState::kStuck;
}

QString StateText(ConversationState state) {
  switch (state) {
    case ConversationState::kEnded:
      return TFormParlevo::tr("終了");
    case ConversationState::kPaused:
      return TFormParlevo::tr("一時停止中");
    case ConversationState::kStuck:
      return TFormParlevo::tr("行き詰まり (同じ発言の繰り返し)");
    case ConversationState::kRunning:
      return TFormParlevo::tr("会話中");
    case ConversationState::kIdle:
      break;
  }
  return {};
}

}  // namespace

void TFormParlevo::createStatusBar() {
  StatusPanel = new QLabel(this);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  statusBar()->addWidget(StatusPanel, 1);
  ConversationPanel = new QLabel(this);
  ConversationPanel->setObjectName(QStringLiteral("ConversationPanel"));
  statusBar()->addPermanentWidget(ConversationPanel);
}

void TFormParlevo::ApplyState(ConversationState state) {
  const bool paused = state == ConversationState::kPaused;
  const bool exists = Talking(state) || paused;
  MenuConvNew->setEnabled(!exists);
  MenuConvEnd->setEnabled(exists);
  MenuConvBegin->setEnabled(paused);
  MenuConvStop->setEnabled(Talking(state));
  MenuReload->setEnabled(exists);
  // A command's prompt goes with the change it made; an ended conversation
  // says why it ended by itself ("" when ended on request).
  if (state != shown_state_ && !(Talking(state) && Talking(shown_state_))) {
    SetStatus(state == ConversationState::kEnded ? conversation_->FailureMessage() : QString());
  }
  shown_state_ = state;
  UpdateConversationStatus();
}

void TFormParlevo::UpdateConversationStatus() {
  const std::array<std::string, 2>& names = conversation_->Names();
  const QString shown_names =
      shown_state_ == ConversationState::kIdle
          ? QString()
          : AnsiToQString(names[0]) + QStringLiteral(" / ") + AnsiToQString(names[1]);
  setWindowTitle(shown_names.isEmpty() ? QStringLiteral("Parlevo")
                                       : QStringLiteral("Parlevo - ") + shown_names);
  const QString unseen = Memo->NewLinesUnseen() ? tr("新しい行があります (Ctrl+Home)") : QString();
  if (shown_state_ == ConversationState::kIdle) {
    ConversationPanel->setText(unseen);
    return;
  }
  const QString text =
      tr("%1  %2 行  %3").arg(shown_names).arg(line_count_).arg(StateText(shown_state_));
  ConversationPanel->setText(unseen.isEmpty() ? text : unseen + QStringLiteral("  ") + text);
}

void TFormParlevo::SetStatus(const QString& text) {
  StatusPanel->setText(text);
  // Paint now rather than pumping events: the step that follows may be long,
  // and no other command may start in the middle of this one.
  StatusPanel->repaint();
}

void TFormParlevo::ShowMessage(const QString& text) {
  messages_->ShowMessage(this, QStringLiteral("Parlevo"), text);
}

void TFormParlevo::ShowSource(const LineProvenance* source) {
  if (source != nullptr) SetStatus(ProvenanceText(*source));
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

}  // namespace parlevo::gui
