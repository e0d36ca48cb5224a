// The main window: its controls and menus, the conversation commands, the
// transcript memo with its size cap, and the log file at start and exit.
#include "app/gui/form_parlevo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <chrono>
#include <exception>

#include "app/conversation.h"
#include "app/gui/ansi_text.h"
#include "app/gui/authors_guide.h"
#include "app/gui/transcript_memo.h"
#include "app/gui/ui_font.h"
#include "app/gui/window_line_sink.h"
#include "app/version.h"
#include "data/character_file.h"
#include "platform/numbers.h"

namespace parlevo::gui {
namespace {

constexpr const char* kOpenFilter = "Lumo 人格ファイル(*.ltc, *.txt)|*.txt;*.ltc";
constexpr int kReapMilliseconds = 100;

QString DefaultLogFormat() {
  return QString::fromUtf8(kDefaultLogFormat.data(), qsizetype(kDefaultLogFormat.size()));
}

}  // namespace

TFormParlevo::TFormParlevo(const Options& options, QWidget* parent)
    : QMainWindow(parent),
      files_(options.files ? options.files : &qt_dialogs_),
      input_(options.input ? options.input : &qt_dialogs_),
      messages_(options.messages ? options.messages : &qt_dialogs_),
      log_(TranscriptLog::ChooseFolder(options.log_folder)) {
  setObjectName(QStringLiteral("FormParlevo"));
  setWindowTitle(QStringLiteral("Parlevo"));
  setFont(JapaneseUiFont());

  createActions();
  createMenus();
  createCentralArea();
  createStatusBar();
  placeWindow();

  reap_timer_ = new QTimer(this);
  reap_timer_->setInterval(kReapMilliseconds);
  connect(reap_timer_, &QTimer::timeout, this, &TFormParlevo::Reap);

  SetInterval(kStartInterval);
  const QString error = log_.Load();
  if (!error.isEmpty()) ShowMessage(error);
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
  setCentralWidget(central);
}

void TFormParlevo::createStatusBar() {
  StatusPanel = new QLabel(this);
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  statusBar()->addWidget(StatusPanel, 1);
}

void TFormParlevo::placeWindow() {
  setMinimumSize(300, 100);
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
  if (current_) current_->thread->SetInterval(value);
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
}

bool TFormParlevo::StartConversation(const std::string& first_file,
                                     const std::string& second_file) {
  if (current_ || shut_down_) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetStatus(QStringLiteral("人格を開いています..."));
  const bool built = BuildConversation(first_file, second_file);
  QApplication::restoreOverrideCursor();
  SetStatus(QString());
  if (!built) {
    ShowMessage(QStringLiteral("不正な人格です"));
    return false;
  }
  SetMenuState(/*running=*/true, /*paused=*/false);
  reap_timer_->start();
  return true;
}

bool TFormParlevo::BuildConversation(const std::string& first_file,
                                     const std::string& second_file) {
  auto conversation = std::make_unique<Conversation>();
  conversation->sink = std::make_unique<WindowLineSink>(
      [this](const TParlevoThread& from, const std::string& line) { AddLine(from, line); });
  try {
    // The data folders, for the about box (the characters themselves belong
    // to the conversation thread once it runs).
    conversation->data_folders = {TCharacterFile(first_file).DataFolder(),
                                  TCharacterFile(second_file).DataFolder()};
    conversation->thread = std::make_unique<TParlevoThread>(
        first_file, second_file, QStringToAnsi(EditFormat->text()), interval_, *conversation->sink);
  } catch (...) {
    return false;
  }
  current_ = std::move(conversation);
  return true;
}

void TFormParlevo::AddLine(const TParlevoThread& from, const std::string& line) {
  if (!current_ || current_->thread.get() != &from) return;
  ShowLine(line);
}

void TFormParlevo::ShowLine(const std::string& line) {
  Memo->setUpdatesEnabled(false);
  Memo->InsertFirstLine(AnsiToQString(line));
  if (Memo->AnsiSize() > kMemoCapacity) log_.Lines().push_back(QStringToAnsi(Memo->TakeLastLine()));
  Memo->setUpdatesEnabled(true);
}

void TFormParlevo::ReleaseCurrent() {
  if (!current_) return;
  current_->sink->Detach();
  // Terminate also ends a pause, so a paused conversation runs on to its
  // stop and saves its characters' state.
  current_->thread->Terminate();
  finishing_.push_back(std::move(current_));
  reap_timer_->start();
}

void TFormParlevo::Reap() {
  std::erase_if(finishing_, [](const std::unique_ptr<Conversation>& conversation) {
    return conversation->thread->Finished();
  });
  if (current_ && current_->thread->Finished()) {
    // The conversation ended by itself (an error during a turn).
    SetStatus(QString::fromStdString(current_->thread->FailureMessage()));
    current_.reset();
    SetMenuState(/*running=*/false, /*paused=*/false);
  }
  if (!current_ && finishing_.empty()) reap_timer_->stop();
}

void TFormParlevo::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  ReleaseCurrent();

  // Bottom line first, so the log stays oldest first.
  const QStringList lines = Memo->Lines();
  for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
    log_.Lines().push_back(QStringToAnsi(*line));
  }
  const QString error = log_.Save();
  if (!error.isEmpty()) ShowMessage(error);

  // Each conversation finishes at most the turn it is in. One blocked in
  // DeliverLine needs this thread to run that call, which drops the line.
  for (const auto& conversation : finishing_) {
    do {
      conversation->sink->RunPendingDelivery();
    } while (!conversation->thread->WaitFor(std::chrono::milliseconds(5)));
  }
  finishing_.clear();
  reap_timer_->stop();
}

// ---------------------------------------------------------------------------
// Handlers
// ---------------------------------------------------------------------------

void TFormParlevo::closeEvent(QCloseEvent* event) {
  Shutdown();
  event->accept();
}

void TFormParlevo::MenuConvNewClick() {
  if (current_ || !MenuConvNew->isEnabled()) return;
  const QString filter = QtFileFilter(kOpenFilter);
  SetStatus(QStringLiteral("1人目の人格基本ファイルを選択してください"));
  const std::optional<QString> first = files_->OpenFile(this, filter);
  if (!first) return;
  SetStatus(QStringLiteral("2人目の人格基本ファイルを選択してください"));
  const std::optional<QString> second = files_->OpenFile(this, filter);
  if (!second) return;
  StartConversation(PathToAnsi(*first), PathToAnsi(*second));
}

void TFormParlevo::MenuConvEndClick() {
  if (!current_ || !MenuConvEnd->isEnabled()) return;
  ReleaseCurrent();
  SetMenuState(/*running=*/false, /*paused=*/false);
}

void TFormParlevo::MenuConvStopClick() {
  if (!current_ || !MenuConvStop->isEnabled()) return;
  current_->thread->Pause();
  SetMenuState(/*running=*/true, /*paused=*/true);
}

void TFormParlevo::MenuConvBeginClick() {
  if (!current_ || !MenuConvBegin->isEnabled()) return;
  current_->thread->Resume();
  SetMenuState(/*running=*/true, /*paused=*/false);
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
  if (current_) current_->thread->SetLogFormat(QStringToAnsi(text));
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
  text += QStringLiteral("MIT ライセンスで配布しています (同梱の LICENSE ファイルをご覧ください)。\n\n");
  if (!current_) {
    text += QStringLiteral("会話中の人格はありません");
  } else {
    text += QStringLiteral("人格のデータフォルダ:\n");
    text += QStringLiteral("1人目: %1\n").arg(AnsiToQString(current_->data_folders[0]));
    text += QStringLiteral("2人目: %1").arg(AnsiToQString(current_->data_folders[1]));
  }
  return text;
}

}  // namespace parlevo::gui
