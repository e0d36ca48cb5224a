// A signal handler may do almost nothing: it writes one byte into a socket
// pair, and a notifier on the GUI thread turns that byte into a close().
#include "app/gui/termination_signals.h"

#include <QSocketNotifier>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace parlevo::gui {

#ifdef Q_OS_UNIX
namespace {

// Written once before the handlers are installed, then only read by them:
// a signal handler can reach nothing but a global.
int signal_socket[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(signal_socket[0], &byte, 1);
}

}  // namespace

void CloseOnTerminationSignals(QWidget* window) {
  if (signal_socket[0] >= 0) return;
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_socket) != 0) return;
  auto* notifier = new QSocketNotifier(signal_socket[1], QSocketNotifier::Read, window);
  QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
    char byte = 0;
    [[maybe_unused]] const ssize_t read = ::read(signal_socket[1], &byte, 1);
    window->close();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal_number, &action, nullptr);
}
#else
void CloseOnTerminationSignals(QWidget*) {}
#endif

}  // namespace parlevo::gui
