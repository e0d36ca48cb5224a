// The desktop program as a process: SIGINT, SIGTERM and SIGHUP close the
// window as the user would, with the log written and both state files saved,
// for characters in a folder the code page cannot spell.
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/gui/ansi_text.h"
#include "engine/character.h"
#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

constexpr int kTimeout = 30000;  // ms; machines are shared and slow at times

// The count a character keeps in slot 50, read without saving anything.
double SavedCount(const QString& base_file) {
  return parlevo::TCharacter(PathToNative(base_file), parlevo::TStateUse::kReadOnly).Count(50);
}

QStringList LogLines(const QString& log) {
  return QFile::exists(log) ? ReadAnsiLines(log) : QStringList();
}

// A program outside an installation keeps its log beside itself: a copy of
// it in `dir` keeps the log there.
QString CopyOfProgram(const QTemporaryDir& dir) {
  const QString program = dir.filePath(QStringLiteral("parlevo"));
  if (!QFile::exists(program)) QFile::copy(QStringLiteral(PARLEVO_GUI_PROGRAM), program);
  return program;
}

// Offscreen, with the settings and the user's data in `dir`.
QProcessEnvironment Environment(const QTemporaryDir& dir) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data")));
  return environment;
}

}  // namespace

class ProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void signalsCloseTheWindowWithLogAndStateSaved();
  void aSignalEndsTheProgramWhileAMessageIsShown();
};

void ProgramTest::signalsCloseTheWindowWithLogAndStateSaved() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString program = CopyOfProgram(dir);
  // The fastest speed: the signals come in the middle of a turn or a write.
  QSettings settings(dir.filePath(QStringLiteral("config/Unknown Organization/Parlevo.conf")),
                     QSettings::IniFormat);
  settings.setValue(QStringLiteral("speed/interval"), 0);
  settings.sync();
  const QString folder = dir.filePath(QStringLiteral("Téléchargements/日本語"));
  QVERIFY(QDir().mkpath(folder));
  const QString a = WriteCharacter(folder, "a", "A", "{COUNT50++}やあ", {"{COUNT50++}あ"});
  const QString b = WriteCharacter(folder, "b", "B", "{COUNT50++}おう", {"{COUNT50++}い"});
  const QString log = dir.filePath(QStringLiteral("Parlevo.log"));

  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    const double before_a = QFile::exists(log) ? SavedCount(a) : 0;
    const double before_b = QFile::exists(log) ? SavedCount(b) : 0;
    const qsizetype logged_before = LogLines(log).size();
    QProcess window;
    window.setProcessEnvironment(Environment(dir));
    window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    window.start(program, {a, b});
    QVERIFY(window.waitForStarted(kTimeout));
    QTRY_VERIFY_WITH_TIMEOUT(LogLines(log).size() >= logged_before + 4, kTimeout);
    QCOMPARE(::kill(pid_t(window.processId()), signal_number), 0);
    QVERIFY(window.waitForFinished(kTimeout));
    QCOMPARE(window.exitStatus(), QProcess::NormalExit);
    QCOMPARE(window.exitCode(), 0);

    // Every line shown is in the log; a line said as the window closed is
    // dropped (one at most), but counted in its speaker's state.
    const QStringList lines = LogLines(log).mid(logged_before);
    const double said_a = double(lines.filter(QRegularExpression("^A > ")).size());
    const double said_b = double(lines.filter(QRegularExpression("^B > ")).size());
    QCOMPARE(said_a + said_b, double(lines.size()));
    const double unshown =
        (SavedCount(a) - before_a - said_a) + (SavedCount(b) - before_b - said_b);
    QVERIFY2(unshown == 0 || unshown == 1, qPrintable(QString::number(unshown)));
  }

  // The settings of the old place moved to ~/.config/Parlevo, and what the
  // runs changed saved there as the signals closed the window.
  const QSettings moved(dir.filePath(QStringLiteral("config/Parlevo/Parlevo.conf")),
                        QSettings::NativeFormat);
  QCOMPARE(moved.value(QStringLiteral("speed/interval")).toInt(), 0);
  QCOMPARE(moved.value(QStringLiteral("recent/1/first")).toString(), a);
  QVERIFY(!moved.value(QStringLiteral("window/geometry")).toByteArray().isEmpty());

  // Three on the command line talk in the order given.
  const QString c = WriteCharacter(folder, "c", "C", "はい", {"う"});
  const qsizetype logged_before = LogLines(log).size();
  QProcess group;
  group.setProcessEnvironment(Environment(dir));
  group.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  group.start(program, {a, b, c});
  QVERIFY(group.waitForStarted(kTimeout));
  QTRY_VERIFY_WITH_TIMEOUT(LogLines(log).size() >= logged_before + 6, kTimeout);
  QCOMPARE(::kill(pid_t(group.processId()), SIGTERM), 0);
  QVERIFY(group.waitForFinished(kTimeout));
  QString speakers;
  for (const QString& line : LogLines(log).mid(logged_before, 6)) speakers += line.front();
  QCOMPARE(speakers, QStringLiteral("ABCABC"));
}

void ProgramTest::aSignalEndsTheProgramWhileAMessageIsShown() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString good = WriteCharacter(dir.path(), "good", "A", "やあ", {"あ"});
  const QString refused = dir.filePath(QStringLiteral("missing.ltc"));
  QProcess window;
  window.setProcessEnvironment(Environment(dir));
  window.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  window.start(CopyOfProgram(dir), {good, refused});
  QVERIFY(window.waitForStarted(kTimeout));
  // The first character writes its first state file, then the second one is
  // refused and a message box waits for the user.
  QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir.filePath(QStringLiteral("good.lts"))), kTimeout);
  QCOMPARE(::kill(pid_t(window.processId()), SIGTERM), 0);
  QVERIFY(window.waitForFinished(kTimeout));
  QCOMPARE(window.exitStatus(), QProcess::NormalExit);
  QCOMPARE(window.exitCode(), 0);
}

int RunProgramTests(int argc, char** argv) {
  ProgramTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "program_test.moc"
