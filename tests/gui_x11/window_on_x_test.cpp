// The window under a real X server (run by CTest through xvfb-run): opens it
// with the sample characters, drives the menus from the keyboard, and saves a
// screenshot (PARLEVO_SCREENSHOT, default parlevo-window.png) for the docs.
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "../gui/gui_test_support.h"
#include "app/gui/state_save_reports.h"
#include "platform/codepage.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

constexpr int kTimeout = 30000;  // ms; machines are shared and slow at times

// Copies the samples, so their state files stay out of the source tree.
bool CopyFolder(const QString& from, const QString& to) {
  QDir source(from);
  if (!QDir().mkpath(to)) return false;
  for (const QFileInfo& entry : source.entryInfoList(QDir::NoDotAndDotDot | QDir::AllEntries)) {
    const QString target = QDir(to).filePath(entry.fileName());
    if (entry.isDir() ? !CopyFolder(entry.filePath(), target)
                      : !QFile::copy(entry.filePath(), target)) {
      return false;
    }
  }
  return true;
}

// Opens a menu of the menu bar by its access key and picks an item by its own.
void PickFromMenu(TFormParlevo& window, Qt::Key menu_key, const char* menu_name, Qt::Key item_key) {
  QTest::keyClick(&window, menu_key, Qt::AltModifier);
  auto* menu = window.findChild<QMenu*>(QString::fromLatin1(menu_name));
  QVERIFY(QTest::qWaitForWindowExposed(menu));
  QTest::keyClick(menu, item_key);
}

}  // namespace

class WindowOnXTest : public QObject {
  Q_OBJECT

 private slots:
  void samplesTalkAndTheMenusAnswerTheKeyboard();
};

void WindowOnXTest::samplesTalkAndTheMenusAnswerTheKeyboard() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QVERIFY(CopyFolder(QStringLiteral(PARLEVO_SOURCE_DIR "/examples"), dir.filePath("examples")));
  ScriptedDialogs dialogs;
  TFormParlevo window(OptionsFor(dialogs, dir.path()));
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));

  // 速度 → 最速, then 会話 → 新規会話 with the two samples.
  PickFromMenu(window, Qt::Key_S, "MenuSpeed", Qt::Key_M);
  QCOMPARE(window.Interval(), 0);
  dialogs.files = {dir.filePath("examples/hanako/hanako.ltc"),
                   dir.filePath("examples/robo/robo.ltc")};
  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_N);
  QVERIFY2(window.HasConversation(), qPrintable(dialogs.messages.join('\n')));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(window).size() >= 12, kTimeout);

  // 会話 → 一時停止, then 表示 → 文字を大きく for a readable picture.
  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_S);
  QCOMPARE(MenuState(window), kPaused);
  PickFromMenu(window, Qt::Key_V, "MenuView", Qt::Key_I);
  Settle();

  const QString screenshot = qEnvironmentVariable("PARLEVO_SCREENSHOT", "parlevo-window.png");
  QVERIFY(window.grab().save(screenshot));

  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_X);  // Parlevo を終了
  QVERIFY(!window.isVisible());
  QVERIFY(QFileInfo::exists(dir.filePath("examples/hanako/data/hanako.lts")));
}

int main(int argc, char** argv) {
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parlevo-x11-test"));
  StateSaveReports::Install();
  WindowOnXTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_on_x_test.moc"
