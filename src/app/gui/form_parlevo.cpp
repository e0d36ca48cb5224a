// The main window: its construction (a table of contents of the other form_
// files), the conversation and help commands, and the exit.
#include "app/gui/form_parlevo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cstdio>

#include "app/gui/ansi_text.h"
#include "app/gui/authors_guide.h"
#include "app/gui/refusal_message.h"
#include "app/gui/state_save_reports.h"
#include "app/gui/transcript_memo.h"
#include "app/gui/ui_font.h"
#include "app/version.h"

namespace parlevo::gui {
namespace {

constexpr const char* kOpenFilter = "Lumo 人格ファイル(*.ltc, *.txt)|*.txt;*.ltc";

}  // namespace

TFormParlevo::TFormParlevo(const Options& options, QWidget* parent)
    : QMainWindow(parent),
      files_(options.files ? options.files : &qt_dialogs_),
      saves_(options.saves ? options.saves : &qt_dialogs_),
      input_(options.input ? options.input : &qt_dialogs_),
      messages_(options.messages ? options.messages : &qt_dialogs_),
      log_(TranscriptLog::ChooseFolder(options.log_folder)),
      open_url_(options.open_url ? options.open_url : &QDesktopServices::openUrl),
      sample_files_(options.sample_files),
      settings_(options.settings_file.isEmpty()
                    ? std::make_unique<QSettings>()
                    : std::make_unique<QSettings>(options.settings_file, QSettings::IniFormat)) {
  setObjectName(QStringLiteral("FormParlevo"));
  setWindowTitle(QStringLiteral("Parlevo"));
  setFont(JapaneseUiFont());

  conversation_ = new ConversationController(this);
  connect(conversation_, &ConversationController::stateChanged, this, &TFormParlevo::ApplyState);
  connect(conversation_, &ConversationController::turnArrived, this, &TFormParlevo::ShowTurn);
  connect(conversation_, &ConversationController::reloaded, this, &TFormParlevo::OnReloaded);
  if (StateSaveReports* reports = StateSaveReports::Instance()) {
    connect(reports, &StateSaveReports::saveFailed, this, &TFormParlevo::OnSaveFailed);
  }

  createMenus();
  createToolBar();
  createCentralArea();
  createStatusBar();
  placeWindow();
  SetInterval(kStartInterval);
  RestoreSettings();
  ApplyState(conversation_->State());
  // The reader's place is the transcript, not the pattern field.
  Memo->setFocus();
  createLog();
}

TFormParlevo::~TFormParlevo() { Shutdown(); }

void TFormParlevo::placeWindow() {
  // At least a few transcript lines stay in view at the smallest size.
  const int memo_lines = Memo->fontMetrics().lineSpacing() * 3 + 2 * Memo->frameWidth() +
                         Memo->horizontalScrollBar()->sizeHint().height();
  const QToolBar* bar = findChild<QToolBar*>(QStringLiteral("ToolBar"));
  const int bar_height = bar ? bar->sizeHint().height() : 0;
  setMinimumSize(300, std::max(100, menuBar()->sizeHint().height() + bar_height +
                                        EditFormat->sizeHint().height() + 10 + memo_lines +
                                        statusBar()->sizeHint().height()));
  resize(593, 312 + menuBar()->sizeHint().height() + bar_height);
  if (const QScreen* display = screen()) {
    QRect frame = rect();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
  }
}

// ---------------------------------------------------------------------------
// Conversation commands
// ---------------------------------------------------------------------------

bool TFormParlevo::StartConversation(const std::string& first_file,
                                     const std::string& second_file) {
  return StartConversation(std::vector<std::string>{first_file, second_file});
}

bool TFormParlevo::StartConversation(const std::vector<std::string>& files) {
  if (conversation_->HasConversation() || shut_down_) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetStatus(QStringLiteral("人格を開いています..."));
  const std::optional<CharacterRefusal> refusal =
      conversation_->Start(files, QStringToAnsi(EditFormat->text()), interval_);
  QApplication::restoreOverrideCursor();
  SetStatus(QString());
  if (refusal) {
    ShowRefusal(*refusal, files);
    return false;
  }
  line_count_ = 0;
  Memo->StartConversation(QDateTime::currentDateTime());
  RememberStartedGroup(files);
  UpdateConversationStatus();
  ShowStartNotices(files);
  return true;
}

void TFormParlevo::ShowRefusal(const CharacterRefusal& refusal,
                               const std::vector<std::string>& files) {
  const size_t which = std::min(size_t(std::max(refusal.which, 0)), files.size() - 1);
  ShowMessage(RefusalMessage(refusal, NativeToPath(files[which])));
}

void TFormParlevo::MenuConvNewClick() {
  if (HasConversation() || !MenuConvNew->isEnabled()) return;
  const QString filter = QtFileFilter(kOpenFilter);
  SetStatus(QStringLiteral("1人目の人格基本ファイルを選択してください"));
  const std::optional<QString> first = files_->OpenFile(this, filter);
  if (!first) return;
  SetStatus(QStringLiteral("2人目の人格基本ファイルを選択してください"));
  const std::optional<QString> second = files_->OpenFile(this, filter);
  if (!second) return;
  StartConversation(PathToNative(*first), PathToNative(*second));
}

void TFormParlevo::MenuConvEndClick() {
  if (HasConversation() && MenuConvEnd->isEnabled()) conversation_->End();
}

void TFormParlevo::MenuConvStopClick() {
  if (HasConversation() && MenuConvStop->isEnabled()) conversation_->Pause();
}

void TFormParlevo::MenuConvBeginClick() {
  if (HasConversation() && MenuConvBegin->isEnabled()) conversation_->Resume();
}

// ---------------------------------------------------------------------------
// Help
// ---------------------------------------------------------------------------

void TFormParlevo::MenuHelpGuideClick() {
  const QString guide = FindAuthorsGuide();
  if (guide.isEmpty()) {
    ShowMessage(QStringLiteral("作者ガイドが見つかりません"));
    return;
  }
  ShowAuthorsGuide(this, guide);
}

void TFormParlevo::MenuHelpAboutClick() {
  messages_->ShowMessage(this, QStringLiteral("バージョン情報"), AboutText());
}

QString TFormParlevo::AboutText() const {
  QString text = QStringLiteral("Parlevo バージョン %1\n").arg(QString::fromUtf8(VersionText()));
  text += QStringLiteral("二つの人格が自由に会話するプログラム\n\n");
  text += QStringLiteral(
      "MIT ライセンスで配布しています (同梱の LICENSE ファイルをご覧ください)。\n\n");
  if (!HasConversation()) {
    text += QStringLiteral("会話中の人格はありません");
  } else {
    const std::vector<std::string>& folders = conversation_->DataFolders();
    text += QStringLiteral("人格のデータフォルダ:");
    for (size_t i = 0; i < folders.size(); ++i) {
      text += QStringLiteral("\n%1人目: %2").arg(i + 1).arg(NativeToPath(folders[i]));
    }
  }
  return text;
}

// ---------------------------------------------------------------------------
// Exit
// ---------------------------------------------------------------------------

void TFormParlevo::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

void TFormParlevo::Shutdown() {
  if (shut_down_) return;
  // Lets go of the conversation first, so no line arrives after the log is
  // written.
  conversation_->End();
  const QString error = log_.Flush();
  shut_down_ = true;
  if (!error.isEmpty() && !log_failure_reported_) {
    // Never hold the exit for a dialog: the reason goes to standard error.
    std::fprintf(stderr, "parlevo: %s\n", error.toLocal8Bit().constData());
  }
  log_timer_->stop();
  StoreSettings();
  conversation_->Shutdown();
}

}  // namespace parlevo::gui
