// Starting, pausing and ending the window's conversations, dropping the lines
// of ended ones, reaping them as they finish, and the wait at exit.
#include "app/gui/conversation_controller.h"

#include <QTimer>
#include <exception>

#include "app/conversation.h"
#include "app/group_files.h"
#include "app/gui/ansi_text.h"
#include "app/gui/refusal_message.h"
#include "app/gui/state_save_reports.h"
#include "app/gui/window_line_sink.h"
#include "engine/character.h"

namespace parlevo::gui {
namespace {

constexpr int kReapMilliseconds = 100;

const std::vector<std::string> kNoStrings;

// Builds one character; its refusal names it as `which`.
std::unique_ptr<TCharacter> BuildCharacter(int which, const std::string& file,
                                           std::optional<CharacterRefusal>& refusal) {
  try {
    return std::make_unique<TCharacter>(file, StateSaveReports::CharacterOptions());
  } catch (const std::exception& error) {
    refusal = CharacterRefusal{which, error.what()};
  } catch (...) {
    refusal = CharacterRefusal{which, "unknown error"};
  }
  return nullptr;
}

// Which entry of a group names a base file an earlier one names too, from
// the refusal that starts with that entry's path; none when it may run.
std::optional<int> NamedTwice(const std::vector<std::string>& files) {
  const std::string refusal = GroupRefusal(files);
  if (refusal.empty()) return std::nullopt;
  for (size_t i = files.size(); i-- > 1;) {
    if (refusal.starts_with(files[i] + ": ")) return int(i);
  }
  return int(files.size()) - 1;
}

}  // namespace

ConversationController::ConversationController(QObject* parent) : QObject(parent) {
  reap_timer_ = new QTimer(this);
  reap_timer_->setInterval(kReapMilliseconds);
  connect(reap_timer_, &QTimer::timeout, this, &ConversationController::Reap);
}

ConversationController::~ConversationController() { Shutdown(); }

// ---------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------

std::optional<CharacterRefusal> ConversationController::Start(const std::vector<std::string>& files,
                                                              const std::string& log_format,
                                                              int32_t interval) {
  if (current_ || shut_down_) return CharacterRefusal{0, "a conversation exists"};
  if (files.size() < kMinGroup || files.size() > kMaxGroup) {
    return CharacterRefusal{0, "a conversation has 2 to 8 characters"};
  }
  if (const std::optional<int> twice = NamedTwice(files)) {
    return CharacterRefusal{*twice, kNamedTwiceReason};
  }
  std::optional<CharacterRefusal> refusal;
  std::vector<std::unique_ptr<TCharacter>> characters;
  // In order; when one is refused, those built before it are released here
  // and save their state, as at the end of a conversation.
  for (size_t i = 0; i < files.size() && !refusal; ++i) {
    characters.push_back(BuildCharacter(int(i), files[i], refusal));
  }
  if (refusal) return refusal;

  auto conversation = std::make_unique<Conversation>();
  std::vector<std::string> names;
  for (const std::unique_ptr<TCharacter>& character : characters) {
    names.push_back(character->DisplayName());
    conversation->data_folders.push_back(character->BaseFile().DataFolder());
    names_by_state_file_.insert(NativeToPath(character->StatePath()), AnsiToQString(names.back()));
  }
  conversation->sink = std::make_unique<WindowLineSink>(
      [this, shown = conversation.get()](const TTurn& turn) { Deliver(*shown, turn); });
  try {
    conversation->thread = std::make_unique<TParlevoThread>(
        std::move(characters), TSpeakerOrder::kRound, log_format, interval, *conversation->sink);
  } catch (const std::exception& error) {
    // Only starting the thread itself can fail here.
    return CharacterRefusal{0, error.what()};
  }
  current_ = std::move(conversation);
  names_ = std::move(names);
  has_run_ = true;
  stuck_ = false;
  failure_.clear();
  reap_timer_->start();
  PublishState();
  return std::nullopt;
}

void ConversationController::End() {
  Release();
  PublishState();
}

void ConversationController::Reload() {
  if (!current_) return;
  current_->thread->RunBetweenTurns([this](TParlevoThread& thread) {
    QString errors;
    for (int i = 0; i < thread.CharacterCount(); ++i) {
      try {
        thread.Character(i).ReloadData();
      } catch (const std::exception& error) {
        errors += QStringLiteral("%1: %2 (%3)\n")
                      .arg(AnsiToQString(thread.Character(i).Name()), ReasonText(error.what()),
                           EngineMessageText(error.what()));
      }
    }
    // Back to the GUI thread; dropped if the controller is gone by then.
    QMetaObject::invokeMethod(
        this, [this, errors] { emit reloaded(errors.trimmed()); }, Qt::QueuedConnection);
  });
}

void ConversationController::Pause() {
  if (current_) current_->thread->Pause();
  PublishState();
}

void ConversationController::Resume() {
  if (current_) current_->thread->Resume();
  PublishState();
}

void ConversationController::SetInterval(int32_t value) {
  if (current_) current_->thread->SetInterval(value);
}

void ConversationController::SetLogFormat(const std::string& value) {
  if (current_) current_->thread->SetLogFormat(value);
}

bool ConversationController::Join(const std::string& name, const std::string& text) {
  if (!current_) return false;
  current_->thread->Join(name, text);
  return true;
}

QString ConversationController::NameOfStateFile(const QString& state_file) const {
  return names_by_state_file_.value(state_file);
}

ConversationState ConversationController::State() const {
  if (!current_) return has_run_ ? ConversationState::kEnded : ConversationState::kIdle;
  if (current_->thread->Paused()) return ConversationState::kPaused;
  return stuck_ ? ConversationState::kStuck : ConversationState::kRunning;
}

void ConversationController::PublishState() {
  const ConversationState state = State();
  if (state == published_) return;
  published_ = state;
  emit stateChanged(state);
}

const std::vector<std::string>& ConversationController::DataFolders() const {
  return current_ ? current_->data_folders : kNoStrings;
}

// ---------------------------------------------------------------------------
// Lines, release and reaping
// ---------------------------------------------------------------------------

void ConversationController::Deliver(const Conversation& from, const TTurn& turn) {
  // A line an ended conversation delivers while a newer one runs is dropped.
  if (current_.get() != &from) return;
  // A watcher's line (Speaker -1) leaves the loop detector's verdict alone.
  if (turn.Speaker >= 0) stuck_ = turn.StuckLines > 0;
  PublishState();
  emit turnArrived(turn);
}

void ConversationController::Release() {
  if (!current_) return;
  // The stop first: detaching lets a delivery under way return, and the
  // conversation must then find no further turn to speak. Terminate also
  // ends a pause, so a paused conversation runs on to its stop and saves its
  // characters' state.
  current_->thread->Terminate();
  current_->sink->Detach();
  finishing_.push_back(std::move(current_));
  reap_timer_->start();
}

void ConversationController::Reap() {
  std::erase_if(finishing_, [](const std::unique_ptr<Conversation>& conversation) {
    return conversation->thread->Finished();
  });
  if (current_ && current_->thread->Finished()) {
    // The conversation ended by itself (an error during a turn).
    failure_ = QString::fromStdString(current_->thread->FailureMessage());
    current_.reset();
    PublishState();
  }
  if (!current_ && finishing_.empty()) reap_timer_->stop();
}

void ConversationController::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  Release();
  // Each conversation finishes at most the turn it is in: its sink is
  // detached, so delivering that turn's line does not wait for this thread.
  for (const auto& conversation : finishing_) conversation->thread->WaitFor();
  finishing_.clear();
  reap_timer_->stop();
}

}  // namespace parlevo::gui
