// The watcher joining in: 会話に参加 shows the input line under the
// transcript, and each line entered there is said in the current conversation.
#include <QAction>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/join_bar.h"
#include "app/gui/transcript_memo.h"

namespace parlevo::gui {
namespace {

// A transcript and log line holds one utterance: line breaks (a paste) and
// NUL, which ends a text file's text, become spaces.
QString OneLine(QString text) {
  for (QChar& c : text) {
    if (c == u'\n' || c == u'\r' || c == QChar(0)) c = u' ';
  }
  return text;
}

}  // namespace

JoinBar* TFormParlevo::createJoinBar(QWidget* parent) {
  auto* bar = new JoinBar(parent);
  connect(bar, &JoinBar::lineEntered, this, &TFormParlevo::SendJoinedLine);
  connect(bar, &JoinBar::closeRequested, this, [this] { MenuJoin->setChecked(false); });
  return bar;
}

void TFormParlevo::ShowJoinBar(bool shown) {
  if (shown) {
    Join->Open();
    return;
  }
  Join->hide();
  Memo->setFocus();
}

void TFormParlevo::SendJoinedLine(const QString& text) {
  if (!HasConversation()) {
    SetStatus(tr("会話中ではないため発言できません"));
    return;
  }
  const std::string said = QStringToAnsi(OneLine(text));
  if (said.size() > kMaxJoinedBytes) {
    ShowMessage(tr("発言が長すぎます (%1 MiB まで)").arg(kMaxJoinedBytes >> 20));
    return;
  }
  conversation_->Join(QStringToAnsi(remembered_.watcher), said);
  Join->Clear();
}

}  // namespace parlevo::gui
