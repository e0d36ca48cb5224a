// The desktop program: sets the process code page, opens the main window and
// starts a conversation: between the two base files given on the command
// line, or between the two sample characters when none are given.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/gui/ansi_text.h"
#include "app/gui/character_choice.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/qt_translations.h"
#include "app/gui/state_save_reports.h"
#include "app/gui/ui_font.h"
#include "app/gui/window_settings.h"
#include "app/version.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/termination_signals.h"

namespace {

using parlevo::gui::TFormParlevo;

// The command line, the one source of `parlevo --help` and of its manual page.
void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Parlevo: chatbot characters talking to each other, in a window.\n"
                     "Given two to eight base files, starts their conversation at once (the\n"
                     "first opens, the others answer in turn); given none,\n"
                     "starts the two sample characters (copied to the user's data folder when\n"
                     "installed, so what they remember persists)."));
  parser.addHelpOption();
  parser.addVersionOption();
  // Two to eight or none: the usage line shows them as one optional group.
  parser.addPositionalArgument(QStringLiteral("FIRST"),
                               QStringLiteral("base file (.ltc) of the character who speaks first"),
                               QStringLiteral("[FIRST"));
  parser.addPositionalArgument(QStringLiteral("SECOND"),
                               QStringLiteral("base file of the character who answers"),
                               QStringLiteral("SECOND"));
  parser.addPositionalArgument(QStringLiteral("MORE"),
                               QStringLiteral("up to six more characters, who answer in turn"),
                               QStringLiteral("[MORE...]]"));
}

// --help and --version are answered before the window's toolkit starts, so
// they work without a display (manual page generation, a remote shell).
bool AsksForHelpOrVersion(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    for (const char* option : {"-h", "--help", "--help-all", "-v", "--version"}) {
      if (std::strcmp(argv[i], option) == 0) return true;
    }
  }
  return false;
}

int AnswerHelpOrVersion(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QString::fromUtf8(parlevo::VersionText()));
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(app);  // prints the help or the version and exits
  return 0;
}

// The samples run from a copy: in the user's data folder when installed, in
// the build folder otherwise (see SamplesRunFolder).
void StartSampleCharacters(TFormParlevo& window) {
  QString error;
  const QStringList files = parlevo::gui::SampleCharacterFiles(&error);
  if (files.size() < 2) {
    window.SetStatus(error);
    return;
  }
  window.StartConversation(parlevo::gui::PathToNative(files[0]),
                           parlevo::gui::PathToNative(files[1]));
}

void MoveSettingsOfOlderRuns() {
  const QString old_file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QStringLiteral("/Unknown Organization/Parlevo.conf");
  QSettings settings;
  parlevo::gui::MoveOldSettings(settings, old_file);
}

// SIGINT, SIGTERM and SIGHUP close the windows as the user would, so the log
// and the state files are saved, and end the event loops, a dialog's too:
// the signal thread queues that to the GUI thread.
void CloseOnTerminationSignals() {
  parlevo::platform::SetTerminationHandler([] {
    QMetaObject::invokeMethod(
        qApp,
        [] {
          QApplication::closeAllWindows();
          QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
  });
}

}  // namespace

int main(int argc, char* argv[]) {
  // First: every thread (Qt's own among them) inherits the blocked signals.
  parlevo::platform::StartTerminationSignalThread();
  if (AsksForHelpOrVersion(argc, argv)) return AnswerHelpOrVersion(argc, argv);

  // Before anything reads or writes ANSI text, and before any thread runs.
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);

  QApplication app(argc, argv);
  // Settings live in ~/.config/Parlevo/Parlevo.conf; a run before the
  // organisation was named kept them under "Unknown Organization".
  QApplication::setOrganizationName(QStringLiteral("Parlevo"));
  QApplication::setApplicationName(QStringLiteral("Parlevo"));
  MoveSettingsOfOlderRuns();
  QApplication::setApplicationVersion(QString::fromUtf8(parlevo::VersionText()));
  // The desktop entry and the icon an installation puts in the icon theme.
  QGuiApplication::setDesktopFileName(QStringLiteral(PARLEVO_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PARLEVO_APP_ID)));
  QApplication::setFont(parlevo::gui::JapaneseUiFont());
  CloseOnTerminationSignals();
  // Failed state saves reach the window; before any conversation thread runs.
  parlevo::gui::StateSaveReports::Install();
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(app);  // an unknown option ends the program with a message

  if (!parlevo::gui::InstallQtJapanese(app)) {
    std::fprintf(stderr, "parlevo: Qt's Japanese translations (qtbase_ja.qm) are not installed\n");
  }

  TFormParlevo window;
  window.show();

  // Started from the event loop, so that a signal's exit, and a refusal's
  // message box, find the loop running.
  const QStringList characters = parser.positionalArguments();
  QTimer::singleShot(0, &window, [&window, characters] {
    if (characters.size() >= 2 && characters.size() <= 8) {
      std::vector<std::string> files;
      for (const QString& file : characters) files.push_back(parlevo::gui::PathToNative(file));
      window.StartConversation(files);
    } else if (characters.isEmpty()) {
      StartSampleCharacters(window);
    } else {
      std::fprintf(stderr, "usage: parlevo [FIRST_BASE_FILE SECOND_BASE_FILE [MORE...]]\n");
    }
  });
  const int status = QApplication::exec();
  // The window and the application go next; a signal now ends the process.
  parlevo::platform::SetTerminationHandler(nullptr);
  return status;
}
