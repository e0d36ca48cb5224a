// The desktop program: sets the process code page, opens the main window and,
// given two base files on the command line, starts their conversation.
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cstdio>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/termination_signals.h"
#include "app/gui/ui_font.h"
#include "engine/character.h"
#include "platform/codepage.h"

namespace {

void ReportSaveError(const std::string& message) {
  std::fprintf(stderr, "parlevo: %s\n", message.c_str());
}

}  // namespace

int main(int argc, char* argv[]) {
  // Before anything reads or writes ANSI text, and before any thread runs.
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  parlevo::TCharacter::SaveErrorHandler = &ReportSaveError;

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parlevo"));
  QApplication::setFont(parlevo::gui::JapaneseUiFont());

  // Qt's own dialogs (file dialog, buttons) in Japanese where the
  // translations are installed.
  QTranslator qt_japanese;
  if (qt_japanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_japanese);
  }

  parlevo::gui::TFormParlevo window;
  window.show();
  parlevo::gui::CloseOnTerminationSignals(&window);

  const QStringList arguments = QApplication::arguments();
  if (arguments.size() == 3) {
    window.StartConversation(parlevo::gui::PathToAnsi(arguments[1]),
                             parlevo::gui::PathToAnsi(arguments[2]));
  } else if (arguments.size() != 1) {
    std::fprintf(stderr, "usage: parlevo [FIRST_BASE_FILE SECOND_BASE_FILE]\n");
  }
  return QApplication::exec();
}
