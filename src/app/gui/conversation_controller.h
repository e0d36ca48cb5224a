// The window's conversations: the current one, the ended ones still finishing
// their last turn, and the wait for all of them at exit. No widgets here.
//
// Threads: every member runs on the GUI thread. Each conversation has its own
// WindowLineSink, detached when the controller lets go of it, so a
// conversation delivering its last line never waits on a GUI thread that is
// itself waiting for that conversation.
#ifndef PARLEVO_APP_GUI_CONVERSATION_CONTROLLER_H_
#define PARLEVO_APP_GUI_CONVERSATION_CONTROLLER_H_

#include <QHash>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/turn.h"

class QTimer;

namespace parlevo {
class TParlevoThread;
}

namespace parlevo::gui {

class WindowLineSink;

// What the window's conversation is doing, the one value the form shows in
// its menus, status bar and title.
enum class ConversationState {
  kIdle,     // none has run yet
  kRunning,  // talking
  kPaused,   // halted between turns
  kEnded,    // the last one has ended (on request or by itself)
  kStuck,    // talking, but the last lines repeat themselves
};

// Why a conversation could not be built: which of the base files was
// refused (0 for the first) and the engine's own message.
struct CharacterRefusal {
  int which = 0;
  std::string reason;
};

// The reason of a group that names one base file twice.
inline constexpr const char* kNamedTwiceReason = "character is in the group twice";

class ConversationController final : public QObject {
  Q_OBJECT

 public:
  explicit ConversationController(QObject* parent = nullptr);
  // Shutdown().
  ~ConversationController() override;
  ConversationController(const ConversationController&) = delete;
  ConversationController& operator=(const ConversationController&) = delete;

  // Builds the characters (2 to 8 base files, native) on this thread, in
  // order, and starts their conversation, the first opening and the others
  // answering in turn. Nothing when it runs; otherwise which file was
  // refused and why. Refused as well while a conversation exists or after
  // Shutdown.
  std::optional<CharacterRefusal> Start(const std::vector<std::string>& files,
                                        const std::string& log_format, int32_t interval);
  // Lets go of the current conversation: it finishes its turn on its own
  // (its last line is dropped) and saves its characters' state.
  void End();
  void Pause();
  void Resume();
  // Asks the conversation to read both characters' data files again between
  // two turns (memory and counters stay); `reloaded` tells how it went.
  void Reload();
  void SetInterval(int32_t value);
  void SetLogFormat(const std::string& value);
  // A watcher's line (`name` and `text` ANSI) for the current conversation,
  // said between two turns and answered by the next speaker; it arrives
  // through turnArrived as a turn of Speaker -1. False when none runs.
  bool Join(const std::string& name, const std::string& text);

  bool HasConversation() const { return current_ != nullptr; }
  ConversationState State() const;
  // Why the last conversation ended by itself; "" when it ended on request
  // or still runs.
  const QString& FailureMessage() const { return failure_; }
  // Ended conversations still finishing their last turn.
  size_t FinishingCount() const { return finishing_.size(); }
  // The characters' names (ANSI) in talk order, of the current conversation
  // or, once it has ended, of the last one; empty before any.
  const std::vector<std::string>& Names() const { return names_; }
  // The data folders (native) in talk order; empty without a conversation.
  const std::vector<std::string>& DataFolders() const;
  // The name of the character whose state file is `state_file` (the native
  // path decoded), of any conversation this controller has started; "" if none.
  QString NameOfStateFile(const QString& state_file) const;

  // Exit: lets go of every conversation and waits until each has finished
  // its turn and saved its characters. Later calls do nothing.
  void Shutdown();

 signals:
  // State() has changed; emitted by the command that changed it, or from the
  // event loop when the conversation repeats itself or ends by itself.
  void stateChanged(ConversationState state);
  // A line of the current conversation with where it came from.
  void turnArrived(const TTurn& turn);
  // A Reload has run: "" when both characters read their data again,
  // otherwise which failed and why (they keep their old data).
  void reloaded(const QString& errors);

 private:
  // One conversation with the sink it delivers to. The thread is declared
  // last so it goes first: the sink outlives it.
  struct Conversation {
    std::unique_ptr<WindowLineSink> sink;
    std::vector<std::string> data_folders;
    std::unique_ptr<TParlevoThread> thread;
  };

  void Deliver(const Conversation& from, const TTurn& turn);
  void Release();
  // Emits stateChanged when State() differs from what was last emitted.
  void PublishState();
  // Destroys the finished conversations; notices a current one that ended
  // by itself.
  void Reap();

  std::unique_ptr<Conversation> current_;
  std::vector<std::unique_ptr<Conversation>> finishing_;
  std::vector<std::string> names_;
  bool has_run_ = false;  // a conversation has started
  bool stuck_ = false;    // the current conversation's last lines repeat
  QString failure_;
  ConversationState published_ = ConversationState::kIdle;
  QHash<QString, QString> names_by_state_file_;
  QTimer* reap_timer_ = nullptr;
  bool shut_down_ = false;
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_CONVERSATION_CONTROLLER_H_
