// parlevo-cli chat: talk with one character from the terminal. Its opening,
// then one answer per line of standard input, all shown as transcript lines.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "app/cli/command.h"
#include "app/cli/line_reader.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/cli/turn_output.h"
#include "app/line_writer.h"
#include "app/periodic_save.h"
#include "app/script_recorder.h"
#include "app/transcript.h"
#include "app/turn.h"
#include "engine/character.h"
#include "platform/clock.h"
#include "platform/codepage.h"

namespace parlevo::cli {
namespace {

struct ChatOptions {
  std::optional<std::string> partner;
  std::string format = std::string(kDefaultLogFormat);
  TTurnOutput output = TTurnOutput::kLines;
  bool no_save = false;
  bool raw = false;
  std::string record;  // a test script to write, "" for none
  std::string base_file;
};

// The login name of whoever runs the program, "" when none is known.
std::string LoginName() {
  if (const char* name = getlogin(); name != nullptr && *name != '\0') return name;
  if (const char* name = std::getenv("USER"); name != nullptr) return name;
  return "";
}

// The test script --record writes, begun where the character starts.
std::unique_ptr<TScriptRecorder> StartRecording(const ChatOptions& options,
                                                const TCharacter& character,
                                                const std::string& partner) {
  if (options.record.empty()) return nullptr;
  auto recorder = std::make_unique<TScriptRecorder>(options.record);
  std::optional<double> clock;
  if (platform::ClockFrozen()) clock = platform::NowLocal();  // --clock was given
  recorder->Begin(character, clock, partner);
  return recorder;
}

int RunChat(const ChatOptions& options) {
  ApplyRaw(options.raw);
  // As in the conversation, an empty pattern means the default one.
  const std::string format = options.format.empty() ? std::string(kDefaultLogFormat)
                                                    : platform::Utf8ToAnsi(options.format);
  const std::string partner =
      platform::Utf8ToAnsi(options.partner ? *options.partner : LoginName());
  std::unique_ptr<TCharacter> character =
      LoadCharacter(options.base_file, StateUse(options.no_save));
  character->SetPartner(partner);
  std::unique_ptr<TScriptRecorder> recorder = StartRecording(options, *character, partner);

  int64_t number = 0;
  auto show = [&](TTurn turn, bool answer) {
    turn.Number = ++number;
    PrintTurn(turn, options.output, answer);
    if (recorder && answer) recorder->Answered(turn);
  };
  show(SpeakTurn(*character, kOpeningInput, OpeningSlots, format), true);
  // On a terminal the prompt is the partner's transcript line, completed
  // as it is typed.
  std::string prompt = platform::AnsiToUtf8(FormatLine(format, partner, ""));
  const auto reader = LineReader::ForStandardInput(options.raw ? prompt : VisibleControls(prompt));
  TPeriodicSave saver;  // memory kept as the chat goes, not only at its end
  std::string line;
  for (int64_t read = 1;; ++read) {
    const TLineRead got = reader->ReadLine(line);
    if (got == TLineRead::kEnd) break;
    if (got == TLineRead::kTooLong) {
      PrintWarning("input line " + std::to_string(read) + " is longer than " +
                   std::to_string(kMaxInputLineBytes >> 20) + " MiB: skipped");
      continue;
    }
    const std::string heard = platform::Utf8ToAnsi(line);
    if (recorder) recorder->Heard(heard);
    if (!reader->ShowsInput() || options.output != TTurnOutput::kLines) {
      show(HeardTurn(partner, heard, format), false);
    }
    show(SpeakTurn(*character, heard, AllSlots, format), true);
    saver.AfterTurn(*character);
  }
  character.reset();  // saves the state file (unless --no-save)
  return ExitStatusAfterSaving();
}

CommandRunner SetUpChat(CLI::App& app) {
  auto options = std::make_shared<ChatOptions>();
  CLI::App* chat =
      app.add_subcommand("chat", "Talk with a character: one answer per line of standard input");
  AddPartner(*chat, options->partner, "the partner's name (default: the login name)");
  chat->add_option("--format", options->format, "transcript line pattern")->capture_default_str();
  AddTurnOutput(*chat, options->output);
  AddNoSave(*chat, options->no_save);
  AddRaw(*chat, options->raw);
  chat->add_option("--record", options->record,
                   "write the chat as a test script to FILE as it goes: the clock (with --clock), "
                   "the partner, the saved memory it started from, each line and each answer "
                   "with its source")
      ->type_name("FILE");
  chat->add_option("basefile", options->base_file, "the character's base file")->required();
  AddExitStatuses(*chat, {{kExitOk, "the input ended and the state file was saved"},
                          {kExitFailure, kRefusedStatus},
                          {kExitUsage, kUsageStatus},
                          {kExitNotSaved, kNotSavedStatus}});
  return [options] { return RunChat(*options); };
}

const CommandRegistrar kChatCommand(40, SetUpChat);

}  // namespace
}  // namespace parlevo::cli
