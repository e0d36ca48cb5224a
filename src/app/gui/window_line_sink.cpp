// The blocking hand-over of a transcript line from a conversation thread to
// the GUI thread, and its early return once the window has let go.
#include "app/gui/window_line_sink.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

namespace parlevo::gui {

WindowLineSink::WindowLineSink(Receiver receiver) : receiver_(std::move(receiver)) {}

void WindowLineSink::DeliverLine(const TParlevoThread& from, const TTurn& turn) {
  if (detached_.load()) return;
  // The GUI thread may detach the sink after the check above; the queued call
  // then still runs (from the event loop or RunPendingDelivery) and drops it.
  QMetaObject::invokeMethod(
      this,
      [this, &from, &turn] {
        if (!detached_.load()) receiver_(from, turn);
      },
      Qt::BlockingQueuedConnection);
}

void WindowLineSink::Detach() { detached_.store(true); }

void WindowLineSink::RunPendingDelivery() {
  QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

}  // namespace parlevo::gui
