// The window beyond the described menus: reading a running transcript (scroll
// anchoring, status and title), settings kept between runs, the shortcuts,
// find, saving the transcript, the log's folder, failed state saves, and the
// authors' guide.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <memory>

#include "app/gui/ansi_text.h"
#include "app/gui/authors_guide.h"
#include "app/gui/transcript_memo.h"
#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

constexpr int kTimeout = 20000;  // ms; machines are shared and slow at times

QString PanelText(const TFormParlevo& window) {
  return window.findChild<QLabel*>(QStringLiteral("ConversationPanel"))->text();
}

}  // namespace

class WindowCommandsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void newLinesKeepTheViewOfAReaderWhoScrolledAway();
  void statusAndTitleFollowTheConversation();
  void settingsAreWrittenAndReadBack();
  void shortcutsReachTheirCommands();
  void findSelectsHighlightsAndWraps();
  void transcriptSavesAsUtf8OrShiftJis();
  void failedStateSaveIsShownWithCharacterFileAndReason();
  void guideInTheReadersLanguageLinksAndFits();
  void eachLineKeepsWhereItCameFrom();
  void reloadReadsDataFilesAgainKeepingMemory();
  void foldersTheCodePageCannotSpellWorkAndAreNamedAsChosen();

 private:
  std::unique_ptr<TFormParlevo> NewWindow() {
    auto window = std::make_unique<TFormParlevo>(Options());
    return window;
  }
  TFormParlevo::Options Options() {
    TFormParlevo::Options options = OptionsFor(*dialogs_, dir_->path());
    options.open_url = [this](const QUrl& url) {
      opened_ << url;
      return true;
    };
    return options;
  }
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  QList<QUrl> opened_;
  QString hanako_, robo_;
};

void WindowCommandsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  dialogs_ = std::make_unique<ScriptedDialogs>();
  opened_.clear();
  hanako_ = WriteCharacter(dir_->path(), "hanako", "花子", "はじめまして",
                           {"こんにちは", "いい天気ですね", "そうですね"});
  robo_ = WriteCharacter(dir_->path(), "robo", "ロボ", "ピポパ", {"ピピッ", "了解シマシタ"});
}

void WindowCommandsTest::cleanup() {
  dialogs_.reset();
  dir_.reset();
}

void WindowCommandsTest::newLinesKeepTheViewOfAReaderWhoScrolledAway() {
  auto window = NewWindow();
  window->resize(600, 400);
  window->show();
  for (int i = 0; i < 200; ++i) window->ShowLine("line " + std::to_string(i));
  QScrollBar* bar = Memo(*window)->verticalScrollBar();
  QCOMPARE(bar->value(), 0);  // following the newest line
  bar->setValue(50);
  const QString in_view = Memo(*window)->cursorForPosition(QPoint(5, 5)).block().text();
  window->ShowLine("line 200");
  window->ShowLine("line 201");
  QCOMPARE(Memo(*window)->cursorForPosition(QPoint(5, 5)).block().text(), in_view);
  QVERIFY2(PanelText(*window).contains(QStringLiteral("新しい行があります")),
           qPrintable(PanelText(*window)));
  // Back at the top, the view follows again and the hint goes.
  bar->setValue(0);
  QVERIFY(!PanelText(*window).contains(QStringLiteral("新しい行があります")));
  window->ShowLine("line 202");
  QCOMPARE(bar->value(), 0);
  QCOMPARE(MemoLines(*window).first(), QStringLiteral("line 202"));

  // A new conversation brings the view to its first line.
  bar->setValue(40);
  dialogs_->files = {hanako_, robo_};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY(window->HasConversation());
  QCOMPARE(bar->value(), 0);
}

void WindowCommandsTest::statusAndTitleFollowTheConversation() {
  auto window = NewWindow();
  QCOMPARE(PanelText(*window), QString());
  dialogs_->files = {std::nullopt};
  Action(*window, "MenuConvNew")->trigger();
  QCOMPARE(StatusText(*window), QStringLiteral("1人目の人格基本ファイルを選択してください"));

  Action(*window, "MenuSpeedMostFast")->trigger();
  dialogs_->files = {hanako_, robo_};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY2(window->windowTitle().startsWith(QStringLiteral("Parlevo - 花子 × ロボ (")),
           qPrintable(window->windowTitle()));
  QCOMPARE(StatusText(*window), QString());  // the stale prompt is gone
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 3, kTimeout);
  // Running, or already found going round in circles: the samples at the
  // fastest speed may repeat themselves within a few dozen lines.
  const QString running = PanelText(*window);
  QVERIFY2(
      running.contains(QStringLiteral("会話中")) || running.contains(QStringLiteral("行き詰まり")),
      qPrintable(running));

  Action(*window, "MenuConvStop")->trigger();
  Settle();
  const QString paused = PanelText(*window);
  QVERIFY2(paused.endsWith(
               QStringLiteral("花子 × ロボ  %1 行  一時停止中").arg(MemoLines(*window).size())),
           qPrintable(paused));
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - 花子 × ロボ (一時停止中)"));
  QCOMPARE(Action(*window, "ToolPause")->text(), QStringLiteral("再開"));
  Action(*window, "MenuConvEnd")->trigger();
  QVERIFY(PanelText(*window).endsWith(QStringLiteral("終了")));
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - 花子 × ロボ (終了)"));
  QVERIFY(!Action(*window, "ToolPause")->isEnabled());
}

void WindowCommandsTest::settingsAreWrittenAndReadBack() {
  QRect geometry;
  {
    auto window = NewWindow();
    window->show();
    window->setGeometry(40, 50, 700, 420);
    geometry = window->geometry();
    Action(*window, "MenuSpeedFast")->trigger();
    window->findChild<QLineEdit*>("EditFormat")->setText(QStringLiteral("[%charname] %comment"));
    Action(*window, "MenuZoomIn")->trigger();
    Action(*window, "MenuZoomIn")->trigger();
    dialogs_->files = {hanako_, robo_};
    Action(*window, "MenuConvNew")->trigger();
    QVERIFY(window->HasConversation());
    window->close();
  }
  auto window = NewWindow();
  window->show();
  QCOMPARE(window->Interval(), 1000);
  QVERIFY(Action(*window, "MenuSpeedFast")->isChecked());
  QVERIFY(!Action(*window, "MenuSpeedNormal")->isChecked());
  QCOMPARE(window->findChild<QLineEdit*>("EditFormat")->text(),
           QStringLiteral("[%charname] %comment"));
  QCOMPARE(window->size(), geometry.size());
  QCOMPARE(Memo(*window)->font().pointSize(), QApplication::font().pointSize() + 2);
  // The last pair heads the recent pairs of the 会話 menu and starts again.
  auto* recent = window->findChild<QMenu*>("MenuRecent");
  QCOMPARE(recent->actions().size(), 1);
  QCOMPARE(recent->actions()[0]->text(), QStringLiteral("&1 花子 × ロボ"));
  QCOMPARE(recent->actions()[0]->toolTip(),
           QDir::toNativeSeparators(hanako_) + '\n' + QDir::toNativeSeparators(robo_));
  recent->actions()[0]->trigger();
  QVERIFY(window->HasConversation());
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - 花子 × ロボ (会話中)"));
}

void WindowCommandsTest::shortcutsReachTheirCommands() {
  auto window = NewWindow();
  window->show();
  window->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(window.get()));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(Memo(*window)));

  dialogs_->files = {hanako_, robo_};
  QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
  QVERIFY(window->HasConversation());
  QTest::keyClick(Memo(*window), Qt::Key_Space);
  QCOMPARE(MenuState(*window), kPaused);
  QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
  QCOMPARE(MenuState(*window), kRunning);
  // In the pattern field a space is text, not a pause.
  auto* format = window->findChild<QLineEdit*>("EditFormat");
  format->setFocus();
  QTest::keyClick(format, Qt::Key_Space);
  QCOMPARE(MenuState(*window), kRunning);
  QCOMPARE(format->text(), QStringLiteral("%charname > %comment "));
  QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
  QCOMPARE(MenuState(*window), kNoConversation);

  QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
  const int zoomed = Memo(*window)->font().pointSize();
  QTest::keyClick(window.get(), Qt::Key_0, Qt::ControlModifier);
  QCOMPARE(Memo(*window)->font().pointSize(), zoomed - 1);
  QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
  QCOMPARE(Memo(*window)->font().pointSize(), zoomed - 2);

  QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
  QVERIFY(window->findChild<QWidget*>("FindBar")->isVisible());
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);  // cancelled
  Action(*window, "MenuOpenLogFolder")->trigger();
  QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(dir_->path())});

  QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
  QVERIFY(!window->isVisible());
}

void WindowCommandsTest::findSelectsHighlightsAndWraps() {
  auto window = NewWindow();
  window->show();
  for (const char* line :
       {"花子 > こんにちは", "ロボ > ピピッ", "花子 > いい天気", "ロボ > 了解"}) {
    window->ShowLine(QStringToAnsi(QString::fromUtf8(line)));
  }
  Action(*window, "MenuFind")->trigger();
  auto* field = window->findChild<QLineEdit*>("FindText");
  field->insert(QStringLiteral("ロボ"));  // as an input method would
  QCOMPARE(Memo(*window)->extraSelections().size(), 2);
  // Top to bottom from the start, then round again.
  QTextCursor found = Memo(*window)->textCursor();
  QCOMPARE(found.selectedText(), QStringLiteral("ロボ"));
  QCOMPARE(found.block().blockNumber(), 0);
  Action(*window, "MenuFindNext")->trigger();
  QCOMPARE(Memo(*window)->textCursor().block().blockNumber(), 2);
  Action(*window, "MenuFindNext")->trigger();
  QCOMPARE(Memo(*window)->textCursor().block().blockNumber(), 0);
  Action(*window, "MenuFindPrevious")->trigger();
  QCOMPARE(Memo(*window)->textCursor().block().blockNumber(), 2);
  field->setText(QStringLiteral("雨"));
  QCOMPARE(window->findChild<QLabel*>("FindResult")->text(), QStringLiteral("見つかりません"));
  QVERIFY(Memo(*window)->extraSelections().isEmpty());
}

void WindowCommandsTest::transcriptSavesAsUtf8OrShiftJis() {
  auto window = NewWindow();
  window->ShowLine(QStringToAnsi(QStringLiteral("花子 > 一")));
  window->ShowLine(QStringToAnsi(QStringLiteral("ロボ > 二")));
  auto bytes_of = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  dialogs_->saves = {SaveChoice{Path("u.txt"), QStringLiteral("UTF-8 テキスト (*.txt)")},
                     SaveChoice{Path("s.txt"), QStringLiteral("Shift JIS テキスト (*.txt)")}};
  Action(*window, "MenuSaveAs")->trigger();
  Action(*window, "MenuSaveAs")->trigger();
  // Oldest first, as in the log.
  QCOMPARE(bytes_of(Path("u.txt")), QStringLiteral("花子 > 一\r\nロボ > 二\r\n").toUtf8());
  QCOMPARE(bytes_of(Path("s.txt")),
           QByteArray("\x89\xd4\x8e\x71 > \x88\xea\r\n\x83\x8d\x83\x7b > \x93\xf1\r\n"));
  QVERIFY(dialogs_->messages.isEmpty());
}

void WindowCommandsTest::failedStateSaveIsShownWithCharacterFileAndReason() {
  auto window = NewWindow();
  dialogs_->files = {hanako_, robo_};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY(window->HasConversation());
  // The state file cannot be replaced once a folder stands in its place.
  const QString state = Path("hanako.lts");
  QVERIFY(QFile::remove(state));
  QVERIFY(QDir().mkpath(state + "/blocker"));
  Action(*window, "MenuConvEnd")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(!dialogs_->messages.isEmpty(), kTimeout);
  const QString message = dialogs_->messages[0];
  QVERIFY2(message.contains(QStringLiteral("人格: 花子")), qPrintable(message));
  QVERIFY2(message.contains(QStringLiteral("ファイル: ") + state), qPrintable(message));
  QVERIFY2(message.contains(QStringLiteral("理由: ")), qPrintable(message));
  QCOMPARE(dialogs_->messages.size(), 1);  // robo's state was saved
}

void WindowCommandsTest::guideInTheReadersLanguageLinksAndFits() {
  QCOMPARE(AuthorsGuideFileName(QLocale(QLocale::Japanese)), QStringLiteral("authoring.ja.md"));
  QCOMPARE(AuthorsGuideFileName(QLocale(QLocale::English)), QStringLiteral("authoring.md"));
  QCOMPARE(HeadingAnchor(QStringLiteral("Once-only data, tiers and end markers")),
           QStringLiteral("once-only-data-tiers-and-end-markers"));
  const QString guide = FindAuthorsGuide(QLocale(QLocale::English));
  QVERIFY2(guide.endsWith(QStringLiteral("/authoring.md")), qPrintable(guide));
  const QString japanese = FindAuthorsGuide(QLocale(QLocale::Japanese));
  QVERIFY2(japanese.endsWith(QStringLiteral("/authoring.ja.md")), qPrintable(japanese));
  // Every contents link of both editions names a heading.
  for (const QString& path : {guide, japanese}) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QStringList anchors;
    for (const QString& line : text.split('\n')) {
      if (line.startsWith('#')) {
        anchors << HeadingAnchor(QString(line).remove(QRegularExpression("^#+")));
      }
    }
    QRegularExpressionMatchIterator links =
        QRegularExpression("\\]\\(#([^)]+)\\)").globalMatch(text);
    int count = 0;
    for (; links.hasNext(); ++count) {
      const QString target = links.next().captured(1);
      QVERIFY2(anchors.contains(target), qPrintable(path + ": #" + target));
    }
    QVERIFY(count >= 12);
  }

  QWidget owner;
  QTextBrowser* browser = ShowAuthorsGuide(&owner, guide);
  QVERIFY(browser != nullptr);
  browser->window()->resize(420, 400);
  QTest::qWait(50);
  // Nothing wider than the window: code and tables wrap.
  QVERIFY2(browser->document()->size().width() <= browser->viewport()->width() + 1,
           qPrintable(QString::number(browser->document()->size().width())));
  // A contents link jumps to its heading.
  QCOMPARE(browser->verticalScrollBar()->value(), 0);
  browser->setSource(QUrl(QStringLiteral("#patterns")));
  QVERIFY(browser->verticalScrollBar()->value() > 0);
  QCOMPARE(browser->cursorForPosition(QPoint(10, 10)).block().text(), QStringLiteral("Patterns"));
  browser->window()->close();
}

void WindowCommandsTest::eachLineKeepsWhereItCameFrom() {
  // One answer each: the conversation repeats itself at once.
  const QString one = WriteCharacter(dir_->path(), "one", "イチ", "やあ", {"同じこと"});
  const QString two = WriteCharacter(dir_->path(), "two", "ニ", "おう", {"また同じ"});
  auto window = NewWindow();
  window->show();
  Action(*window, "MenuSpeedMostFast")->trigger();
  dialogs_->files = {one, two};
  Action(*window, "MenuConvNew")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 8, kTimeout);
  QTRY_VERIFY_WITH_TIMEOUT(PanelText(*window).contains(QStringLiteral("行き詰まり")), kTimeout);
  Action(*window, "MenuConvStop")->trigger();
  Settle();

  auto* memo = window->findChild<TranscriptMemo*>("Memo");
  const QStringList lines = MemoLines(*window);
  const int last = memo->LineCount() - 1;  // the opening, from data01
  QVERIFY(memo->SourceOf(last) != nullptr);
  QCOMPARE(FileLineText(*memo->SourceOf(last)), QStringLiteral("one_open.txt:1"));
  // Every line keeps its own source as newer lines push it down.
  for (int i = 0; i < last; ++i) {
    QVERIFY2(memo->SourceOf(i) != nullptr, qPrintable(lines[i]));
    const QString expected = lines[i].startsWith(QStringLiteral("イチ")) ? "one_" : "two_";
    QVERIFY2(FileLineText(*memo->SourceOf(i)).startsWith(expected), qPrintable(lines[i]));
  }
  // Selecting a line shows its source in the status bar.
  QTextCursor cursor(memo->document()->findBlockByNumber(0));
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  const bool one_spoke = MemoLines(*window)[0].startsWith(QStringLiteral("イチ"));
  const QString file = one_spoke ? "one_free.txt" : "two_free.txt";
  QVERIFY2(StatusText(*window).contains(
               QStringLiteral("datac2 (種類 C)  %1:1  段 1/1  候補 1").arg(file)),
           qPrintable(StatusText(*window)));
  // The line's menu copies FILE:LINE and opens the data file.
  const QPoint top = memo->cursorRect(cursor).center();
  std::unique_ptr<QMenu> menu(memo->CreateLineMenu(top));
  menu->findChild<QAction*>("CopyFileLine")->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(),
           QDir::toNativeSeparators(Path(file)) + QStringLiteral(":1"));
  menu->findChild<QAction*>("OpenDataFile")->trigger();
  QCOMPARE(opened_, QList<QUrl>{QUrl::fromLocalFile(Path(file))});
}

void WindowCommandsTest::reloadReadsDataFilesAgainKeepingMemory() {
  const QString one =
      WriteCharacter(dir_->path(), "one", "イチ", "やあ", {"{COUNT10++}数{COUNT10}"});
  auto window = NewWindow();
  Action(*window, "MenuSpeedMostFast")->trigger();
  dialogs_->files = {one, robo_};
  Action(*window, "MenuConvNew")->trigger();
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 6, kTimeout);
  Action(*window, "MenuConvStop")->trigger();  // reloads while paused too
  Settle();
  // Edit the data file, then F5.
  WriteAnsiLines(Path("one_free.txt"), {"{COUNT10++}新{COUNT10}"});
  Action(*window, "MenuReload")->trigger();
  QTRY_COMPARE_WITH_TIMEOUT(StatusText(*window),
                            QStringLiteral("データファイルを読み込み直しました"), kTimeout);
  const int said = int(MemoLines(*window).filter(QStringLiteral("イチ > 数")).size());
  QVERIFY(said >= 2);
  Action(*window, "MenuConvBegin")->trigger();
  // The new answer, and the counter in memory went on from where it was.
  QTRY_VERIFY_WITH_TIMEOUT(!MemoLines(*window).filter(QStringLiteral("イチ > 新")).isEmpty(),
                           kTimeout);
  const QString first_new = MemoLines(*window).filter(QStringLiteral("イチ > 新")).last();
  QCOMPARE(first_new, QStringLiteral("イチ > 新%1").arg(said + 1));
  QVERIFY(dialogs_->messages.isEmpty());

  // Files that yield nothing: the character says why and keeps talking.
  WriteAnsiLines(Path("one_open.txt"), {});
  WriteAnsiLines(Path("one_free.txt"), {});
  Action(*window, "MenuReload")->trigger();
  QTRY_COMPARE_WITH_TIMEOUT(dialogs_->messages.size(), 1, kTimeout);
  QVERIFY2(dialogs_->messages[0].contains(QStringLiteral("イチ: 読み込めるデータがありません")),
           qPrintable(dialogs_->messages[0]));
  const int before = int(MemoLines(*window).filter(QStringLiteral("イチ > 新")).size());
  QTRY_VERIFY_WITH_TIMEOUT(
      MemoLines(*window).filter(QStringLiteral("イチ > 新")).size() > before + 1, kTimeout);
  // The failure stays in the status bar through pause and resume.
  Action(*window, "MenuConvStop")->trigger();
  Action(*window, "MenuConvBegin")->trigger();
  QCOMPARE(StatusText(*window), QStringLiteral("データファイルを読み込み直せませんでした"));
}

void WindowCommandsTest::foldersTheCodePageCannotSpellWorkAndAreNamedAsChosen() {
  const QString folder = Path(QStringLiteral("Téléchargements/日本"));
  QVERIFY(QDir().mkpath(folder));
  const QString one = WriteCharacter(folder, "one", "イチ", "やあ", {"同じこと"});
  auto window = NewWindow();
  dialogs_->files = {one, robo_};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY2(window->HasConversation(), qPrintable(dialogs_->messages.join('\n')));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 1, kTimeout);
  // The opening's data file, the recent pair and the about box name the
  // folder as chosen.
  auto* memo = window->findChild<TranscriptMemo*>("Memo");
  const LineProvenance* opening = memo->SourceOf(memo->LineCount() - 1);
  QVERIFY(opening != nullptr);
  QCOMPARE(DataFilePath(*opening), QDir(folder).filePath(QStringLiteral("one_open.txt")));
  const QList<QAction*> recent = window->findChild<QMenu*>("MenuRecent")->actions();
  QVERIFY(!recent.isEmpty());
  QCOMPARE(recent[0]->toolTip(), one + '\n' + robo_);
  Action(*window, "MenuHelpAbout")->trigger();
  QVERIFY2(dialogs_->messages.last().contains(QStringLiteral("1人目: ") + folder),
           qPrintable(dialogs_->messages.last()));
  dialogs_->messages.clear();

  // A state file that cannot be saved there is reported with its owner.
  const QString state = QDir(folder).filePath(QStringLiteral("one.lts"));
  QVERIFY(QFile::remove(state));
  QVERIFY(QDir().mkpath(state + "/blocker"));
  Action(*window, "MenuConvEnd")->trigger();
  QTRY_COMPARE_WITH_TIMEOUT(dialogs_->messages.size(), 1, kTimeout);
  QVERIFY2(dialogs_->messages[0].contains(QStringLiteral("人格: イチ\nファイル: ") + state),
           qPrintable(dialogs_->messages[0]));
  dialogs_->messages.clear();

  // A refused character's message names it as chosen.
  const QString old = QDir(folder).filePath(QStringLiteral("old.ltc"));
  WriteAnsiLines(old, {"name", "古", "version", "100", "folder", "", "datac2", "one_free.txt"});
  dialogs_->files = {robo_, old};
  Action(*window, "MenuConvNew")->trigger();
  QVERIFY(!window->HasConversation());
  QCOMPARE(dialogs_->messages.size(), 1);
  QVERIFY2(dialogs_->messages[0].contains(QStringLiteral("2人目: ") + old +
                                          QStringLiteral("\n人格のバージョンが古すぎます")),
           qPrintable(dialogs_->messages[0]));
}

int RunWindowCommandTests(int argc, char** argv) {
  WindowCommandsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_commands_test.moc"
