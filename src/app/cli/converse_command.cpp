// parlevo-cli converse: two characters (or a group of up to eight) talk in the
// terminal through the same conversation thread the window uses, until N
// lines or an interrupt.
#include <CLI/CLI.hpp>
#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/command.h"
#include "app/cli/joined_input.h"
#include "app/cli/load_character.h"
#include "app/cli/shared_options.h"
#include "app/cli/turn_output.h"
#include "app/conversation.h"
#include "app/group_files.h"
#include "app/line_writer.h"
#include "engine/character.h"
#include "platform/codepage.h"
#include "platform/termination_signals.h"
#include "platform/textfile.h"

namespace parlevo::cli {
namespace {

// How often the main thread looks at the interrupt flag.
constexpr std::chrono::milliseconds kSignalPoll{10};

// While it lives, SIGINT, SIGTERM and SIGHUP only ask the conversation to stop (the
// signal thread sets the flag), and SIGPIPE is ignored, so a closed output
// ends the conversation through a write error rather than killing the
// process before the state files are saved.
class InterruptGuard {
 public:
  InterruptGuard() {
    platform::CatchTerminationSignals(true);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &old_pipe_);
  }
  ~InterruptGuard() {
    platform::CatchTerminationSignals(false);
    sigaction(SIGPIPE, &old_pipe_, nullptr);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  struct sigaction old_pipe_ {};
};

struct ConverseOptions {
  int64_t turns = 0;
  int32_t interval = 2000;  // the window's normal speed
  std::string format{kDefaultLogFormat};
  TTurnOutput output = TTurnOutput::kLines;
  bool stop_when_stuck = false;
  bool no_save = false;
  bool raw = false;
  TSpeakerOrder order = TSpeakerOrder::kRound;
  std::string join;  // the watcher's name with --join (UTF-8)
  bool join_given = false;
  std::string first, second;
  std::vector<std::string> more;  // the rest of a group
};

// Prints every turn as it arrives and ends the conversation after `limit`
// lines (0: no limit), when standard output can no longer be written, or
// (when asked) once it is stuck in a loop.
class PrintingSink : public LineSink {
 public:
  explicit PrintingSink(const ConverseOptions& options) : options_(options) {}

  void DeliverLine(const TParlevoThread& from, const TTurn& turn) override {
    const bool joined = turn.Speaker < 0;  // a watcher's line counts toward no limit
    const bool written = PrintTurn(turn, options_.output, !joined);
    if (!joined) ++printed_;
    bool stop = !written || (options_.turns > 0 && printed_ >= options_.turns);
    if (turn.StuckLines > 0 && !stuck_reported_) {
      stuck_reported_ = true;
      StandardError().Line("# stuck: the last " + std::to_string(turn.StuckLines) +
                           " lines repeat");
      stop = stop || options_.stop_when_stuck;
    }
    if (stop) {
      // `from` is the conversation this sink serves, owned non-const by
      // RunConverse; Terminate is safe from the conversation thread.
      const_cast<TParlevoThread&>(from).Terminate();
    }
  }

 private:
  const ConverseOptions& options_;
  // Only touched on the conversation thread.
  int64_t printed_ = 0;
  bool stuck_reported_ = false;
};

int RunConverse(const ConverseOptions& options) {
  ApplyRaw(options.raw);
  InterruptGuard guard;
  PrintingSink sink(options);
  std::unique_ptr<TParlevoThread> conversation;
  std::vector<std::string> files = {options.first, options.second};
  files.insert(files.end(), options.more.begin(), options.more.end());
  if (const std::string refusal = GroupRefusal(files); !refusal.empty()) {
    throw CommandError(kExitUsage, refusal);
  }
  try {
    const TStateUse state_use = StateUse(options.no_save);
    std::vector<std::unique_ptr<TCharacter>> characters;
    for (const std::string& file : files) characters.push_back(LoadCharacter(file, state_use));
    conversation = std::make_unique<TParlevoThread>(std::move(characters), options.order,
                                                    platform::Utf8ToAnsi(options.format),
                                                    options.interval, sink);
  } catch (const ELumoError& e) {
    throw CommandError(kExitFailure, e.what());
  } catch (const platform::EFileError& e) {
    throw CommandError(kExitFailure, e.what());
  }
  // The turn in progress finishes and every character is saved before exit.
  JoinedInput watcher;
  const bool joining = options.join_given;
  const std::string watcher_name = platform::Utf8ToAnsi(options.join);
  for (;;) {
    if (joining && !watcher.Ended()) {
      for (const std::string& line : watcher.Poll(kSignalPoll)) {
        conversation->Join(watcher_name, platform::Utf8ToAnsi(line));
      }
      if (conversation->WaitFor(std::chrono::milliseconds(0))) break;
    } else if (conversation->WaitFor(kSignalPoll)) {
      break;
    }
    if (platform::TerminationRequested()) conversation->Terminate();
  }
  const std::string failure = conversation->FailureMessage();
  conversation.reset();
  if (!failure.empty()) throw CommandError(kExitFailure, failure);
  return ExitStatusAfterSaving();
}

const CommandRegistrar registrar(40, [](CLI::App& app) -> CommandRunner {
  auto options = std::make_shared<ConverseOptions>();
  auto* command = app.add_subcommand(
      "converse",
      "Two characters (or up to eight) talk to each other: each transcript line as it is said");
  command->add_option("--turns", options->turns, "stop after N lines (default: until interrupted)")
      ->check(CLI::PositiveNumber);
  command->add_option("--interval", options->interval, "pause between turns in ms (default 2000)")
      ->check(CLI::NonNegativeNumber);
  command->add_option("--format", options->format,
                      "transcript line pattern (default \"%charname > %comment\")");
  AddTurnOutput(*command, options->output);
  command->add_flag("--stop-when-stuck", options->stop_when_stuck,
                    "end once the last lines repeat a cycle for the third time");
  AddNoSave(*command, options->no_save);
  AddRaw(*command, options->raw);
  command->add_option("FIRST", options->first, "base file of the character who opens")->required();
  command->add_option("SECOND", options->second, "base file of the character who answers")
      ->required();
  command->add_option_function<std::string>(
      "--join",
      [options](const std::string& name) {
        options->join = name;
        options->join_given = true;
      },
      "join in as NAME: each line of standard input is said by NAME before the next turn, and "
      "the next speaker answers it (end of input leaves the characters talking)");
  command->add_option("MORE", options->more,
                      "base files of further characters (up to eight in all)");
  command
      ->add_option("--order", options->order,
                   "who speaks next in a group: round (in the order given, the default) or best "
                   "(whoever's kind A or B knowledge answers the last line best)")
      ->transform(CLI::CheckedTransformer(std::map<std::string, TSpeakerOrder>{
          {"round", TSpeakerOrder::kRound}, {"best", TSpeakerOrder::kBest}}));
  AddExitStatuses(*command, {{kExitOk, "the conversation ended and every state file was saved"},
                             {kExitFailure,
                              "a character was refused, a file failed or the conversation failed"},
                             {kExitUsage, kUsageStatus},
                             {kExitNotSaved, kNotSavedStatus}});
  return [options] { return RunConverse(*options); };
});

}  // namespace
}  // namespace parlevo::cli
