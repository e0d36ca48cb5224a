// The window's texts for failures the engine reports in English: a refused
// character (which file and why, in Japanese) and engine messages as QString.
#ifndef PARLEVO_APP_GUI_REFUSAL_MESSAGE_H_
#define PARLEVO_APP_GUI_REFUSAL_MESSAGE_H_

#include <QString>
#include <string_view>

namespace parlevo::gui {

struct CharacterRefusal;

// An engine message as text to show: UTF-8 when it is valid UTF-8 (system
// paths and reasons), otherwise ANSI text of the process code page.
QString EngineMessageText(std::string_view message);

// Why the engine refused a character or its data, in Japanese
// ("ファイルを読み込めません" for a reason it does not know).
QString ReasonText(std::string_view engine_message);

// "不正な人格です" followed by which file (1人目, 2人目, ... and its path) and the
// reason in Japanese, then the engine's own message.
QString RefusalMessage(const CharacterRefusal& refusal, const QString& path);

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_REFUSAL_MESSAGE_H_
