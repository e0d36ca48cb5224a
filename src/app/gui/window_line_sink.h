// The window's end of one conversation: takes each transcript line on the
// conversation thread and hands it to the GUI thread with a blocking call.
//
// Lifetime and threads: created, detached and destroyed on the GUI thread;
// DeliverLine runs on the conversation thread. Each conversation has its own
// sink, so letting go of one conversation never affects the next.
#ifndef PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_
#define PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_

#include <QObject>
#include <atomic>
#include <functional>
#include <string>

#include "app/conversation.h"

namespace parlevo::gui {

class WindowLineSink final : public QObject, public LineSink {
  Q_OBJECT

 public:
  // `receiver` runs on the GUI thread for every turn delivered while the
  // sink is attached (the conversation thread waits meanwhile, so the
  // record's views into the speaker's data stay valid).
  using Receiver = std::function<void(const TParlevoThread& from, const TTurn& turn)>;
  explicit WindowLineSink(Receiver receiver);

  // Conversation thread: waits until the GUI thread has run the receiver, or
  // returns at once, dropping the line, once the sink is detached.
  void DeliverLine(const TParlevoThread& from, const TTurn& turn) override;

  // GUI thread: the window lets go of the conversation; later lines are
  // dropped, and a line whose delivery is under way is dropped when it runs.
  void Detach();

  // GUI thread: runs a delivery that is waiting for this thread now, without
  // an event loop (it is dropped when detached). The window calls it while it
  // waits for a finishing conversation, so that conversation is never stuck
  // in DeliverLine waiting for the very thread that waits for it.
  void RunPendingDelivery();

 private:
  Receiver receiver_;
  // Set on the GUI thread, read on the conversation thread before each
  // blocking call, hence atomic.
  std::atomic<bool> detached_{false};
};

}  // namespace parlevo::gui

#endif  // PARLEVO_APP_GUI_WINDOW_LINE_SINK_H_
