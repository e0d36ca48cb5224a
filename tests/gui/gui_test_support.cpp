// Scripted dialogs, test characters and window access for the window tests.
#include "gui_test_support.h"

#include <QDir>
#include <QLabel>
#include <QTest>

#include "app/gui/ansi_text.h"
#include "app/gui/transcript_memo.h"
#include "platform/textfile.h"

namespace parlevo::gui::testing {
namespace {

// The next scripted answer; a cancelled dialog when the script has run out.
std::optional<QString> TakeFront(std::deque<std::optional<QString>>& answers) {
  if (answers.empty() || !answers.front().has_value()) {
    if (!answers.empty()) answers.pop_front();
    return std::nullopt;
  }
  QString answer = *answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

std::optional<QString> ScriptedDialogs::OpenFile(QWidget*, const QString& filter) {
  file_filters << filter;
  return TakeFront(files);
}

std::optional<SaveChoice> ScriptedDialogs::SaveFile(QWidget*, const QString&, const QString&,
                                                    const QString&) {
  if (saves.empty()) return std::nullopt;
  const SaveChoice choice = saves.front();
  saves.pop_front();
  return choice;
}

bool ScriptedDialogs::Ask(QWidget*, const QString& caption, const QString& text) {
  message_captions << caption;
  messages << text;
  if (answers.empty()) return false;
  const bool answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<QString> ScriptedDialogs::AskText(QWidget*, const QString& caption,
                                                const QString& prompt, const QString& text) {
  input_questions << caption + '|' + prompt + '|' + text;
  return TakeFront(texts);
}

void ScriptedDialogs::ShowMessage(QWidget*, const QString& caption, const QString& text) {
  message_captions << caption;
  messages << text;
}

void WriteAnsiLines(const QString& path, const QStringList& lines) {
  std::vector<std::string> ansi;
  for (const QString& line : lines) ansi.push_back(QStringToAnsi(line));
  platform::WriteTextLinesAtomic(PathToNative(path), ansi);
}

QStringList ReadAnsiLines(const QString& path) {
  QStringList lines;
  for (const std::string& line : platform::ReadTextLines(PathToNative(path))) {
    lines << AnsiToQString(line);
  }
  return lines;
}

QString WriteCharacter(const QString& folder, const QString& stem, const QString& name,
                       const QString& opening, const QStringList& answers) {
  const QDir dir(folder);
  const QString base = dir.filePath(stem + QStringLiteral(".ltc"));
  WriteAnsiLines(base, {"name", name, "version", "210", "folder", "", "data01", stem + "_open.txt",
                        "datac2", stem + "_free.txt"});
  WriteAnsiLines(dir.filePath(stem + "_open.txt"), {"TRUE," + opening});
  WriteAnsiLines(dir.filePath(stem + "_free.txt"), answers);
  return base;
}

TFormParlevo::Options OptionsFor(ScriptedDialogs& dialogs, const QString& log_folder) {
  TFormParlevo::Options options;
  options.log_folder = log_folder;
  options.settings_file = QDir(log_folder).filePath(QStringLiteral("parlevo.ini"));
  options.files = &dialogs;
  options.saves = &dialogs;
  options.input = &dialogs;
  options.messages = &dialogs;
  return options;
}

QAction* Action(const TFormParlevo& window, const char* name) {
  return window.findChild<QAction*>(QString::fromLatin1(name));
}

QPlainTextEdit* Memo(const TFormParlevo& window) {
  return window.findChild<QPlainTextEdit*>(QStringLiteral("Memo"));
}

QStringList MemoLines(const TFormParlevo& window) {
  return window.findChild<TranscriptMemo*>(QStringLiteral("Memo"))->Lines();
}

QString StatusText(const TFormParlevo& window) {
  return window.findChild<QLabel*>(QStringLiteral("StatusPanel"))->text();
}

QString MenuState(const TFormParlevo& window) {
  QString state;
  for (const char* name : {"MenuConvNew", "MenuConvEnd", "MenuConvBegin", "MenuConvStop"}) {
    state += Action(window, name)->isEnabled() ? '1' : '0';
  }
  return state;
}

void Settle(int ms) { QTest::qWait(ms); }

}  // namespace parlevo::gui::testing
