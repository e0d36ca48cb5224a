// Handing a turn from a conversation thread to the GUI thread: posted as an
// owned copy, then a wait for it to be shown that ends early on detaching.
#include "app/gui/window_line_sink.h"

#include <QPointer>
#include <utility>

namespace parlevo::gui {

WindowLineSink::WindowLineSink(Receiver receiver) : receiver_(std::move(receiver)) {}

void WindowLineSink::DeliverLine(const TParlevoThread&, const TTurn& turn) {
  std::unique_lock lock(mutex_);
  if (detached_) return;
  pending_ = true;
  // Posted to this object: the event goes with the sink if it is destroyed first.
  QMetaObject::invokeMethod(
      this, [this, copy = turn] { Show(copy); }, Qt::QueuedConnection);
  shown_.wait(lock, [this] { return detached_ || !pending_; });
}

void WindowLineSink::Show(const TTurn& turn) {
  {
    std::lock_guard lock(mutex_);
    if (detached_) return;
  }
  // Outside the lock: the receiver may detach this sink. Should it run an
  // event loop in which the window lets go of the conversation, the sink
  // may be gone when it returns.
  const QPointer<WindowLineSink> alive(this);
  receiver_(turn);
  if (alive.isNull()) return;
  std::lock_guard lock(mutex_);
  pending_ = false;
  shown_.notify_all();
}

void WindowLineSink::Detach() {
  std::lock_guard lock(mutex_);
  detached_ = true;
  shown_.notify_all();
}

}  // namespace parlevo::gui
