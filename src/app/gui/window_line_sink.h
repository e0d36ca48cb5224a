// The window's end of one conversation: takes each turn on the conversation
// thread, posts it to the GUI thread and waits until the window has shown it.
//
// Lifetime and threads: created, detached and destroyed on the GUI thread;
// DeliverLine runs on the conversation thread. Each conversation has its own
// sink, so letting go of one conversation never affects the next.
#ifndef PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_
#define PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_

#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "app/conversation.h"

namespace parlevo::gui {

class WindowLineSink final : public QObject, public LineSink {
  Q_OBJECT

 public:
  // `receiver` runs on the GUI thread, from the event loop, for every turn
  // delivered while the sink is attached.
  using Receiver = std::function<void(const TTurn& turn)>;
  explicit WindowLineSink(Receiver receiver);

  // Conversation thread: posts a copy of `turn` (it owns what it holds) and
  // waits until the receiver has run, so the interval before the next turn
  // counts from the line being shown; returns at once, dropping the line,
  // once the sink is detached.
  void DeliverLine(const TParlevoThread& from, const TTurn& turn) override;

  // GUI thread: the window lets go of the conversation. A delivery waiting
  // now returns (its posted turn is dropped when it runs), later ones are
  // dropped, so a conversation finishing its turn never waits for a window
  // that waits for it.
  void Detach();

 private:
  // GUI thread: shows a posted turn unless detached, then lets its delivery go.
  void Show(const TTurn& turn);

  Receiver receiver_;
  std::mutex mutex_;  // guards the two fields below
  std::condition_variable shown_;
  bool detached_ = false;
  bool pending_ = false;  // a posted turn has not been shown yet
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_
