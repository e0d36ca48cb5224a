// The window's state as the user sees it: which commands are enabled, the
// status bar (messages and the conversation panel) and the title.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>

#include "app/gui/ansi_text.h"
#include "app/gui/elided_label.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/start_notices.h"
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

// The state in a word, for the title.
QString ShortStateText(ConversationState state) {
  return state == ConversationState::kStuck ? TFormParlevo::tr("行き詰まり") : StateText(state);
}

}  // namespace

void TFormParlevo::createStatusBar() {
  // Both cut their text to the room they have, the whole text a tooltip;
  // the conversation's state gets the larger share.
  StatusPanel = new ElidedLabel(this);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  statusBar()->addWidget(StatusPanel, 2);
  ConversationPanel = new ElidedLabel(this);
  ConversationPanel->setObjectName(QStringLiteral("ConversationPanel"));
  ConversationPanel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  statusBar()->addWidget(ConversationPanel, 3);
}

void TFormParlevo::ApplyState(ConversationState state) {
  const bool paused = state == ConversationState::kPaused;
  const bool exists = Talking(state) || paused;
  MenuConvNew->setEnabled(!exists);
  MenuChoose->setEnabled(!exists);
  MenuConvEnd->setEnabled(exists);
  MenuConvBegin->setEnabled(paused);
  MenuConvStop->setEnabled(Talking(state));
  MenuReload->setEnabled(exists);
  ToolPause->setEnabled(exists);
  ToolPause->setText(paused ? tr("再開") : tr("一時停止"));
  ToolPause->setIcon(style()->standardIcon(paused ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
  // A command's prompt goes with the change it made; an ended conversation
  // says why it ended by itself ("" when ended on request).
  if (state != shown_state_ && !(Talking(state) && Talking(shown_state_))) {
    const QString failure =
        state == ConversationState::kEnded ? conversation_->FailureMessage() : QString();
    if (!failure.isEmpty()) {
      SetFailureStatus(failure);
    } else if (!failure_status_) {
      SetStatus(QString());
    }
  }
  shown_state_ = state;
  UpdateConversationStatus();
}

void TFormParlevo::UpdateConversationStatus() {
  QStringList names;
  if (shown_state_ != ConversationState::kIdle) {
    for (const std::string& name : conversation_->Names()) names << AnsiToQString(name);
  }
  const QString shown_names = names.join(QStringLiteral(" × "));
  // The program's name first, then who talks and what they are doing.
  setWindowTitle(
      shown_names.isEmpty()
          ? QStringLiteral("Parlevo")
          : QStringLiteral("Parlevo - %1 (%2)").arg(shown_names, ShortStateText(shown_state_)));
  const QString unseen =
      Memo->NewLinesUnseen() ? tr("新しい行があります (%1)").arg(Memo->NewestKey()) : QString();
  if (shown_state_ == ConversationState::kIdle) {
    ConversationPanel->setText(unseen);
    return;
  }
  const QString text =
      tr("%1  %2 行  %3").arg(shown_names).arg(line_count_).arg(StateText(shown_state_));
  ConversationPanel->setText(unseen.isEmpty() ? text : unseen + QStringLiteral("  ") + text);
}

void TFormParlevo::SetStatus(const QString& text) {
  failure_status_ = false;
  StatusPanel->setText(text);
  // Paint now rather than pumping events: the step that follows may be long,
  // and no other command may start in the middle of this one.
  StatusPanel->repaint();
}

void TFormParlevo::SetFailureStatus(const QString& text) {
  SetStatus(text);
  failure_status_ = true;
}

void TFormParlevo::ShowStartNotices(const std::vector<std::string>& files) {
  const QStringList notices = StartNotices(files);
  if (notices.isEmpty()) return;
  SetFailureStatus(notices.size() == 1
                       ? notices[0]
                       : tr("注意が %1 件あります: %2").arg(notices.size()).arg(notices[0]));
  ShowMessage(tr("会話は始まりましたが、次のことに注意してください。\n\n%1")
                  .arg(notices.join(QStringLiteral("\n\n"))));
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
  if (!shut_down_) SetFailureStatus(tr("%1 の状態を保存できませんでした").arg(name));
  ShowMessage(tr("人格の状態を保存できませんでした。次回は前の状態から始まります。\n\n"
                 "人格: %1\nファイル: %2\n理由: %3")
                  .arg(name, QDir::toNativeSeparators(state_file), reason));
}

void TFormParlevo::OnReloaded(const QString& errors) {
  if (errors.isEmpty()) {
    SetStatus(tr("データファイルを読み込み直しました"));
    return;
  }
  SetFailureStatus(tr("データファイルを読み込み直せませんでした"));
  ShowMessage(
      tr("データファイルを読み込み直せませんでした (前のデータのまま続けます)\n\n%1").arg(errors));
}

}  // namespace parlevo::gui
