// The window as a watcher uses it: the toolbar and the state it shows, the
// character dialog for pairs and groups, the transcript's colours, order and
// rules, the notices at start, and settings kept in their place.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>

#include "app/gui/ansi_text.h"
#include "app/gui/character_dialog.h"
#include "app/gui/elided_label.h"
#include "app/gui/speaker_colours.h"
#include "app/gui/transcript_memo.h"
#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

constexpr int kTimeout = 20000;  // ms; machines are shared and slow at times

TranscriptMemo* MemoOf(const TFormParlevo& window) {
  return window.findChild<TranscriptMemo*>(QStringLiteral("Memo"));
}

template <typename Widget>
Widget* Child(const QObject& parent, const char* name) {
  return parent.findChild<Widget*>(QString::fromLatin1(name));
}

// Runs `act` on the character dialog once it is open, from the event loop.
void WhenDialogOpens(std::function<void(CharacterDialog&)> act) {
  QTimer::singleShot(0, [act] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* dialog = qobject_cast<CharacterDialog*>(widget); dialog && dialog->isVisible()) {
        act(*dialog);
        return;
      }
    }
  });
}

}  // namespace

class WatcherWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void toolbarDrivesTheConversationAndShowsTheSpeed();
  void dialogChoosesAGroupInOrderAndRefusesWhatCannotTalk();
  void aGroupTalksInTurnInColoursAndIsRemembered();
  void newestAtBottomWrapsAndRulesStayOutOfTheLog();
  void speakerColoursAreReadableOnLightAndDark();
  void memoMatchesASimpleModelUnderRandomEdits();
  void noticesAtStartAndFailuresKeepTheirStatus();
  void settingsMoveOnceAndAreSavedWhenChanged();

 private:
  std::unique_ptr<TFormParlevo> NewWindow() {
    TFormParlevo::Options options = OptionsFor(*dialogs_, dir_->path());
    options.sample_files = QStringList{ann_, bob_};
    options.open_url = [](const QUrl&) { return false; };
    auto window = std::make_unique<TFormParlevo>(options);
    window->resize(600, 400);
    window->show();
    return window;
  }
  QString Path(const QString& name) const { return dir_->filePath(name); }

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  QString ann_, bob_, kiku_;
};

void WatcherWindowTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  dialogs_ = std::make_unique<ScriptedDialogs>();
  // Each answers with whom it answers ({NICKNAME}: the partner's name).
  ann_ = WriteCharacter(dir_->path(), "ann", "アン", "やあ", {"アン:{NICKNAME}"});
  bob_ = WriteCharacter(dir_->path(), "bob", "ボブ", "おう", {"ボブ:{NICKNAME}"});
  kiku_ = WriteCharacter(dir_->path(), "kiku", "キク", "はい", {"キク:{NICKNAME}"});
}

void WatcherWindowTest::cleanup() {
  dialogs_.reset();
  dir_.reset();
}

void WatcherWindowTest::toolbarDrivesTheConversationAndShowsTheSpeed() {
  auto window = NewWindow();
  auto* speed = Child<QComboBox>(*window, "SpeedBox");
  auto* interval = Child<QLabel>(*window, "SpeedLabel");
  QCOMPARE(speed->currentText(), QStringLiteral("普通"));
  QCOMPARE(interval->text(), QStringLiteral("間隔 2.0 秒"));
  // The box sets what the menu sets, and the menu moves the box.
  speed->activated(2);
  QCOMPARE(window->Interval(), 1000);
  QVERIFY(Action(*window, "MenuSpeedFast")->isChecked());
  Action(*window, "MenuSpeedSlow")->trigger();
  QCOMPARE(speed->currentText(), QStringLiteral("遅い"));
  // The custom speed asks, and shows the value; cancelled, the box goes back.
  dialogs_->texts = {QStringLiteral("1250"), std::nullopt};
  speed->activated(4);
  QCOMPARE(window->Interval(), 1250);
  QCOMPARE(interval->text(), QStringLiteral("間隔 1.250 秒"));
  speed->activated(4);
  QCOMPARE(window->Interval(), 1250);
  QCOMPARE(speed->currentIndex(), 4);
  // Both pause keys are shown beside the menu item.
  QVERIFY2(Action(*window, "MenuConvStop")->text().endsWith(QStringLiteral("\tCtrl+P, Space")),
           qPrintable(Action(*window, "MenuConvStop")->text()));

  Action(*window, "MenuSpeedMostFast")->trigger();
  QAction* pause = Action(*window, "ToolPause");
  QVERIFY(!pause->isEnabled());
  QVERIFY(window->StartConversation(ann_.toStdString(), bob_.toStdString()));
  QCOMPARE(pause->text(), QStringLiteral("一時停止"));
  pause->trigger();
  QCOMPARE(MenuState(*window), kPaused);
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - アン × ボブ (一時停止中)"));
  pause->trigger();
  QCOMPARE(MenuState(*window), kRunning);
  QVERIFY(!Action(*window, "MenuChoose")->isEnabled());

  // A narrow window cuts the status texts with "…" and keeps them whole.
  // Paused, so that no line of the conversation changes the status meanwhile;
  // the layout settles in its own time on a busy machine, so wait for it.
  pause->trigger();
  QCOMPARE(MenuState(*window), kPaused);
  window->resize(300, 300);
  const QString long_text = QStringLiteral("とても長い知らせ").repeated(8);
  window->SetStatus(long_text);
  auto* status = Child<ElidedLabel>(*window, "StatusPanel");
  QTRY_VERIFY(status->width() < status->fontMetrics().horizontalAdvance(long_text));
  QTRY_VERIFY(status->Elided());
  for (const char* name : {"StatusPanel", "ConversationPanel"}) {
    auto* panel = Child<ElidedLabel>(*window, name);
    QVERIFY(panel->width() < panel->fontMetrics().horizontalAdvance(long_text));
    QVERIFY2(!panel->Elided() || panel->ShownText().endsWith(QChar(0x2026)),
             qPrintable(panel->ShownText()));
  }
  QCOMPARE(StatusText(*window), long_text);
  QVERIFY(Child<ElidedLabel>(*window, "ConversationPanel")
              ->text()
              .contains(QStringLiteral("アン × ボブ")));
}

void WatcherWindowTest::dialogChoosesAGroupInOrderAndRefusesWhatCannotTalk() {
  const QString plain = Path("notes.txt");
  WriteAnsiLines(plain, {"just a note"});
  const CharacterGroup recent{{bob_, kiku_, ann_}, {"ボブ", "キク", "アン"}};
  CharacterDialog dialog({ann_, bob_}, {recent}, dialogs_.get());
  auto* chosen = Child<QListWidget>(dialog, "Chosen");
  auto* sources = Child<QListWidget>(dialog, "Sources");
  auto* groups = Child<QListWidget>(dialog, "RecentGroups");
  auto* ok = Child<QDialogButtonBox>(dialog, "")->button(QDialogButtonBox::Ok);
  // The samples and the recent group's characters, each once, by name and folder.
  QCOMPARE(sources->count(), 3);
  QCOMPARE(sources->item(0)->text(),
           QStringLiteral("アン\n") + QDir::toNativeSeparators(dir_->path()) + '/');
  QCOMPARE(groups->item(0)->text(), QStringLiteral("ボブ × キク × アン"));
  QVERIFY(groups->item(0)->toolTip().contains(QDir::toNativeSeparators(kiku_)));
  QVERIFY(!ok->isEnabled());

  // Added from the list with the mouse, and from a file.
  sources->setCurrentRow(1);
  QTest::mouseClick(Child<QPushButton>(dialog, "Add"), Qt::LeftButton);
  QVERIFY(!ok->isEnabled());
  dialogs_->files = {plain, kiku_};
  QTest::mouseClick(Child<QPushButton>(dialog, "AddFromFile"), Qt::LeftButton);
  QVERIFY2(dialog.Notice().contains(plain), qPrintable(dialog.Notice()));
  QTest::mouseClick(Child<QPushButton>(dialog, "AddFromFile"), Qt::LeftButton);
  QCOMPARE(dialog.Files(), (QStringList{bob_, kiku_}));
  QVERIFY(ok->isEnabled());
  QVERIFY(!dialog.AddFile(bob_));  // once only
  QVERIFY(dialog.Notice().contains(QStringLiteral("ボブ")));

  // Swapped, then the first moved down: the order given is the talk order.
  QTest::mouseClick(Child<QPushButton>(dialog, "Swap"), Qt::LeftButton);
  QCOMPARE(dialog.Files(), (QStringList{kiku_, bob_}));
  QVERIFY(dialog.AddFile(ann_));
  chosen->setCurrentRow(0);
  QTest::mouseClick(Child<QPushButton>(dialog, "MoveDown"), Qt::LeftButton);
  QCOMPARE(dialog.Files(), (QStringList{bob_, kiku_, ann_}));
  QTest::mouseClick(Child<QPushButton>(dialog, "Remove"), Qt::LeftButton);
  QCOMPARE(dialog.Files(), (QStringList{bob_, ann_}));

  // A recent group replaces the choice; at most eight are taken.
  emit groups->itemActivated(groups->item(0));
  QCOMPARE(dialog.Files(), recent.files);
  QStringList more;
  for (int i = 0; i < 6; ++i) {
    more << WriteCharacter(dir_->path(), QStringLiteral("c%1").arg(i),
                           QStringLiteral("人%1").arg(i), "x", {"y"});
  }
  for (int i = 0; i < 5; ++i) QVERIFY(dialog.AddFile(more[i]));
  QVERIFY(!dialog.AddFile(more[5]));
  QVERIFY(dialog.Notice().contains(QStringLiteral("8 人まで")));
  QCOMPARE(dialog.Files().size(), 8);
}

void WatcherWindowTest::aGroupTalksInTurnInColoursAndIsRemembered() {
  auto window = NewWindow();
  Action(*window, "MenuSpeedMostFast")->trigger();
  WhenDialogOpens([this](CharacterDialog& dialog) {
    for (const QString& file : {ann_, bob_, kiku_}) dialog.AddFile(file);
    dialog.accept();
  });
  Action(*window, "MenuChoose")->trigger();
  QVERIFY2(window->HasConversation(), qPrintable(dialogs_->messages.join('\n')));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 7, kTimeout);
  Action(*window, "MenuConvEnd")->trigger();
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - アン × ボブ × キク (終了)"));

  // In the order given, each answering the one before, each in its colour.
  QStringList lines = MemoLines(*window);
  std::reverse(lines.begin(), lines.end());
  QCOMPARE(lines.mid(0, 7),
           (QStringList{"アン > やあ", "ボブ > おう", "キク > はい", "アン > アン:キク",
                        "ボブ > ボブ:アン", "キク > キク:ボブ", "アン > アン:キク"}));
  TranscriptMemo* memo = MemoOf(*window);
  const int oldest = memo->LineCount() - 1;
  QList<QColor> colours;
  for (int i = 0; i < 3; ++i) colours << memo->ColourOf(oldest - i);
  QVERIFY(colours[0] != colours[1] && colours[1] != colours[2] && colours[0] != colours[2]);
  QCOMPARE(memo->ColourOf(oldest - 3), colours[0]);

  // The group heads the recent ones, by name, and is kept for the next run.
  window.reset();
  window = NewWindow();
  auto* recent = window->findChild<QMenu*>("MenuRecent");
  QCOMPARE(recent->actions().value(0)->text(), QStringLiteral("&1 アン × ボブ × キク"));
  recent->actions()[0]->trigger();
  QVERIFY(window->HasConversation());
  QCOMPARE(window->windowTitle(), QStringLiteral("Parlevo - アン × ボブ × キク (会話中)"));
}

void WatcherWindowTest::newestAtBottomWrapsAndRulesStayOutOfTheLog() {
  auto window = NewWindow();
  TranscriptMemo* memo = MemoOf(*window);
  // Newest on top, a reader scrolled away keeps the line in view when a
  // long line, wrapped over many rows, comes on top.
  for (int i = 0; i < 60; ++i) window->ShowLine("top " + std::to_string(i));
  memo->verticalScrollBar()->setValue(20);
  const auto line_in_view = [memo] { return memo->cursorForPosition(QPoint(4, 4)).block().text(); };
  const QString in_view = line_in_view();
  window->ShowLine(std::string(3000, 'x'));
  QCOMPARE(line_in_view(), in_view);
  memo->clear();
  for (int i = 0; i < 3; ++i) window->ShowLine("old " + std::to_string(i));
  Action(*window, "MenuSpeedMostFast")->trigger();
  QVERIFY(window->StartConversation(ann_.toStdString(), bob_.toStdString()));
  QTRY_VERIFY_WITH_TIMEOUT(MemoLines(*window).size() >= 5, kTimeout);
  Action(*window, "MenuConvEnd")->trigger();
  Settle();
  // The rule is in the view only: between the runs, dated, in no line.
  QVERIFY(memo->toPlainText().contains(QStringLiteral("──── ")));
  const QStringList newest_on_top = MemoLines(*window);
  QCOMPARE(newest_on_top.last(), QStringLiteral("old 0"));
  QVERIFY(!newest_on_top.join('\n').contains(QStringLiteral("────")));

  Action(*window, "MenuNewestAtBottom")->trigger();
  QStringList reversed = newest_on_top;
  std::reverse(reversed.begin(), reversed.end());
  QCOMPARE(MemoLines(*window), reversed);
  QCOMPARE(memo->verticalScrollBar()->value(), memo->verticalScrollBar()->maximum());
  // A long line wraps instead of scrolling sideways.
  window->ShowLine(std::string(2000, 'w') + " end");
  QCOMPARE(MemoLines(*window).last(), QString(2000, 'w') + " end");
  QCOMPARE(memo->horizontalScrollBar()->maximum(), 0);
  // Scrolled away, new lines leave the view where it is; the key brings it back.
  for (int i = 0; i < 60; ++i) window->ShowLine("more " + std::to_string(i));
  memo->verticalScrollBar()->setValue(0);
  window->ShowLine("unseen");
  QCOMPARE(memo->verticalScrollBar()->value(), 0);
  QVERIFY(memo->NewLinesUnseen());
  memo->setFocus();
  QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
  QVERIFY(!memo->NewLinesUnseen());

  // The log and a saved copy never see the rule or the order.
  window->FlushLog();
  const QStringList logged = ReadAnsiLines(window->LogPath()).mid(61);  // after the cleared ones
  QCOMPARE(logged, MemoLines(*window));
  dialogs_->saves = {SaveChoice{Path("copy.txt"), QStringLiteral("UTF-8 テキスト (*.txt)")}};
  window->findChild<QAction*>("MenuSaveAs")->trigger();
  QFile copy(Path("copy.txt"));
  QVERIFY(copy.open(QIODevice::ReadOnly));
  QCOMPARE(QString::fromUtf8(copy.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
           logged);
  // The order is kept for the next run.
  window.reset();
  window = NewWindow();
  QVERIFY(Action(*window, "MenuNewestAtBottom")->isChecked());
}

void WatcherWindowTest::speakerColoursAreReadableOnLightAndDark() {
  const QList<QColor> light = {Qt::white, QColor(0xF0F0F0), QColor(0xFAF8F0)};
  const QList<QColor> dark = {Qt::black, QColor(0x1E1E1E), QColor(0x2D2D30), QColor(0x31363B)};
  for (const QList<QColor>& backgrounds : {light, dark}) {
    for (const QColor& background : backgrounds) {
      QList<QColor> seen;
      for (int speaker = 0; speaker < kSpeakerColours; ++speaker) {
        const QColor colour = SpeakerColour(speaker, background);
        QVERIFY2(ContrastRatio(colour, background) >= 4.5,
                 qPrintable(QStringLiteral("%1 on %2").arg(colour.name(), background.name())));
        QVERIFY(!seen.contains(colour));
        seen << colour;
      }
      QCOMPARE(SpeakerColour(kSpeakerColours, background), seen[0]);
    }
  }
  QVERIFY(!SpeakerColour(-1, Qt::white).isValid());  // the watcher: the text colour
}

// Differential: lines added, rules, the oldest taken and the order switched
// at random, against a list of (text, speaker, source line); after every step
// the memo shows the same lines with the same sources, colours and size.
void WatcherWindowTest::memoMatchesASimpleModelUnderRandomEdits() {
  struct Line {
    QString text;
    int speaker;
    int source;  // the source's line number; 0: none
  };
  TranscriptMemo memo;
  memo.resize(400, 300);
  QList<Line> model;  // oldest first
  QRandomGenerator random(20261207);
  const QColor base = memo.palette().color(QPalette::Base);
  for (int step = 0; step < 1200; ++step) {
    const int choice = int(random.bounded(100));
    if (choice < 60) {
      const Line line{QStringLiteral("行%1 ").arg(step).repeated(int(random.bounded(1, 40))),
                      int(random.bounded(-1, 8)), random.bounded(2) ? step + 1 : 0};
      LineProvenance source;
      if (line.source != 0) {
        source = parlevo::TTurnSource{};
        source->Line = line.source;
      }
      memo.AddLine(line.text, line.source != 0 ? &source : nullptr, line.speaker);
      model << line;
    } else if (choice < 85) {
      QCOMPARE(memo.TakeOldestLine(), model.isEmpty() ? QString() : model.takeFirst().text);
    } else if (choice < 95) {
      memo.StartConversation(QDateTime::currentDateTime());
    } else {
      memo.SetNewestAtBottom(!memo.NewestAtBottom());
    }
    QList<Line> shown = model;
    if (!memo.NewestAtBottom()) std::reverse(shown.begin(), shown.end());
    QCOMPARE(memo.LineCount(), int(shown.size()));
    const QStringList lines = memo.Lines();
    size_t bytes = 0;
    for (int i = 0; i < shown.size(); ++i) {
      QCOMPARE(lines[i], shown[i].text);
      bytes += QStringToAnsi(shown[i].text).size() + 2;
      if (step % 16 != 0) continue;  // each line's record is looked up from the top
      const LineProvenance* source = memo.SourceOf(i);
      QCOMPARE(source != nullptr ? (*source)->Line : 0, shown[i].source);
      QCOMPARE(memo.ColourOf(i), SpeakerColour(shown[i].speaker, base));
    }
    QCOMPARE(memo.AnsiSize(), bytes);
  }
}

void WatcherWindowTest::noticesAtStartAndFailuresKeepTheirStatus() {
  // A data file that is a folder and one that is missing are named at start.
  const QString odd = Path("odd.ltc");
  WriteAnsiLines(Path("odd_open.txt"), {"TRUE,ふむ"});
  QVERIFY(QDir().mkpath(Path("folder.txt")));
  WriteAnsiLines(odd, {"name", "ヘン", "version", "210", "folder", "", "data01", "odd_open.txt",
                       "dataa1", "folder.txt", "datab1", "gone.txt"});
  auto window = NewWindow();
  QVERIFY(window->StartConversation(odd.toStdString(), ann_.toStdString()));
  QCOMPARE(dialogs_->messages.size(), 1);
  const QString notice = dialogs_->messages[0];
  QVERIFY2(notice.contains(QStringLiteral("dataa1")) &&
               notice.contains(QStringLiteral("フォルダ")) &&
               notice.contains(QStringLiteral("datab1")) &&
               notice.contains(QStringLiteral("見つかりません")),
           qPrintable(notice));
  // The status keeps the notice through pause, resume and the end.
  const QString status = StatusText(*window);
  QVERIFY2(status.contains(QStringLiteral("2 件")), qPrintable(status));
  Action(*window, "MenuConvStop")->trigger();
  Action(*window, "MenuConvBegin")->trigger();
  Action(*window, "MenuConvEnd")->trigger();
  QCOMPARE(StatusText(*window), status);

  // A read-only data folder (not for root, who may write anywhere).
  if (::geteuid() != 0) {
    QDir().mkpath(Path("locked"));
    const QString locked = WriteCharacter(Path("locked"), "lock", "カギ", "ん", {"ん"});
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner);
    dialogs_->messages.clear();
    QVERIFY(window->StartConversation(locked.toStdString(), ann_.toStdString()));
    Action(*window, "MenuConvEnd")->trigger();
    QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(
        !dialogs_->messages.isEmpty() && dialogs_->messages[0].contains(QStringLiteral("カギ")),
        qPrintable(dialogs_->messages.join('\n')));
  }
  // Opening a data file that is gone says why.
  dialogs_->messages.clear();
  QMetaObject::invokeMethod(MemoOf(*window), "openFileRequested", Q_ARG(QString, Path("gone.txt")));
  QVERIFY2(dialogs_->messages.value(0).contains(QStringLiteral("ファイルがありません")),
           qPrintable(dialogs_->messages.join('\n')));
}

void WatcherWindowTest::settingsMoveOnceAndAreSavedWhenChanged() {
  // Settings of the old place come over once, into empty settings only.
  const QString old_file = Path("old/Parlevo.conf");
  QDir().mkpath(Path("old"));
  QSettings(old_file, QSettings::NativeFormat).setValue("speed/interval", 4000);
  QSettings moved(Path("new.conf"), QSettings::NativeFormat);
  QVERIFY(MoveOldSettings(moved, old_file));
  QCOMPARE(moved.value("speed/interval").toInt(), 4000);
  moved.setValue("speed/interval", 1000);
  QVERIFY(!MoveOldSettings(moved, old_file));
  QCOMPARE(moved.value("speed/interval").toInt(), 1000);
  QSettings empty(Path("empty.conf"), QSettings::NativeFormat);
  QVERIFY(!MoveOldSettings(empty, Path("missing.conf")));

  // A change is in the file while the window is open.
  auto window = NewWindow();
  const QSettings written(Path("parlevo.ini"), QSettings::IniFormat);
  Action(*window, "MenuSpeedFast")->trigger();
  Action(*window, "MenuZoomIn")->trigger();
  QSettings now(Path("parlevo.ini"), QSettings::IniFormat);
  QCOMPARE(now.value("speed/interval").toInt(), 1000);
  QCOMPARE(now.value("transcript/zoom").toInt(), 1);
}

int RunWatcherWindowTests(int argc, char** argv) {
  WatcherWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "watcher_window_test.moc"
