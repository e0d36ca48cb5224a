// The window's settings: the speed items with their check marks, the custom
// speed dialog's accepted and refused texts, and the line pattern edit.
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "gui_test_support.h"

using namespace parlevo::gui;
using namespace parlevo::gui::testing;

namespace {

const char* const kSpeedItems[] = {"MenuSpeedSlow", "MenuSpeedNormal", "MenuSpeedFast",
                                   "MenuSpeedMostFast", "MenuSpeedOption"};

// The names of the checked speed items.
QStringList CheckedSpeeds(const TFormParlevo& window) {
  QStringList checked;
  for (const char* name : kSpeedItems) {
    if (Action(window, name)->isChecked()) checked << QString::fromLatin1(name);
  }
  return checked;
}

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void fixedSpeedsSetIntervalAndMoveTheCheck_data();
  void fixedSpeedsSetIntervalAndMoveTheCheck();
  void customSpeedAcceptsNonNegativeIntegers_data();
  void customSpeedAcceptsNonNegativeIntegers();
  void customSpeedRefusesOtherTexts_data();
  void customSpeedRefusesOtherTexts();
  void customSpeedCancelChangesNothing();
  void clearedPatternComesBack();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TFormParlevo> window_;
};

void SettingsTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  dialogs_ = std::make_unique<ScriptedDialogs>();
  window_ = std::make_unique<TFormParlevo>(OptionsFor(*dialogs_, dir_->path()));
}

void SettingsTest::cleanup() {
  window_.reset();
  dialogs_.reset();
  dir_.reset();
}

void SettingsTest::fixedSpeedsSetIntervalAndMoveTheCheck_data() {
  QTest::addColumn<QString>("item");
  QTest::addColumn<int>("interval");
  QTest::newRow("slow") << QString("MenuSpeedSlow") << 4000;
  QTest::newRow("normal") << QString("MenuSpeedNormal") << 2000;
  QTest::newRow("fast") << QString("MenuSpeedFast") << 1000;
  QTest::newRow("fastest") << QString("MenuSpeedMostFast") << 0;
}

void SettingsTest::fixedSpeedsSetIntervalAndMoveTheCheck() {
  QFETCH(QString, item);
  QFETCH(int, interval);
  QCOMPARE(window_->Interval(), 2000);
  QCOMPARE(CheckedSpeeds(*window_), QStringList{"MenuSpeedNormal"});
  // From another speed, so the item's own toggle cannot pass for the check.
  Action(*window_, item == "MenuSpeedSlow" ? "MenuSpeedFast" : "MenuSpeedSlow")->trigger();
  Action(*window_, item.toLatin1().constData())->trigger();
  QCOMPARE(window_->Interval(), interval);
  QCOMPARE(CheckedSpeeds(*window_), QStringList{item});
  // Clicking the checked item again keeps it checked.
  Action(*window_, item.toLatin1().constData())->trigger();
  QCOMPARE(CheckedSpeeds(*window_), QStringList{item});
  QVERIFY(dialogs_->input_questions.isEmpty());
}

void SettingsTest::customSpeedAcceptsNonNegativeIntegers_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("interval");
  QTest::newRow("decimal") << QString("1500") << 1500;
  QTest::newRow("zero") << QString("0") << 0;
  QTest::newRow("leading blanks") << QString("  250") << 250;
  QTest::newRow("hexadecimal") << QString("$10") << 16;
}

void SettingsTest::customSpeedAcceptsNonNegativeIntegers() {
  QFETCH(QString, text);
  QFETCH(int, interval);
  dialogs_->texts = {text};
  Action(*window_, "MenuSpeedOption")->trigger();
  QCOMPARE(dialogs_->input_questions,
           QStringList{QStringLiteral(
               "会話の速度(任意)|発言の間隔を半角数字で入力してください(1/1000秒単位)|2000")});
  QCOMPARE(window_->Interval(), interval);
  QCOMPARE(CheckedSpeeds(*window_), QStringList{"MenuSpeedOption"});
  QVERIFY(dialogs_->messages.isEmpty());

  // The dialog offers the current interval next time.
  Action(*window_, "MenuSpeedOption")->trigger();
  QCOMPARE(dialogs_->input_questions.last().section('|', 2), QString::number(interval));
}

void SettingsTest::customSpeedRefusesOtherTexts_data() {
  QTest::addColumn<QString>("text");
  QTest::newRow("negative") << QString("-1");
  QTest::newRow("letters") << QString("abc");
  QTest::newRow("full-width digits") << QString("１５００");
  QTest::newRow("empty") << QString("");
  QTest::newRow("trailing text") << QString("15 秒");
  QTest::newRow("too large") << QString("99999999999");
}

void SettingsTest::customSpeedRefusesOtherTexts() {
  QFETCH(QString, text);
  Action(*window_, "MenuSpeedFast")->trigger();
  dialogs_->texts = {text};
  Action(*window_, "MenuSpeedOption")->trigger();
  QCOMPARE(dialogs_->messages, QStringList{QStringLiteral("不正な値です")});
  QCOMPARE(window_->Interval(), 1000);
  QCOMPARE(CheckedSpeeds(*window_), QStringList{"MenuSpeedFast"});
}

void SettingsTest::customSpeedCancelChangesNothing() {
  dialogs_->texts = {std::nullopt};
  Action(*window_, "MenuSpeedOption")->trigger();
  QCOMPARE(window_->Interval(), 2000);
  QCOMPARE(CheckedSpeeds(*window_), QStringList{"MenuSpeedNormal"});
  QVERIFY(dialogs_->messages.isEmpty());
}

void SettingsTest::clearedPatternComesBack() {
  auto* edit = window_->findChild<QLineEdit*>("EditFormat");
  QCOMPARE(edit->text(), QStringLiteral("%charname > %comment"));
  edit->setText(QStringLiteral("%comment"));
  QCOMPARE(edit->text(), QStringLiteral("%comment"));
  edit->clear();
  QCOMPARE(edit->text(), QStringLiteral("%charname > %comment"));
  // Also when the user deletes the text by keyboard.
  edit->setFocus();
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  QCOMPARE(edit->text(), QStringLiteral("%charname > %comment"));
}

int RunSettingsTests(int argc, char** argv) {
  SettingsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "settings_test.moc"
