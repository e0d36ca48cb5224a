// The window under a real X server (run by CTest through xvfb-run): opens it
// with the sample characters, drives the menus from the keyboard (joining the
// conversation as the watcher too), and the toolbar and the character dialog
// from the keyboard and the mouse, saving screenshots to look at: the window
// (PARLEVO_SCREENSHOT, default parlevo-window.png, for the docs), the dialog,
// the newest line at the bottom and the menu; the menus as described with
// the additions after them, and Qt's own texts in Japanese.
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <memory>

#include "../gui/gui_test_support.h"
#include "app/gui/character_dialog.h"
#include "app/gui/qt_translations.h"
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

// The captions as the menu shows them, without the shortcuts after a tab.
QStringList Captions(const QWidget& menu) {
  QStringList captions;
  for (const QAction* action : menu.actions()) captions << action->text().section('\t', 0, 0);
  return captions;
}

}  // namespace

class WindowOnXTest : public QObject {
  Q_OBJECT

 private slots:
  void samplesTalkAndTheMenusAnswerTheKeyboard();
  void toolbarAndDialogAnswerTheKeyboardAndTheMouse();
  void menusAsDescribedThenTheAdditionsInJapanese();
  void qtOwnTextsAreJapanese();
};

void WindowOnXTest::samplesTalkAndTheMenusAnswerTheKeyboard() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QVERIFY(CopyFolder(QStringLiteral(PARLEVO_SOURCE_DIR "/examples"), dir.filePath("examples")));
  QSettings(dir.filePath("parlevo.ini"), QSettings::IniFormat).setValue("join/name", "見物人");
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

  // 会話 → 会話に参加: the watcher says a line from the keyboard and the next
  // speaker answers it; Escape closes the input line.
  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_J);
  auto* field = window.findChild<QLineEdit*>("JoinText");
  QTRY_VERIFY(field->hasFocus());
  QTest::keyClicks(field, "hello");  // kana would need an input method
  QTest::keyClick(field, Qt::Key_Return);
  const QString joined = QStringLiteral("見物人 > hello");
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(window).indexOf(joined) > 0, kTimeout);
  QTest::keyClick(field, Qt::Key_Escape);
  QVERIFY(!field->isVisible());

  // 会話 → 一時停止, then 表示 → 文字を大きく for a readable picture.
  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_S);
  QCOMPARE(MenuState(window), kPaused);
  PickFromMenu(window, Qt::Key_V, "MenuView", Qt::Key_I);
  // 会話 → データファイルを読み込み直す, then the newest line selected from the
  // keyboard shows where it came from.
  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_D);
  QTRY_COMPARE_WITH_TIMEOUT(StatusText(window),
                            QStringLiteral("データファイルを読み込み直しました"), kTimeout);
  QPlainTextEdit* memo = Memo(window);
  QVERIFY(memo->hasFocus());
  QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(memo, Qt::Key_End, Qt::ShiftModifier);
  QVERIFY2(StatusText(window).contains(QStringLiteral("候補")), qPrintable(StatusText(window)));
  Settle();

  QVERIFY(window.grab().save(QStringLiteral("parlevo-keyboard.png")));

  PickFromMenu(window, Qt::Key_C, "MenuConv", Qt::Key_X);  // Parlevo を終了
  QVERIFY(!window.isVisible());
  QVERIFY(QFileInfo::exists(dir.filePath("examples/hanako/data/hanako.lts")));
}

void WindowOnXTest::toolbarAndDialogAnswerTheKeyboardAndTheMouse() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QVERIFY(CopyFolder(QStringLiteral(PARLEVO_SOURCE_DIR "/examples"), dir.filePath("examples")));
  ScriptedDialogs dialogs;
  TFormParlevo::Options options = OptionsFor(dialogs, dir.path());
  const QString hanako = dir.filePath("examples/hanako/hanako.ltc");
  const QString robo = dir.filePath("examples/robo/robo.ltc");
  options.sample_files = QStringList{hanako, robo};
  TFormParlevo window(options);
  window.resize(720, 480);
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  auto* toolbar = window.findChild<QToolBar*>("ToolBar");

  // The speed box from the keyboard: 普通 → 速い → 最速.
  auto* speed = window.findChild<QComboBox*>("SpeedBox");
  speed->setFocus();
  QTest::keyClick(speed, Qt::Key_Down);
  QTest::keyClick(speed, Qt::Key_Down);
  QCOMPARE(window.Interval(), 0);

  // 開始 with the mouse; in the dialog, ロボ is added with the keyboard and
  // 花子 with the mouse, swapped so 花子 opens, and the dialog photographed.
  bool dialog_seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<CharacterDialog*>(QApplication::activeModalWidget());
    QVERIFY(dialog != nullptr);
    // A failed check here must not leave the dialog waiting for ever.
    auto close = qScopeGuard([dialog] { dialog->reject(); });
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    auto* sources = dialog->findChild<QListWidget*>("Sources");
    sources->setFocus();
    sources->setCurrentRow(1);
    QTest::keyClick(sources, Qt::Key_Return);  // adds, and starts nothing yet
    const QRect first = sources->visualItemRect(sources->item(0));
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {}, first.center());
    QTest::mouseClick(dialog->findChild<QPushButton*>("Add"), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>("Swap"), Qt::LeftButton);
    QCOMPARE(dialog->Files(), (QStringList{hanako, robo}));
    Settle();
    QVERIFY(dialog->grab().save(QStringLiteral("parlevo-dialog.png")));
    dialog_seen = true;
    close.dismiss();
    QTest::keyClick(dialog->findChild<QListWidget*>("Chosen"), Qt::Key_Return);  // 会話を始める
  });
  QTest::mouseClick(toolbar->widgetForAction(Action(window, "MenuChoose")), Qt::LeftButton);
  QVERIFY(dialog_seen);
  QVERIFY2(window.HasConversation(), qPrintable(dialogs.messages.join('\n')));
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(window).size() >= 16, kTimeout);

  // Pause with the mouse: the title says so, the button now resumes.
  QTest::mouseClick(toolbar->widgetForAction(Action(window, "ToolPause")), Qt::LeftButton);
  QCOMPARE(MenuState(window), kPaused);
  QVERIFY2(window.windowTitle().endsWith(QStringLiteral("(一時停止中)")),
           qPrintable(window.windowTitle()));
  PickFromMenu(window, Qt::Key_V, "MenuView", Qt::Key_I);
  Settle();
  const QString screenshot = qEnvironmentVariable("PARLEVO_SCREENSHOT", "parlevo-window.png");
  QVERIFY(window.grab().save(screenshot));

  // 表示 → 新しい行を下に from the keyboard: the same lines, oldest first.
  QStringList lines = MemoLines(window);
  PickFromMenu(window, Qt::Key_V, "MenuView", Qt::Key_B);
  std::reverse(lines.begin(), lines.end());
  QCOMPARE(MemoLines(window), lines);
  Settle();
  QVERIFY(window.grab().save(QStringLiteral("parlevo-bottom.png")));

  // Resume with the keyboard (Space in the transcript), then end with the mouse.
  Memo(window)->setFocus();
  QTest::keyClick(Memo(window), Qt::Key_Space);
  QCOMPARE(MenuState(window), kRunning);
  QTest::mouseClick(toolbar->widgetForAction(Action(window, "MenuConvEnd")), Qt::LeftButton);
  QVERIFY(window.windowTitle().endsWith(QStringLiteral("(終了)")));
  window.close();
}

void WindowOnXTest::menusAsDescribedThenTheAdditionsInJapanese() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  ScriptedDialogs dialogs;
  TFormParlevo window(OptionsFor(dialogs, dir.path()));
  window.show();
  window.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  const QStringList bar = Captions(*window.menuBar());
  QCOMPARE(bar.mid(0, 3), (QStringList{"会話(&C)", "速度(&S)", "ヘルプ(&H)"}));
  const QStringList conversation = Captions(*window.findChild<QMenu*>("MenuConv"));
  QCOMPARE(conversation.mid(0, 7), (QStringList{"新規会話(&N)...", "会話終了(&E)", "", "再開(&B)",
                                                "一時停止(&S)", "", "Parlevo を終了(&X)"}));
  QCOMPARE(Captions(*window.findChild<QMenu*>("MenuSpeed")),
           (QStringList{"遅い(&S)", "普通(&N)", "速い(&F)", "最速(&M)", "", "任意(&O)..."}));
  const QStringList help = Captions(*window.findChild<QMenu*>("MenuHelp"));
  QCOMPARE(help.mid(0, 3), (QStringList{"関連 Web (&W)", "", "バージョン情報(&A)..."}));
  // What is added comes after, in Japanese.
  QStringList added = bar.mid(3) + conversation.mid(7) + help.mid(3);
  added.removeAll(QString());
  QVERIFY(!added.isEmpty());
  for (const QString& caption : added) {
    QVERIFY2(
        std::any_of(caption.begin(), caption.end(), [](QChar c) { return c.unicode() > 0x3000; }),
        qPrintable(caption));
  }
  // No two items of one menu share an access key.
  QList<const QWidget*> menus{window.menuBar()};
  for (const QMenu* menu : window.findChildren<QMenu*>()) menus << menu;
  for (const QWidget* menu : menus) {
    QStringList keys;
    for (const QString& caption : Captions(*menu)) {
      const qsizetype amp = caption.indexOf('&');
      if (amp >= 0 && amp + 1 < caption.size()) keys << caption.mid(amp + 1, 1).toUpper();
    }
    QVERIFY2(keys.removeDuplicates() == 0, qPrintable(Captions(*menu).join('|')));
  }
  // The 会話 menu open, for a look at it (parlevo-menu.png beside the screenshot).
  QTest::keyClick(&window, Qt::Key_C, Qt::AltModifier);
  auto* menu = window.findChild<QMenu*>("MenuConv");
  QVERIFY(QTest::qWaitForWindowExposed(menu));
  Settle();
  QVERIFY(window.screen()->grabWindow(0).save(QStringLiteral("parlevo-menu.png")));
  QTest::keyClick(menu, Qt::Key_Escape);
}

void WindowOnXTest::qtOwnTextsAreJapanese() {
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  QStringList captions;
  for (const QPushButton* button : files.findChildren<QPushButton*>()) captions << button->text();
  QVERIFY2(captions.contains(QStringLiteral("開く(&O)")), qPrintable(captions.join('|')));
  QPlainTextEdit text(QStringLiteral("花子 > こんにちは"));
  std::unique_ptr<QMenu> edit(text.createStandardContextMenu());
  QVERIFY2(Captions(*edit).join('|').contains(QStringLiteral("コピー(&C)")),
           qPrintable(Captions(*edit).join('|')));
}

int main(int argc, char** argv) {
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parlevo-x11-test"));
  // As the program does.
  if (!InstallQtJapanese(app)) return 1;
  StateSaveReports::Install();
  WindowOnXTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "window_on_x_test.moc"
