// The transcript: lines on top of the read-only memo, the byte cap, and
// "Parlevo.log" growing during a run, shared by two windows, and its failures.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui/ansi_text.h"
#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

class TranscriptTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void firstStartCreatesEmptyLog();
  void logKeepsOldLinesThenThisRunsOldestFirst();
  void capCountsCodePageBytesAndMovesOneLinePerLine();
  void movedLinesAndMemoLinesEndUpInOrder();
  void twoWindowsSharingTheLogKeepBothRuns();
  void unwritableLogFolderFallsBackToUserData();
  void logGrowsDuringTheRunAndAfterACrash();
  void logNowhereToBeWrittenIsReportedOnceAndMoved();
  void transcriptCanBeCopiedButNotEdited();

 private:
  TFormParlevo::Options Options() { return OptionsFor(*dialogs_, dir_->path()); }
  QString LogPath() const { return dir_->filePath("Parlevo.log"); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
};

void TranscriptTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  dialogs_ = std::make_unique<ScriptedDialogs>();
}

void TranscriptTest::cleanup() {
  dialogs_.reset();
  dir_.reset();
}

void TranscriptTest::firstStartCreatesEmptyLog() {
  TFormParlevo window(Options());
  QCOMPARE(window.LogPath(), LogPath());
  QVERIFY(QFileInfo::exists(LogPath()));
  QCOMPARE(QFileInfo(LogPath()).size(), 0);
}

void TranscriptTest::logKeepsOldLinesThenThisRunsOldestFirst() {
  WriteAnsiLines(LogPath(), {"前回 > 一行目", "前回 > 二行目"});
  {
    TFormParlevo window(Options());
    for (const char* line : {"花子 > おはよう", "ロボ > ピピッ", "花子 > 元気？"}) {
      window.ShowLine(QStringToAnsi(QString::fromUtf8(line)));
    }
    // Newest on top; earlier runs never come back into the memo.
    QCOMPARE(MemoLines(window), QStringList({"花子 > 元気？", "ロボ > ピピッ", "花子 > おはよう"}));
  }
  QCOMPARE(ReadAnsiLines(LogPath()),
           QStringList({"前回 > 一行目", "前回 > 二行目", "花子 > おはよう", "ロボ > ピピッ",
                        "花子 > 元気？"}));
  // Shift JIS with CR LF: "花子 > おはよう" is 2+2+3+8 bytes.
  QFile file(LogPath());
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray bytes = file.readAll();
  QVERIFY(bytes.contains(QByteArray("\x89\xd4\x8e\x71 > \x82\xa8\x82\xcd\x82\xe6\x82\xa4\r\n")));
  QVERIFY(bytes.endsWith("\r\n"));
}

void TranscriptTest::capCountsCodePageBytesAndMovesOneLinePerLine() {
  TFormParlevo window(Options());
  // Lines of 3 digits + 100 double-byte characters: 205 bytes with CR LF
  // (105 UTF-16 units, so counting characters would never reach the cap).
  const QString body(100, QChar(u'あ'));
  auto numbered = [&body](int i) { return QStringLiteral("%1").arg(i, 3, 10, QChar('0')) + body; };
  for (int i = 0; i < 124; ++i) window.ShowLine(QStringToAnsi(numbered(i)));
  // 124 x 205 = 25420 bytes: within the cap.
  QCOMPARE(MemoLines(window).size(), 124);
  QCOMPARE(MemoLines(window).last(), numbered(0));
  window.ShowLine(QStringToAnsi(numbered(124)));  // 25625 > 25600
  QCOMPARE(MemoLines(window).size(), 124);
  QCOMPARE(MemoLines(window).last(), numbered(1));
  // From now on every line pushes exactly the bottom one out.
  for (int i = 125; i < 130; ++i) {
    window.ShowLine(QStringToAnsi(numbered(i)));
    QCOMPARE(MemoLines(window).size(), 124);
    QCOMPARE(MemoLines(window).last(), numbered(i - 123));
  }
  QCOMPARE(MemoLines(window).first(), numbered(129));
  // Whatever the memo shows, the log has every line, oldest first.
  window.FlushLog();
  const QStringList log = ReadAnsiLines(LogPath());
  QCOMPARE(log.size(), 130);
  for (int i = 0; i < 130; ++i) QCOMPARE(log[i], numbered(i));
}

void TranscriptTest::movedLinesAndMemoLinesEndUpInOrder() {
  {
    TFormParlevo window(Options());
    const std::string filler(2000, 'a');  // 2002 bytes with CR LF: 12 fit
    for (int i = 0; i < 20; ++i) window.ShowLine(std::to_string(i) + filler);
    QCOMPARE(MemoLines(window).size(), 12);
  }
  const QStringList log = ReadAnsiLines(LogPath());
  QCOMPARE(log.size(), 20);
  for (int i = 0; i < 20; ++i) QVERIFY(log[i].startsWith(QString::number(i) + 'a'));
}

void TranscriptTest::twoWindowsSharingTheLogKeepBothRuns() {
  WriteAnsiLines(LogPath(), {"old"});
  auto first = std::make_unique<TFormParlevo>(Options());
  auto second = std::make_unique<TFormParlevo>(Options());
  first->ShowLine("first run");
  second->ShowLine("second run");
  first.reset();
  second.reset();
  QCOMPARE(ReadAnsiLines(LogPath()), QStringList({"old", "first run", "second run"}));
}

void TranscriptTest::unwritableLogFolderFallsBackToUserData() {
  // A log folder that cannot hold files (it is a file): the transcript goes
  // to the user's data folder rather than being lost, without a word.
  const QString not_a_folder = dir_->filePath("plain-file");
  WriteAnsiLines(not_a_folder, {"x"});
  const QString fallback = QDir(TranscriptLog::UserDataFolder()).filePath("Parlevo.log");
  QFile::remove(fallback);
  {
    TFormParlevo::Options options = Options();
    options.log_folder = not_a_folder;
    TFormParlevo window(options);
    QCOMPARE(window.LogPath(), fallback);
    window.ShowLine(QStringToAnsi(QStringLiteral("最後の行")));
    QVERIFY(window.close());
  }
  QVERIFY(dialogs_->messages.isEmpty());
  QCOMPARE(ReadAnsiLines(fallback), QStringList{QStringLiteral("最後の行")});
  QFile::remove(fallback);
}

void TranscriptTest::logGrowsDuringTheRunAndAfterACrash() {
  WriteAnsiLines(LogPath(), {"前回 > 最後の行"});
  auto window = std::make_unique<TFormParlevo>(Options());
  window->ShowLine(QStringToAnsi(QStringLiteral("花子 > 一行目")));
  window->ShowLine(QStringToAnsi(QStringLiteral("ロボ > 二行目")));
  // Within a second, without closing the window.
  const QStringList two = {"前回 > 最後の行", "花子 > 一行目", "ロボ > 二行目"};
  QTRY_COMPARE_WITH_TIMEOUT(ReadAnsiLines(LogPath()), two, 20000);
  window->ShowLine(QStringToAnsi(QStringLiteral("花子 > 三行目")));
  QTRY_COMPARE_WITH_TIMEOUT(ReadAnsiLines(LogPath()).size(), 4, 20000);
  // What a crash leaves is the log as it stands: closing adds nothing twice.
  window.reset();
  QCOMPARE(ReadAnsiLines(LogPath()), two + QStringList{"花子 > 三行目"});
}

void TranscriptTest::logNowhereToBeWrittenIsReportedOnceAndMoved() {
  // The log's folder is a file, and the fallback log's place is a folder.
  const QString not_a_folder = dir_->filePath("plain-file");
  WriteAnsiLines(not_a_folder, {"x"});
  const QString fallback = QDir(TranscriptLog::UserDataFolder()).filePath("Parlevo.log");
  QFile::remove(fallback);
  QVERIFY(QDir().mkpath(fallback));
  const QString chosen = dir_->filePath("会話.txt");
  dialogs_->answers = {true};
  dialogs_->saves = {SaveChoice{chosen, {}}};
  {
    TFormParlevo::Options options = Options();
    options.log_folder = not_a_folder;
    TFormParlevo window(options);
    // Said once, in Japanese, with the file; the status bar says it too.
    QCOMPARE(dialogs_->messages.size(), 1);
    QVERIFY2(dialogs_->messages[0].contains(QStringLiteral("書き込めません")),
             qPrintable(dialogs_->messages[0]));
    QVERIFY(dialogs_->messages[0].contains(QStringLiteral("別の場所に保存しますか")));
    QCOMPARE(window.LogPath(), chosen);
    window.ShowLine(QStringToAnsi(QStringLiteral("花子 > こんにちは")));
    window.FlushLog();
    QCOMPARE(ReadAnsiLines(chosen), QStringList{QStringLiteral("花子 > こんにちは")});
    window.ShowLine(QStringToAnsi(QStringLiteral("ロボ > ピピッ")));
  }
  QCOMPARE(dialogs_->messages.size(), 1);
  QCOMPARE(ReadAnsiLines(chosen),
           QStringList({QStringLiteral("花子 > こんにちは"), QStringLiteral("ロボ > ピピッ")}));
  QDir(fallback).removeRecursively();
}

void TranscriptTest::transcriptCanBeCopiedButNotEdited() {
  TFormParlevo window(Options());
  window.show();
  window.ShowLine(QStringToAnsi(QStringLiteral("花子 > こんにちは")));
  QPlainTextEdit* memo = Memo(window);
  memo->setFocus();
  QTest::keyClicks(memo, QStringLiteral("typed"));
  QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_Delete);
  QTest::keyClick(memo, Qt::Key_Backspace);
  QTest::keyClick(memo, Qt::Key_X, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_Return);
  QCOMPARE(MemoLines(window), QStringList{QStringLiteral("花子 > こんにちは")});
  // Selected by keyboard and copied.
  QTest::keyClick(memo, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("花子 > こんにちは"));
  window.close();
  QCOMPARE(ReadAnsiLines(LogPath()), QStringList{QStringLiteral("花子 > こんにちは")});
}

int RunTranscriptTests(int argc, char** argv) {
  TranscriptTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "transcript_test.moc"
