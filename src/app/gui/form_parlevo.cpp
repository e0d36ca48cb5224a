// The main window: its controls and menus, the conversation commands handed
// to the controller, the transcript memo with its size cap, and the log.
#include "app/gui/form_parlevo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "app/gui/ansi_text.h"
#include "app/gui/authors_guide.h"
#include "app/gui/find_bar.h"
#include "app/gui/refusal_message.h"
#include "app/gui/state_save_reports.h"
#include "app/gui/transcript_memo.h"
#include "app/gui/ui_font.h"
#include "app/transcript.h"
#include "app/version.h"
#include "platform/numbers.h"

namespace parlevo::gui {
namespace {

constexpr const char* kOpenFilter = "Lumo 人格ファイル(*.ltc, *.txt)|*.txt;*.ltc";

QString DefaultLogFormat() {
  return QString::fromUtf8(kDefaultLogFormat.data(), qsizetype(kDefaultLogFormat.size()));
}

}  // namespace

TFormParlevo::TFormParlevo(const Options& options, QWidget* parent)
    : QMainWindow(parent),
      files_(options.files ? options.files : &qt_dialogs_),
      saves_(options.saves ? options.saves : &qt_dialogs_),
      input_(options.input ? options.input : &qt_dialogs_),
      messages_(options.messages ? options.messages : &qt_dialogs_),
      log_(TranscriptLog::ChooseFolder(options.log_folder)),
      open_url_(options.open_url ? options.open_url : &QDesktopServices::openUrl),
      settings_(options.settings_file.isEmpty()
                    ? std::make_unique<QSettings>()
                    : std::make_unique<QSettings>(options.settings_file, QSettings::IniFormat)) {
  setObjectName(QStringLiteral("FormParlevo"));
  setWindowTitle(QStringLiteral("Parlevo"));
  setFont(JapaneseUiFont());

  conversation_ = new ConversationController(this);
  createActions();
  createAddedActions();
  createMenus();
  createAddedMenus();
  createCentralArea();
  createStatusBar();
  placeWindow();

  connect(conversation_, &ConversationController::turnArrived, this, &TFormParlevo::ShowTurn);
  connect(conversation_, &ConversationController::endedByItself, this,
          &TFormParlevo::OnEndedByItself);

  log_timer_ = new QTimer(this);
  log_timer_->setSingleShot(true);
  log_timer_->setInterval(kLogFlushMilliseconds);
  connect(log_timer_, &QTimer::timeout, this, &TFormParlevo::FlushLog);

  if (StateSaveReports* reports = StateSaveReports::Instance()) {
    connect(reports, &StateSaveReports::saveFailed, this, &TFormParlevo::OnSaveFailed);
  }

  SetInterval(kStartInterval);
  RestoreSettings();
  UpdateConversationStatus();
  // The reader's place is the transcript, not the pattern field.
  Memo->setFocus();
  const QString error = log_.Open();
  if (!error.isEmpty()) ReportLogFailure(error);
}

TFormParlevo::~TFormParlevo() { Shutdown(); }

// ---------------------------------------------------------------------------
// Building the window
// ---------------------------------------------------------------------------

void TFormParlevo::createActions() {
  MenuConvNew = new QAction(QStringLiteral("新規会話(&N)..."), this);
  MenuConvNew->setObjectName(QStringLiteral("MenuConvNew"));
  connect(MenuConvNew, &QAction::triggered, this, &TFormParlevo::MenuConvNewClick);

  MenuConvEnd = new QAction(QStringLiteral("会話終了(&E)"), this);
  MenuConvEnd->setObjectName(QStringLiteral("MenuConvEnd"));
  connect(MenuConvEnd, &QAction::triggered, this, &TFormParlevo::MenuConvEndClick);

  MenuConvBegin = new QAction(QStringLiteral("再開(&B)"), this);
  MenuConvBegin->setObjectName(QStringLiteral("MenuConvBegin"));
  connect(MenuConvBegin, &QAction::triggered, this, &TFormParlevo::MenuConvBeginClick);

  MenuConvStop = new QAction(QStringLiteral("一時停止(&S)"), this);
  MenuConvStop->setObjectName(QStringLiteral("MenuConvStop"));
  connect(MenuConvStop, &QAction::triggered, this, &TFormParlevo::MenuConvStopClick);

  MenuConvExit = new QAction(QStringLiteral("Parlevo を終了(&X)"), this);
  MenuConvExit->setObjectName(QStringLiteral("MenuConvExit"));
  connect(MenuConvExit, &QAction::triggered, this, &QWidget::close);

  SetMenuState(/*running=*/false, /*paused=*/false);

  // The speed items carry their interval; 任意 asks for one.
  const struct {
    QAction** item;
    const char* name;
    QString caption;
    int interval;
  } speeds[] = {
      {&MenuSpeedSlow, "MenuSpeedSlow", QStringLiteral("遅い(&S)"), 4000},
      {&MenuSpeedNormal, "MenuSpeedNormal", QStringLiteral("普通(&N)"), 2000},
      {&MenuSpeedFast, "MenuSpeedFast", QStringLiteral("速い(&F)"), 1000},
      {&MenuSpeedMostFast, "MenuSpeedMostFast", QStringLiteral("最速(&M)"), 0},
      {&MenuSpeedOption, "MenuSpeedOption", QStringLiteral("任意(&O)..."), -1},
  };
  for (const auto& speed : speeds) {
    QAction* item = new QAction(speed.caption, this);
    item->setObjectName(QString::fromLatin1(speed.name));
    item->setCheckable(true);
    if (speed.interval >= 0) item->setData(speed.interval);
    connect(item, &QAction::triggered, this, [this, item] { MenuSpeedClick(item); });
    *speed.item = item;
  }
  checked_speed_ = MenuSpeedNormal;
  MenuSpeedNormal->setChecked(true);

  MenuHelpWebGuide = new QAction(QStringLiteral("Parlevo 作者ガイド"), this);
  MenuHelpWebGuide->setObjectName(QStringLiteral("MenuHelpWebGuide"));
  connect(MenuHelpWebGuide, &QAction::triggered, this, &TFormParlevo::MenuHelpGuideClick);

  MenuHelpAbout = new QAction(QStringLiteral("バージョン情報(&A)..."), this);
  MenuHelpAbout->setObjectName(QStringLiteral("MenuHelpAbout"));
  connect(MenuHelpAbout, &QAction::triggered, this, &TFormParlevo::MenuHelpAboutClick);
}

void TFormParlevo::createMenus() {
  MenuConv = menuBar()->addMenu(QStringLiteral("会話(&C)"));
  MenuConv->setObjectName(QStringLiteral("MenuConv"));
  MenuConv->addAction(MenuConvNew);
  MenuConv->addAction(MenuConvEnd);
  MenuConv->addSeparator();
  MenuConv->addAction(MenuConvBegin);
  MenuConv->addAction(MenuConvStop);
  MenuConv->addSeparator();
  MenuConv->addAction(MenuConvExit);

  MenuSpeed = menuBar()->addMenu(QStringLiteral("速度(&S)"));
  MenuSpeed->setObjectName(QStringLiteral("MenuSpeed"));
  MenuSpeed->addAction(MenuSpeedSlow);
  MenuSpeed->addAction(MenuSpeedNormal);
  MenuSpeed->addAction(MenuSpeedFast);
  MenuSpeed->addAction(MenuSpeedMostFast);
  MenuSpeed->addSeparator();
  MenuSpeed->addAction(MenuSpeedOption);

  MenuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
  MenuHelp->setObjectName(QStringLiteral("MenuHelp"));
  MenuHelpWeb = MenuHelp->addMenu(QStringLiteral("関連 Web (&W)"));
  MenuHelpWeb->setObjectName(QStringLiteral("MenuHelpWeb"));
  MenuHelpWeb->addAction(MenuHelpWebGuide);
  MenuHelp->addSeparator();
  MenuHelp->addAction(MenuHelpAbout);

  // Menus are windows of their own and do not inherit the window's font.
  for (QMenu* menu : {MenuConv, MenuSpeed, MenuHelp, MenuHelpWeb}) menu->setFont(font());
}

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

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(format_row);
  layout->addWidget(Memo, 1);
  Find = new FindBar(Memo, central);
  layout->addWidget(Find);
  setCentralWidget(central);
  connect(Memo, &TranscriptMemo::unseenChanged, this, &TFormParlevo::UpdateConversationStatus);
  connect(Memo, &TranscriptMemo::sourcePointed, this, &TFormParlevo::ShowSource);
  connect(Memo, &TranscriptMemo::openFileRequested, this, &TFormParlevo::OpenDataFile);
}

void TFormParlevo::createStatusBar() {
  StatusPanel = new QLabel(this);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  statusBar()->addWidget(StatusPanel, 1);
  ConversationPanel = new QLabel(this);
  ConversationPanel->setObjectName(QStringLiteral("ConversationPanel"));
  statusBar()->addPermanentWidget(ConversationPanel);
}

void TFormParlevo::placeWindow() {
  // At least a few transcript lines stay in view at the smallest size.
  const int memo_lines = Memo->fontMetrics().lineSpacing() * 3 + 2 * Memo->frameWidth() +
                         Memo->horizontalScrollBar()->sizeHint().height();
  setMinimumSize(
      300, std::max(100, menuBar()->sizeHint().height() + EditFormat->sizeHint().height() + 10 +
                             memo_lines + statusBar()->sizeHint().height()));
  resize(593, 312 + menuBar()->sizeHint().height());
  if (const QScreen* display = screen()) {
    QRect frame = rect();
    frame.moveCenter(display->availableGeometry().center());
    move(frame.topLeft());
  }
}

// ---------------------------------------------------------------------------
// Operations
// ---------------------------------------------------------------------------

void TFormParlevo::SetInterval(int32_t value) {
  interval_ = value;
  conversation_->SetInterval(value);
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

void TFormParlevo::SetMenuState(bool running, bool paused) {
  MenuConvNew->setEnabled(!running);
  MenuConvEnd->setEnabled(running);
  MenuConvBegin->setEnabled(running && paused);
  MenuConvStop->setEnabled(running && !paused);
  // The added items are made after the described ones.
  if (MenuReload != nullptr) MenuReload->setEnabled(running);
}

bool TFormParlevo::StartConversation(const std::string& first_file,
                                     const std::string& second_file) {
  if (conversation_->HasConversation() || shut_down_) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetStatus(QStringLiteral("人格を開いています..."));
  const std::optional<CharacterRefusal> refusal =
      conversation_->Start(first_file, second_file, QStringToAnsi(EditFormat->text()), interval_);
  QApplication::restoreOverrideCursor();
  SetStatus(QString());
  if (refusal) {
    ShowRefusal(*refusal, {first_file, second_file});
    return false;
  }
  SetMenuState(/*running=*/true, /*paused=*/false);
  line_count_ = 0;
  ended_ = false;
  stuck_ = false;
  Memo->ScrollToNewest();
  const CharacterPair pair{NativeToPath(first_file), NativeToPath(second_file)};
  RememberPair(remembered_.recent, pair);
  RebuildRecentMenu();
  StoreSettings();
  UpdateConversationStatus();
  return true;
}

void TFormParlevo::ShowRefusal(const CharacterRefusal& refusal,
                               const std::array<std::string, 2>& files) {
  ShowMessage(RefusalMessage(refusal, NativeToPath(files[refusal.which == 0 ? 0 : 1])));
}

void TFormParlevo::ShowLine(const std::string& line) { AddTranscriptLine(line, nullptr); }

void TFormParlevo::ShowTurn(const ShownTurn& turn) {
  stuck_ = turn.stuck_lines > 0;
  AddTranscriptLine(turn.line, &turn.source);
}

void TFormParlevo::AddTranscriptLine(const std::string& line, const LineProvenance* source) {
  Memo->setUpdatesEnabled(false);
  Memo->InsertFirstLine(AnsiToQString(line), source);
  // The line is in the log (within a second) before it can leave the memo.
  if (Memo->AnsiSize() > kMemoCapacity) Memo->TakeLastLine();
  Memo->setUpdatesEnabled(true);
  log_.Add(line);
  if (!log_timer_->isActive()) log_timer_->start();
  ++line_count_;
  Find->Refresh();
  UpdateConversationStatus();
}

void TFormParlevo::FlushLog() {
  log_timer_->stop();
  const QString error = log_.Flush();
  if (!error.isEmpty()) ReportLogFailure(error);
}

void TFormParlevo::ReportLogFailure(const QString& error) {
  if (log_failure_reported_ || shut_down_) return;
  log_failure_reported_ = true;
  SetStatus(tr("ログファイルに書き込めません"));
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

void TFormParlevo::OnEndedByItself(const QString& failure) {
  SetStatus(failure);
  SetMenuState(/*running=*/false, /*paused=*/false);
  ended_ = true;
  UpdateConversationStatus();
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

// ---------------------------------------------------------------------------
// Handlers
// ---------------------------------------------------------------------------

void TFormParlevo::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
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
  if (!HasConversation() || !MenuConvEnd->isEnabled()) return;
  conversation_->End();
  SetMenuState(/*running=*/false, /*paused=*/false);
  ended_ = true;
  SetStatus(QString());
  UpdateConversationStatus();
}

void TFormParlevo::MenuConvStopClick() {
  if (!HasConversation() || !MenuConvStop->isEnabled()) return;
  conversation_->Pause();
  SetMenuState(/*running=*/true, /*paused=*/true);
  SetStatus(QString());
  UpdateConversationStatus();
}

void TFormParlevo::MenuConvBeginClick() {
  if (!HasConversation() || !MenuConvBegin->isEnabled()) return;
  conversation_->Resume();
  SetMenuState(/*running=*/true, /*paused=*/false);
  SetStatus(QString());
  UpdateConversationStatus();
}

void TFormParlevo::MenuSpeedClick(QAction* item) {
  std::optional<int32_t> value;
  if (item == MenuSpeedOption) {
    const std::optional<QString> text =
        input_->AskText(this, QStringLiteral("会話の速度(任意)"),
                        QStringLiteral("発言の間隔を半角数字で入力してください(1/1000秒単位)"),
                        QString::number(interval_));
    if (text) {
      const std::optional<int32_t> number = platform::TextToInt(QStringToAnsi(*text));
      if (number && *number >= 0) {
        value = number;
      } else {
        ShowMessage(QStringLiteral("不正な値です"));
      }
    }
  } else {
    value = item->data().toInt();
  }
  if (value) {
    checked_speed_ = item;
    SetInterval(*value);
  }
  // A click toggles the item by itself; only a found value moves the mark.
  for (QAction* speed :
       {MenuSpeedSlow, MenuSpeedNormal, MenuSpeedFast, MenuSpeedMostFast, MenuSpeedOption}) {
    speed->setChecked(speed == checked_speed_);
  }
}

void TFormParlevo::EditFormatChange(const QString& text) {
  if (text.isEmpty()) {
    EditFormat->setText(DefaultLogFormat());  // comes back here with that text
    return;
  }
  conversation_->SetLogFormat(QStringToAnsi(text));
}

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
    const std::array<std::string, 2>& folders = conversation_->DataFolders();
    text += QStringLiteral("人格のデータフォルダ:\n");
    text += QStringLiteral("1人目: %1\n").arg(NativeToPath(folders[0]));
    text += QStringLiteral("2人目: %1").arg(NativeToPath(folders[1]));
  }
  return text;
}

}  // namespace parlevo::gui
