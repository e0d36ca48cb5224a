// The state save error hook of the window: standard error at once, and a
// queued signal that the GUI thread delivers to the window.
#include "app/gui/state_save_reports.h"

#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <string_view>

#include "app/gui/ansi_text.h"
#include "app/gui/refusal_message.h"
#include "engine/character.h"

namespace parlevo::gui {
namespace {

// Set once by Install on the GUI thread before any conversation thread runs
// and only read afterwards: the engine's hook is a plain function, so the
// object it reaches must be a global.
StateSaveReports* instance = nullptr;

// The engine says `the state file "PATH" was not saved: REASON`, the path
// native (UTF-8 here) and the reason from the system.
constexpr std::string_view kPrefix = "the state file \"";
constexpr std::string_view kSeparator = "\" was not saved: ";

void ReportSaveError(const std::string& message) {
  std::fprintf(stderr, "parlevo: %s\n", message.c_str());
  QString file;
  QString reason = EngineMessageText(message);
  const size_t separator = message.find(kSeparator);
  if (message.starts_with(kPrefix) && separator != std::string::npos) {
    file = NativeToPath(message.substr(kPrefix.size(), separator - kPrefix.size()));
    reason = EngineMessageText(message.substr(separator + kSeparator.size()));
  }
  // Queued: the caller may be a conversation thread releasing a character.
  QMetaObject::invokeMethod(
      instance, [file, reason] { emit instance->saveFailed(file, reason); }, Qt::QueuedConnection);
}

}  // namespace

void StateSaveReports::Install() {
  if (instance != nullptr) return;
  instance = new StateSaveReports;
  instance->setParent(QCoreApplication::instance());
}

TCharacterOptions StateSaveReports::CharacterOptions() {
  TCharacterOptions options;
  options.OnStateProblem = [](TStateProblem, const std::string& message) {
    ReportSaveError(message);
  };
  return options;
}

StateSaveReports* StateSaveReports::Instance() { return instance; }

}  // namespace parlevo::gui
