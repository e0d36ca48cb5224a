// Shared pieces of the window tests: dialogs answered from a script, small
// characters written into a temporary folder, and access to the window.
#ifndef PARLEVO_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define PARLEVO_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <QAction>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/gui/dialog_providers.h"
#include "app/gui/form_parlevo.h"

namespace parlevo::gui::testing {

// Answers the window's questions from queues; an empty queue cancels.
class ScriptedDialogs final : public FileOpenProvider,
                              public FileSaveProvider,
                              public TextInputProvider,
                              public MessageProvider {
 public:
  std::optional<QString> OpenFile(QWidget* parent, const QString& filter) override;
  std::optional<SaveChoice> SaveFile(QWidget* parent, const QString& caption, const QString& filter,
                                     const QString& suggested) override;
  std::optional<QString> AskText(QWidget* parent, const QString& caption, const QString& prompt,
                                 const QString& text) override;
  void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override;
  // Questions count as messages too; the answer comes from `answers`
  // (No when it has run out).
  bool Ask(QWidget* parent, const QString& caption, const QString& text) override;

  std::deque<std::optional<QString>> files;
  std::deque<std::optional<QString>> texts;
  std::deque<SaveChoice> saves;  // an empty queue cancels
  std::deque<bool> answers;
  QStringList file_filters;     // the filter of every file question
  QStringList input_questions;  // "caption|prompt|text" of every text question
  QStringList messages;
  QStringList message_captions;
};

// Writes a character into `folder`: base file STEM.ltc naming `name`, an
// opening line (data01, used once) and free talk answers (datac2), all in
// code page 932. Returns the base file's path.
QString WriteCharacter(const QString& folder, const QString& stem, const QString& name,
                       const QString& opening, const QStringList& answers);

// Writes `lines` (UTF-8 here) as a code page 932 text file with CR LF.
void WriteAnsiLines(const QString& path, const QStringList& lines);
// Reads a code page 932 text file back as lines.
QStringList ReadAnsiLines(const QString& path);

// The window with dialogs from `dialogs` and its log in `log_folder`.
TFormParlevo::Options OptionsFor(ScriptedDialogs& dialogs, const QString& log_folder);

QAction* Action(const TFormParlevo& window, const char* name);
QPlainTextEdit* Memo(const TFormParlevo& window);
QStringList MemoLines(const TFormParlevo& window);  // top to bottom
QString StatusText(const TFormParlevo& window);

// The enabled state of New, End, Resume and Pause, as "1001" and so on.
QString MenuState(const TFormParlevo& window);
inline const QString kNoConversation = QStringLiteral("1000");
inline const QString kRunning = QStringLiteral("0101");
inline const QString kPaused = QStringLiteral("0110");

// Runs the event loop for `ms` so deliveries in flight arrive.
void Settle(int ms = 300);

}  // namespace parlevo::gui::testing

#endif  // PARLEVO_TESTS_GUI_GUI_TEST_SUPPORT_H_
