// The transcript: lines on top of the memo, the byte cap that moves the
// bottom line to the log, and "Parlevo.log" across a run.
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
  QVERIFY(window.LogLines().empty());
}

void TranscriptTest::logKeepsOldLinesThenThisRunsOldestFirst() {
  WriteAnsiLines(LogPath(), {"前回 > 一行目", "前回 > 二行目"});
  {
    TFormParlevo window(Options());
    QCOMPARE(window.LogLines().size(), size_t{2});
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
  for (int i = 0; i < 124; ++i) {
    window.ShowLine(QStringToAnsi(QStringLiteral("%1").arg(i, 3, 10, QChar('0')) + body));
  }
  // 124 x 205 = 25420 bytes: within the cap.
  QVERIFY(window.LogLines().empty());
  QCOMPARE(MemoLines(window).size(), 124);
  window.ShowLine(QStringToAnsi(QStringLiteral("124") + body));  // 25625 > 25600
  QCOMPARE(window.LogLines().size(), size_t{1});
  QCOMPARE(AnsiToQString(window.LogLines()[0]), QStringLiteral("000") + body);
  QCOMPARE(MemoLines(window).size(), 124);
  // From now on every line pushes exactly the bottom one out.
  for (int i = 125; i < 130; ++i) {
    window.ShowLine(QStringToAnsi(QStringLiteral("%1").arg(i) + body));
    QCOMPARE(window.LogLines().size(), size_t(i - 123));
    QCOMPARE(AnsiToQString(window.LogLines().back()),
             QStringLiteral("%1").arg(i - 124, 3, 10, QChar('0')) + body);
  }
  QCOMPARE(MemoLines(window).first(), QStringLiteral("129") + body);
}

void TranscriptTest::movedLinesAndMemoLinesEndUpInOrder() {
  {
    TFormParlevo window(Options());
    const std::string filler(2000, 'a');  // 2002 bytes with CR LF: 12 fit
    for (int i = 0; i < 20; ++i) window.ShowLine(std::to_string(i) + filler);
    QCOMPARE(window.LogLines().size(), size_t{8});
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
  // to the user's data folder rather than being lost.
  const QString not_a_folder = dir_->filePath("plain-file");
  WriteAnsiLines(not_a_folder, {"x"});
  const QString fallback = QDir(TranscriptLog::UserDataFolder()).filePath("Parlevo.log");
  QFile::remove(fallback);
  {
    TFormParlevo::Options options = Options();
    options.log_folder = not_a_folder;
    TFormParlevo window(options);
    QCOMPARE(dialogs_->messages.size(), 1);  // the log could not be created
    window.ShowLine(QStringToAnsi(QStringLiteral("最後の行")));
    QVERIFY(window.close());
    QCOMPARE(window.LogPath(), fallback);
  }
  QCOMPARE(ReadAnsiLines(fallback), QStringList{QStringLiteral("最後の行")});
  QFile::remove(fallback);
}

int RunTranscriptTests(int argc, char** argv) {
  TranscriptTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "transcript_test.moc"
