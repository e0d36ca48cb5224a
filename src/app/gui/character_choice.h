// What the window shows of a character before it talks (its name and data
// folder, read from the base file alone), of a remembered group, and where
// the sample characters run from.
#ifndef PARLEVO_APP_GUI_CHARACTER_CHOICE_H_
#define PARLEVO_APP_GUI_CHARACTER_CHOICE_H_

#include <QString>
#include <QStringList>

#include "app/gui/window_settings.h"

namespace parlevo::gui {

// One base file as the character dialog lists it.
struct CharacterChoice {
  QString file;    // the base file, as chosen
  QString name;    // its "name" value; the file's name when it has none
  QString folder;  // its data folder; "" when the file is no base file
  QString error;   // why it is no base file; "" when it is one
};

// Reads only the base file: nothing is loaded, no state file is touched.
CharacterChoice DescribeCharacter(const QString& file);

// "花子 × ロボ × ..." from the names a group was remembered with (a file's
// name where none is known).
QString GroupCaption(const CharacterGroup& group);
// Each character's base file, one a line, for a tooltip.
QString GroupFolders(const CharacterGroup& group);

// The samples' base files in the folder they run from (copied there first
// when needed); empty with `error` set when they are missing or the copy
// fails.
QStringList SampleCharacterFiles(QString* error = nullptr);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_CHARACTER_CHOICE_H_
