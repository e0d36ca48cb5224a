// The desktop program: sets the process code page, opens the main window and
// starts a conversation: between the two base files given on the command
// line, or between the two sample characters when none are given.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/gui/ansi_text.h"
#include "app/gui/form_parlevo.h"
#include "app/gui/state_save_reports.h"
#include "app/gui/termination_signals.h"
#include "app/gui/transcript_log.h"
#include "app/gui/ui_font.h"
#include "app/sample_characters.h"
#include "app/version.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/shipped_files.h"

namespace {

namespace fs = std::filesystem;
using parlevo::gui::TFormParlevo;

// The command line, the one source of `parlevo --help` and of its manual page.
void DescribeCommandLine(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Parlevo: two chatbot characters talking to each other, in a window.\n"
                     "Given two base files, starts their conversation at once; given none,\n"
                     "starts the two sample characters (copied to the user's data folder when\n"
                     "installed, so what they remember persists)."));
  parser.addHelpOption();
  parser.addVersionOption();
  // Both or neither: the usage line shows them as one optional pair.
  parser.addPositionalArgument(QStringLiteral("FIRST"),
                               QStringLiteral("base file (.ltc) of the character who speaks first"),
                               QStringLiteral("[FIRST"));
  parser.addPositionalArgument(QStringLiteral("SECOND"),
                               QStringLiteral("base file of the character who answers"),
                               QStringLiteral("SECOND]"));
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

QString PathText(const fs::path& path) { return QString::fromStdU16String(path.u16string()); }

// The samples run from a copy: in the user's data folder when installed, in
// the build folder otherwise (see SamplesRunFolder).
void StartSampleCharacters(TFormParlevo& window) {
  const auto shipped =
      parlevo::platform::FindShippedFile(parlevo::platform::ShippedKind::kData, "examples");
  if (!shipped) {
    window.SetStatus(QStringLiteral("サンプルの人格が見つかりません"));
    return;
  }
  fs::path folder;
  try {
    const QString user_folder = parlevo::gui::TranscriptLog::UserDataFolder();
    folder = parlevo::SamplesRunFolder(*shipped, fs::path(user_folder.toStdU16String()),
                                       parlevo::platform::ProgramFolder());
  } catch (const fs::filesystem_error& error) {
    std::fprintf(stderr, "parlevo: cannot copy the sample characters: %s\n", error.what());
    window.SetStatus(QStringLiteral("サンプルの人格をコピーできません"));
    return;
  }
  window.StartConversation(
      parlevo::gui::PathToNative(PathText(folder / parlevo::kSampleBaseFiles[0])),
      parlevo::gui::PathToNative(PathText(folder / parlevo::kSampleBaseFiles[1])));
}

}  // namespace

int main(int argc, char* argv[]) {
  if (AsksForHelpOrVersion(argc, argv)) return AnswerHelpOrVersion(argc, argv);

  // Before anything reads or writes ANSI text, and before any thread runs.
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Parlevo"));
  QApplication::setApplicationVersion(QString::fromUtf8(parlevo::VersionText()));
  // The desktop entry and the icon an installation puts in the icon theme.
  QGuiApplication::setDesktopFileName(QStringLiteral(PARLEVO_APP_ID));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(PARLEVO_APP_ID)));
  QApplication::setFont(parlevo::gui::JapaneseUiFont());
  // Failed state saves reach the window; before any conversation thread runs.
  parlevo::gui::StateSaveReports::Install();
  QCommandLineParser parser;
  DescribeCommandLine(parser);
  parser.process(app);  // an unknown option ends the program with a message

  // Qt's own dialogs (file dialog, buttons) in Japanese where the
  // translations are installed.
  QTranslator qt_japanese;
  if (qt_japanese.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_japanese);
  }

  TFormParlevo window;
  window.show();
  parlevo::gui::CloseOnTerminationSignals(&window);

  const QStringList characters = parser.positionalArguments();
  if (characters.size() == 2) {
    window.StartConversation(parlevo::gui::PathToNative(characters[0]),
                             parlevo::gui::PathToNative(characters[1]));
  } else if (characters.isEmpty()) {
    StartSampleCharacters(window);
  } else {
    std::fprintf(stderr, "usage: parlevo [FIRST_BASE_FILE SECOND_BASE_FILE]\n");
  }
  return QApplication::exec();
}
