// The dialogs the window asks questions with (file choice, text input,
// message boxes), as small interfaces so tests can answer them instead.
#ifndef PARLEVO_APP_GUI_DIALOG_PROVIDERS_H_
#define PARLEVO_APP_GUI_DIALOG_PROVIDERS_H_

#include <QString>
#include <optional>
#include <string_view>

class QWidget;

namespace parlevo::gui {

// Asks for one existing file; empty optional when the user cancels.
class FileOpenProvider {
 public:
  virtual ~FileOpenProvider() = default;
  virtual std::optional<QString> OpenFile(QWidget* parent, const QString& filter) = 0;
};

// Asks for one line of text; empty optional when the user cancels.
class TextInputProvider {
 public:
  virtual ~TextInputProvider() = default;
  virtual std::optional<QString> AskText(QWidget* parent, const QString& caption,
                                         const QString& prompt, const QString& text) = 0;
};

// Asks for a file to write; empty optional when the user cancels. `filter`
// is in Qt's form; the choice says which of its filters the user picked.
struct SaveChoice {
  QString path;
  QString filter;
};
class FileSaveProvider {
 public:
  virtual ~FileSaveProvider() = default;
  virtual std::optional<SaveChoice> SaveFile(QWidget* parent, const QString& caption,
                                             const QString& filter, const QString& suggested) = 0;
};

// Shows a message and returns once the user has read it; Ask offers Yes and
// No and returns true for Yes.
class MessageProvider {
 public:
  virtual ~MessageProvider() = default;
  virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
  virtual bool Ask(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The real dialogs. The file dialog starts in the folder of the last file
// chosen, so the second character is picked where the first one was.
class QtDialogProviders final : public FileOpenProvider,
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
  bool Ask(QWidget* parent, const QString& caption, const QString& text) override;

 private:
  QString last_folder_;
};

// A filter in the "description|patterns|description|patterns" form with
// ";"-separated patterns, turned into Qt's "description (p1 p2);;..." form.
QString QtFileFilter(std::string_view filter);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_DIALOG_PROVIDERS_H_
