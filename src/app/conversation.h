// A conversation among two to eight characters on a thread of its own: the
// opening turn, then turns in the group's order (two characters strictly
// alternate), paced by an interval, each turn (its transcript line and where
// the answer came from) handed to a LineSink.
//
// Lifetime: a TParlevoThread owns its characters and its std::thread.
// The characters are released (their state files saved) by the conversation
// thread as it ends; the destructor requests the stop, lets a paused
// conversation run on to it, and joins, so no thread outlives its owner.
//
// Thread-safety: the constructor, the destructor and WaitFor are called from
// one owning thread (the window's or the CLI's main thread). SetLogFormat,
// SetInterval, Terminate, Pause, Resume, Paused, RunBetweenTurns and Finished may be called
// from any thread, the conversation thread included (from inside DeliverLine).
// Once built, the characters are used only by the conversation thread.
#ifndef PARLEVO_APP_CONVERSATION_H_
#define PARLEVO_APP_CONVERSATION_H_

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/periodic_save.h"
#include "app/stuck_detector.h"
#include "app/transcript.h"
#include "app/turn.h"
#include "engine/character.h"

namespace parlevo {

class TParlevoThread;

// A group's sizes, and how the next speaker is found.
inline constexpr size_t kMinGroup = 2;
inline constexpr size_t kMaxGroup = 8;
enum class TSpeakerOrder {
  kRound,  // in the order given: A, B, C, A, B, C, ...
  kBest,   // whoever's kind A or B knowledge answers the last line best
};

// Receives each turn on the conversation thread and returns once its line
// has been taken (the window hands it to its own thread and waits).
// An implementation must return promptly once its owner has let go of the
// conversation (it then drops the line), so a finishing conversation never
// waits on a window that is itself waiting for it.
class LineSink {
 public:
  virtual ~LineSink() = default;
  // `turn.Line` is ANSI text of the process code page, one utterance on one
  // line; `turn.Number` counts from 1 (the opening). The turn owns what it
  // holds: a sink may keep a copy.
  virtual void DeliverLine(const TParlevoThread& from, const TTurn& turn) = 0;
};

class TParlevoThread {
 public:
  // Builds character 0 and then character 1 on the calling thread, introduces
  // them to each other and starts the thread, which speaks the opening turn
  // at once (even if Terminate comes first) and then waits for the interval.
  // Throws ELumoInvalidCharacter or platform::EFileError (then no thread runs
  // and nothing is left behind). `sink` must outlive this object. The
  // characters report nothing (default TCharacterOptions).
  // `log_format` "" means the default pattern; a negative `interval` counts
  // as 0.
  TParlevoThread(std::string_view first_file, std::string_view second_file,
                 std::string_view log_format, int32_t interval, LineSink& sink);
  // The same with two characters the caller has built (so it knows which of
  // them a failure refused); both must be non-null.
  TParlevoThread(std::array<std::unique_ptr<TCharacter>, 2> characters, std::string_view log_format,
                 int32_t interval, LineSink& sink);
  // A group of kMinGroup to kMaxGroup characters the caller has built, all
  // non-null (std::invalid_argument otherwise); the first opens. With two,
  // exactly the conversation above whatever the order. In a larger group
  // each speaker's partner is, for its turn, the one whose line it answers.
  TParlevoThread(std::vector<std::unique_ptr<TCharacter>> characters, TSpeakerOrder order,
                 std::string_view log_format, int32_t interval, LineSink& sink);
  // Requests the stop, lets the current turn finish, joins, and releases the
  // characters in order (their state files are saved). A paused conversation is let
  // run to its stop.
  ~TParlevoThread();
  TParlevoThread(const TParlevoThread&) = delete;
  TParlevoThread& operator=(const TParlevoThread&) = delete;

  // The transcript line pattern; "" stores the default pattern. Applies from
  // the next line on.
  void SetLogFormat(std::string_view value);
  std::string LogFormat() const;
  // The pause in ms between the end of one turn and the start of the next.
  // Negative values are ignored. Seen by a wait in progress within a few ms.
  void SetInterval(int32_t value);
  int32_t Interval() const { return interval_.load(); }

  // Requests the stop: a turn in progress runs to its end (its line is
  // delivered), and no further turn starts. Also ends a pause.
  void Terminate();
  // True once Terminate has been called (the window's sink drops lines then).
  bool StopRequested() const;
  // Halts the conversation between turns (a turn in progress finishes first);
  // Resume lets it go on, counting the wait from the same point as before.
  void Pause();
  void Resume();
  bool Paused() const;

  // True once the thread has ended and both characters have been released.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Waits until the thread has ended and joins it. Never call it from inside
  // DeliverLine (the conversation thread would wait for itself).
  void WaitFor();
  // As WaitFor, but gives up after `timeout`; true when the thread ended.
  bool WaitFor(std::chrono::milliseconds timeout);

  // Runs `command` on the conversation thread between two turns (also while
  // paused), where it may use Character(). Commands left when the
  // conversation stops are dropped.
  using Command = std::function<void(TParlevoThread&)>;
  void RunBetweenTurns(Command command);

  // A line said by someone who is no character (a watcher joining in): `text`
  // said by `name` (both ANSI). Between two turns, after the opening, the
  // conversation delivers it as a line of its own (Speaker -1, Number 0)
  // and the next speaker answers it instead of the last character's line,
  // its partner named `name` for that turn only. Lines wait in order.
  void Join(std::string name, std::string text);

  // Why the conversation ended by itself: the message of an error raised
  // during a turn; "" when it ended on request. Valid once Finished().
  std::string FailureMessage() const;

  // Character 0 (the first base file), 1, ... Only for the conversation
  // thread (inside DeliverLine or a command); the characters are gone once
  // Finished().
  TCharacter& Character(int index);
  int CharacterCount() const { return static_cast<int>(characters_.size()); }

 private:
  struct TJoined {  // a watcher's line: who said it and what (ANSI)
    std::string Name, Text;
  };

  // Introduces the characters to each other and starts the thread.
  void Start();
  void Run();
  void Converse();
  // The next line a watcher joined with, if any, taken off the queue.
  std::optional<TJoined> TakeJoined();
  // Delivers a joined line and lets the next speaker after `last` answer it;
  // returns who answered.
  int AnswerJoined(int last, const TJoined& joined, std::string& said);
  // Who speaks after `last` (the index of the one who just spoke) answering
  // `said`.
  int NextSpeaker(int last, const std::string& said);
  // Speaks one turn (SpeakTurn) and delivers it. `heard_from` is the index of
  // the character whose line `input` is. Returns what was said (ANSI), the
  // next speaker's input.
  std::string Turn(int index, int heard_from, std::string_view input, TDataSlots slots);
  // Waits until `interval_` ms have passed since `last_tick`, holding while
  // paused. False when a stop was requested.
  bool AwaitNextTurn(uint32_t last_tick);
  void ReleaseCharacters();
  // The line pattern in force, kept whole for one line however it changes.
  std::shared_ptr<const std::string> CurrentFormat() const;

  std::vector<std::unique_ptr<TCharacter>> characters_;
  TSpeakerOrder order_ = TSpeakerOrder::kRound;
  LineSink& sink_;

  std::atomic<int32_t> interval_{0};
  mutable std::mutex format_mutex_;  // guards log_format_; swapped whole
  std::shared_ptr<const std::string> log_format_;

  mutable std::mutex state_mutex_;  // guards the fields below; signals changes
  std::condition_variable state_changed_;
  bool stop_requested_ = false;
  bool paused_ = false;
  std::vector<Command> commands_;  // to run between turns
  std::deque<TJoined> joined_;     // lines of a watcher, taken between turns
  std::string failure_;            // written by the conversation thread before finishing

  // Only the conversation thread touches these.
  int64_t turns_ = 0;
  TStuckDetector stuck_;
  std::vector<TPeriodicSave> savers_;  // the memory of each, saved as it goes

  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace parlevo

#endif  // PARLEVO_APP_CONVERSATION_H_
