// The window's transcript: the line pattern field, the memo with its size cap
// and find bar, "Parlevo.log" and its failures, and saving a copy.
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

#include "app/gui/ansi_text.h"
#include "app/gui/find_bar.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/join_bar.h"
#include "app/gui/transcript_file.h"
#include "app/gui/transcript_memo.h"
#include "app/transcript.h"

namespace parlevo::gui {
namespace {

QString DefaultLogFormat() {
  return QString::fromUtf8(kDefaultLogFormat.data(), qsizetype(kDefaultLogFormat.size()));
}

}  // namespace

void TFormParlevo::createCentralArea() {
  auto* central = new QWidget(this);

  auto* label = new QLabel(QStringLiteral("ログ形式(&F):"), central);
  label->setObjectName(QStringLiteral("Label1"));
  EditFormat = new QLineEdit(DefaultLogFormat(), central);
  EditFormat->setObjectName(QStringLiteral("EditFormat"));
  EditFormat->setFixedWidth(177);
  label->setBuddy(EditFormat);
  connect(EditFormat, &QLineEdit::textChanged, this, &TFormParlevo::EditFormatChange);

  auto* format_row = new QHBoxLayout;
  format_row->setContentsMargins(8, 6, 8, 4);
  format_row->addWidget(label);
  format_row->addWidget(EditFormat);
  format_row->addStretch();

  Memo = new TranscriptMemo(central);
  Memo->setObjectName(QStringLiteral("Memo"));
  connect(Memo, &TranscriptMemo::unseenChanged, this, &TFormParlevo::UpdateConversationStatus);
  connect(Memo, &TranscriptMemo::sourcePointed, this, &TFormParlevo::ShowSource);
  connect(Memo, &TranscriptMemo::openFileRequested, this, &TFormParlevo::OpenDataFile);
  // Kept when changed, so a crash loses none of it.
  connect(Memo, &TranscriptMemo::zoomChanged, this, &TFormParlevo::StoreSettings);
  Find = new FindBar(Memo, central);
  Join = createJoinBar(central);

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(format_row);
  layout->addWidget(Memo, 1);
  layout->addWidget(Join);
  layout->addWidget(Find);
  setCentralWidget(central);
}

void TFormParlevo::createLog() {
  log_timer_ = new QTimer(this);
  log_timer_->setSingleShot(true);
  log_timer_->setInterval(kLogFlushMilliseconds);
  connect(log_timer_, &QTimer::timeout, this, &TFormParlevo::FlushLog);
  const QString error = log_.Open();
  if (!error.isEmpty()) ReportLogFailure(error);
}

void TFormParlevo::EditFormatChange(const QString& text) {
  if (text.isEmpty()) {
    EditFormat->setText(DefaultLogFormat());  // comes back here with that text
    return;
  }
  conversation_->SetLogFormat(QStringToAnsi(text));
  StoreSettings();
}

void TFormParlevo::SetNewestAtBottom(bool at_bottom) {
  Memo->SetNewestAtBottom(at_bottom);
  Find->Refresh();
  remembered_.newest_at_bottom = at_bottom;
  StoreSettings();
  UpdateConversationStatus();
}

// ---------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------

void TFormParlevo::ShowLine(const std::string& line) {
  AddTranscriptLine(line, nullptr, TranscriptMemo::kNoSpeaker);
}

void TFormParlevo::ShowTurn(const TTurn& turn) {
  // A watcher's line (Speaker -1) came from no data: it has no source to
  // show, and the text colour.
  AddTranscriptLine(turn.Line, turn.Speaker >= 0 ? &turn.Source : nullptr, turn.Speaker);
}

void TFormParlevo::AddTranscriptLine(const std::string& line, const LineProvenance* source,
                                     int speaker) {
  Memo->setUpdatesEnabled(false);
  Memo->AddLine(AnsiToQString(line), source, speaker);
  // The line is in the log (within a second) before it can leave the memo.
  if (Memo->AnsiSize() > kMemoCapacity) Memo->TakeOldestLine();
  Memo->setUpdatesEnabled(true);
  log_.Add(line);
  if (!log_timer_->isActive()) log_timer_->start();
  ++line_count_;
  Find->Refresh();
  UpdateConversationStatus();
}

// ---------------------------------------------------------------------------
// The log
// ---------------------------------------------------------------------------

void TFormParlevo::FlushLog() {
  log_timer_->stop();
  const QString error = log_.Flush();
  if (!error.isEmpty()) ReportLogFailure(error);
}

void TFormParlevo::ReportLogFailure(const QString& error) {
  if (log_failure_reported_ || shut_down_) return;
  log_failure_reported_ = true;
  SetFailureStatus(tr("ログファイルに書き込めません"));
  const QString question =
      tr("%1\n\n会話の記録はどこにも保存されていません。別の場所に保存しますか？"
         "(以後の行もそのファイルに追記します)")
          .arg(error);
  if (!messages_->Ask(this, QStringLiteral("Parlevo"), question)) return;
  const std::optional<SaveChoice> choice =
      saves_->SaveFile(this, tr("会話の記録の保存先"), tr("テキストファイル (*.txt *.log)"),
                       QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                           .filePath(QString::fromLatin1(TranscriptLog::kFileName)));
  if (!choice) return;
  const QString move_error = log_.MoveTo(choice->path);
  if (!move_error.isEmpty()) {
    ShowMessage(move_error);
    return;
  }
  SetStatus(tr("会話の記録: %1").arg(QDir::toNativeSeparators(log_.Path())));
}

void TFormParlevo::OpenLogFolder() {
  const QString folder = QFileInfo(log_.Path()).absolutePath();
  if (!open_url_(QUrl::fromLocalFile(folder))) {
    ShowMessage(tr("フォルダを開けません: %1").arg(QDir::toNativeSeparators(folder)));
  }
}

// ---------------------------------------------------------------------------
// Files beside the transcript
// ---------------------------------------------------------------------------

void TFormParlevo::SaveTranscriptAs() {
  const QString utf8 = tr("UTF-8 テキスト (*.txt)");
  const QString sjis = tr("Shift JIS テキスト (*.txt)");
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const std::optional<SaveChoice> choice =
      saves_->SaveFile(this, tr("会話を保存"), utf8 + QStringLiteral(";;") + sjis,
                       QDir(folder).filePath(tr("会話.txt")));
  if (!choice) return;
  const QStringList lines = Memo->OldestFirst();  // as in the log
  const QString error = SaveTranscriptFile(
      choice->path, lines,
      choice->filter == sjis ? TranscriptEncoding::kCodePage : TranscriptEncoding::kUtf8);
  if (!error.isEmpty()) {
    ShowMessage(error);
    return;
  }
  SetStatus(tr("保存しました: %1").arg(QDir::toNativeSeparators(choice->path)));
}

void TFormParlevo::OpenDataFile(const QString& path) {
  const QFileInfo file(path);
  QString reason;
  if (!file.exists()) {
    reason = tr("ファイルがありません (移動されたか、削除されました)");
  } else if (!file.isFile()) {
    reason = tr("ファイルではなくフォルダです");
  } else if (!file.isReadable()) {
    reason = tr("読み取りが許可されていません");
  } else if (!open_url_(QUrl::fromLocalFile(path))) {
    reason =
        tr("テキストファイルを開くアプリケーションが設定されていません。"
           "デスクトップの設定で .txt にテキストエディタを関連付けてください");
  } else {
    return;
  }
  ShowMessage(tr("ファイルを開けません: %1\n\n%2").arg(QDir::toNativeSeparators(path), reason));
}

}  // namespace parlevo::gui
