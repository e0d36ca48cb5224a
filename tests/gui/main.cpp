// Runs every window test class in one program (offscreen platform).
#include <QApplication>
#include <QStandardPaths>

#include "app/gui/state_save_reports.h"
#include "platform/codepage.h"

int RunConversationCommandTests(int argc, char** argv);
int RunProgramTests(int argc, char** argv);
int RunSettingsTests(int argc, char** argv);
int RunTranscriptTests(int argc, char** argv);
int RunWindowCommandTests(int argc, char** argv);
int RunWatcherWindowTests(int argc, char** argv);

int main(int argc, char** argv) {
  parlevo::platform::SetProcessCodePage(parlevo::platform::kCodePage932);
  // The user's data folder (the log's fallback) goes to a test location.
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("parlevo-gui-tests"));
  parlevo::gui::StateSaveReports::Install();
  int failed = 0;
  failed += RunConversationCommandTests(argc, argv);
  failed += RunSettingsTests(argc, argv);
  failed += RunTranscriptTests(argc, argv);
  failed += RunWindowCommandTests(argc, argv);
  failed += RunWatcherWindowTests(argc, argv);
  failed += RunProgramTests(argc, argv);
  return failed == 0 ? 0 : 1;
}
