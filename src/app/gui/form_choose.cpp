// 人格を選んで会話 and the toolbar's start: the character dialog, then the
// conversation of the characters chosen there.
#include "app/gui/ansi_text.h"
#include "app/gui/character_dialog.h"
#include "app/gui/form_parlevo.h"

namespace parlevo::gui {

void TFormParlevo::ChooseCharactersClick() {
  if (HasConversation() || shut_down_) return;
  const QStringList samples = sample_files_ ? *sample_files_ : SampleCharacterFiles();
  CharacterDialog dialog(samples, remembered_.recent, files_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  std::vector<std::string> files;
  for (const QString& file : dialog.Files()) files.push_back(PathToNative(file));
  StartConversation(files);
}

}  // namespace parlevo::gui
