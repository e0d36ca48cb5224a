// The conversation commands of the window: New with its dialogs and refusals,
// Pause, Resume and End with the menu states they leave, lines of ended
// conversations, and closing the window while a conversation runs.
#include <QFileInfo>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "app/gui/transcript_memo.h"
#include "app/version.h"
#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

constexpr int kTimeout = 20000;  // ms; machines are shared and slow at times

bool AllStartWith(const QStringList& lines, const QStringList& prefixes) {
  for (const QString& line : lines) {
    bool found = false;
    for (const QString& prefix : prefixes) found = found || line.startsWith(prefix);
    if (!found) return false;
  }
  return true;
}

}  // namespace

class ConversationCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startsWithNoConversation();
  void newStartsConversationBetweenChosenCharacters();
  void newCancelledAtEitherDialogKeepsThePrompt();
  void newRefusesFilesThatAreNotCharacters();
  void pauseResumeAndEndFollowTheMenuStates();
  void endingPausedConversationSavesCharacterState();
  void linesOfEndedConversationAreDropped();
  void patternChangeReachesRunningConversation();
  void closingDuringConversationKeepsTranscriptAndState();
  void aboutNamesVersionAndDataFolders();
  void watcherJoinsRunningConversation();

 private:
  // A window whose conversations run at the fastest speed.
  std::unique_ptr<TFormParlevo> FastWindow();
  bool StartFirstPair(TFormParlevo& window);
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  QString hanako_, robo_, choco_, don_;
};

void ConversationCommandsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  dialogs_ = std::make_unique<ScriptedDialogs>();
  hanako_ = WriteCharacter(dir_->path(), "hanako", "花子", "はじめまして",
                           {"こんにちは", "いい天気ですね", "そうですね"});
  robo_ = WriteCharacter(dir_->path(), "robo", "ロボ", "ピポパ", {"ピピッ", "了解シマシタ"});
  choco_ = WriteCharacter(dir_->path(), "choco", "チョコ", "やあ", {"甘いよ"});
  don_ = WriteCharacter(dir_->path(), "don", "ドン", "おう", {"ドーン"});
}

void ConversationCommandsTest::cleanup() {
  dialogs_.reset();
  dir_.reset();
}

std::unique_ptr<TFormParlevo> ConversationCommandsTest::FastWindow() {
  auto window = std::make_unique<TFormParlevo>(OptionsFor(*dialogs_, dir_->path()));
  Action(*window, "MenuSpeedMostFast")->trigger();
  return window;
}

bool ConversationCommandsTest::StartFirstPair(TFormParlevo& window) {
  dialogs_->files = {hanako_, robo_};
  Action(window, "MenuConvNew")->trigger();
  return window.HasConversation();
}

void ConversationCommandsTest::startsWithNoConversation() {
  TFormParlevo window(OptionsFor(*dialogs_, dir_->path()));
  QCOMPARE(window.windowTitle(), QStringLiteral("Parlevo"));
  QCOMPARE(MenuState(window), kNoConversation);
  QVERIFY(!window.HasConversation());
  QVERIFY(MemoLines(window).isEmpty());
  QVERIFY(Action(window, "MenuConvExit")->isEnabled());
  QCOMPARE(Action(window, "MenuConvNew")->text(), QStringLiteral("新規会話(&N)..."));
}

void ConversationCommandsTest::newStartsConversationBetweenChosenCharacters() {
  auto window = FastWindow();
  QVERIFY(StartFirstPair(*window));
  QCOMPARE(MenuState(*window), kRunning);
  QCOMPARE(StatusText(*window), QString());
  QCOMPARE(dialogs_->file_filters,
           QStringList(2, QStringLiteral("Lumo 人格ファイル(*.ltc, *.txt) (*.txt *.ltc)")));
  QVERIFY(dialogs_->messages.isEmpty());

  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 4, kTimeout);
  Action(*window, "MenuConvStop")->trigger();
  const QStringList lines = MemoLines(*window);  // newest on top
  // The first character opens; then the two alternate strictly.
  QCOMPARE(lines.last(), QStringLiteral("花子 > はじめまして"));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const bool hanako_speaks = (lines.size() - 1 - i) % 2 == 0;
    QVERIFY2(lines[i].startsWith(hanako_speaks ? "花子 > " : "ロボ > "), qPrintable(lines[i]));
  }
}

void ConversationCommandsTest::newCancelledAtEitherDialogKeepsThePrompt() {
  TFormParlevo window(OptionsFor(*dialogs_, dir_->path()));
  dialogs_->files = {std::nullopt};
  Action(window, "MenuConvNew")->trigger();
  QCOMPARE(StatusText(window), QStringLiteral("1人目の人格基本ファイルを選択してください"));
  QCOMPARE(MenuState(window), kNoConversation);

  dialogs_->files = {hanako_, std::nullopt};
  Action(window, "MenuConvNew")->trigger();
  QCOMPARE(StatusText(window), QStringLiteral("2人目の人格基本ファイルを選択してください"));
  QCOMPARE(MenuState(window), kNoConversation);
  QVERIFY(dialogs_->messages.isEmpty());
}

void ConversationCommandsTest::newRefusesFilesThatAreNotCharacters() {
  TFormParlevo window(OptionsFor(*dialogs_, dir_->path()));
  const QString plain_text = Path("notes.txt");
  WriteAnsiLines(plain_text, {"買い物", "牛乳と卵", "メモ", "明日"});
  const QString empty_character = Path("empty.ltc");
  WriteAnsiLines(empty_character, {"name", "空っぽ", "version", "210", "folder", ""});

  const QString old_character = Path("old.ltc");
  WriteAnsiLines(old_character, {"name", "古い", "version", "200", "folder", ""});
  const struct {
    QString file;
    QString reason;
  } refusals[] = {
      {plain_text, "人格基本ファイルではありません"},
      {Path("missing.ltc"), "ファイルが見つかりません"},
      {empty_character, "読み込めるデータがありません"},
      {old_character, "バージョンが古すぎます"},
  };
  for (const auto& bad : refusals) {
    dialogs_->messages.clear();
    dialogs_->files = {hanako_, bad.file};
    Action(window, "MenuConvNew")->trigger();
    // The described text first, then which file and why.
    QCOMPARE(dialogs_->messages.size(), 1);
    const QString message = dialogs_->messages[0];
    QVERIFY2(message.startsWith(QStringLiteral("不正な人格です\n")), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("2人目: ") + bad.file), qPrintable(message));
    QVERIFY2(message.contains(bad.reason), qPrintable(message));
    QCOMPARE(MenuState(window), kNoConversation);
    QCOMPARE(StatusText(window), QString());
    QVERIFY(!window.HasConversation());
  }
  // Refused as the first character too; then a good pair still starts.
  dialogs_->messages.clear();
  dialogs_->files = {plain_text, robo_};
  Action(window, "MenuConvNew")->trigger();
  QCOMPARE(dialogs_->messages.size(), 1);
  QVERIFY(dialogs_->messages[0].contains(QStringLiteral("1人目: ") + plain_text));
  QVERIFY(StartFirstPair(window));
  QCOMPARE(MenuState(window), kRunning);
}

void ConversationCommandsTest::pauseResumeAndEndFollowTheMenuStates() {
  auto window = FastWindow();
  QVERIFY(StartFirstPair(*window));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 2, kTimeout);

  Action(*window, "MenuConvStop")->trigger();
  QCOMPARE(MenuState(*window), kPaused);
  Settle();  // a turn under way when pausing may still deliver its line
  const qsizetype paused_at = MemoLines(*window).size();
  Settle();
  QCOMPARE(MemoLines(*window).size(), paused_at);

  Action(*window, "MenuConvBegin")->trigger();
  QCOMPARE(MenuState(*window), kRunning);
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= paused_at + 2, kTimeout);

  Action(*window, "MenuConvEnd")->trigger();
  QCOMPARE(MenuState(*window), kNoConversation);
  QVERIFY(!window->HasConversation());
  const QStringList at_end = MemoLines(*window);
  Settle();
  QCOMPARE(MemoLines(*window), at_end);  // no further line, transcript kept
  QTRY_COMPARE_WITH_TIMEOUT(window->FinishingCount(), size_t{0}, kTimeout);
}

void ConversationCommandsTest::endingPausedConversationSavesCharacterState() {
  auto window = FastWindow();
  QVERIFY(StartFirstPair(*window));
  QTRY_VERIFY_WITH_TIMEOUT(!MemoLines(*window).isEmpty(), kTimeout);
  Action(*window, "MenuConvStop")->trigger();
  Settle();
  Action(*window, "MenuConvEnd")->trigger();
  QCOMPARE(MenuState(*window), kNoConversation);
  // The halted conversation runs on to its stop and releases its characters.
  QTRY_COMPARE_WITH_TIMEOUT(window->FinishingCount(), size_t{0}, kTimeout);
  QVERIFY(QFileInfo::exists(Path("hanako.lts")));
  QVERIFY(QFileInfo::exists(Path("robo.lts")));
}

void ConversationCommandsTest::linesOfEndedConversationAreDropped() {
  auto window = FastWindow();
  for (int round = 0; round < 5; ++round) {
    QVERIFY(StartFirstPair(*window));
    QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 3, kTimeout);
    // End and start anew without returning to the event loop in between: a
    // line the ended conversation is delivering arrives under the new one.
    Action(*window, "MenuConvEnd")->trigger();
    const qsizetype old_lines = MemoLines(*window).size();
    dialogs_->files = {choco_, don_};
    Action(*window, "MenuConvNew")->trigger();
    QVERIFY(window->HasConversation());
    QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= old_lines + 3, kTimeout);
    Action(*window, "MenuConvEnd")->trigger();
    const QStringList lines = MemoLines(*window);
    QVERIFY(AllStartWith(lines.mid(0, lines.size() - old_lines), {"チョコ > ", "ドン > "}));
    QTRY_COMPARE_WITH_TIMEOUT(window->FinishingCount(), size_t{0}, kTimeout);
    Memo(*window)->clear();
  }
}

void ConversationCommandsTest::patternChangeReachesRunningConversation() {
  auto window = FastWindow();
  QVERIFY(StartFirstPair(*window));
  QTRY_VERIFY_WITH_TIMEOUT(!MemoLines(*window).isEmpty(), kTimeout);
  window->findChild<QLineEdit*>("EditFormat")->setText(QStringLiteral("[%CHARNAME] %comment"));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).first().startsWith('['), kTimeout);
  const QString top = MemoLines(*window).first();
  QVERIFY2(top.startsWith("[花子] ") || top.startsWith("[ロボ] "), qPrintable(top));
}

void ConversationCommandsTest::closingDuringConversationKeepsTranscriptAndState() {
  auto window = FastWindow();
  QVERIFY(StartFirstPair(*window));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 5, kTimeout);
  QVERIFY(window->close());
  // Closing waited for the conversation's last turn and its release.
  QCOMPARE(window->FinishingCount(), size_t{0});
  QVERIFY(QFileInfo::exists(Path("hanako.lts")));
  QVERIFY(QFileInfo::exists(Path("robo.lts")));

  QStringList shown = MemoLines(*window);
  std::reverse(shown.begin(), shown.end());
  QCOMPARE(ReadAnsiLines(Path("Parlevo.log")), shown);
  window.reset();  // destroying a closed window changes nothing more
  QCOMPARE(ReadAnsiLines(Path("Parlevo.log")), shown);
}

void ConversationCommandsTest::aboutNamesVersionAndDataFolders() {
  auto window = FastWindow();
  Action(*window, "MenuHelpAbout")->trigger();
  QCOMPARE(dialogs_->message_captions, QStringList{QStringLiteral("バージョン情報")});
  QVERIFY(dialogs_->messages.last().contains(QString::fromUtf8(parlevo::VersionText())));

  const QString choco_data = Path("choco_data");
  QVERIFY(QDir().mkpath(choco_data));
  const QString choco = Path("choco2.ltc");
  WriteAnsiLines(
      choco, {"name", "チョコ", "version", "210", "folder", "choco_data", "datac2", "free.txt"});
  WriteAnsiLines(choco_data + "/free.txt", {"甘いよ"});
  dialogs_->files = {choco, hanako_};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY(window->HasConversation());
  Action(*window, "MenuHelpAbout")->trigger();
  const QString about = dialogs_->messages.last();
  QVERIFY2(about.contains(choco_data + '/'), qPrintable(about));
  QVERIFY2(about.contains(dir_->path() + '/'), qPrintable(about));
}

// 会話に参加: the line entered is shown and logged as the watcher's (the name
// in the settings) with no source of its own, and the next speaker answers
// the watcher; nothing goes out without a conversation, nor over 1 MiB.
void ConversationCommandsTest::watcherJoinsRunningConversation() {
  QSettings(Path("parlevo.ini"), QSettings::IniFormat).setValue("join/name", "見物人");
  const QString ann = WriteCharacter(dir_->path(), "ann", "アン", "やあ", {"アン:{NICKNAME}"});
  const QString bob = WriteCharacter(dir_->path(), "bob", "ボブ", "おう", {"ボブ:{NICKNAME}"});
  auto window = FastWindow();
  Action(*window, "MenuJoin")->trigger();
  auto* field = window->findChild<QLineEdit*>("JoinText");
  QVERIFY(field->isVisibleTo(window.get()));
  field->setText(QStringLiteral("こんばんは"));
  QTest::keyClick(field, Qt::Key_Return);
  QVERIFY(MemoLines(*window).isEmpty());
  QCOMPARE(field->text(), QStringLiteral("こんばんは"));

  dialogs_->files = {ann, bob};
  Action(*window, "MenuConvNew")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!MemoLines(*window).isEmpty(), kTimeout);
  field->setText(QString(qsizetype(TFormParlevo::kMaxJoinedBytes / 2 + 1), QChar(u'あ')));
  QTest::keyClick(field, Qt::Key_Return);
  QCOMPARE(dialogs_->messages.size(), 1);
  field->setText(QStringLiteral("こんばんは"));
  QTest::keyClick(field, Qt::Key_Return);
  QVERIFY(field->text().isEmpty());

  const QString joined = QStringLiteral("見物人 > こんばんは");
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).indexOf(joined) > 0, kTimeout);
  Action(*window, "MenuConvEnd")->trigger();
  const QStringList lines = MemoLines(*window);  // newest on top
  const qsizetype at = lines.indexOf(joined);
  QCOMPARE(lines.count(joined), 1);
  QVERIFY2(lines[at - 1] == "アン > アン:見物人" || lines[at - 1] == "ボブ > ボブ:見物人",
           qPrintable(lines[at - 1]));
  QCOMPARE(window->findChild<TranscriptMemo*>("Memo")->SourceOf(int(at)), nullptr);
  window->FlushLog();
  QStringList logged = lines;
  std::reverse(logged.begin(), logged.end());
  QCOMPARE(ReadAnsiLines(Path("Parlevo.log")), logged);
}

int RunConversationCommandTests(int argc, char** argv) {
  ConversationCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "conversation_commands_test.moc"
