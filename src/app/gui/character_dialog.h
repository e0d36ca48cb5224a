// The dialog that chooses who talks: two to eight characters, each shown by
// name with its folder beneath, taken from the samples, the characters used
// recently or a file, put in talk order; or a recent pair or group at once.
#ifndef PARLEVO_APP_GUI_CHARACTER_DIALOG_H_
#define PARLEVO_APP_GUI_CHARACTER_DIALOG_H_

#include <QDialog>
#include <QList>
#include <QStringList>

#include "app/gui/character_choice.h"
#include "app/gui/window_settings.h"

class QDialogButtonBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace parlevo::gui {

class FileOpenProvider;

class CharacterDialog final : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kMinCharacters = 2;
  static constexpr int kMaxCharacters = 8;

  // `samples`: the sample characters' base files; `recent`: the recent
  // groups, newest first; `files` answers "ファイルから" and must outlive
  // the dialog.
  CharacterDialog(const QStringList& samples, const QList<CharacterGroup>& recent,
                  FileOpenProvider* files, QWidget* parent = nullptr);

  // The chosen base files in talk order (the first opens).
  QStringList Files() const;
  // Adds a base file at the end of the chosen ones; false (with the reason
  // shown in the dialog) when it is no base file, is chosen already, or
  // eight are chosen.
  bool AddFile(const QString& file);
  // Puts the chosen ones of a recent group in its order.
  void ChooseGroup(const CharacterGroup& group);
  // What the dialog says about the last refused file; "" when none.
  QString Notice() const;

 protected:
  // Enter on a list takes its item (adds the character, or chooses the
  // group) and goes no further: it never also starts the conversation.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* createChosenColumn();
  QWidget* createSourceColumn(const QStringList& samples, const QList<CharacterGroup>& recent);
  void AddSource(const QString& file);
  void AddFromFile();
  void AddSelectedSource();
  // Moves the selected chosen character by `step` places (-1 up, +1 down).
  void MoveSelected(int step);
  // Swaps the selected character with the next one (the last with the one
  // before it): with two, the other speaks first.
  void Swap();
  void RemoveSelected();
  void Refresh();

  FileOpenProvider* files_;
  QListWidget* chosen_ = nullptr;
  QListWidget* sources_ = nullptr;
  QListWidget* groups_ = nullptr;
  QLabel* notice_ = nullptr;
  QPushButton* add_ = nullptr;
  QPushButton* swap_ = nullptr;
  QPushButton* up_ = nullptr;
  QPushButton* down_ = nullptr;
  QPushButton* remove_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_CHARACTER_DIALOG_H_
