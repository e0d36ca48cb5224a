// The conversation thread: builds and introduces the characters, then makes
// them speak in turn, paced, pausable and stoppable between turns.
#include "app/conversation.h"

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <utility>

#include "app/pacing.h"
#include "app/speaker_order.h"
#include "platform/clock.h"

namespace parlevo {
namespace {

// Longest single sleep of the wait. Changes of the interval, pause and stop
// are signalled and seen at once; the cap only makes the wait re-read the tick
// counter, which need not run in step with the clock the sleep is timed on.
constexpr std::chrono::milliseconds kLongestSleep{20};

std::shared_ptr<const std::string> MakeFormat(std::string_view value) {
  return std::make_shared<const std::string>(value.empty() ? kDefaultLogFormat : value);
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction and release
// ---------------------------------------------------------------------------

TParlevoThread::TParlevoThread(std::string_view first_file, std::string_view second_file,
                               std::string_view log_format, int32_t interval, LineSink& sink)
    : sink_(sink) {
  SetLogFormat(log_format);
  SetInterval(interval);
  // A failure here releases character 0 if it was built (its state is saved,
  // as when it is released at the end of a conversation); no thread runs.
  characters_.push_back(std::make_unique<TCharacter>(first_file));
  characters_.push_back(std::make_unique<TCharacter>(second_file));
  Start();
}

TParlevoThread::TParlevoThread(std::array<std::unique_ptr<TCharacter>, 2> characters,
                               std::string_view log_format, int32_t interval, LineSink& sink)
    : sink_(sink) {
  SetLogFormat(log_format);
  SetInterval(interval);
  for (std::unique_ptr<TCharacter>& character : characters) {
    characters_.push_back(std::move(character));
  }
  Start();
}

TParlevoThread::TParlevoThread(std::vector<std::unique_ptr<TCharacter>> characters,
                               TSpeakerOrder order, std::string_view log_format, int32_t interval,
                               LineSink& sink)
    : characters_(std::move(characters)), order_(order), sink_(sink) {
  SetLogFormat(log_format);
  SetInterval(interval);
  Start();
}

void TParlevoThread::Start() {
  const size_t count = characters_.size();
  if (count < kMinGroup || count > kMaxGroup) {
    throw std::invalid_argument("a conversation has 2 to 8 characters");
  }
  for (const auto& character : characters_) {
    if (character == nullptr) throw std::invalid_argument("a conversation needs its characters");
  }
  IntroduceGroup(characters_);
  savers_.resize(count);
  thread_ = std::thread(&TParlevoThread::Run, this);
}

TParlevoThread::~TParlevoThread() {
  Terminate();
  WaitFor();
}

void TParlevoThread::ReleaseCharacters() {
  // In order, character 0 first; each saves its state file.
  for (std::unique_ptr<TCharacter>& character : characters_) character.reset();
}

TCharacter& TParlevoThread::Character(int index) {
  TCharacter* character = characters_.at(index).get();
  if (character == nullptr) throw std::logic_error("the conversation has released its characters");
  return *character;
}

// ---------------------------------------------------------------------------
// Settings and control, from any thread
// ---------------------------------------------------------------------------

void TParlevoThread::SetLogFormat(std::string_view value) {
  auto format = MakeFormat(value);
  std::lock_guard lock(format_mutex_);
  log_format_ = std::move(format);
}

std::string TParlevoThread::LogFormat() const { return *CurrentFormat(); }

std::shared_ptr<const std::string> TParlevoThread::CurrentFormat() const {
  std::lock_guard lock(format_mutex_);
  return log_format_;
}

void TParlevoThread::SetInterval(int32_t value) {
  if (value < 0) return;
  {
    // Stored under the lock so a waiting thread cannot miss the signal.
    std::lock_guard lock(state_mutex_);
    interval_.store(value);
  }
  state_changed_.notify_all();
}

void TParlevoThread::Terminate() {
  {
    std::lock_guard lock(state_mutex_);
    stop_requested_ = true;
  }
  state_changed_.notify_all();
}

bool TParlevoThread::StopRequested() const {
  std::lock_guard lock(state_mutex_);
  return stop_requested_;
}

void TParlevoThread::Pause() {
  std::lock_guard lock(state_mutex_);
  paused_ = true;
}

void TParlevoThread::Resume() {
  {
    std::lock_guard lock(state_mutex_);
    paused_ = false;
  }
  state_changed_.notify_all();
}

bool TParlevoThread::Paused() const {
  std::lock_guard lock(state_mutex_);
  return paused_;
}

void TParlevoThread::RunBetweenTurns(Command command) {
  {
    std::lock_guard lock(state_mutex_);
    commands_.push_back(std::move(command));
  }
  state_changed_.notify_all();
}

void TParlevoThread::Join(std::string name, std::string text) {
  {
    std::lock_guard lock(state_mutex_);
    joined_.push_back({std::move(name), std::move(text)});
  }
  state_changed_.notify_all();
}

std::string TParlevoThread::FailureMessage() const {
  std::lock_guard lock(state_mutex_);
  return failure_;
}

void TParlevoThread::WaitFor() {
  if (thread_.joinable()) thread_.join();
}

bool TParlevoThread::WaitFor(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(state_mutex_);
    if (!state_changed_.wait_for(lock, timeout, [this] { return Finished(); })) return false;
  }
  WaitFor();
  return true;
}

// ---------------------------------------------------------------------------
// The conversation thread
// ---------------------------------------------------------------------------

void TParlevoThread::Run() {
  std::string failure;
  try {
    Converse();
  } catch (const std::exception& e) {
    // The engine promises not to throw; if it does anyway, the conversation
    // ends here without further lines, and its characters are still saved.
    failure = e.what();
    if (failure.empty()) failure = "conversation failed";
  } catch (...) {
    failure = "conversation failed";
  }
  ReleaseCharacters();
  {
    std::lock_guard lock(state_mutex_);
    failure_ = std::move(failure);
    finished_.store(true, std::memory_order_release);
  }
  state_changed_.notify_all();
}

void TParlevoThread::Converse() {
  // The first wait is counted from before the opening turn.
  uint32_t last_tick = platform::TickCount();
  std::string said = Turn(0, -1, kOpeningInput, OpeningSlots);
  int last = 0;
  while (AwaitNextTurn(last_tick)) {
    if (std::optional<TJoined> joined = TakeJoined()) {
      last = AnswerJoined(last, *joined, said);
    } else {
      const int next = NextSpeaker(last, said);
      said = Turn(next, last, said, AllSlots);
      last = next;
    }
    last_tick = platform::TickCount();
  }
}

std::optional<TParlevoThread::TJoined> TParlevoThread::TakeJoined() {
  std::lock_guard lock(state_mutex_);
  if (joined_.empty()) return std::nullopt;
  TJoined joined = std::move(joined_.front());
  joined_.pop_front();
  return joined;
}

int TParlevoThread::AnswerJoined(int last, const TJoined& joined, std::string& said) {
  const std::shared_ptr<const std::string> format = CurrentFormat();
  TTurn heard = HeardTurn(joined.Name, joined.Text, *format);
  heard.Speaker = -1;
  sink_.DeliverLine(*this, heard);
  const int next = NextSpeaker(last, joined.Text);
  TCharacter& speaker = *characters_[static_cast<size_t>(next)];
  const TUser partner = speaker.User();
  speaker.SetPartner(joined.Name);
  said = Turn(next, -1, joined.Text, AllSlots);
  speaker.SetPartnerProfile(partner);
  return next;
}

int TParlevoThread::NextSpeaker(int last, const std::string& said) {
  if (order_ == TSpeakerOrder::kBest) return BestSpeaker(characters_, last, said);
  return NextInOrder(last, characters_.size());
}

std::string TParlevoThread::Turn(int index, int heard_from, std::string_view input,
                                 TDataSlots slots) {
  IntroduceBeforeTurn(characters_, index, heard_from);
  const std::shared_ptr<const std::string> format = CurrentFormat();
  TTurn turn = SpeakTurn(*characters_[static_cast<size_t>(index)], input, slots, *format);
  turn.Number = ++turns_;
  turn.Speaker = index;
  turn.StuckLines = stuck_.Add(turn.Said);
  sink_.DeliverLine(*this, turn);
  savers_[static_cast<size_t>(index)].AfterTurn(*characters_[static_cast<size_t>(index)]);
  return std::move(turn.Said);
}

bool TParlevoThread::AwaitNextTurn(uint32_t last_tick) {
  std::unique_lock lock(state_mutex_);
  for (;;) {
    if (stop_requested_) return false;
    if (!commands_.empty()) {
      // Between turns the characters are free: run what the owner asked
      // for, without the lock, so control calls do not wait on it.
      std::vector<Command> commands;
      commands.swap(commands_);
      lock.unlock();
      for (Command& command : commands) command(*this);
      lock.lock();
      continue;
    }
    if (paused_) {
      state_changed_.wait(lock);
      continue;
    }
    const uint32_t remaining = RemainingWait(last_tick, platform::TickCount(), interval_.load());
    if (remaining == 0) return true;
    state_changed_.wait_for(lock, std::min<std::chrono::milliseconds>(
                                      std::chrono::milliseconds(remaining), kLongestSleep));
  }
}

}  // namespace parlevo
